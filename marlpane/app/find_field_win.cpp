#include "marlpane/app/find_field_win.h"

#include <string>

#include "common/text16.h"
#include "marlpane/app/resource_ids.h"

namespace {

constexpr int kCountShare = 4;  // the count takes a quarter of the width
constexpr int kFieldPadding = 8;  // the edit box is this much higher than its text

}  // namespace

void CFindField::Open(HWND dialog, int tipLineId) {
  dialog_ = dialog;
  tipLine_ = GetDlgItem(dialog, tipLineId);
  if (!edit_) {
    const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(dialog, GWLP_HINSTANCE));
    edit_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                            WS_CHILD | WS_TABSTOP | ES_AUTOHSCROLL, 0, 0, 0, 0, dialog,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_FIND_FIELD)),
                            instance, nullptr);
    count_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | SS_LEFT | SS_CENTERIMAGE, 0, 0, 0, 0,
                             dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_FIND_COUNT)),
                             instance, nullptr);
    const WPARAM font = static_cast<WPARAM>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    SendMessageW(edit_, WM_SETFONT, font, FALSE);
    SendMessageW(count_, WM_SETFONT, font, FALSE);
  }
  open_ = true;
  FitToTipLine();
  ShowWindow(tipLine_, SW_HIDE);
  ShowWindow(edit_, SW_SHOW);
  ShowWindow(count_, SW_SHOW);
  SetFocus(edit_);
  SendMessageW(edit_, EM_SETSEL, 0, -1);
}

void CFindField::Close() {
  if (!open_) return;
  open_ = false;
  ShowWindow(edit_, SW_HIDE);
  ShowWindow(count_, SW_HIDE);
  ShowWindow(tipLine_, SW_SHOW);
}

std::u16string CFindField::Text() const {
  if (!edit_) return {};
  const int length = GetWindowTextLengthW(edit_);
  std::u16string text(static_cast<size_t>(length) + 1, u'\0');
  GetWindowTextW(edit_, AsWide(&text[0]), length + 1);
  text.resize(TextLength(text.c_str()));
  return text;
}

void CFindField::FitToTipLine() {
  if (!open_ || !tipLine_) return;
  RECT tip = {};
  GetWindowRect(tipLine_, &tip);
  MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&tip), 2);
  const int width = tip.right - tip.left;
  const int height = tip.bottom - tip.top;
  // As high as a line of its text (never higher than the tip line), centred in it.
  TEXTMETRICW metrics = {};
  HDC context = GetDC(edit_);
  HGDIOBJ old = SelectObject(context, reinterpret_cast<HFONT>(SendMessageW(edit_, WM_GETFONT, 0, 0)));
  GetTextMetricsW(context, &metrics);
  SelectObject(context, old);
  ReleaseDC(edit_, context);
  int fieldHeight = metrics.tmHeight + kFieldPadding;
  if (fieldHeight > height || fieldHeight <= kFieldPadding) fieldHeight = height;
  const int top = tip.top + (height - fieldHeight) / 2;
  const int countWidth = width / kCountShare;
  const int gap = countWidth > 0 ? 6 : 0;
  SetWindowPos(edit_, nullptr, tip.left, top, width - countWidth - gap, fieldHeight,
               SWP_NOACTIVATE | SWP_NOZORDER);
  SetWindowPos(count_, nullptr, tip.right - countWidth, top, countWidth, fieldHeight,
               SWP_NOACTIVATE | SWP_NOZORDER);
}

void CFindField::ShowResult(const FindResult& result) {
  if (!count_) return;
  std::u16string text;
  if (result.matches > 0) {
    for (char c : std::to_string(result.ordinal) + " of " + std::to_string(result.matches)) text += static_cast<char16_t>(c);
  } else if (GetWindowTextLengthW(edit_) > 0) {
    text = u"no match";
  }
  SetWindowTextW(count_, AsWide(text.c_str()));
}
