// Whole and real numbers in cell texts: read the way "%20d" and "%f" read
// them, written with leading zeros to a least width.
#pragma once

#include <cstddef>
#include <cstdint>

// Reads a whole number at the start of text: blanks skipped, then an
// optional sign and decimal digits, at most width characters of them (0: no
// limit). A number beyond the 32-bit range saturates at its end. Returns
// false, value untouched, when no digit was read.
bool ReadWholeNumber(const char16_t* text, size_t width, int32_t* value);

// Reads a real number at the start of text: blanks skipped, an optional
// sign, digits with an optional "." and an optional exponent, at most width
// characters (0: no limit); the longest such beginning counts. Returns
// false, value untouched, when no digit was read or the number does not fit
// a float.
bool ReadRealNumber(const char16_t* text, size_t width, float* value);

// "%0*d" of value with the least width digits (the sign counts in the width).
// The text is cut to capacity - 1 characters; returns its length.
size_t FormatWholeNumber(int32_t value, unsigned digits, char16_t* out, size_t capacity);

// "%0*.*f" of value: decimals decimals, at least intDigits + decimals + 1
// characters filled with leading zeros. Cut to capacity - 1; returns the length.
size_t FormatRealNumber(float value, unsigned intDigits, unsigned decimals, char16_t* out,
                        size_t capacity);
