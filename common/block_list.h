// A list of memory blocks, each owned (freed by the list) or borrowed,
// addressed by 0-based slot index. Slots may be empty; the slot array grows
// by a fixed step.
#pragma once

#include <cstddef>
#include <cstdint>

class CBlockList {
 public:
  static constexpr uint32_t kNoIndex = 0xFFFFFFFFu;  // "append" as an index, failure as a result
  static constexpr uint32_t kGrowthStep = 10;

  CBlockList() = default;
  virtual ~CBlockList();
  CBlockList(const CBlockList&) = delete;
  CBlockList& operator=(const CBlockList&) = delete;

  // Makes room for a slot at index (kNoIndex = append) and returns the index,
  // or kNoIndex when out of memory. An empty slot is reused; an occupied one
  // is pushed up with the slots after it.
  uint32_t InsertSlot(uint32_t index);
  // Appends an owned copy of n bytes; kNoIndex for n = 0.
  uint32_t AddCopy(const void* source, uint32_t n);
  // Replaces the block at index with an owned copy of n bytes.
  bool SetCopy(uint32_t index, const void* source, uint32_t n);
  // SetCopy of the text with its terminator; null frees the old block and
  // returns false.
  bool SetString(uint32_t index, const char16_t* text);
  // Appends a new zeroed owned block of n bytes; its address goes to *block.
  uint32_t AddNew(uint32_t n, void** block);

  // Block at index, null for an empty or out-of-range slot.
  void* Get(uint32_t index);
  uint32_t GetSize(uint32_t index) const;
  // Frees the block but keeps the (now empty) slot.
  void FreeBlock(uint32_t index);
  // Frees the block and closes the gap. Returns 1.
  int Remove(uint32_t index);
  void Clear();

  uint32_t Count() const { return count_; }
  uint32_t Capacity() const { return capacity_; }
  uint32_t Cursor() const { return cursor_; }

 private:
  struct Slot {
    void* block;
    uint32_t size;
    uint32_t owned;
  };
  bool Grow(uint32_t slots);
  bool ValidIndex(uint32_t index) const { return slots_ && index < count_; }
  void FreeSlot(Slot& slot);

  uint32_t growthStep_ = kGrowthStep;
  uint32_t count_ = 0;
  uint32_t cursor_ = 0;
  uint32_t capacity_ = 0;
  Slot* slots_ = nullptr;
};
