#include "marlpane/app/close_question_win.h"

#include <string>

#include "marlpane/app/editor_state.h"
#include "marlpane/editors/editor_message_win.h"
#include "marlpane/editors/editor_texts.h"

CloseAnswer AskToSaveChanges(HWND owner, const char16_t* settingsPath, const char16_t* caption) {
  const std::u16string question = EditorTextOf(EditorText::CloseQuestion, {{u"<File_Name>", FileNameOf(settingsPath)}});
  switch (EditorMessageBox(owner, question, caption, MB_YESNOCANCEL | MB_ICONQUESTION)) {
    case IDYES: return CloseAnswer::Save;
    case IDNO: return CloseAnswer::Discard;
    default: return CloseAnswer::Stay;
  }
}
