#include "common/script_charset.h"

namespace {

enum Script { kOther, kKana, kIdeograph, kHangul, kHebrew, kArabic, kThai, kScriptCount };

Script ScriptOf(char16_t c) {
  if (c >= 0x3040 && c <= 0x30FF) return kKana;
  if ((c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF) || (c >= 0xF900 && c <= 0xFAFF)) {
    return kIdeograph;
  }
  if ((c >= 0xAC00 && c <= 0xD7AF) || (c >= 0x1100 && c <= 0x11FF)) return kHangul;
  if (c >= 0x0590 && c <= 0x05FF) return kHebrew;
  if ((c >= 0x0600 && c <= 0x06FF) || (c >= 0xFB50 && c <= 0xFDFF) || (c >= 0xFE70 && c <= 0xFEFF)) {
    return kArabic;
  }
  if (c >= 0x0E00 && c <= 0x0E7F) return kThai;
  return kOther;
}

}  // namespace

uint8_t CharsetForText(std::u16string_view text) {
  int counts[kScriptCount] = {};
  for (char16_t c : text) ++counts[ScriptOf(c)];
  if (counts[kKana] > 0) return kShiftJisCharset;
  static const struct {
    Script script;
    uint8_t charset;
  } kSets[] = {{kIdeograph, kGb2312Charset}, {kHangul, kHangulCharset}, {kHebrew, kHebrewCharset},
               {kArabic, kArabicCharset},    {kThai, kThaiCharset}};
  int best = 0;
  uint8_t charset = kDefaultCharset;
  for (const auto& set : kSets) {
    if (counts[set.script] > best) {
      best = counts[set.script];
      charset = set.charset;
    }
  }
  return charset;
}
