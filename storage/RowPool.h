// Memory for the row objects of one table object: slots of one size, handed
// out in order from blocks that are kept and reused after every ClearRows,
// so a refresh touches the same memory as the last one and calls no malloc
// per row.
#pragma once

#include <cstddef>

class RowPool {
 public:
  explicit RowPool(const void* owner) : owner_(owner) {}
  ~RowPool();
  RowPool(const RowPool&) = delete;
  RowPool& operator=(const RowPool&) = delete;

  // A slot of `size` bytes, or null when the heap has no room or the pool
  // already holds slots of another size.
  void* Allocate(size_t size);
  // `bytes` of room for a row's texts, beside the slots; null when the heap
  // has no room or bytes exceed a text block.
  char* AllocateText(size_t bytes);
  // Every slot and text is free again; the caller has destroyed what lived in them.
  void Reset();
  const void* Owner() const { return owner_; }

 private:
  struct Block {
    Block* next;
    size_t bytes;  // header included
    size_t slots;
  };
  static constexpr size_t HeaderBytes() {
    return (sizeof(Block) + alignof(std::max_align_t) - 1) / alignof(std::max_align_t) * alignof(std::max_align_t);
  }
  static char* SlotsOf(Block* block);

  const void* owner_;
  size_t slotSize_ = 0;
  Block* first_ = nullptr;
  Block* current_ = nullptr;  // the block being handed out
  size_t used_ = 0;           // slots handed out of current_
  // Text blocks, of one size, kept and reused like the slot blocks.
  struct TextBlock {
    TextBlock* next;
  };
  TextBlock* firstText_ = nullptr;
  TextBlock* currentText_ = nullptr;
  size_t textUsed_ = 0;  // bytes handed out of currentText_, header included
};
