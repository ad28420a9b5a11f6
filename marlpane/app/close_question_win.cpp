#include "marlpane/app/close_question_win.h"

#include <string>

#include "common/text16.h"

CloseAnswer AskToSaveChanges(HWND owner, const char16_t* settingsPath, const char16_t* caption) {
  const char16_t* name = settingsPath ? settingsPath : u"";
  for (const char16_t* c = name; *c; ++c) {
    if (*c == u'\\' || *c == u'/' || *c == u':') name = c + 1;
  }
  std::u16string question = u"Save changes to ";
  question += name;
  question += u'?';
  switch (MessageBoxW(owner, AsWide(question.c_str()), AsWide(caption),
                      MB_YESNOCANCEL | MB_ICONQUESTION)) {
    case IDYES: return CloseAnswer::Save;
    case IDNO: return CloseAnswer::Discard;
    default: return CloseAnswer::Stay;
  }
}
