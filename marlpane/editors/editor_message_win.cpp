#include "marlpane/editors/editor_message_win.h"

#include <algorithm>
#include <vector>

#include "common/font_fallback_win.h"
#include "common/text16.h"
#include "common/window_dpi_win.h"
#include "common/window_text_win.h"
#include "marlpane/editors/editor_texts.h"

namespace {

// Sizes at 96 DPI, as the system's message boxes have them.
constexpr int kMargin = 12;
constexpr int kIconGap = 10;
constexpr int kIconSize = 32;
constexpr int kTextWidthLimit = 420;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kButtonGap = 8;
constexpr int kButtonPadding = 16;

struct Answer {
  int id;
  EditorText text;
};

struct Message {
  const std::u16string* text;
  const std::u16string* caption;
  UINT type;
  std::vector<Answer> answers;
  CFontFallback fonts;
  HFONT messageFont = nullptr;
};

// An empty dialog: the controls are made for the message.
struct alignas(4) EmptyDialog {
  DLGTEMPLATE header;
  WORD menu;
  WORD windowClass;
  WORD title;
};

HWND MakeControl(HWND box, const wchar_t* windowClass, const std::u16string& text, DWORD style, int id) {
  return CreateWindowExW(0, windowClass, AsWide(text.c_str()), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, box,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
}

void Place(HWND control, int x, int y, int width, int height) {
  SetWindowPos(control, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// The system's message font at the box's DPI.
HFONT MessageFont(int dpi) {
  NONCLIENTMETRICSW metrics = {};
  metrics.cbSize = sizeof metrics;
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return nullptr;
  HDC screen = GetDC(nullptr);
  const int systemDpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, dpi, systemDpi);
  return CreateFontIndirectW(&metrics.lfMessageFont);
}

SIZE WrappedSize(HWND control, HFONT font, const std::u16string& text, int widthLimit) {
  return TextSize(control, font, text, widthLimit, DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
}

void LayOut(HWND box, Message& message) {
  const int dpi = WindowDpi(box);
  const auto s = [dpi](int pixels) { return MulDiv(pixels, dpi, 96); };
  std::u16string texts = *message.text;
  for (const Answer& answer : message.answers) texts += EditorTextOf(answer.text);
  message.messageFont = MessageFont(dpi);
  message.fonts.SetBaseFont(message.messageFont);
  HFONT font = message.fonts.FontFor(texts);

  const bool question = (message.type & MB_ICONMASK) == MB_ICONQUESTION;
  HWND icon = MakeControl(box, L"STATIC", u"", SS_ICON, -1);
  SendMessageW(icon, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconW(nullptr, question ? IDI_QUESTION : IDI_WARNING)),
               0);
  HWND text = MakeControl(box, L"STATIC", *message.text, SS_LEFT | SS_NOPREFIX, -1);
  SendMessageW(text, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  const SIZE textSize = WrappedSize(text, font, *message.text, s(kTextWidthLimit));

  int buttonWidth = s(kButtonWidth);
  std::vector<HWND> buttons;
  for (const Answer& answer : message.answers) {
    const DWORD style = WS_TABSTOP | (buttons.empty() ? BS_DEFPUSHBUTTON | WS_GROUP : BS_PUSHBUTTON);
    const std::u16string name = EditorTextOf(answer.text);
    buttons.push_back(MakeControl(box, L"BUTTON", name, style, answer.id));
    SendMessageW(buttons.back(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    buttonWidth = std::max<int>(buttonWidth, WrappedSize(buttons.back(), font, name, s(kTextWidthLimit)).cx + s(kButtonPadding));
  }
  const int count = static_cast<int>(buttons.size());
  const int buttonsWidth = count * buttonWidth + (count - 1) * s(kButtonGap);
  const int upper = std::max<int>(s(kIconSize), textSize.cy);
  const int width = std::max<int>(s(kIconSize) + s(kIconGap) + textSize.cx, buttonsWidth) + 2 * s(kMargin);
  const int height = 3 * s(kMargin) + upper + s(kButtonHeight);
  Place(icon, s(kMargin), s(kMargin), s(kIconSize), s(kIconSize));
  Place(text, s(kMargin) + s(kIconSize) + s(kIconGap), s(kMargin) + (upper - textSize.cy) / 2, textSize.cx,
        textSize.cy);
  for (int i = 0; i < count; ++i) {
    Place(buttons[i], (width - buttonsWidth) / 2 + i * (buttonWidth + s(kButtonGap)), 2 * s(kMargin) + upper,
          buttonWidth, s(kButtonHeight));
  }

  // The window around that client area, centred over its owner.
  RECT frame = {0, 0, width, height};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(box, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(box, GWL_EXSTYLE)));
  RECT over = {};
  HWND owner = GetWindow(box, GW_OWNER);
  if (!owner || !GetWindowRect(owner, &over)) SystemParametersInfoW(SPI_GETWORKAREA, 0, &over, 0);
  const int frameWidth = frame.right - frame.left;
  const int frameHeight = frame.bottom - frame.top;
  SetWindowPos(box, nullptr, over.left + (over.right - over.left - frameWidth) / 2,
               over.top + (over.bottom - over.top - frameHeight) / 2, frameWidth, frameHeight,
               SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowTextW(box, AsWide(message.caption->c_str()));
  SetFocus(buttons.front());
}

INT_PTR CALLBACK MessageProcedure(HWND box, UINT code, WPARAM wParam, LPARAM lParam) {
  auto* message = reinterpret_cast<Message*>(GetWindowLongPtrW(box, DWLP_USER));
  switch (code) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(box, DWLP_USER, lParam);
      LayOut(box, *reinterpret_cast<Message*>(lParam));
      MessageBeep(reinterpret_cast<Message*>(lParam)->type & MB_ICONMASK);
      return FALSE;  // the focus is set
    case WM_COMMAND: {
      if (!message) return FALSE;
      const int id = LOWORD(wParam);
      const auto chosen = std::find_if(message->answers.begin(), message->answers.end(),
                                       [id](const Answer& answer) { return answer.id == id; });
      if (chosen != message->answers.end()) {
        EndDialog(box, id);
      } else if (id == IDCANCEL) {  // Escape or the close box without a Cancel button
        EndDialog(box, message->answers.front().id);
      }
      return TRUE;
    }
    default:
      return FALSE;
  }
}

}  // namespace

int EditorMessageBox(HWND owner, const std::u16string& text, const std::u16string& caption, UINT type) {
  Message message{&text, &caption, type, {}, {}, nullptr};
  if ((type & MB_TYPEMASK) == MB_YESNOCANCEL) {
    message.answers = {{IDYES, EditorText::Yes}, {IDNO, EditorText::No}, {IDCANCEL, EditorText::CancelAnswer}};
  } else {
    message.answers = {{IDOK, EditorText::Ok}};
  }
  EmptyDialog dialog = {};
  dialog.header.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  dialog.header.dwExtendedStyle = WS_EX_DLGMODALFRAME | (gEditorLanguage.RightToLeft() ? WS_EX_LAYOUTRTL : 0);
  const INT_PTR answer = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), &dialog.header, owner, MessageProcedure,
                                                 reinterpret_cast<LPARAM>(&message));
  message.fonts.SetBaseFont(nullptr);
  if (message.messageFont) DeleteObject(message.messageFont);
  return answer > 0 ? static_cast<int>(answer) : message.answers.back().id;
}
