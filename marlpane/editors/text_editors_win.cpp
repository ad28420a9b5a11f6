#include "marlpane/editors/text_editors_win.h"

#include <algorithm>

#include "common/text16.h"
#include "common/window_text_win.h"
#include "marlpane/editors/editor_texts.h"
#include "marlpane/editors/popup_editor_win.h"
#include "marlpane/rows/cell_kinds.h"

namespace {

constexpr int kCellTextLimit = static_cast<int>(kCellTextCapacity) - 1;  // 4999
constexpr int kMultiLineMinimumHeight = 100;
constexpr int kButtonHeight = 24;
constexpr int kButtonRowHeight = 25;

constexpr DWORD kTextEditStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL;
constexpr DWORD kMultiLineEditStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP |
                                      ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL |
                                      ES_WANTRETURN;
constexpr DWORD kButtonStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP;

class CTextEditor : public CPopupEditor {
 public:
  explicit CTextEditor(std::u16string& text) : text_(text) {}

 protected:
  bool CreateControls(HWND, int width, int height) override {
    edit_ = CreateControl(L"EDIT", AsWide(text_.c_str()), kTextEditStyle, 0, 0, width, height);
    if (!edit_) return false;
    UseFontFor(edit_, text_);
    // The cell holds no more; typing stops there instead of being cut later.
    SendMessageW(edit_, EM_LIMITTEXT, kCellTextLimit, 0);
    CaretToEnd(edit_);
    focus_ = edit_;
    return true;
  }
  bool Accept() override {
    std::u16string entry = WindowText(edit_);
    // A value is one line of the settings file.
    const size_t lineBreak = entry.find_first_of(u"\r\n");
    if (lineBreak != std::u16string::npos) entry.resize(lineBreak);
    if (entry.size() > static_cast<size_t>(kCellTextLimit)) entry.resize(kCellTextLimit);
    if (Refuses(entry)) return false;
    text_ = entry;
    return true;
  }

 private:
  std::u16string& text_;
  HWND edit_ = nullptr;
};

class CMultiLineEditor : public CPopupEditor {
 public:
  explicit CMultiLineEditor(std::u16string& text) : text_(text) {}

 protected:
  bool CreateControls(HWND, int width, int height) override {
    const std::u16string lines = MarkersToLineBreaks(text_);
    edit_ = CreateControl(L"EDIT", AsWide(lines.c_str()), kMultiLineEditStyle, 0, 0, width,
                          std::max(0, height - kButtonRowHeight));
    if (!edit_) return false;
    UseFontFor(edit_, lines);
    UpdateLimit();
    CaretToEnd(edit_);
    const int third = width / 3;
    const int top = height - kButtonHeight;
    HWND ok = CreateControl(L"BUTTON", AsWide(EditorTextOf(EditorText::MultiLineOk).c_str()), kButtonStyle, 0, top,
                            third, kButtonHeight, kOkCommand);
    HWND cancel = CreateControl(L"BUTTON", AsWide(EditorTextOf(EditorText::MultiLineCancel).c_str()), kButtonStyle,
                                2 * third, top, third, kButtonHeight, kCancelCommand);
    if (!ok || !cancel) return false;
    FitFontToText(ok);
    FitFontToText(cancel);
    focus_ = edit_;
    return true;
  }
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT*) override {
    if (message == WM_COMMAND && reinterpret_cast<HWND>(lParam) == edit_ &&
        HIWORD(wParam) == EN_CHANGE) {
      UpdateLimit();
    }
    return false;
  }
  bool Accept() override {
    std::u16string entry = LineBreaksToMarkers(WindowText(edit_));
    if (entry.size() > static_cast<size_t>(kCellTextLimit)) entry.resize(kCellTextLimit);
    if (Refuses(entry)) return false;
    text_ = entry;
    return true;
  }

 private:
  // The box holds two characters (CR LF) for every line break, the cell one
  // marker: the box may hold one more character per line break than the
  // cell holds in all.
  void UpdateLimit() {
    const LRESULT lines = SendMessageW(edit_, EM_GETLINECOUNT, 0, 0);
    const int breaks = lines > 1 ? static_cast<int>(lines - 1) : 0;
    SendMessageW(edit_, EM_LIMITTEXT, static_cast<WPARAM>(kCellTextLimit + breaks), 0);
  }

  std::u16string& text_;
  HWND edit_ = nullptr;
};

}  // namespace

std::u16string MarkersToLineBreaks(const std::u16string& text) {
  std::u16string out;
  out.reserve(text.size() + std::count(text.begin(), text.end(), kLineBreakMarker));
  for (char16_t c : text) {
    if (c == kLineBreakMarker) {
      out += u"\r\n";
    } else {
      out += c;
    }
  }
  return out;
}

std::u16string LineBreaksToMarkers(const std::u16string& text) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c == u'\r' || c == u'\n') {
      if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
      out += kLineBreakMarker;
    } else {
      out += c;
    }
  }
  return out;
}

bool EditTextValue(const EditRequest& request, std::u16string& text) {
  CTextEditor editor(text);
  return editor.Run(request, WS_EX_CONTROLPARENT | WS_EX_STATICEDGE, CellHeight(request));
}

bool EditMultiLineValue(const EditRequest& request, std::u16string& text) {
  CMultiLineEditor editor(text);
  return editor.Run(request, WS_EX_CONTROLPARENT | WS_EX_CLIENTEDGE,
                    std::max(CellHeight(request), kMultiLineMinimumHeight));
}
