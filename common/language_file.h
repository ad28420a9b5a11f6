// Language files, as both programs read them: UTF-16LE text (a byte-order
// mark allowed), one key=value line each (LF or CR LF), stored in the
// program's appended archive as the entry "<language>.lng". A value is found
// by its key at the start of a line; the first one wins. "RTL" other than
// empty or "0..." lays the interface out right to left.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class CKeyedArchive;

constexpr size_t kLanguageValueLimit = 999;  // a longer value counts as missing
constexpr size_t kRightToLeftValueLimit = 9;
constexpr size_t kLanguageNameLimit = 39;

// One placeholder and its value; names are matched ignoring ASCII case.
struct CPlaceholder {
  std::u16string_view name;
  std::u16string value;
};

// Replaces every placeholder in one left-to-right pass: inserted values are
// never searched again, so a value from outside cannot bring in another
// placeholder. Where several names match, the first listed wins.
std::u16string ReplacePlaceholders(std::u16string_view text, const CPlaceholder* list, size_t count);
// Whether text holds name (a placeholder or the start of one), ignoring ASCII case.
bool HoldsPlaceholder(std::u16string_view text, std::u16string_view name);

// Value of key in a key=value text: the first line that starts with key
// followed by "=" (exact case), up to the end of the line, without a
// trailing CR. False when missing or longer than limit characters.
bool LookUpLanguageValue(std::u16string_view text, std::u16string_view key, size_t limit,
                         std::u16string& value);

// Whether a language file's text reads right to left: an "RTL" value that is
// present, not empty and does not start with "0".
bool IsRightToLeftLanguage(std::u16string_view text);

// The 8-bit archive entry name for a language name and a suffix (".lng" or
// ".bmp"): the low byte of each character.
std::string LanguageEntryName(std::u16string_view language, const char* suffix);

// The text of a language file's bytes: UTF-16LE code units up to the first NUL.
std::u16string DecodeLanguageBytes(const uint8_t* bytes, size_t size);

// Reads the archive entry "<name>.lng" into text. False (text untouched)
// when the entry is missing, empty or fails its check.
bool ReadLanguageEntry(CKeyedArchive& archive, const char16_t* archivePath, std::u16string_view name,
                       std::u16string& text);

// The name of the delivered language for a Windows language id (its primary
// language; Chinese in its simplified script only): "English", "German",
// "French", "Spanish", "Italian", "Dutch", "Polish", "Portuguese", "Russian",
// "Japanese", "Chinese (Simplified)", "Arabic". Empty for any other.
std::u16string_view LanguageNameOfLanguageId(uint16_t languageId);

// A program's texts in one language over its built-in English ones: a text
// is the language file's value for its key, with "\n" as a line break (LF
// where the English text breaks its lines with LF alone, else CR LF) and
// "&nbsp;" and "&amp;" decoded, or the English text wherever the
// file has none (no file, a missing key, an empty value or one too long).
// In a right-to-left language each line of a value stands between the marks
// RIGHT-TO-LEFT EMBEDDING and POP DIRECTIONAL FORMATTING (U+202B, U+202C),
// so that it reads right to left also in a control that lays its text out
// left to right.
class CLanguageTexts {
 public:
  virtual ~CLanguageTexts() = default;

  // The language file's text; an empty text leaves English alone.
  void Use(std::u16string text);
  std::u16string Text(std::string_view key, std::u16string_view english) const;
  bool RightToLeft() const { return rightToLeft_; }

 private:
  std::u16string text_;
  bool rightToLeft_ = false;
};
