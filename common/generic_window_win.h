// A thin object around one window. Either the object creates a window of a
// class it registers on the fly (popups with a modal message loop), or it
// attaches to an existing window by subclassing it, so that painting and
// mouse messages reach the object. Win32 only; user-interface thread only.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

class CGenericWindow {
 public:
  static constexpr size_t kClassNameCapacity = 100;

  // Styles of the child-control creators (all WS_CHILD | WS_VISIBLE).
  static constexpr DWORD kButtonStyle = 0x50010F00;          // push button, text centred
  static constexpr DWORD kCheckBoxStyle = 0x50010003;        // automatic check box
  static constexpr DWORD kThreeStateStyle = 0x50010006;      // automatic three-state box
  static constexpr DWORD kEditStyle = 0x50010080;            // one line, auto-scroll
  static constexpr DWORD kMultiLineEditStyle = 0x500110C4;   // several lines, Enter kept
  static constexpr DWORD kDropDownListStyle = 0x50010003;    // combo box, list only
  static constexpr DWORD kHorizontalBarStyle = 0x50010000;   // scroll bar
  static constexpr DWORD kVerticalBarStyle = 0x50010001;     // scroll bar
  static constexpr DWORD kStaticTextStyle = 0x50000000;      // left-aligned text

  // The message WM_LBUTTONDOWN is turned into for a drag-move: a caption drag.
  static constexpr WPARAM kMoveByCaption = 0xF012;  // SC_MOVE | HTCAPTION

  CGenericWindow();
  // A created window is destroyed (and its class unregistered); an attached
  // window gets its own procedure back and stays.
  virtual ~CGenericWindow();
  CGenericWindow(const CGenericWindow&) = delete;
  CGenericWindow& operator=(const CGenericWindow&) = delete;

  // Registers the class (RegisterWindowClass) and creates the window, shows
  // and updates it. A null title is an empty one. Returns the handle, which
  // is not stored; null on failure.
  virtual HWND CreateWindowFull(const char16_t* className, const char16_t* title, HWND parent,
                                DWORD style, DWORD extendedStyle, int x, int y, int width,
                                int height, HMENU menu, HICON icon, HICON smallIcon,
                                HCURSOR cursor, HBRUSH background, void* createParameter,
                                WNDPROC procedure);
  // CreateOnce with a generated class name, no extended style and the
  // default procedure (which quits the message loop when the window goes).
  virtual bool Create(const char16_t* title, HWND parent, DWORD style, int x, int y, int width,
                      int height, void* createParameter);
  virtual bool Create(const char16_t* title, HWND parent, DWORD style, int x, int y, int width,
                      int height, void* createParameter, WNDPROC procedure);
  virtual bool Create(const char16_t* className, const char16_t* title, HWND parent, DWORD style,
                      int x, int y, int width, int height, void* createParameter,
                      WNDPROC procedure);
  virtual bool Create(const char16_t* className, const char16_t* title, HWND parent, DWORD style,
                      DWORD extendedStyle, int x, int y, int width, int height,
                      void* createParameter, WNDPROC procedure);
  // Refuses (false) while the object holds a live window; otherwise
  // CreateWindowFull and keeps the handle. True when a window was created.
  virtual bool CreateOnce(const char16_t* className, const char16_t* title, HWND parent,
                          DWORD style, DWORD extendedStyle, int x, int y, int width, int height,
                          HMENU menu, HICON icon, HICON smallIcon, HCURSOR cursor,
                          HBRUSH background, void* createParameter, WNDPROC procedure);

  // A child of the object's window (nothing without one). Children of
  // existing classes leave the object's own class and created flag alone; a
  // class that does not exist yet is registered with the procedure given.
  virtual HWND CreateChild(const char16_t* className, const char16_t* text, DWORD style, int x,
                           int y, int width, int height, void* createParameter,
                           WNDPROC procedure);
  virtual HWND CreateChildEx(const char16_t* className, const char16_t* text, DWORD style,
                             DWORD extendedStyle, int x, int y, int width, int height,
                             void* createParameter, WNDPROC procedure);

  // Child controls with the styles above, no create parameter.
  virtual HWND CreateButton(const char16_t* text, int x, int y, int width, int height);
  virtual HWND CreateCheckBox(const char16_t* text, int x, int y, int width, int height);
  virtual HWND CreateThreeStateCheckBox(const char16_t* text, int x, int y, int width, int height);
  virtual HWND CreateEdit(const char16_t* text, int x, int y, int width, int height);
  virtual HWND CreateMultiLineEdit(const char16_t* text, int x, int y, int width, int height);
  virtual HWND CreateDropDownList(const char16_t* text, int x, int y, int width, int height);
  virtual HWND CreateHorizontalScrollBar(const char16_t* text, int x, int y, int width, int height);
  virtual HWND CreateVerticalScrollBar(const char16_t* text, int x, int y, int width, int height);
  virtual HWND CreateStaticText(const char16_t* text, int x, int y, int width, int height);

  // Dispatches the thread's messages until WM_QUIT, offering each to
  // IsDialogMessageW for the object's window first. Returns the quit code.
  virtual WPARAM RunMessageLoop();
  virtual WPARAM RunModalLoop() { return RunMessageLoop(); }

  // Destroys a window the object created (detaching first) and unregisters
  // its class; a window it only attached is detached, not destroyed. False
  // when the object holds no live window.
  virtual bool DestroyOwnWindow();

  // PostMessageW when both the own window and target exist; else FALSE.
  virtual BOOL PostTo(HWND target, UINT message, WPARAM wParam, LPARAM lParam);
  // WM_COMMAND to the parent: code in the high word, the control id low.
  virtual BOOL NotifyParent(WORD code);
  virtual BOOL PostToParent(UINT message, WPARAM wParam, LPARAM lParam);

  // Subclasses an existing window: refused when the object holds a window,
  // the window does not exist or another object has it already.
  virtual bool Attach(HWND window);
  // Gives the window its procedure back. False with no window, or when the
  // window's user data no longer names an object (nothing changes then).
  virtual bool Detach();

  // Drawing of an attached window; nothing by default.
  virtual LRESULT OnPaint(HDC context, PAINTSTRUCT* paint);
  // Messages of an attached window: painting, mouse forwarding, drag-move;
  // everything else goes to the previous procedure.
  virtual LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  // Registers the class once: an existing class (system or own) is used as
  // it is; without a name one is generated from the object's and the
  // procedure's addresses, so every pair gets its own class.
  virtual bool RegisterWindowClass(const char16_t* className, HICON icon, HICON smallIcon,
                                   HCURSOR cursor, HBRUSH background, WNDPROC procedure);
  // In the program's own module or among the system classes.
  virtual bool ClassExists(const char16_t* className);

  HWND Window() const { return window_; }
  const char16_t* ClassName() const { return className_; }
  bool Created() const { return created_ != 0; }
  void SetDragMove(bool on) { dragMove_ = on ? 1 : 0; }
  void SetMouseForward(bool on) { mouseForward_ = on ? 1 : 0; }
  void SetPaintHandled(bool on) { paint_ = on ? 1 : 0; }

  // Quits the message loop when the window is destroyed.
  static LRESULT CALLBACK DefaultProcedure(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam);

 private:
  static LRESULT CALLBACK SubclassProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);
  void UnregisterOwnClass();

  HWND window_ = nullptr;
  WNDCLASSEXW classRecord_ = {};
  char16_t className_[kClassNameCapacity] = {};
  bool classRegistered_ = false;  // by this object, so it unregisters it
  uint8_t created_ = 0;
  uint8_t dragMove_ = 0;
  uint8_t mouseForward_ = 1;
  uint8_t paint_ = 1;
  WNDPROC previousProcedure_ = nullptr;
};
