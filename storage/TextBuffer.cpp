#include "storage/TextBuffer.h"

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

TextBuffer::~TextBuffer() {
  if (capacity > 0) std::free(data);
}

void TextBuffer::Borrow(const char* text) {
  if (capacity > 0) std::free(data);
  data = const_cast<char*>(text);  // never written: capacity 0 makes the next write copy
  capacity = 0;
}

int32_t TextBuffer::Length() const { return data ? static_cast<int32_t>(std::strlen(data)) : 0; }

void TextBuffer::SetPrecision(int32_t decimals) { precision = decimals < 0 ? 0 : decimals; }

bool TextBuffer::Reserve(int64_t needed) {
  if (capacity >= needed) return true;
  int64_t size = needed + kSlack;
  if (size > INT32_MAX) return false;
  if (data && capacity == 0) {  // borrowed: copy it out before the first write
    char* block = static_cast<char*>(std::malloc(static_cast<size_t>(size)));
    if (!block) return false;
    size_t keep = std::strlen(data) + 1;
    std::memcpy(block, data, keep < static_cast<size_t>(size) ? keep : static_cast<size_t>(size));
    data = block;
    capacity = static_cast<int32_t>(size);
    return true;
  }
  char* block = static_cast<char*>(std::realloc(data, static_cast<size_t>(size)));
  if (!block) return false;  // the old block and text stay as they were
  data = block;
  capacity = static_cast<int32_t>(size);
  return true;
}

// Writes length bytes of text at position at, followed by the terminator.
// The text may lie inside this buffer's own block.
TextBuffer& TextBuffer::Store(int32_t at, const char* text, int64_t length) {
  bool inside = data && text >= data && text < data + capacity;
  std::ptrdiff_t offset = inside ? text - data : 0;
  if (!Reserve(at + length + 1)) return *this;
  if (inside) text = data + offset;
  std::memmove(data + at, text, static_cast<size_t>(length));
  data[at + length] = '\0';
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
  if (data && text >= data && text < data + capacity) {
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
  char* out = data + at;
  for (const char* p = text; *p; ++p) {
    *out++ = *p;
    if (*p == '\'') *out++ = '\'';
  }
  *out = '\0';
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
  int decimals = precision > 0 ? precision : 6;
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
