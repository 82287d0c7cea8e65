// The lines of a list box, or of a combo box's list, in one text area: a line
// costs its bytes and an offset, not a string object and a heap block each.
// The area grows with realloc and keeps its room when emptied, so a list that
// is emptied and filled again reuses the same memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace layer {

class ListLines {
 public:
  ListLines() = default;
  ListLines(const ListLines& other);
  ListLines& operator=(const ListLines& other);
  ~ListLines();

  size_t size() const { return count_; }
  bool empty() const { return count_ == 0; }
  std::string_view operator[](size_t index) const {
    size_t start = index == 0 ? 0 : ends_[index - 1];
    return {text_ + start, ends_[index] - start};
  }
  void push_back(std::string_view line) { insert(count_, line); }
  void insert(size_t index, std::string_view line);  // throws std::bad_alloc as a vector would
  void erase(size_t index);
  void clear() { count_ = 0; }
  // Room for `lines` more lines of `bytes` more text, made at once; false when
  // there is not that much memory.
  bool reserve(size_t lines, size_t bytes);
  std::vector<std::string> Strings() const;

 private:
  bool Reserve(size_t bytes, size_t lines);

  char* text_ = nullptr;
  uint32_t* ends_ = nullptr;  // ends_[i]: offset just past line i
  size_t count_ = 0;
  size_t textCapacity_ = 0;
  size_t lineCapacity_ = 0;
};

}  // namespace layer
