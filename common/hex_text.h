// Hexadecimal digits, byte strings as hexadecimal text, and colour text.
#pragma once

#include <cstddef>
#include <cstdint>

// Digits 0-9 -> 0-9, letters a-z and A-Z -> 10-35, anything else -> its
// own low byte.
unsigned HexDigitValue(char16_t c);

// Decodes the longest leading run of hexadecimal digits (n digits) into
// ceil(n / 2) bytes, pairing digits from the right: "abc" -> 0A BC. At most
// capacity bytes are written; a longer run is cut to its first
// 2 * capacity digits. Returns the byte count (0 when there are no digits).
size_t HexToBytes(const char16_t* text, uint8_t* out, size_t capacity);

// Writes each byte as two upper-case digits, last byte first, so that the
// bytes of a little-endian number print as that number. Only whole bytes
// that fit in capacity - 1 characters are written. Returns the characters
// written.
size_t BytesToHex(const uint8_t* bytes, size_t count, char16_t* out, size_t capacity);

// Eight upper-case digits of value, most significant first.
constexpr size_t kDwordHexCapacity = 9;
size_t DwordToHex(uint32_t value, char16_t* out, size_t capacity);

// Colour text RRGGBB, with an optional leading "0x" (lower-case x) or "#",
// to a colour value 0x00BBGGRR (red in the low byte). Text that does not
// read as hexadecimal gives 0 (black).
uint32_t ParseColour(const char16_t* text);

// Reads an unsigned hexadecimal number at text (leading spaces skipped,
// digits until the first non-digit, the value kept to its low 32 bits).
// Returns false when no digit was read.
bool ReadHexNumber(const char16_t* text, uint32_t* value);
