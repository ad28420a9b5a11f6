#include "common/generic_window_win.h"

#include <cstdio>

#include "common/text16.h"

namespace {

constexpr char16_t kNoTitle[] = u"";

}  // namespace

CGenericWindow::CGenericWindow() = default;

CGenericWindow::~CGenericWindow() {
  if (window_ && IsWindow(window_) && created_) {
    DestroyOwnWindow();
  } else if (window_) {
    Detach();
  }
  window_ = nullptr;
  UnregisterOwnClass();
}

LRESULT CALLBACK CGenericWindow::DefaultProcedure(HWND window, UINT message, WPARAM wParam,
                                                  LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 1;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

bool CGenericWindow::ClassExists(const char16_t* className) {
  if (!className || !className[0]) return false;
  WNDCLASSEXW found = {};
  found.cbSize = sizeof(found);
  if (GetClassInfoExW(GetModuleHandleW(nullptr), AsWide(className), &found)) return true;
  return GetClassInfoExW(nullptr, AsWide(className), &found) != 0;
}

bool CGenericWindow::RegisterWindowClass(const char16_t* className, HICON icon, HICON smallIcon,
                                         HCURSOR cursor, HBRUSH background, WNDPROC procedure) {
  if (className && className[0]) {
    if (!CopyText(className_, kClassNameCapacity, className)) return false;
    if (ClassExists(className_)) return true;
  }
  WNDCLASSEXW record = {};
  record.cbSize = sizeof(record);
  record.style = CS_HREDRAW | CS_VREDRAW;
  record.lpfnWndProc = procedure ? procedure : &CGenericWindow::DefaultProcedure;
  record.hInstance = GetModuleHandleW(nullptr);
  record.hIcon = icon;
  record.hIconSm = smallIcon;
  record.hCursor = cursor ? cursor : LoadCursorW(nullptr, IDC_ARROW);
  record.hbrBackground = background ? background : static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  if (!className || !className[0]) {
    char name[kClassNameCapacity];
    std::snprintf(name, sizeof name, "CGenericWindow-%lld-%lld",
                  static_cast<long long>(reinterpret_cast<intptr_t>(this)),
                  static_cast<long long>(reinterpret_cast<intptr_t>(record.lpfnWndProc)));
    WidenAscii(name, className_, kClassNameCapacity);
  }
  record.lpszClassName = AsWide(className_);
  if (ClassExists(className_)) return true;
  if (!RegisterClassExW(&record)) return false;
  classRecord_ = record;
  classRegistered_ = true;
  return true;
}

void CGenericWindow::UnregisterOwnClass() {
  if (!classRegistered_) return;
  UnregisterClassW(classRecord_.lpszClassName, classRecord_.hInstance);
  classRecord_ = WNDCLASSEXW{};
  classRegistered_ = false;
}

HWND CGenericWindow::CreateWindowFull(const char16_t* className, const char16_t* title,
                                      HWND parent, DWORD style, DWORD extendedStyle, int x, int y,
                                      int width, int height, HMENU menu, HICON icon,
                                      HICON smallIcon, HCURSOR cursor, HBRUSH background,
                                      void* createParameter, WNDPROC procedure) {
  if (!RegisterWindowClass(className, icon, smallIcon, cursor, background, procedure)) {
    return nullptr;
  }
  HWND window = CreateWindowExW(extendedStyle, AsWide(className_), AsWide(title ? title : kNoTitle),
                                style, x, y, width, height, parent, menu,
                                GetModuleHandleW(nullptr), createParameter);
  if (!window) return nullptr;
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  created_ = 1;
  return window;
}

bool CGenericWindow::CreateOnce(const char16_t* className, const char16_t* title, HWND parent,
                                DWORD style, DWORD extendedStyle, int x, int y, int width,
                                int height, HMENU menu, HICON icon, HICON smallIcon,
                                HCURSOR cursor, HBRUSH background, void* createParameter,
                                WNDPROC procedure) {
  if (window_ && IsWindow(window_)) return false;
  window_ = nullptr;
  HWND window = CreateWindowFull(className, title, parent, style, extendedStyle, x, y, width,
                                 height, menu, icon, smallIcon, cursor, background,
                                 createParameter, procedure);
  if (!window) return false;
  // The procedure may already have destroyed the window while creating it.
  window_ = IsWindow(window) ? window : nullptr;
  return true;
}

bool CGenericWindow::Create(const char16_t* title, HWND parent, DWORD style, int x, int y,
                            int width, int height, void* createParameter) {
  return CreateOnce(nullptr, title, parent, style, 0, x, y, width, height, nullptr, nullptr,
                    nullptr, nullptr, nullptr, createParameter, nullptr);
}

bool CGenericWindow::Create(const char16_t* title, HWND parent, DWORD style, int x, int y,
                            int width, int height, void* createParameter, WNDPROC procedure) {
  return CreateOnce(nullptr, title, parent, style, 0, x, y, width, height, nullptr, nullptr,
                    nullptr, nullptr, nullptr, createParameter, procedure);
}

bool CGenericWindow::Create(const char16_t* className, const char16_t* title, HWND parent,
                            DWORD style, int x, int y, int width, int height,
                            void* createParameter, WNDPROC procedure) {
  return CreateOnce(className, title, parent, style, 0, x, y, width, height, nullptr, nullptr,
                    nullptr, nullptr, nullptr, createParameter, procedure);
}

bool CGenericWindow::Create(const char16_t* className, const char16_t* title, HWND parent,
                            DWORD style, DWORD extendedStyle, int x, int y, int width, int height,
                            void* createParameter, WNDPROC procedure) {
  return CreateOnce(className, title, parent, style, extendedStyle, x, y, width, height, nullptr,
                    nullptr, nullptr, nullptr, nullptr, createParameter, procedure);
}

HWND CGenericWindow::CreateChild(const char16_t* className, const char16_t* text, DWORD style,
                                 int x, int y, int width, int height, void* createParameter,
                                 WNDPROC procedure) {
  return CreateChildEx(className, text, style, 0, x, y, width, height, createParameter, procedure);
}

HWND CGenericWindow::CreateChildEx(const char16_t* className, const char16_t* text, DWORD style,
                                   DWORD extendedStyle, int x, int y, int width, int height,
                                   void* createParameter, WNDPROC procedure) {
  if (!window_ || !IsWindow(window_) || !className || !className[0]) return nullptr;
  // A child class is registered for the rest of the run; the object's own
  // class and created flag belong to its own window only.
  if (!ClassExists(className)) {
    WNDCLASSEXW record = {};
    record.cbSize = sizeof(record);
    record.style = CS_HREDRAW | CS_VREDRAW;
    record.lpfnWndProc = procedure ? procedure : DefWindowProcW;
    record.hInstance = GetModuleHandleW(nullptr);
    record.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    record.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    record.lpszClassName = AsWide(className);
    if (!RegisterClassExW(&record)) return nullptr;
  }
  HWND child = CreateWindowExW(extendedStyle, AsWide(className), AsWide(text ? text : kNoTitle),
                               style, x, y, width, height, window_, nullptr,
                               GetModuleHandleW(nullptr), createParameter);
  if (child) UpdateWindow(child);
  return child;
}

HWND CGenericWindow::CreateButton(const char16_t* text, int x, int y, int width, int height) {
  return CreateChild(u"BUTTON", text, kButtonStyle, x, y, width, height, nullptr, nullptr);
}

HWND CGenericWindow::CreateCheckBox(const char16_t* text, int x, int y, int width, int height) {
  return CreateChild(u"BUTTON", text, kCheckBoxStyle, x, y, width, height, nullptr, nullptr);
}

HWND CGenericWindow::CreateThreeStateCheckBox(const char16_t* text, int x, int y, int width,
                                              int height) {
  return CreateChild(u"BUTTON", text, kThreeStateStyle, x, y, width, height, nullptr, nullptr);
}

HWND CGenericWindow::CreateEdit(const char16_t* text, int x, int y, int width, int height) {
  return CreateChild(u"EDIT", text, kEditStyle, x, y, width, height, nullptr, nullptr);
}

HWND CGenericWindow::CreateMultiLineEdit(const char16_t* text, int x, int y, int width,
                                         int height) {
  return CreateChild(u"EDIT", text, kMultiLineEditStyle, x, y, width, height, nullptr, nullptr);
}

HWND CGenericWindow::CreateDropDownList(const char16_t* text, int x, int y, int width,
                                        int height) {
  return CreateChild(u"COMBOBOX", text, kDropDownListStyle, x, y, width, height, nullptr,
                     nullptr);
}

HWND CGenericWindow::CreateHorizontalScrollBar(const char16_t* text, int x, int y, int width,
                                               int height) {
  return CreateChild(u"SCROLLBAR", text, kHorizontalBarStyle, x, y, width, height, nullptr,
                     nullptr);
}

HWND CGenericWindow::CreateVerticalScrollBar(const char16_t* text, int x, int y, int width,
                                             int height) {
  return CreateChild(u"SCROLLBAR", text, kVerticalBarStyle, x, y, width, height, nullptr,
                     nullptr);
}

HWND CGenericWindow::CreateStaticText(const char16_t* text, int x, int y, int width, int height) {
  return CreateChild(u"STATIC", text, kStaticTextStyle, x, y, width, height, nullptr, nullptr);
}

WPARAM CGenericWindow::RunMessageLoop() {
  MSG message = {};
  for (;;) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) break;
    if (got == -1) continue;
    if (window_ && IsDialogMessageW(window_, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return message.wParam;
}

bool CGenericWindow::DestroyOwnWindow() {
  if (!window_ || !IsWindow(window_)) return false;
  HWND window = window_;
  const bool created = created_ != 0;
  Detach();
  window_ = nullptr;
  if (created) {
    DestroyWindow(window);
    UnregisterOwnClass();
  }
  created_ = 0;
  return true;
}

BOOL CGenericWindow::PostTo(HWND target, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!window_ || !IsWindow(window_) || !target || !IsWindow(target)) return FALSE;
  return PostMessageW(target, message, wParam, lParam);
}

BOOL CGenericWindow::NotifyParent(WORD code) {
  if (!window_) return FALSE;
  const WORD id = static_cast<WORD>(GetWindowLongW(window_, GWL_ID));
  return PostToParent(WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(window_));
}

BOOL CGenericWindow::PostToParent(UINT message, WPARAM wParam, LPARAM lParam) {
  if (!window_) return FALSE;
  HWND parent = GetParent(window_);
  if (!parent) return FALSE;
  return PostTo(parent, message, wParam, lParam);
}

bool CGenericWindow::Attach(HWND window) {
  if (window_ && !IsWindow(window_)) window_ = nullptr;  // gone by itself
  if (window_ || !window || !IsWindow(window)) return false;
  Detach();
  if (GetWindowLongPtrW(window, GWLP_USERDATA) != 0) return false;
  window_ = window;
  created_ = 0;
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  previousProcedure_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
      window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CGenericWindow::SubclassProcedure)));
  return true;
}

bool CGenericWindow::Detach() {
  if (!window_) return false;
  if (IsWindow(window_) && previousProcedure_) {
    if (GetWindowLongPtrW(window_, GWLP_USERDATA) == 0) return false;
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProcedure_));
  }
  if (!created_) window_ = nullptr;
  previousProcedure_ = nullptr;
  return true;
}

LRESULT CGenericWindow::OnPaint(HDC, PAINTSTRUCT*) { return 0; }

LRESULT CALLBACK CGenericWindow::SubclassProcedure(HWND window, UINT message, WPARAM wParam,
                                                   LPARAM lParam) {
  auto* object = reinterpret_cast<CGenericWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!object) return 0;
  return object->WindowProc(window, message, wParam, lParam);
}

LRESULT CGenericWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      if (paint_) {
        PAINTSTRUCT paint = {};
        HDC context = BeginPaint(window, &paint);
        if (context) {
          OnPaint(context, &paint);
          EndPaint(window, &paint);
        }
        return 0;
      }
      break;
    case WM_LBUTTONDOWN:
      if (mouseForward_) PostToParent(message, wParam, lParam);
      if (dragMove_) {
        PostMessageW(window, WM_SYSCOMMAND, kMoveByCaption, 0x00010001);
        return 0;
      }
      break;
    default:
      if (message >= WM_LBUTTONUP && message <= WM_MBUTTONDBLCLK && mouseForward_) {
        PostToParent(message, wParam, lParam);
      }
      break;
  }
  if (previousProcedure_) return CallWindowProcW(previousProcedure_, window, message, wParam, lParam);
  return 0;
}
