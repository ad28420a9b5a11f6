// UTF-16 text helpers shared by the portable core and the Win32 shell.
// Text is held as char16_t code units everywhere; on Windows wchar_t has the
// same size and layout, so the two pointer casts below are the only bridge.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#ifdef _WIN32
static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wchar_t is UTF-16");
inline const wchar_t* AsWide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }
inline wchar_t* AsWide(char16_t* text) { return reinterpret_cast<wchar_t*>(text); }
inline const char16_t* AsText(const wchar_t* text) { return reinterpret_cast<const char16_t*>(text); }
inline char16_t* AsText(wchar_t* text) { return reinterpret_cast<char16_t*>(text); }
#endif

// Length of a NUL-terminated UTF-16 text; 0 for null.
size_t TextLength(const char16_t* text);

// Copies source into out (capacity in characters, terminator included).
// Returns false and stores an empty text when source does not fit.
bool CopyText(char16_t* out, size_t capacity, const char16_t* source);

// Copies an ASCII text (digits, formatted numbers) into out, cut to fit the
// capacity in characters; returns the characters stored.
size_t WidenAscii(const char* from, char16_t* out, size_t capacity);

// UTF-8 <-> UTF-16. Invalid UTF-8 bytes become U+FFFD; unpaired surrogates
// are written as their three-byte forms so that nothing is silently lost.
std::u16string Utf8ToText(std::string_view utf8);
std::string TextToUtf8(std::u16string_view text);
