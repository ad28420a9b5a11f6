// The character set to ask for when creating a font for some texts (the
// updater's for the texts of its language, the editor's fallback fonts):
// a face that lacks the script of the texts (Tahoma has no Chinese or
// Japanese) is then replaced by one that has it, on Windows by the font
// mapper and under Wine through fontconfig.
#pragma once

#include <cstdint>
#include <string_view>

// CreateFontW character set values.
constexpr uint8_t kDefaultCharset = 1;
constexpr uint8_t kShiftJisCharset = 128;
constexpr uint8_t kHangulCharset = 129;
constexpr uint8_t kGb2312Charset = 134;
constexpr uint8_t kHebrewCharset = 177;
constexpr uint8_t kArabicCharset = 178;
constexpr uint8_t kThaiCharset = 222;

// The set of the script that most letters of text belong to, among those
// that Western faces lack; kDefaultCharset for every other text. Kana make
// a text Japanese even among many ideographs.
uint8_t CharsetForText(std::u16string_view text);
