// Version numbers of PAD documents: major x 10000 + minor, taken from the
// Program_Version text. Two documents are compared by these numbers only.
#pragma once

#include <cstdint>

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
