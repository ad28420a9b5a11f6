#include "marlpane/editors/password_editor_win.h"

#include <string>

#include "common/text16.h"
#include "marlpane/editors/editor_texts.h"
#include "marlpane/editors/popup_editor_win.h"

namespace {

// A stored password may hold 5000 characters; confirming it unchanged keeps them.
constexpr int kEntryCapacity = static_cast<int>(kPasswordLimit) + 1;
constexpr DWORD kPasswordEditStyle =
    WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_PASSWORD | ES_AUTOHSCROLL;

std::u16string LengthRule(EditorText id, int32_t minimum, int32_t maximum = 0) {
  return EditorTextOf(id, {{u"<Min>", NumberText(minimum)}, {u"<Max>", NumberText(maximum)}});
}

class CPasswordEditor : public CPopupEditor {
 public:
  explicit CPasswordEditor(PasswordBlock& block) : block_(block) {}

 protected:
  bool CreateControls(HWND, int width, int height) override {
    const int editHeight = height > kStatusHeight ? height - kStatusHeight : 0;
    edit_ = CreateControl(L"EDIT", AsWide(block_.text.c_str()), kPasswordEditStyle, 0, 0, width,
                          editHeight);
    if (!edit_ || !CreateStatusLine(editHeight, width)) return false;
    // Set after the text: a stored password longer than the maximum stays
    // whole when it is confirmed unchanged.
    if (block_.maxLength > 0) SendMessageW(edit_, EM_LIMITTEXT, static_cast<WPARAM>(block_.maxLength), 0);
    UseGuiFont(edit_);
    CaretToEnd(edit_);
    if (block_.minLength != 0 || block_.maxLength != 0) {
      ShowStatus(LengthRule(EditorText::PasswordRange, block_.minLength, block_.maxLength));
    }
    focus_ = edit_;
    return true;
  }

  bool Accept() override {
    wchar_t entry[kEntryCapacity] = {};
    const int length = GetWindowTextW(edit_, entry, kEntryCapacity);
    if (length < block_.minLength) {
      ShowStatus(LengthRule(EditorText::PasswordTooShort, block_.minLength));
      SetFocus(edit_);
      return false;
    }
    const std::u16string typed(AsText(entry), static_cast<size_t>(length > 0 ? length : 0));
    if (Refuses(typed)) return false;
    block_.text = typed;
    return true;
  }

 private:
  PasswordBlock& block_;
  HWND edit_ = nullptr;
};

}  // namespace

bool EditPasswordValue(const EditRequest& request, PasswordBlock& block) {
  PasswordBlock working = block;
  CPasswordEditor editor(working);
  if (!editor.Run(request, WS_EX_CONTROLPARENT | WS_EX_STATICEDGE,
                  CellHeight(request) + CPopupEditor::kStatusHeight)) {
    return false;
  }
  block.text = working.text;
  return true;
}
