#include "marlpane/editors/popup_editor_win.h"

#include <algorithm>

#include "common/font_fallback_win.h"
#include "common/generic_window_win.h"
#include "common/text16.h"
#include "common/window_text_win.h"

namespace {

// The editor whose popup is open: the hooks have no other way to find it.
CPopupEditor* gOpenEditor = nullptr;

constexpr DWORD kPopupStyle = WS_POPUP | WS_VISIBLE | WS_TABSTOP;
// Posted to the popup when it lost the activation.
constexpr UINT kLeftMessage = WM_APP + 1;

bool IsButtonDown(UINT message) {
  switch (message) {
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN: case WM_NCRBUTTONDOWN: case WM_NCMBUTTONDOWN:
      return true;
    default:
      return false;
  }
}

// The popup moved up or left as far as needed to show whole on the monitor
// that holds the cell.
RECT OnScreen(RECT box) {
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof monitor;
  if (!GetMonitorInfoW(MonitorFromRect(&box, MONITOR_DEFAULTTONEAREST), &monitor)) return box;
  const RECT& area = monitor.rcWork;
  if (box.bottom > area.bottom) OffsetRect(&box, 0, area.bottom - box.bottom);
  if (box.right > area.right) OffsetRect(&box, area.right - box.right, 0);
  if (box.top < area.top) OffsetRect(&box, 0, area.top - box.top);
  if (box.left < area.left) OffsetRect(&box, area.left - box.left, 0);
  return box;
}

constexpr DWORD kStatusStyle = WS_CHILD | WS_VISIBLE | SS_CENTER | SS_NOPREFIX | SS_SUNKEN;

}  // namespace

CPopupEditor::~CPopupEditor() {
  if (gOpenEditor == this) gOpenEditor = nullptr;
}

bool CPopupEditor::OnMessage(UINT, WPARAM, LPARAM, LRESULT*) { return false; }

bool CPopupEditor::Intercept(const MSG&) { return false; }

bool CPopupEditor::Run(const EditRequest& request, DWORD extendedStyle, int height) {
  if (gOpenEditor) return false;
  owner_ = request.owner;
  fonts_ = request.fonts;
  refusal_ = request.refusal;
  status_ = nullptr;
  const RECT box = OnScreen(RECT{request.cell.left, request.cell.top,
                                 request.cell.left + CellWidth(request),
                                 request.cell.top + height});
  CGenericWindow window;
  gOpenEditor = this;
  accepted_ = false;
  closing_ = false;
  armed_ = false;
  if (!window.Create(nullptr, request.name.c_str(), owner_, kPopupStyle, extendedStyle, box.left, box.top,
                     box.right - box.left, box.bottom - box.top, this, &CPopupEditor::Procedure) ||
      !popup_) {
    gOpenEditor = nullptr;
    popup_ = nullptr;
    return false;
  }
  // A click on the main window (disabled while the editor is open) changes
  // no activation; the system only sends that window WM_SETCURSOR with
  // HTERROR. The hook sees it and closes the popup as a click elsewhere does.
  HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, &CPopupEditor::SentMessageHook, nullptr,
                                 GetCurrentThreadId());
  if (GetActiveWindow() != popup_) SetActiveWindow(popup_);
  if (focus_) SetFocus(focus_);
  Shown();
  armed_ = true;
  // The modal loop of CGenericWindow, with the editor's first look at each
  // message: keys meant for windows outside the popup (a picker's calendar).
  MSG message = {};
  for (;;) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) break;
    if (got == -1 || Intercept(message)) continue;
    if (IsDialogMessageW(popup_, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  if (hook) UnhookWindowsHookEx(hook);
  gOpenEditor = nullptr;
  popup_ = nullptr;
  return accepted_;
}

LRESULT CALLBACK CPopupEditor::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    auto* editor = static_cast<CPopupEditor*>(create->lpCreateParams);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(editor));
    editor->popup_ = window;
  }
  auto* editor = reinterpret_cast<CPopupEditor*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!editor) return DefWindowProcW(window, message, wParam, lParam);
  return editor->Handle(window, message, wParam, lParam);
}

LRESULT CPopupEditor::Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (message != WM_CREATE && message != WM_NCCREATE && message != WM_DESTROY &&
      message != WM_NCDESTROY && OnMessage(message, wParam, lParam, &result)) {
    return result;
  }
  switch (message) {
    case WM_CREATE: {
      RECT client = {};
      GetClientRect(window, &client);
      return CreateControls(window, client.right, client.bottom) ? 0 : -1;
    }
    case WM_NCACTIVATE:
      // Decided once the change of activation is over: a window the editor
      // opens itself (a picker's calendar) is shown by then.
      if (!wParam && armed_ && !closing_) PostMessageW(window, kLeftMessage, 0, 0);
      break;
    case kLeftMessage:
      if (!closing_ && LeavingCommits()) PostCommand(kOkCommand);
      return 0;
    case WM_ACTIVATE:
      // Like a dialog: the focus goes back to the control that had it.
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(window, focus)) lastFocus_ = focus;
      } else if (!HIWORD(wParam)) {
        HWND focus = lastFocus_ && IsWindow(lastFocus_) ? lastFocus_ : focus_;
        if (focus) SetFocus(focus);
      }
      return 0;
    case WM_COMMAND:
      if (HIWORD(wParam) == EN_CHANGE && lParam && IsChild(window, reinterpret_cast<HWND>(lParam))) {
        // An edit box's font follows what is typed into it (a password
        // box shows only its mask characters).
        HWND edit = reinterpret_cast<HWND>(lParam);
        if (!(GetWindowLongW(edit, GWL_STYLE) & ES_PASSWORD)) UseFontFor(edit, WindowText(edit));
        break;
      }
      if (HIWORD(wParam) == BN_CLICKED &&
          (LOWORD(wParam) == kOkCommand || LOWORD(wParam) == kCancelCommand)) {
        if (closing_) return 1;
        if (LOWORD(wParam) == kOkCommand && !Accept()) return 1;
        Close(LOWORD(wParam) == kOkCommand);
        return 1;
      }
      break;
    case WM_CLOSE:  // Escape in a multi-line edit box
      if (!closing_) Close(false);
      return 0;
    case DM_GETDEFID: {
      // Enter on a focused Ok or Cancel button acts as that button.
      HWND focus = GetFocus();
      const int id = focus && IsChild(window, focus) ? GetDlgCtrlID(focus) : 0;
      if ((id == kOkCommand || id == kCancelCommand) &&
          (SendMessageW(focus, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON)) {
        return MAKELRESULT(id, DC_HASDEFID);
      }
      return 0;
    }
    case WM_NEXTDLGCTL:
      if (!lParam) MoveFocus(wParam != 0);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void CPopupEditor::Close(bool accepted) {
  closing_ = true;
  accepted_ = accepted;
  if (owner_) {
    EnableWindow(owner_, TRUE);
    SetFocus(owner_);
  }
  DestroyWindow(popup_);
}

void CPopupEditor::MoveFocus(bool backwards) {
  HWND next = GetNextDlgTabItem(popup_, GetFocus(), backwards ? TRUE : FALSE);
  if (next) SetFocus(next);
}

void CPopupEditor::PostCommand(WORD command) {
  if (popup_ && IsWindow(popup_)) PostMessageW(popup_, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), 0);
}

bool CPopupEditor::BelongsToOwner(HWND window) const {
  return window && owner_ && GetAncestor(window, GA_ROOT) == owner_;
}

LRESULT CALLBACK CPopupEditor::SentMessageHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && gOpenEditor && gOpenEditor->armed_) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    // A click on a disabled window arrives as WM_SETCURSOR with HTERROR.
    if (sent->message == WM_SETCURSOR && LOWORD(sent->lParam) == static_cast<WORD>(HTERROR) &&
        IsButtonDown(HIWORD(sent->lParam)) && gOpenEditor->BelongsToOwner(sent->hwnd)) {
      gOpenEditor->PostCommand(kOkCommand);
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void CPopupEditor::UseGuiFont(HWND control) {
  if (control) {
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                 FALSE);
  }
}

void CPopupEditor::UseFontFor(HWND control, std::u16string_view text) {
  if (!control) return;
  HFONT font = fonts_ ? fonts_->FontFor(text) : nullptr;
  if (!font) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  // A control made a moment ago has no font yet and draws later anyway.
  const HFONT current = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
  if (current == font) return;
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), current ? TRUE : FALSE);
}

void CPopupEditor::FitFontToText(HWND control) {
  if (!control) return;
  const std::u16string text = WindowText(control);
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
  if (!font) font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
  HDC context = GetDC(control);
  const size_t missing = CFontFallback::MissingGlyphs(context, font, text);
  ReleaseDC(control, context);
  if (missing > 0) UseFontFor(control, text);
}

HWND CPopupEditor::CreateStatusLine(int y, int width) {
  status_ = CreateControl(L"STATIC", L"", kStatusStyle | SS_CENTERIMAGE, 0, y, width, kStatusHeight);
  UseGuiFont(status_);
  return status_;
}

void CPopupEditor::ShowStatus(const std::u16string& text) {
  if (!popup_) return;
  RECT client = {};
  GetClientRect(popup_, &client);
  if (!status_ && !CreateStatusLine(client.bottom, client.right)) return;
  UseFontFor(status_, text);
  SetWindowTextW(status_, AsWide(text.c_str()));
  // As tall as the text wrapped at the line's width needs.
  RECT line = {};
  GetWindowRect(status_, &line);
  MapWindowPoints(HWND_DESKTOP, popup_, reinterpret_cast<POINT*>(&line), 2);
  const SIZE needed = TextSize(status_, reinterpret_cast<HFONT>(SendMessageW(status_, WM_GETFONT, 0, 0)), text,
                               line.right - line.left - 4, DT_WORDBREAK | DT_NOPREFIX);
  const int height = std::max<int>(kStatusHeight, needed.cy + 6);
  const int grow = line.top + height - client.bottom;
  if (grow > 0) {
    RECT box = {};
    GetWindowRect(popup_, &box);
    box.bottom += grow;
    box = OnScreen(box);
    SetWindowPos(popup_, nullptr, box.left, box.top, box.right - box.left, box.bottom - box.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (height > kStatusHeight) {
    // Several lines: a centred single line would be cut.
    SetWindowLongW(status_, GWL_STYLE, GetWindowLongW(status_, GWL_STYLE) & ~SS_CENTERIMAGE);
  }
  SetWindowPos(status_, nullptr, line.left, line.top, line.right - line.left, height, SWP_NOZORDER);
  InvalidateRect(status_, nullptr, TRUE);
}

bool CPopupEditor::Refuses(const std::u16string& value) {
  const std::u16string reason = refusal_ ? refusal_(value) : std::u16string();
  if (reason.empty()) return false;
  ShowStatus(reason);
  if (focus_) SetFocus(focus_);
  return true;
}

void CPopupEditor::CaretToEnd(HWND edit) {
  if (edit) SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(-2), -1);
}

HWND CPopupEditor::CreateControl(const wchar_t* className, const wchar_t* text, DWORD style, int x,
                                 int y, int width, int height, int id) {
  return CreateWindowExW(0, className, text ? text : L"", style, x, y, width, height, popup_,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                         GetModuleHandleW(nullptr), nullptr);
}
