#include "platform/dialog/list_lines.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace layer {

ListLines::ListLines(const ListLines& other) { *this = other; }

ListLines& ListLines::operator=(const ListLines& other) {
  if (this == &other) return *this;
  count_ = 0;
  size_t bytes = other.count_ == 0 ? 0 : other.ends_[other.count_ - 1];
  if (!Reserve(bytes, other.count_)) throw std::bad_alloc();
  if (bytes > 0) std::memcpy(text_, other.text_, bytes);
  if (other.count_ > 0) std::memcpy(ends_, other.ends_, other.count_ * sizeof *ends_);
  count_ = other.count_;
  return *this;
}

ListLines::~ListLines() {
  std::free(text_);
  std::free(ends_);
}

// Room for `bytes` of text and `lines` lines; grows by half again, with
// realloc, so a long list is neither copied twice nor held twice at its peak.
bool ListLines::Reserve(size_t bytes, size_t lines) {
  if (bytes > UINT32_MAX) return false;
  if (bytes > textCapacity_) {
    size_t capacity = textCapacity_ + textCapacity_ / 2;
    if (capacity < bytes) capacity = bytes < 4096 ? 4096 : bytes;
    char* grown = static_cast<char*>(std::realloc(text_, capacity));
    if (grown == nullptr) return false;
    text_ = grown;
    textCapacity_ = capacity;
  }
  if (lines > lineCapacity_) {
    size_t capacity = lineCapacity_ + lineCapacity_ / 2;
    if (capacity < lines) capacity = lines < 256 ? 256 : lines;
    auto* grown = static_cast<uint32_t*>(std::realloc(ends_, capacity * sizeof *ends_));
    if (grown == nullptr) return false;
    ends_ = grown;
    lineCapacity_ = capacity;
  }
  return true;
}

bool ListLines::reserve(size_t lines, size_t bytes) {
  size_t used = count_ == 0 ? 0 : ends_[count_ - 1];
  return Reserve(used + bytes, count_ + lines);
}

void ListLines::insert(size_t index, std::string_view line) {
  size_t used = count_ == 0 ? 0 : ends_[count_ - 1];
  if (!Reserve(used + line.size(), count_ + 1)) throw std::bad_alloc();
  size_t at = index == 0 ? 0 : ends_[index - 1];
  if (index < count_) {
    std::memmove(text_ + at + line.size(), text_ + at, used - at);
    std::memmove(ends_ + index + 1, ends_ + index, (count_ - index) * sizeof *ends_);
    for (size_t i = index + 1; i <= count_; ++i) ends_[i] += static_cast<uint32_t>(line.size());
  }
  if (!line.empty()) std::memcpy(text_ + at, line.data(), line.size());
  ends_[index] = static_cast<uint32_t>(at + line.size());
  ++count_;
}

void ListLines::erase(size_t index) {
  size_t used = ends_[count_ - 1];
  size_t start = index == 0 ? 0 : ends_[index - 1];
  size_t length = ends_[index] - start;
  std::memmove(text_ + start, text_ + ends_[index], used - ends_[index]);
  for (size_t i = index + 1; i < count_; ++i) ends_[i - 1] = ends_[i] - static_cast<uint32_t>(length);
  --count_;
}

std::vector<std::string> ListLines::Strings() const {
  std::vector<std::string> lines;
  lines.reserve(count_);
  for (size_t i = 0; i < count_; ++i) lines.emplace_back((*this)[i]);
  return lines;
}

}  // namespace layer
