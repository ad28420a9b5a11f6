#include "common/web_address.h"

namespace {

bool StartsWithNoCase(std::u16string_view text, std::u16string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    char16_t c = text[i];
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
    if (c != prefix[i]) return false;
  }
  return true;
}

}  // namespace

bool IsWebAddress(std::u16string_view address) {
  size_t start = 0;
  if (StartsWithNoCase(address, u"http://")) {
    start = 7;
  } else if (StartsWithNoCase(address, u"https://")) {
    start = 8;
  } else {
    return false;
  }
  if (address.size() == start || address[start] == u'/') return false;
  for (char16_t c : address) {
    if (c <= u' ' || c == u'"' || c == 0x7F || (c >= 0x80 && c <= 0x9F) || c == 0x2028 || c == 0x2029) return false;
  }
  return true;
}
