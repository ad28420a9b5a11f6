#include "marlpane/app/find_field_win.h"

#include <algorithm>
#include <string>

#include "common/text16.h"
#include "common/window_text_win.h"
#include "marlpane/app/resource_ids.h"
#include "marlpane/editors/editor_texts.h"

namespace {

constexpr int kCountShare = 4;  // the count takes a quarter of the width
constexpr int kFieldPadding = 8;  // the edit box is this much higher than its text

}  // namespace

void CFindField::Open(HWND dialog, int tipLineId) {
  dialog_ = dialog;
  tipLine_ = GetDlgItem(dialog, tipLineId);
  if (!edit_) {
    const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(dialog, GWLP_HINSTANCE));
    // Made first, so that it stands right before the edit box: a screen
    // reader names the box by it.
    label_ = CreateWindowExW(0, L"STATIC", AsWide(EditorTextOf(EditorText::FindLabel).c_str()),
                             WS_CHILD | SS_RIGHT | SS_CENTERIMAGE | SS_NOPREFIX, 0, 0, 0, 0, dialog,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_FIND_LABEL)), instance, nullptr);
    edit_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                            WS_CHILD | WS_TABSTOP | ES_AUTOHSCROLL, 0, 0, 0, 0, dialog,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_FIND_FIELD)),
                            instance, nullptr);
    count_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | SS_LEFT | SS_CENTERIMAGE, 0, 0, 0, 0,
                             dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_FIND_COUNT)),
                             instance, nullptr);
    // The tip line's font: the editor's texts in the dialog's size.
    const WPARAM font = static_cast<WPARAM>(SendMessageW(tipLine_, WM_GETFONT, 0, 0));
    for (HWND control : {label_, edit_, count_}) SendMessageW(control, WM_SETFONT, font, FALSE);
  }
  open_ = true;
  FitToTipLine();
  ShowWindow(tipLine_, SW_HIDE);
  for (HWND control : {label_, edit_, count_}) ShowWindow(control, SW_SHOW);
  SetFocus(edit_);
  SendMessageW(edit_, EM_SETSEL, 0, -1);
}

void CFindField::Close() {
  if (!open_) return;
  open_ = false;
  for (HWND control : {label_, edit_, count_}) ShowWindow(control, SW_HIDE);
  ShowWindow(tipLine_, SW_SHOW);
}

std::u16string CFindField::Text() const {
  return edit_ ? WindowText(edit_) : std::u16string();
}

void CFindField::FitToTipLine() {
  if (!open_ || !tipLine_) return;
  RECT tip = {};
  GetWindowRect(tipLine_, &tip);
  MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&tip), 2);
  const int width = tip.right - tip.left;
  const int height = tip.bottom - tip.top;
  // As high as a line of its text (never higher than the tip line), centred
  // in it, after its label.
  TEXTMETRICW metrics = {};
  HDC context = GetDC(edit_);
  HGDIOBJ old = SelectObject(context, reinterpret_cast<HFONT>(SendMessageW(edit_, WM_GETFONT, 0, 0)));
  GetTextMetricsW(context, &metrics);
  const std::u16string label = EditorTextOf(EditorText::FindLabel);
  SIZE labelSize = {};
  GetTextExtentPoint32W(context, AsWide(label.c_str()), static_cast<int>(label.size()), &labelSize);
  SelectObject(context, old);
  ReleaseDC(edit_, context);
  int fieldHeight = metrics.tmHeight + kFieldPadding;
  if (fieldHeight > height || fieldHeight <= kFieldPadding) fieldHeight = height;
  const int top = tip.top + (height - fieldHeight) / 2;
  const int countWidth = width / kCountShare;
  const int gap = countWidth > 0 ? 6 : 0;
  const int labelWidth = std::min<int>(labelSize.cx + gap, width / kCountShare);
  SetWindowPos(label_, nullptr, tip.left, top, labelWidth, fieldHeight, SWP_NOACTIVATE | SWP_NOZORDER);
  SetWindowPos(edit_, nullptr, tip.left + labelWidth + gap, top, width - labelWidth - countWidth - 2 * gap,
               fieldHeight, SWP_NOACTIVATE | SWP_NOZORDER);
  SetWindowPos(count_, nullptr, tip.right - countWidth, top, countWidth, fieldHeight,
               SWP_NOACTIVATE | SWP_NOZORDER);
}

void CFindField::ShowResult(const FindResult& result) {
  if (!count_) return;
  std::u16string text;
  if (result.matches > 0) {
    text = EditorTextOf(EditorText::FindCount,
                        {{u"<Index>", NumberText(result.ordinal)}, {u"<Count>", NumberText(result.matches)}});
  } else if (GetWindowTextLengthW(edit_) > 0) {
    text = EditorTextOf(EditorText::NoMatch);
  }
  SetWindowTextW(count_, AsWide(text.c_str()));
}
