// The editor's words about values that the settings file cannot store, in
// one place (a translation replaces these texts). "%1" stands for the
// character that cannot be stored, "%2" for its code (U+30C6): a message
// box's font may have no glyph for the character.
#pragma once

#include <string>
#include <string_view>

#include "common/text_encoding.h"

// The popup's status line when it refuses an entry.
constexpr char16_t kUnstorableIn8BitFile[] = u"This 8-bit file can't store \"%1\" (Esc discards)";
constexpr char16_t kUnstorableInFile[] = u"This file can't store \"%1\" (Esc discards)";
// A message box when a chooser picked such a value, which is not taken.
constexpr char16_t kUnstorableChoiceIn8BitFile[] =
    u"The settings file is stored as 8-bit text and can't store \"%1\" (%2).\n\nThe value stays as it was.";
constexpr char16_t kUnstorableChoiceInFile[] =
    u"The settings file can't store \"%1\" (%2).\n\nThe value stays as it was.";

// The character at text[i] as it is named in those texts: itself (with its
// partner when it is a surrogate pair), or its code for an unpaired
// surrogate; and its code, U+XXXX (or more digits).
std::u16string CharacterAt(std::u16string_view text, size_t i);
std::u16string CharacterCodeAt(std::u16string_view text, size_t i);

// The status line's or the message box's text for text[i].
std::u16string UnstorableStatus(TextEncoding encoding, std::u16string_view text, size_t i);
std::u16string UnstorableChoiceMessage(TextEncoding encoding, std::u16string_view text, size_t i);
