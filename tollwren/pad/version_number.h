// Version numbers of PAD documents. A copy that trusts the network compares
// major x 10000 + minor of the Program_Version texts; a signed copy compares
// the texts by all their numeric components (see VersionRule).
#pragma once

#include <cstdint>
#include <string_view>

// Converts a whole decimal number: optional leading white space and "+",
// then digits up to the end of the text. Any "-", any other character or a
// value above INT32_MAX makes it no number (returns false, out untouched).
// An empty text or null is no number.
bool ParseWholeNumber(const char16_t* text, int32_t& out);
bool ParseWholeNumber(const char16_t* begin, const char16_t* end, int32_t& out);

// Version number of a Program_Version text. The text is split into tokens at
// spaces, full stops and commas (runs count as one, leading ones skipped).
// The first token, when a number, is the major; the second, when a number,
// is the minor; a missing or invalid minor repeats the major ("3" gives
// 30003). An empty text or a text without a leading number gives 0 (or
// 0 x 10000 + minor when only the second token is a number). A result that
// would not fit in 32 bits is held at UINT32_MAX.
uint32_t VersionNumber(const char16_t* text);

enum class VersionCompare {
  kNoRemoteVersion,  // remote number 0: the web document has no usable version
  kSame,
  kRemoteNewer,
  kRemoteOlder,
};

VersionCompare CompareVersions(uint32_t localNumber, uint32_t remoteNumber);

enum class VersionRule {
  // major x 10000 + minor (VersionNumber).
  kMajorMinor,
  // Every number of the text: numbers separated by full stops ("2.10.48.85",
  // blanks around the text ignored), a missing one counting as 0, and what
  // follows the numbers ("-beta", "rc1", " beta 2") marking a pre-release,
  // older than the same numbers alone. Two pre-releases of the same numbers
  // compare by their suffixes, numbers in them as numbers, words without
  // letter case. A text that starts with no number, has a number of more
  // than nine digits, or holds markup or control characters is no version.
  kAllNumbers,
};

// Whether text is a version under kAllNumbers.
bool IsVersionText(std::u16string_view text);

// Compares two Program_Version texts under rule. A local text that is no
// version counts as older than any version.
VersionCompare CompareVersionTexts(VersionRule rule, std::u16string_view local, std::u16string_view remote);
