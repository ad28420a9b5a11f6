#include "marlpane/rows/row_finder.h"

namespace {

char16_t Fold(char16_t c) {
  if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c + 32);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char16_t>(c + 32);
  return c;
}

}  // namespace

bool ContainsNoCase(std::u16string_view haystack, std::u16string_view needle) {
  if (needle.empty()) return true;
  if (needle.size() > haystack.size()) return false;
  const char16_t first = Fold(needle[0]);
  for (size_t at = 0; at + needle.size() <= haystack.size(); ++at) {
    if (Fold(haystack[at]) != first) continue;
    size_t i = 1;
    while (i < needle.size() && Fold(haystack[at + i]) == Fold(needle[i])) ++i;
    if (i == needle.size()) return true;
  }
  return false;
}

bool CRowFinder::Matches(int row, std::u16string_view needle) const {
  RowTexts texts;
  texts_(row, texts);
  return ContainsNoCase(texts.label, needle) || ContainsNoCase(texts.key, needle) ||
         ContainsNoCase(texts.value, needle) || ContainsNoCase(texts.tip, needle);
}

FindResult CRowFinder::Find(std::u16string_view needle, int from, int step) const {
  FindResult result;
  if (needle.empty() || rowCount_ <= 0) return result;
  if (from < 0 || from >= rowCount_) from = step < 0 ? rowCount_ - 1 : 0;
  // One pass in list order counts the matches and finds the first one at or
  // after from and the last one at or before it.
  int first = -1, firstOrdinal = 0;       // first match of all
  int last = -1, lastOrdinal = 0;         // last match of all
  int after = -1, afterOrdinal = 0;       // first match at or after from
  int before = -1, beforeOrdinal = 0;     // last match at or before from
  for (int row = 0; row < rowCount_; ++row) {
    if (!Matches(row, needle)) continue;
    ++result.matches;
    if (first < 0) first = row, firstOrdinal = result.matches;
    last = row, lastOrdinal = result.matches;
    if (row >= from && after < 0) after = row, afterOrdinal = result.matches;
    if (row <= from) before = row, beforeOrdinal = result.matches;
  }
  if (result.matches == 0) return result;
  if (step >= 0) {
    result.row = after >= 0 ? after : first;
    result.ordinal = after >= 0 ? afterOrdinal : firstOrdinal;
  } else {
    result.row = before >= 0 ? before : last;
    result.ordinal = before >= 0 ? beforeOrdinal : lastOrdinal;
  }
  return result;
}
