#include "common/language_file_win.h"

#include <windows.h>

#include "common/language_file.h"
#include "common/text16.h"

std::u16string SystemLanguageName() {
  wchar_t name[kLanguageNameLimit + 1] = {};
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SENGLANGUAGE, name, kLanguageNameLimit + 1) <= 0) {
    return std::u16string();
  }
  return std::u16string(AsText(name));
}

std::u16string InterfaceLanguageName() {
  return std::u16string(LanguageNameOfLanguageId(GetUserDefaultUILanguage()));
}
