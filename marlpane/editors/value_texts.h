// The editor's words about values that the settings file cannot store
// (their texts are in editor_texts.h): the character that cannot be stored
// and its code (U+30C6), since a message box's font may have no glyph for
// the character.
#pragma once

#include <string>
#include <string_view>

#include "common/text_encoding.h"

// The character at text[i] as it is named in those texts: itself (with its
// partner when it is a surrogate pair), or its code for an unpaired
// surrogate; and its code, U+XXXX (or more digits).
std::u16string CharacterAt(std::u16string_view text, size_t i);
std::u16string CharacterCodeAt(std::u16string_view text, size_t i);

// The popup's status line when it refuses an entry, or the message box when
// a chooser picked such a value (which is not taken), for text[i].
std::u16string UnstorableStatus(TextEncoding encoding, std::u16string_view text, size_t i);
std::u16string UnstorableChoiceMessage(TextEncoding encoding, std::u16string_view text, size_t i);
