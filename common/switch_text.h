// Values of command-line switches such as /INI:"C:\a b\x.ini" or /NOTIFY:1234.
// Every function takes the whole command line and looks for the first
// occurrence of the switch text (case-sensitive, anywhere in the line).
#pragma once

#include <cstddef>
#include <cstdint>

// Value of a switch: when a double quote follows the switch, the text up to
// the next double quote (or the end), otherwise up to the next space (or the
// end). The value is cut to capacity - 1 characters. Returns false, out
// unchanged, when the switch is absent; an empty value gives an empty out.
bool GetSwitchText(const char16_t* commandLine, const char16_t* switchText,
                   char16_t* out, size_t capacity);

// Copies the text after the switch up to the first of the stop characters
// (or the end), cut to capacity - 1 characters. Returns the number of
// characters copied: 0 when the switch is absent or nothing follows it.
size_t GetSwitchUntil(const char16_t* commandLine, const char16_t* switchText,
                      const char16_t* stopChars, char16_t* out, size_t capacity);

// The value of GetSwitchUntil read by ParseUnsignedDecimal. Fails for an
// absent switch, an empty value, or a value of more than 99 characters.
constexpr size_t kSwitchNumberCapacity = 100;
bool GetSwitchNumber(const char16_t* commandLine, const char16_t* switchText,
                     const char16_t* stopChars, uint32_t* value);

// An unsigned decimal number that spans the whole text (leading white space
// and a "+" allowed). Fails for a null text, any "-", any other character,
// and a number above 4294967295. An empty text gives 0. Stores the value
// only on success and only when value is given.
bool ParseUnsignedDecimal(const char16_t* text, uint32_t* value);
