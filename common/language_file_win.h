// The user's language as Windows reports it, for choosing a language file.
#pragma once

#include <string>

// The English name of the user's language (LOCALE_SENGLANGUAGE of the user's
// locale), empty when the system does not give one.
std::u16string SystemLanguageName();

// The delivered language of the user's interface language
// (GetUserDefaultUILanguage, see LanguageNameOfLanguageId); empty when it is
// none of them.
std::u16string InterfaceLanguageName();
