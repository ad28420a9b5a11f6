#include "marlpane/app/close_question_win.h"

#include <string>

#include "common/text16.h"
#include "marlpane/app/editor_state.h"

CloseAnswer AskToSaveChanges(HWND owner, const char16_t* settingsPath, const char16_t* caption) {
  std::u16string question = u"Save changes to ";
  question += FileNameOf(settingsPath);
  question += u'?';
  switch (MessageBoxW(owner, AsWide(question.c_str()), AsWide(caption),
                      MB_YESNOCANCEL | MB_ICONQUESTION)) {
    case IDYES: return CloseAnswer::Save;
    case IDNO: return CloseAnswer::Discard;
    default: return CloseAnswer::Stay;
  }
}
