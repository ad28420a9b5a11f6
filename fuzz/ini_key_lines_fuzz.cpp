// Adds and deletes key lines in arbitrary texts, checking that
//  - an added line is found again with its value, one more key line exists,
//    and the text around the inserted piece is the old text;
//  - a deleted line takes exactly its characters and line end, and one key
//    line fewer exists.
// The first input byte picks the section, key and value names; the rest is
// the text (one character per byte, as an 8-bit file reads).
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "marlpane/document/ini_document.h"
#include "marlpane/document/ini_key_lines.h"
#include "marlpane/document/ini_lines.h"

namespace {

const char16_t* const kSections[] = {u"", u"a", u"S", u"a b", u"[x"};
const char16_t* const kKeys[] = {u"k", u"a", u" k ", u"x y", u"1"};
const char16_t* const kValues[] = {u"", u"v", u"=", u"[a]", u";c"};

std::u16string TextOf(CIniDocument& document) { return std::u16string(document.Text(), document.Length()); }

size_t KeyLineCount(const std::u16string& text) {
  return CountKeyLines(text.data(), text.size(), 0, text.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t size) {
  if (size == 0) return 0;
  const uint8_t control = input[0];
  CIniDocument document;
  document.Parse(input + 1, size - 1);
  const std::u16string section = kSections[control % 5];
  const std::u16string key = kKeys[(control / 5) % 5];
  const std::u16string value = kValues[(control / 25) % 5];
  const std::u16string before = TextOf(document);
  const size_t keyLines = KeyLineCount(before);

  KeyLineSpot spot;
  if (!FindKeyLine(document, section, key, spot)) {
    if (AddKeyLine(document, section, key, value) == AddKeyResult::Failed) abort();
    const std::u16string after = TextOf(document);
    if (KeyLineCount(after) != keyLines + 1) abort();
    // The old text is a prefix and a suffix of the new one around one piece.
    size_t prefix = 0;
    while (prefix < before.size() && before[prefix] == after[prefix]) ++prefix;
    const size_t inserted = after.size() - before.size();
    if (std::u16string_view(after).substr(prefix + inserted) != std::u16string_view(before).substr(prefix)) abort();
    KeyLineSpot added;
    if (!FindKeyLine(document, section, key, added)) abort();
    if (std::u16string_view(document.Text() + added.line.valueStart, added.line.valueLength) != value) abort();
    return 0;
  }
  const size_t length = spot.line.next - spot.line.start;
  if (!DeleteKeyLine(document, spot)) abort();
  const std::u16string after = TextOf(document);
  if (after != before.substr(0, spot.line.start) + before.substr(spot.line.start + length)) abort();
  // A line without a line end that follows a CR may join a LF after it:
  // then the key lines are no longer counted the same way.
  const bool joined = spot.line.start > 0 && before[spot.line.start - 1] == u'\r' && spot.line.next < before.size() &&
                      before[spot.line.next] == u'\n';
  if (!joined && KeyLineCount(after) != keyLines - 1) abort();
  return 0;
}
