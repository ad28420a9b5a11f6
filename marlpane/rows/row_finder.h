// Finding rows by a piece of text: a row matches when its label, key, shown
// value or tip holds the text, in any case. The search starts at a row and
// wraps at either end; no row is ever hidden or removed.
#pragma once

#include <functional>
#include <string>
#include <string_view>

// The texts a row is searched in.
struct RowTexts {
  std::u16string_view label;
  std::u16string_view key;
  std::u16string_view value;
  std::u16string_view tip;
};

// What a search found: the row (-1 for none), its place among the matching
// rows (1-based) and how many rows match.
struct FindResult {
  int row = -1;
  int ordinal = 0;
  int matches = 0;
};

// True when haystack holds needle, compared without case (ASCII and
// Latin-1 letters); an empty needle is in every text.
bool ContainsNoCase(std::u16string_view haystack, std::u16string_view needle);

class CRowFinder {
 public:
  // texts(row, out) fills out for row 0 to rowCount - 1; the views need to
  // live only until the next call.
  using TextsOf = std::function<void(int row, RowTexts& out)>;
  CRowFinder(int rowCount, TextsOf texts) : rowCount_(rowCount), texts_(std::move(texts)) {}

  bool Matches(int row, std::u16string_view needle) const;
  // The first matching row at or after from (step 1) or at or before from
  // (step -1), wrapping at the ends; with the count of matches and the
  // found row's place among them. An empty needle finds nothing.
  FindResult Find(std::u16string_view needle, int from, int step) const;

 private:
  int rowCount_;
  TextsOf texts_;
};
