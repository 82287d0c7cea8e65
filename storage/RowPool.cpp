#include "storage/RowPool.h"

#include <cstdlib>

#if defined(__linux__)
#include <sys/mman.h>
#endif

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define POOL_POISON(address, size) ASAN_POISON_MEMORY_REGION(address, size)
#define POOL_UNPOISON(address, size) ASAN_UNPOISON_MEMORY_REGION(address, size)
#else
#define POOL_POISON(address, size) ((void)(address), (void)(size))
#define POOL_UNPOISON(address, size) ((void)(address), (void)(size))
#endif

namespace {

// Blocks double from a few pages up to about two megabytes.
constexpr size_t kFirstBlockBytes = 16 * 1024;
constexpr size_t kLargestBlockBytes = 2 * 1024 * 1024;
// Texts are short (a date and a payee), so a row's share of a block's tail is small.
constexpr size_t kTextBlockBytes = 64 * 1024;

// A block of `bytes`. On Linux a block of the largest size is aligned so the
// kernel may back it with one huge page: a long register then costs a few
// page faults instead of one per 4 KB.
void* NewBlock(size_t bytes) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  if (bytes == kLargestBlockBytes) {
    void* block = nullptr;
    if (posix_memalign(&block, kLargestBlockBytes, bytes) != 0) return nullptr;
    madvise(block, bytes, MADV_HUGEPAGE);  // only a hint: without it, small pages
    return block;
  }
#endif
  return std::malloc(bytes);
}

}  // namespace

// Slots start after the block header, aligned for any row.
char* RowPool::SlotsOf(Block* block) { return reinterpret_cast<char*>(block) + HeaderBytes(); }

RowPool::~RowPool() {
  for (Block* block = first_; block != nullptr;) {
    Block* next = block->next;
    POOL_UNPOISON(SlotsOf(block), block->slots * slotSize_);
    std::free(block);
    block = next;
  }
  for (TextBlock* block = firstText_; block != nullptr;) {
    TextBlock* next = block->next;
    std::free(block);
    block = next;
  }
}

char* RowPool::AllocateText(size_t bytes) {
  if (bytes > kTextBlockBytes - sizeof(TextBlock)) return nullptr;
  if (currentText_ == nullptr || textUsed_ + bytes > kTextBlockBytes) {
    TextBlock* next = currentText_ != nullptr ? currentText_->next : firstText_;
    if (next == nullptr) {  // no block kept from an earlier fill
      next = static_cast<TextBlock*>(std::malloc(kTextBlockBytes));
      if (next == nullptr) return nullptr;
      next->next = nullptr;
      (currentText_ != nullptr ? currentText_->next : firstText_) = next;
    }
    currentText_ = next;
    textUsed_ = sizeof(TextBlock);
  }
  char* text = reinterpret_cast<char*>(currentText_) + textUsed_;
  textUsed_ += bytes;
  return text;
}

void* RowPool::Allocate(size_t size) {
  size = (size + alignof(void*) - 1) / alignof(void*) * alignof(void*);
  if (slotSize_ == 0) slotSize_ = size;
  if (size != slotSize_) return nullptr;
  if (current_ != nullptr && used_ == current_->slots && current_->next != nullptr) {
    current_ = current_->next;  // a block kept from an earlier fill
    used_ = 0;
  }
  if (current_ == nullptr || used_ == current_->slots) {
    size_t last = current_ != nullptr ? current_->bytes : kFirstBlockBytes / 2;
    size_t bytes = last * 2 < kLargestBlockBytes ? last * 2 : kLargestBlockBytes;
    if (bytes < HeaderBytes() + slotSize_) bytes = HeaderBytes() + slotSize_;
    auto* block = static_cast<Block*>(NewBlock(bytes));
    if (block == nullptr) return nullptr;
    block->next = nullptr;
    block->bytes = bytes;
    block->slots = (bytes - HeaderBytes()) / slotSize_;
    size_t slots = block->slots;
    POOL_POISON(SlotsOf(block), slots * slotSize_);
    (current_ != nullptr ? current_->next : first_) = block;
    current_ = block;
    used_ = 0;
  }
  char* slot = SlotsOf(current_) + used_++ * slotSize_;
  POOL_UNPOISON(slot, slotSize_);
  return slot;
}

void RowPool::Reset() {
  for (Block* block = first_; block != nullptr; block = block->next) {
    POOL_POISON(SlotsOf(block), block->slots * slotSize_);
    if (block == current_) break;
  }
  current_ = first_;
  used_ = 0;
  currentText_ = nullptr;  // the next text starts over at firstText_
  textUsed_ = 0;
}
