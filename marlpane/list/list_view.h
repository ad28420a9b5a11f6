// A report-view list control ("SysListView32"): columns, items, cell texts
// and numbers, extended styles, column widths and the decoding of the
// control's notifications. The base of the option list's class chain
// (colours, in-place editing and cell kinds are added by the classes
// derived from it). Win32 only.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>

class CListView {
 public:
  // LVS_EX_GRIDLINES | LVS_EX_SUBITEMIMAGES | LVS_EX_FULLROWSELECT
  static constexpr DWORD kDefaultExtendedStyles = 0x23;
  static constexpr int kDefaultCharacterWidth = 8;
  // Cell texts that hold numbers are read back through a buffer of this size.
  static constexpr int kNumberTextCapacity = 51;

  enum Alignment { kAlignLeft = 0, kAlignCentre = 1, kAlignRight = 2 };

  // Makes sure the list-view window class is registered.
  CListView();
  virtual ~CListView();
  CListView(const CListView&) = delete;
  CListView& operator=(const CListView&) = delete;

  // Uses an existing list window (a dialog control); the item and column
  // counts are taken from it.
  virtual void Attach(HWND list);
  // Creates a visible report-view list child of parent with WS_TABSTOP; no
  // column header unless header is set. False when it cannot be created.
  virtual bool Create(HWND parent, int x, int y, int width, int height, bool header,
                      bool singleSelection, bool noSortHeader);

  // Removes every item; later classes also clear what they keep per item.
  virtual void DeleteAllItems();
  // Removes every item, sets the image lists given (null ones are left
  // alone) and adds the stored extended styles to the current ones.
  virtual void SetImageListsMergeStyles(HIMAGELIST small, HIMAGELIST normal);
  // Only the small image list (null: none), the rows and styles kept; the
  // row height follows the images' height.
  void SetSmallImageList(HIMAGELIST small);
  // Removes every item, sets the image lists given, the background, text
  // background and text colours, then the stored extended styles.
  virtual void SetImageListsAndColours(HIMAGELIST small, HIMAGELIST normal, COLORREF background,
                                       COLORREF textBackground, COLORREF text);

  // A column at the end, as wide as its title (characters × character width
  // + 4). Returns its index or -1.
  int AddColumn(const char16_t* title, int alignment = kAlignLeft, int image = -1);
  // A column at the end; image -1 for none. Returns its index or -1.
  virtual int InsertColumn(const char16_t* title, int width, int alignment, int image);

  // Appends an item with its first cell's text (null: none) and image (-1:
  // none) and the item data. Returns the item's index or -1. Every append of
  // this class chain goes through here, so classes that keep something per
  // item override this together with DeleteItem and DeleteAllItems.
  virtual int AppendItem(const char16_t* text, int image, LPARAM data);
  virtual bool SetItemData(int item, LPARAM data);
  virtual LPARAM GetItemData(int item);
  // Removes one item and redraws the list.
  virtual bool DeleteItem(int item);
  virtual bool DeleteSelectedItem();

  virtual bool SetCellImage(int item, int column, int image);
  virtual bool SetCellText(int item, int column, const char16_t* text);
  // Text (null: unchanged) and image (-1: unchanged) of one cell.
  virtual bool SetCell(int item, int column, const char16_t* text, int image);
  // Copies the cell's text into buffer (capacity in characters, terminator
  // included; a longer text is cut). False when the cell does not exist.
  virtual bool GetCellText(int item, int column, char16_t* buffer, int capacity);
  // The value printed with at least digits digits (leading zeros).
  virtual bool SetCellInteger(int item, int column, int value, int digits);
  // The number at the start of the cell text; 0 when there is none.
  virtual int GetCellInteger(int item, int column);
  // The value printed with decimals decimals, at least intDigits +
  // decimals + 1 characters wide (leading zeros).
  virtual bool SetCellReal(int item, int column, double value, int intDigits, int decimals);
  virtual double GetCellReal(int item, int column);

  virtual bool GetColumnTitle(int column, char16_t* buffer, int capacity);
  // Width in pixels, 0 when the column does not exist.
  virtual int GetColumnWidth(int column);
  virtual bool SetColumnWidth(int column, int width);

  virtual void Redraw();
  // Extended styles; each also updates the stored styles.
  virtual void ShowGridLines(bool on);
  virtual void FlatScrollBars(bool on);
  virtual void HeaderDragDrop(bool on);
  virtual void InfoTips(bool on);
  // The selection mark, -1 when there is none.
  virtual int GetSelectionMark();

  // Notification decoders: true when the notification comes from this list
  // and has the code; the outputs (optional) receive where it happened.
  virtual bool IsColumnClick(const NMHDR* header, int* column);
  virtual bool IsClick(const NMHDR* header, int* item, int* column);
  virtual bool IsRightClick(const NMHDR* header, int* item, int* column);
  virtual bool IsDoubleClick(const NMHDR* header, int* item, int* column);
  // LVN_ITEMCHANGED with a non-zero new state.
  virtual bool IsItemChanged(const NMHDR* header, int* item, int* column);

  // Column widths.
  virtual void FitLastColumnToItem();
  // Every column := max(minimum, (window width - 30) / column count).
  virtual void EqualColumns(int minimum);
  // The last column fills the client width the other columns leave.
  virtual void StretchLastColumn(int minimum);
  void StretchLastColumnDefault() { StretchLastColumn(10); }

  // Bulk insertion: between Begin and End the control neither repaints nor
  // grows its item array one step at a time. expectedItems (may be 0) is how
  // many items are about to be appended. Calls nest; the outermost End
  // repaints the list once.
  void BeginBulkInsert(int expectedItems);
  void EndBulkInsert();

  HWND Window() const { return list_; }
  int ItemCount() const { return static_cast<int>(itemCount_); }
  int ColumnCount() const { return static_cast<int>(columnCount_); }
  DWORD ExtendedStyles() const { return extendedStyles_; }
  void SetCharacterWidth(int16_t width) { characterWidth_ = width; }

 protected:
  // Common part of the click decoders.
  bool IsItemActivation(const NMHDR* header, UINT code, int* item, int* column);
  void SetExtendedStyle(DWORD style, bool on);

  HWND list_ = nullptr;
  DWORD extendedStyles_ = kDefaultExtendedStyles;
  uint32_t columnCount_ = 0;
  uint32_t itemCount_ = 0;
  int16_t characterWidth_ = kDefaultCharacterWidth;
  int bulkDepth_ = 0;
};
