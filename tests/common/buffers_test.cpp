#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/block_list.h"
#include "common/byte_buffer.h"
#include "common/grow_buffer.h"
#include "common/text_buffer.h"

namespace {

// ---- CByteBuffer ----

TEST(ByteBuffer, AllocateKeepsSameSizeBlockAndReplacesOthers) {
  CByteBuffer buffer;
  EXPECT_EQ(buffer.Allocate(0), nullptr);
  EXPECT_EQ(buffer.Size(), 0u);
  EXPECT_EQ(buffer.Data(), nullptr);

  uint8_t* first = buffer.Allocate(16);
  ASSERT_NE(first, nullptr);
  std::memset(first, 0xAB, 16);
  EXPECT_EQ(buffer.Allocate(16), first);  // same size: same block, content kept
  EXPECT_EQ(first[15], 0xAB);
  ASSERT_NE(buffer.Allocate(32), nullptr);
  EXPECT_EQ(buffer.Size(), 32u);
  EXPECT_EQ(buffer.Allocate(0), nullptr);  // releases
  EXPECT_EQ(buffer.Size(), 0u);
  EXPECT_EQ(buffer.Data(), nullptr);
}

// ---- CBlockList ----

TEST(BlockList, InsertSlotBeyondTheEndLeavesEmptySlots) {
  CBlockList list;
  EXPECT_EQ(list.InsertSlot(5), 5u);
  EXPECT_EQ(list.Count(), 6u);
  for (uint32_t i = 0; i < 6; ++i) {
    EXPECT_EQ(list.Get(i), nullptr) << i;
    EXPECT_EQ(list.GetSize(i), 0u) << i;
  }
  EXPECT_GE(list.Capacity(), 10u);
}

TEST(BlockList, InsertSlotAtOccupiedIndexShiftsLaterSlots) {
  CBlockList list;
  for (char c : std::string("abc")) ASSERT_NE(list.AddCopy(&c, 1), CBlockList::kNoIndex);
  list.Get(2);  // cursor on "c"
  EXPECT_EQ(list.InsertSlot(1), 1u);
  EXPECT_EQ(list.Count(), 4u);
  EXPECT_EQ(list.Get(1), nullptr);
  EXPECT_EQ(*static_cast<char*>(list.Get(0)), 'a');
  EXPECT_EQ(*static_cast<char*>(list.Get(2)), 'b');
  EXPECT_EQ(*static_cast<char*>(list.Get(3)), 'c');
  // The empty slot is reused as it is.
  EXPECT_EQ(list.InsertSlot(1), 1u);
  EXPECT_EQ(list.Count(), 4u);
}

TEST(BlockList, CursorFollowsTheShiftedSlot) {
  CBlockList list;
  for (char c : std::string("abc")) list.AddCopy(&c, 1);
  list.Get(2);
  list.InsertSlot(0);
  EXPECT_EQ(list.Cursor(), 3u);
}

TEST(BlockList, GrowsInStepsOfTenAndKeepsUnusedSlotsEmpty) {
  CBlockList list;
  for (int i = 0; i < 25; ++i) ASSERT_EQ(list.AddCopy(&i, sizeof i), static_cast<uint32_t>(i));
  EXPECT_EQ(list.Count(), 25u);
  EXPECT_EQ(list.Capacity() % 10, 0u);
  for (int i = 0; i < 25; ++i) EXPECT_EQ(*static_cast<int*>(list.Get(i)), i);
  list.Remove(0);
  EXPECT_EQ(list.Count(), 24u);
  EXPECT_EQ(*static_cast<int*>(list.Get(0)), 1);
  // The slot freed at the end is empty again, so appending reuses it cleanly.
  EXPECT_EQ(list.Get(24), nullptr);
  int value = 99;
  EXPECT_EQ(list.AddCopy(&value, sizeof value), 24u);
}

TEST(BlockList, CopiesStringsAndFreesBlocks) {
  CBlockList list;
  EXPECT_EQ(list.AddCopy("x", 0), CBlockList::kNoIndex);
  void* block = nullptr;
  uint32_t index = list.AddNew(8, &block);
  ASSERT_EQ(index, 0u);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(std::memcmp(block, "\0\0\0\0\0\0\0\0", 8), 0);  // zeroed

  EXPECT_TRUE(list.SetString(0, u"tip"));
  EXPECT_EQ(list.GetSize(0), 8u);  // three characters and the terminator
  EXPECT_EQ(std::u16string(static_cast<char16_t*>(list.Get(0))), u"tip");
  EXPECT_FALSE(list.SetString(0, nullptr));
  EXPECT_EQ(list.Get(0), nullptr);
  EXPECT_EQ(list.Count(), 1u);

  EXPECT_TRUE(list.SetCopy(0, "abcd", 4));
  list.FreeBlock(0);
  EXPECT_EQ(list.Get(0), nullptr);
  EXPECT_EQ(list.Count(), 1u);
  EXPECT_EQ(list.Cursor(), 0u);
}

TEST(BlockList, OutOfRangeAccessChangesNothing) {
  CBlockList list;
  EXPECT_EQ(list.Get(0), nullptr);
  EXPECT_EQ(list.GetSize(3), 0u);
  list.FreeBlock(7);
  EXPECT_EQ(list.Remove(7), 1);
  list.AddCopy("a", 1);
  EXPECT_EQ(list.Get(1), nullptr);
  EXPECT_EQ(list.Count(), 1u);
  list.Clear();
  EXPECT_EQ(list.Count(), 0u);
  EXPECT_EQ(list.Capacity(), 0u);
  EXPECT_EQ(list.InsertSlot(CBlockList::kNoIndex - 1), CBlockList::kNoIndex);
}

// ---- CGrowBuffer ----

TEST(GrowBuffer, InsertEraseAndCursor) {
  CGrowBuffer buffer;
  ASSERT_NE(buffer.Insert(0, 5, "hello"), nullptr);
  EXPECT_EQ(buffer.Cursor(), 5u);
  EXPECT_GE(buffer.Allocated(), 5u + CGrowBuffer::kGrowthSlack);
  ASSERT_NE(buffer.Insert(0, 2, ">>"), nullptr);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer.At(0)), buffer.Length()), ">>hello");
  EXPECT_EQ(buffer.Cursor(), 2u);
  EXPECT_EQ(buffer.Insert(99, 1, "x"), nullptr);

  buffer.SetCursor(6);
  buffer.Erase(0, 2);
  EXPECT_EQ(buffer.Cursor(), 4u);  // still on the same byte
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer.At(0)), buffer.Length()), "hello");
  buffer.Erase(3, 100);
  EXPECT_EQ(buffer.Length(), 3u);
  EXPECT_EQ(buffer.Cursor(), 3u);
}

TEST(GrowBuffer, SetLengthZeroesAndPullsTheCursorBack) {
  CGrowBuffer buffer;
  ASSERT_TRUE(buffer.SetLength(10));
  for (size_t i = 0; i < 10; ++i) EXPECT_EQ(buffer.GetByte(i), 0);
  buffer.SetByte(9, 7);
  buffer.SetCursor(9);
  ASSERT_TRUE(buffer.SetLength(6));
  EXPECT_EQ(buffer.Cursor(), 5u);
  ASSERT_TRUE(buffer.SetLength(10));
  EXPECT_EQ(buffer.GetByte(9), 0);  // not the old 7
  ASSERT_EQ(buffer.Reserve(4), 1);
  EXPECT_EQ(buffer.Length(), 4u);
  EXPECT_EQ(buffer.Allocated(), 4u);
}

TEST(GrowBuffer, SixteenBitElementsAreLittleEndian) {
  CGrowBuffer buffer;
  buffer.SetLength(4);
  buffer.SetElement16(1, 0x1234);
  EXPECT_EQ(buffer.GetByte(2), 0x34);
  EXPECT_EQ(buffer.GetByte(3), 0x12);
  EXPECT_EQ(buffer.GetElement16(1), 0x1234);
  EXPECT_EQ(buffer.GetElement16(2), 0);  // out of range
  EXPECT_EQ(buffer.Count(2), 2u);
  char out[2];
  buffer.CopyOut(out, 2, 2);
  EXPECT_EQ(buffer.Cursor(), 4u);
}

// ---- CTextBuffer ----

TEST(TextBuffer, EditsKeepTheTerminator) {
  CTextBuffer text;
  EXPECT_EQ(std::u16string(text.Text()), u"");
  ASSERT_TRUE(text.Assign(u"key=value"));
  ASSERT_TRUE(text.Replace(4, 5, u"much longer value", 17));
  EXPECT_EQ(std::u16string(text.Text()), u"key=much longer value");
  ASSERT_TRUE(text.Replace(4, 17, u"v", 1));
  EXPECT_EQ(std::u16string(text.Text()), u"key=v");
  ASSERT_TRUE(text.Insert(0, u"[s]\n", 4));
  text.Erase(5, 100);
  EXPECT_EQ(std::u16string(text.Text()), u"[s]\nk");
  EXPECT_EQ(text.Length(), 5u);
}

TEST(TextBuffer, FindAndCutAtNul) {
  CTextBuffer text;
  text.Assign(u"a=1\n[b]\nc=2", 11);
  EXPECT_EQ(text.Find(u"\n[", 2), 3u);
  EXPECT_EQ(text.Find(u"c=2", 3, 5), 8u);
  EXPECT_EQ(text.Find(u"c=2x", 4), CTextBuffer::kNotFound);
  EXPECT_EQ(text.Find(u']'), 6u);
  const char16_t withNul[] = {u'a', 0, u'b'};
  text.Assign(withNul, 3);
  text.CutAtNul();
  EXPECT_EQ(text.Length(), 1u);
  text.SetCursor(7);
  CTextBuffer other;
  other.Assign(u"xyz");
  text.SwapText(other);
  EXPECT_EQ(std::u16string(text.Text()), u"xyz");
  EXPECT_EQ(text.Cursor(), 7u);  // cursors stay with their owners
}

}  // namespace
