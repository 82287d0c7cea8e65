#include "storage/TextBuffer.h"

#include "storage/Money.h"
#include "storage/TextConvert.h"

#include <charconv>
#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace {

// Growth leaves this much spare room, so a statement's chain of appends
// reallocates once or twice at most.
constexpr int64_t kSlack = 40;
// Numbers are formatted here first; only the rare longer real needs the heap.
constexpr size_t kNumberArea = 40;
// The longest fixed-point double: sign, 309 integer digits, point, terminator.
constexpr size_t kLongestFixed = 312;

}  // namespace

TextBuffer::~TextBuffer() { std::free(Block()); }

char* TextBuffer::Data() const {
  Header* block = Block();
  return block != nullptr ? reinterpret_cast<char*>(block + 1) : nullptr;
}

const char* TextBuffer::Text() const {
  if (Borrowed()) return reinterpret_cast<const char*>(bits & ~kBorrowed);
  Header* block = Block();
  return block != nullptr && block->stored != 0 ? Data() : nullptr;
}

int32_t TextBuffer::Capacity() const {
  Header* block = Block();
  return block != nullptr ? block->capacity : 0;
}

int32_t TextBuffer::Precision() const {
  Header* block = Block();
  return block != nullptr ? block->precision : 0;
}

void TextBuffer::Borrow(const char* text) {
  std::free(Block());
  bits = 0;
  if (text == nullptr) return;
  if ((reinterpret_cast<uintptr_t>(text) & kBorrowed) != 0) {
    Assign(text);  // an odd address cannot carry the mark: copied instead
    return;
  }
  bits = reinterpret_cast<uintptr_t>(text) | kBorrowed;  // never written through
}

int32_t TextBuffer::Length() const {
  const char* text = Text();
  return text ? static_cast<int32_t>(std::strlen(text)) : 0;
}

void TextBuffer::SetPrecision(int32_t decimals) {
  decimals = decimals < 0 ? 0 : decimals;
  if (Block() == nullptr && decimals == 0 && !Borrowed()) return;  // the default already
  if (!Reserve(Length() + 1)) return;
  Block()->precision = decimals;
}

// Room for `needed` text bytes in an own block; a borrowed text is copied
// into it first, and its text stays as it was.
bool TextBuffer::Reserve(int64_t needed) {
  if (Capacity() >= needed) return true;
  int64_t size = needed + kSlack;
  if (size > INT32_MAX) return false;
  size_t bytes = sizeof(Header) + static_cast<size_t>(size);
  if (Borrowed()) {
    auto* block = static_cast<Header*>(std::malloc(bytes));
    if (!block) return false;
    const char* text = Text();
    size_t keep = std::strlen(text) + 1;
    std::memcpy(block + 1, text, keep < static_cast<size_t>(size) ? keep : static_cast<size_t>(size));
    *block = {static_cast<int32_t>(size), 0, 1, 0};
    bits = reinterpret_cast<uintptr_t>(block);
    return true;
  }
  Header* old = Block();
  auto* block = static_cast<Header*>(std::realloc(old, bytes));
  if (!block) return false;  // the old block and text stay as they were
  if (old == nullptr) *block = {0, 0, 0, 0};
  block->capacity = static_cast<int32_t>(size);
  bits = reinterpret_cast<uintptr_t>(block);
  return true;
}

// Writes length bytes of text at position at, followed by the terminator.
// The text may lie inside this buffer's own block.
TextBuffer& TextBuffer::Store(int32_t at, const char* text, int64_t length) {
  char* data = Data();
  bool inside = data && text >= data && text < data + Capacity();
  std::ptrdiff_t offset = inside ? text - data : 0;
  if (!Reserve(at + length + 1)) return *this;
  data = Data();
  if (inside) text = data + offset;
  std::memmove(data + at, text, static_cast<size_t>(length));
  data[at + length] = '\0';
  Block()->stored = 1;
  return *this;
}

TextBuffer& TextBuffer::Assign(const char* text) {
  if (!text) return *this;
  return Store(0, text, static_cast<int64_t>(std::strlen(text)));
}

TextBuffer& TextBuffer::Append(const char* text) {
  if (!text || !*text) return *this;
  return Store(Length(), text, static_cast<int64_t>(std::strlen(text)));
}

TextBuffer& TextBuffer::AppendQuoted(const char* text) {
  if (!text || !*text) return *this;
  char* data = Data();
  if (data && text >= data && text < data + Capacity()) {
    // Quoting the buffer's own text: the doubled quotes would overrun the
    // source, so quote a copy.
    char* copy = strdup(text);
    if (copy) AppendQuoted(copy);
    std::free(copy);
    return *this;
  }
  int64_t length = 0;
  for (const char* p = text; *p; ++p) length += *p == '\'' ? 2 : 1;
  int32_t at = Length();
  if (!Reserve(at + length + 1)) return *this;
  char* out = Data() + at;
  for (const char* p = text; *p; ++p) {
    *out++ = *p;
    if (*p == '\'') *out++ = '\'';
  }
  *out = '\0';
  Block()->stored = 1;
  return *this;
}

TextBuffer& TextBuffer::AppendInt(int32_t value) {
  char area[kNumberArea];
  auto result = std::to_chars(area, area + sizeof area, value);
  return Store(Length(), area, result.ptr - area);
}

void TextBuffer::AssignInt(int32_t value) {
  char area[kNumberArea];
  auto result = std::to_chars(area, area + sizeof area, value);
  Store(0, area, result.ptr - area);
}

// Fixed-point as "%.*f" writes it, but with a '.' whatever the C locale says.
// A value too long for the number area is formatted on the heap, never cut.
TextBuffer& TextBuffer::PutReal(int32_t at, float value) {
  double wide = value;
  int decimals = Precision() > 0 ? Precision() : 6;
  if (decimals == 2) {  // the common case, quicker
    char money[kMoneyArea];
    return Store(at, money, FormatMoney(money, value) - money);
  }
  char area[kNumberArea];
  auto result = std::to_chars(area, area + sizeof area, wide, std::chars_format::fixed, decimals);
  if (result.ec == std::errc()) return Store(at, area, result.ptr - area);
  size_t size = kLongestFixed + static_cast<size_t>(decimals);
  char* heap = static_cast<char*>(std::malloc(size));
  if (!heap) return *this;
  result = std::to_chars(heap, heap + size, wide, std::chars_format::fixed, decimals);
  if (result.ec == std::errc()) Store(at, heap, result.ptr - heap);
  std::free(heap);
  return *this;
}

TextBuffer& TextBuffer::AppendReal(float value) { return PutReal(Length(), value); }

void TextBuffer::AssignReal(float value) { PutReal(0, value); }
