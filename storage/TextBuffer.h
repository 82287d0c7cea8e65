// The one string type: a heap text that grows on demand, with a per-buffer
// number of decimals for real numbers. SQL statements are composed in it.
#pragma once

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
  int32_t Precision() const { return precision; }

  const char* Text() const { return data; }  // nullptr until the first store
  int32_t Length() const;
  int32_t Capacity() const { return capacity; }

 private:
  bool Reserve(int64_t needed);
  TextBuffer& Store(int32_t at, const char* text, int64_t length);
  TextBuffer& PutReal(int32_t at, float value);

  char* data = nullptr;
  int32_t capacity = 0;  // 0 with data set: data is borrowed
  int32_t precision = 0;
};
