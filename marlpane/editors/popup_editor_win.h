// The common behaviour of the in-place editors: a popup window of a
// generated class exactly over the edited cell, owned by the list's parent,
// with its own modal message loop. Enter (command 1) commits, Escape
// (command 2) cancels, and leaving the popup commits: losing activation, or
// a click on the editor's disabled main window. Each editor derives from
// CPopupEditor, makes its controls and copies their value on commit; the
// caller applies that value to the cell only when Run reports a commit.
// Win32 only; one editor is open at a time.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "marlpane/editors/edit_request_win.h"

class CPopupEditor {
 public:
  static constexpr WORD kOkCommand = IDOK;          // 1
  static constexpr WORD kCancelCommand = IDCANCEL;  // 2
  static constexpr int kStatusHeight = 20;  // a status line of one line of text

  CPopupEditor() = default;
  virtual ~CPopupEditor();
  CPopupEditor(const CPopupEditor&) = delete;
  CPopupEditor& operator=(const CPopupEditor&) = delete;

  // Opens the popup over request.cell, the cell's width wide and height
  // pixels high (kept on the screen), and runs its loop until it closes.
  // True when it closed by OK, so that the editor holds the entry; false
  // after a cancel or when the popup could not be made.
  bool Run(const EditRequest& request, DWORD extendedStyle, int height);

  HWND Popup() const { return popup_; }

 protected:
  // WM_CREATE: makes the child controls filling a client area of width x
  // height and sets focus_ to the main control. False refuses the popup.
  virtual bool CreateControls(HWND popup, int width, int height) = 0;
  // The popup is on the screen and active (a combo box drops its list here).
  virtual void Shown() {}
  // Command 1: copies the controls' value into the editor. False keeps the
  // popup open.
  virtual bool Accept() = 0;
  // Whether losing activation commits now (not while a picker's calendar,
  // which takes the activation, is open).
  virtual bool LeavingCommits() { return true; }
  // Messages of the popup before the common handling (scroll bars, control
  // notifications); true when handled, with *result the answer.
  virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

  // Each message of the modal loop before the popup's keyboard handling;
  // true when the editor has dealt with it.
  virtual bool Intercept(const MSG& message);

  // Posts command 1 or 2 to the popup, as Enter and Escape do.
  void PostCommand(WORD command);

  // The stock GUI font (DEFAULT_GUI_FONT), without redrawing.
  static void UseGuiFont(HWND control);
  // The font for a control that shows text: of the request's fonts, one that
  // has the text's glyphs; the stock GUI font without them. Redraws only a
  // control whose font changes, so an edit box can follow its text.
  void UseFontFor(HWND control, std::u16string_view text);
  // The control keeps its font (the system's without one) when that has
  // every glyph of its text, else UseFontFor its text.
  void FitFontToText(HWND control);

  // A sunken line of centred text across the popup at y (the password
  // editor's length rules); ShowStatus fills it.
  HWND CreateStatusLine(int y, int width);
  // Shows text in the status line, which is added below the controls when
  // the popup has none and made as tall as the text needs (the popup grows).
  void ShowStatus(const std::u16string& text);
  // True when the request refuses value (the settings file cannot store
  // it): the status line says why and the main control has the focus back.
  // Accept then returns false, so that the popup stays.
  bool Refuses(const std::u16string& value);
  // The caret after the last character of an edit box.
  static void CaretToEnd(HWND edit);
  // A child of the popup with a control id (buttons answer with it).
  HWND CreateControl(const wchar_t* className, const wchar_t* text, DWORD style, int x, int y,
                     int width, int height, int id = 0);

  HWND focus_ = nullptr;  // the main control, focused when the popup is activated

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK SentMessageHook(int code, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void Close(bool accepted);
  void MoveFocus(bool backwards);
  bool BelongsToOwner(HWND window) const;

  HWND popup_ = nullptr;
  HWND owner_ = nullptr;
  HWND status_ = nullptr;
  CFontFallback* fonts_ = nullptr;
  ValueRefusal refusal_;
  HWND lastFocus_ = nullptr;
  bool armed_ = false;     // shown: leaving it commits from now on
  bool closing_ = false;   // command 1 or 2 is being carried out
  bool accepted_ = false;
};
