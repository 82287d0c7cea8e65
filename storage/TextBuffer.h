// The one string type: a heap text that grows on demand, with a per-buffer
// number of decimals for real numbers. SQL statements are composed in it.
// Every row carries two, so it is one pointer: its size and decimals live in
// the block's header.
#pragma once

#include <cstddef>
#include <cstdint>

class TextBuffer {
 public:
  TextBuffer() = default;
  ~TextBuffer();
  TextBuffer(const TextBuffer&) = delete;
  TextBuffer& operator=(const TextBuffer&) = delete;

  // A null string changes nothing; Assign("") still gives an (empty) text.
  TextBuffer& Assign(const char* text);
  // Shows a text owned elsewhere without copying it; the first write copies
  // it. The text must outlive this buffer or its next write.
  void Borrow(const char* text);
  TextBuffer& Append(const char* text);
  // Appends the text with every single quote doubled, ready to sit between
  // the quotes of a SQL literal.
  TextBuffer& AppendQuoted(const char* text);

  TextBuffer& AppendInt(int32_t value);
  void AssignInt(int32_t value);
  // Fixed-point with Precision() decimals; precision 0 means six decimals.
  TextBuffer& AppendReal(float value);
  void AssignReal(float value);
  void SetPrecision(int32_t decimals);  // negative counts as 0
  int32_t Precision() const;

  const char* Text() const;  // nullptr until the first store
  int32_t Length() const;
  int32_t Capacity() const;

 private:
  bool Reserve(int64_t needed);
  TextBuffer& Store(int32_t at, const char* text, int64_t length);
  TextBuffer& PutReal(int32_t at, float value);

  struct Header {
    int32_t capacity;  // text bytes after the header
    int32_t precision;
    int32_t stored;  // 0 until the first store: Text() is still null
    int32_t unused;
  };
  static constexpr uintptr_t kBorrowed = 1;
  bool Borrowed() const { return (bits & kBorrowed) != 0; }
  Header* Block() const { return Borrowed() ? nullptr : reinterpret_cast<Header*>(bits); }
  char* Data() const;  // the own block's text area; null without one

  // 0, a Header* followed by the text, or a borrowed text's address | kBorrowed.
  uintptr_t bits = 0;
};
