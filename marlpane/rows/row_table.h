// The row table: one entry per list row, in list order, telling Save which
// key line a row stands for and which save form its row type uses.
#pragma once

#include <cstdint>
#include <vector>

constexpr int kRowTableCapacity = 22000;
constexpr int32_t kSectionTitleRowType = 1;
constexpr int32_t kUntypedRowType = 0;

struct RowTableEntry {
  int32_t rowType = kUntypedRowType;  // descriptor or detection code; 1 = section title
  int32_t entryIndex = -1;            // key line of the settings document; -1 for titles
};

using RowTable = std::vector<RowTableEntry>;
