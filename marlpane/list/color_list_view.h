// A list view with per-cell text and background colours, a tip text per
// item, and custom drawing that colours cells, odd rows and the first row by
// a colour scheme (see ResolveCellPaint). Win32 only.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>

#include "marlpane/list/cell_style_store.h"
#include "marlpane/list/list_view.h"

class CColorListView : public CListView {
 public:
  static constexpr uint8_t kDefaultColourScheme = 22;  // own text and backgrounds, odd rows

  CColorListView() = default;
  ~CColorListView() override = default;

  // Also gives the items already in the list uncoloured cells and no tip.
  void Attach(HWND list) override;
  // Also forget every item's colours and tip.
  void DeleteAllItems() override;
  // Also keeps the text colour and the background as the colours of rows
  // that have none of their own.
  void SetImageListsAndColours(HIMAGELIST small, HIMAGELIST normal, COLORREF background,
                               COLORREF textBackground, COLORREF text) override;
  // Also adds the item's (uncoloured) cell records and empty tip.
  int AppendItem(const char16_t* text, int image, LPARAM data) override;
  bool DeleteItem(int item) override;

  // Appends an item without image whose first cell has the colours given.
  virtual int AppendItemWithColours(const char16_t* text, COLORREF background, COLORREF textColour);
  int AppendItemText(const char16_t* text) { return AppendItemWithColours(text, 0, 0); }

  // The dialog offers its messages here first. Answers WM_NOTIFY
  // NM_CUSTOMDRAW from this list (true, *result = the custom-draw answer);
  // false for everything else. Derived classes add their own messages.
  virtual bool FilterMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                             LRESULT* result);
  bool FilterCustomDraw(UINT message, LPARAM lParam, LRESULT* result);

  // Cell colours; 0 means "none of its own". False for an item that does not
  // exist or a column above 199.
  virtual bool SetCellColours(int item, int column, COLORREF text, COLORREF background);
  virtual bool SetCellTextColour(int item, int column, COLORREF text);
  virtual bool SetCellBackground(int item, int column, COLORREF background);
  virtual bool GetCellColours(int item, int column, COLORREF* text, COLORREF* background);
  virtual bool SetRowColours(int item, COLORREF text, COLORREF background);
  virtual bool SetRowTextColour(int item, COLORREF text);
  virtual bool SetRowBackground(int item, COLORREF background);

  // A copy of tip, or none for null.
  virtual bool SetTip(int item, const char16_t* tip);
  // The item's tip, null when it has none.
  virtual const char16_t* GetTip(int item);
  // Shows the item's tip (or an empty text) as the window's text.
  virtual void ShowTip(int item, HWND window);

  // The answer to NM_CUSTOMDRAW; sets the cell colours in draw.
  virtual LRESULT CustomDraw(NMLVCUSTOMDRAW* draw);

  uint8_t ColourScheme() const { return colourScheme_; }
  void SetColourScheme(uint8_t scheme) { colourScheme_ = scheme; }
  COLORREF TextColour() const { return textColour_; }
  COLORREF EvenRowColour() const { return evenRowColour_; }
  COLORREF OddRowColour() const { return oddRowColour_; }
  void SetOddRowColour(COLORREF colour) { oddRowColour_ = colour; }
  COLORREF FirstRowColour() const { return firstRowColour_; }
  void SetFirstRowColour(COLORREF colour) { firstRowColour_ = colour; }

 protected:
  uint8_t colourScheme_ = kDefaultColourScheme;
  COLORREF textColour_ = RGB(10, 10, 10);
  COLORREF evenRowColour_ = RGB(255, 255, 255);
  COLORREF oddRowColour_ = RGB(225, 235, 255);
  COLORREF firstRowColour_ = RGB(200, 220, 255);
  CCellStyleStore styles_;
};
