// String and path operations on NUL-terminated UTF-16 texts held in
// caller-supplied buffers. Cutting a text means writing a terminator into it.
// Operations that can lengthen a text take the buffer's capacity (in
// characters, terminator included) and never write past it.
#pragma once

#include <cstddef>

bool StartsWith(const char16_t* text, const char16_t* prefix);
bool EndsWith(const char16_t* text, const char16_t* suffix);
// As EndsWith, comparing ASCII and Latin-1 letters without regard to case.
bool EndsWithNoCase(const char16_t* text, const char16_t* suffix);

// Cuts text at the first c; returns the cut position, or null when c is absent.
char16_t* CutAtChar(char16_t* text, char16_t c);
size_t CountChar(const char16_t* text, char16_t c);
size_t CommonPrefixLength(const char16_t* a, const char16_t* b);

// Replaces every occurrence of find (non-empty) by replacement, scanning the
// text as it was before the call, so a replacement is never rescanned. The
// result is cut to capacity - 1 characters. Returns false when find is null
// or empty (text unchanged) or when the result had to be cut.
bool ReplaceAll(char16_t* text, size_t capacity, const char16_t* find,
                const char16_t* replacement);

// Keeps only the part after the last backslash.
void StripFolder(char16_t* path);
// Cuts at the last backslash (which goes too). A path that starts with a
// double quote gets a closing double quote in place of that backslash.
// Without a backslash the path becomes empty.
void StripFileName(char16_t* path);
// True when the file name part contains a "." and the path does not end in ".".
bool HasExtension(const char16_t* path);
// Cuts at the last "." of the file name part, if any.
void StripExtension(char16_t* path);
// Moves the text from the last "." on to the start ("*.ini" -> ".ini");
// returns path, or null (path unchanged) when there is no ".".
char16_t* KeepExtension(char16_t* path);
// Gives path the extension (with or without its leading "."), unless it
// already ends with it (ignoring case). Returns false, path unchanged, for a
// null path or extension or when the result would not fit in capacity.
bool ReplaceExtension(const char16_t* extension, char16_t* path, size_t capacity);
