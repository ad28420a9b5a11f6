// Fuzzes PAD field extraction, the document readers and the check of
// fetched bytes with arbitrary document bytes.
//
// Input: byte 0 picks the reader (even: local, odd: remote) and, for
// ExtractPadField, a tag length (byte 1 mod 24) and limit (byte 2); the
// tag follows; the rest is the document.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "tollwren/pad/pad_document.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  const bool remote = (data[0] & 1) != 0;
  const size_t tagLength = data[1] % 24;
  const size_t limit = data[2];
  data += 3;
  size -= 3;
  if (tagLength > size) return 0;
  std::u16string tag(data, data + tagLength);
  data += tagLength;
  size -= tagLength;

  // Accepted bytes are 8-bit text without zero bytes.
  if (!FetchedPadProblem(data, size) && ((size >= 2 && data[0] == 0xFF && data[1] == 0xFE) ||
                                         std::find(data, data + size, 0) != data + size)) {
    __builtin_trap();
  }
  CPadDocument doc;
  if (remote) {
    doc.LoadRemoteBytes(data, size);
  } else {
    doc.LoadLocalBytes(data, size);
  }
  const std::u16string& text = doc.CurrentText();
  std::u16string value;
  if (ExtractPadField(text, tag, limit, value)) {
    // The value lies between the tags it was found by.
    if (value.size() > limit) __builtin_trap();
    const std::u16string around = u"<" + tag + u">" + value + u"</" + tag + u">";
    if (text.find(around) == std::u16string::npos) __builtin_trap();
  }
  for (int i = 1; i < kDescriptionCount; ++i) {
    if (doc.descriptions[i].empty() && !doc.descriptions[i - 1].empty()) __builtin_trap();
  }
  if (!doc.companyWebSite.empty() && doc.companyWebSite.back() == u'/') __builtin_trap();
  if (doc.releaseDate.size() > kReleaseDateLimit) __builtin_trap();
  return 0;
}
