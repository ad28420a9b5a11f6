#include "common/block_list.h"

#include <cstdlib>
#include <cstring>

namespace {
// Far beyond any real list; keeps the slot arithmetic from overflowing.
constexpr uint32_t kMaxSlots = 1u << 26;
}  // namespace

CBlockList::~CBlockList() { Clear(); }

void CBlockList::FreeSlot(Slot& slot) {
  if (slot.owned) std::free(slot.block);
  slot.block = nullptr;
  slot.size = 0;
  slot.owned = 0;
}

bool CBlockList::Grow(uint32_t slots) {
  if (slots > kMaxSlots || capacity_ > kMaxSlots - slots) return false;
  uint32_t newCapacity = capacity_ + slots;
  Slot* grown = static_cast<Slot*>(std::realloc(slots_, sizeof(Slot) * newCapacity));
  if (!grown) return false;
  std::memset(grown + capacity_, 0, sizeof(Slot) * slots);
  slots_ = grown;
  capacity_ = newCapacity;
  return true;
}

uint32_t CBlockList::InsertSlot(uint32_t index) {
  if (index == kNoIndex) index = count_;
  if (index >= kMaxSlots) return kNoIndex;
  if (index + 1 >= capacity_) {
    uint32_t extra = index >= count_ ? index - count_ + 1 : 0;
    if (!Grow(extra > growthStep_ ? extra : growthStep_)) return kNoIndex;
  }
  if (index + 1 > count_) count_ = index + 1;
  if (!slots_[index].block) return index;
  if (count_ >= capacity_ && !Grow(growthStep_)) return kNoIndex;
  std::memmove(slots_ + index + 1, slots_ + index, sizeof(Slot) * (count_ - index));
  if (cursor_ > index) ++cursor_;
  ++count_;
  slots_[index] = Slot{nullptr, 0, 0};
  return index;
}

uint32_t CBlockList::AddNew(uint32_t n, void** block) {
  if (block) *block = nullptr;
  if (n == 0) return kNoIndex;
  void* fresh = std::calloc(1, n);
  if (!fresh) return kNoIndex;
  uint32_t index = InsertSlot(kNoIndex);
  if (index == kNoIndex) {
    std::free(fresh);
    return kNoIndex;
  }
  slots_[index] = Slot{fresh, n, 1};
  if (block) *block = fresh;
  return index;
}

uint32_t CBlockList::AddCopy(const void* source, uint32_t n) {
  if (!source) return kNoIndex;
  void* block = nullptr;
  uint32_t index = AddNew(n, &block);
  if (index != kNoIndex) std::memcpy(block, source, n);
  return index;
}

bool CBlockList::SetCopy(uint32_t index, const void* source, uint32_t n) {
  if (index == kNoIndex) return false;
  if (ValidIndex(index)) FreeSlot(slots_[index]);
  if (!source || n == 0) return false;
  void* block = std::malloc(n);
  if (!block) return false;
  if (InsertSlot(index) != index) {
    std::free(block);
    return false;
  }
  std::memcpy(block, source, n);
  slots_[index] = Slot{block, n, 1};
  return true;
}

bool CBlockList::SetString(uint32_t index, const char16_t* text) {
  if (!text) {
    FreeBlock(index);
    return false;
  }
  size_t length = 0;
  while (text[length]) ++length;
  if (length >= (0xFFFFFFFFu / 2) - 1) return false;
  return SetCopy(index, text, static_cast<uint32_t>(2 * (length + 1)));
}

void* CBlockList::Get(uint32_t index) {
  if (!ValidIndex(index) || !slots_[index].block) return nullptr;
  cursor_ = index;
  return slots_[index].block;
}

uint32_t CBlockList::GetSize(uint32_t index) const {
  return ValidIndex(index) ? slots_[index].size : 0;
}

void CBlockList::FreeBlock(uint32_t index) {
  if (!ValidIndex(index)) return;
  FreeSlot(slots_[index]);
  cursor_ = index;
}

int CBlockList::Remove(uint32_t index) {
  if (!ValidIndex(index)) return 1;
  FreeSlot(slots_[index]);
  cursor_ = index;
  std::memmove(slots_ + index, slots_ + index + 1, sizeof(Slot) * (count_ - index - 1));
  slots_[count_ - 1] = Slot{nullptr, 0, 0};
  if (cursor_ > index) --cursor_;
  --count_;
  return 1;
}

void CBlockList::Clear() {
  for (uint32_t i = 0; slots_ && i < count_; ++i) FreeSlot(slots_[i]);
  std::free(slots_);
  slots_ = nullptr;
  count_ = 0;
  capacity_ = 0;
  cursor_ = 0;
}
