// The cells of the option list: per row up to 200 cells, each with a kind,
// the parameter block the kind needs and the cell text, and the value
// operations that keep text and block in step. The list view mirrors rows
// and texts from here (through CTypedCellsHost) and opens editors by kind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "marlpane/rows/cell_kinds.h"

// What the cells need from their surroundings. The default implementation
// notifies nobody, reads the local clock and looks windows up on Windows
// (elsewhere no window is ever found).
class CTypedCellsHost {
 public:
  virtual ~CTypedCellsHost();
  // The cell text or the cell colours changed (0 = the list's own colour).
  virtual void CellTextChanged(int row, int column, const char16_t* text);
  virtual void CellColoursChanged(int row, int column, uint32_t textColour, uint32_t backColour);
  // A kind was set on the cell (also when it is the kind it had).
  virtual void CellKindSet(int row, int column, CellKind kind);
  // The local date and time now.
  virtual void LocalNow(DateTimeFields& now);
  // The live window named by the hint (when its class is className) or found
  // by class and title, title, class; its current title goes to title
  // (capacity characters with the terminator). 0 when none is found.
  virtual uintptr_t LookUpWindow(uintptr_t hint, const char16_t* windowTitle,
                                 const char16_t* className, char16_t* title, size_t capacity);
};

class CTypedCells {
 public:
  // host may be null (the default host); it must outlive the cells.
  explicit CTypedCells(CTypedCellsHost* host = nullptr);
  virtual ~CTypedCells();
  CTypedCells(const CTypedCells&) = delete;
  CTypedCells& operator=(const CTypedCells&) = delete;

  // Rows, mirroring the list's items.
  int RowCount() const { return static_cast<int>(rows_.size()); }
  int AppendRow();                  // the new row's index
  bool InsertRow(int row);          // 0 <= row <= RowCount()
  bool DeleteRow(int row);
  void DeleteAllRows();

  // Cell text of any kind, cut to 4999 characters. Reading gives at most
  // capacity - 1 characters; false for a missing cell (out is then empty).
  bool SetCellText(int row, int column, const char16_t* text);
  bool GetCellText(int row, int column, char16_t* out, size_t capacity) const;
  std::u16string CellText(int row, int column) const;  // empty for a missing cell
  // The same without a copy; valid until the cell changes.
  std::u16string_view CellTextView(int row, int column) const;
  bool SetCellColours(int row, int column, uint32_t textColour, uint32_t backColour);
  bool GetCellColours(int row, int column, uint32_t* textColour, uint32_t* backColour) const;

  // Whether the cell's value changed since the last ForgetEdits: every change
  // of its text counts, and a new password. Save writes some row types only
  // when their value cell was edited.
  bool CellEdited(int row, int column) const;
  void ForgetEdits();

  // A whole cell kept aside (kind, text, colours and value block) so that
  // an undo can put it back exactly as it was.
  class SavedCell {
   public:
    SavedCell();
    ~SavedCell();
    SavedCell(const SavedCell& other);
    SavedCell& operator=(const SavedCell& other);

   private:
    friend class CTypedCells;
    struct Data;
    std::unique_ptr<Data> data_;
  };
  // False for a missing cell.
  bool SaveCell(int row, int column, SavedCell& out) const;
  // Puts the cell back and shows its text and colours; it counts as edited.
  bool RestoreCell(int row, int column, const SavedCell& saved);

  // Untyped for a missing row, a column above 199 or a kind never set.
  CellKind GetCellKind(int row, int column) const;

  // Chooses a kind from a stored value and sets the cell up; returns the
  // row type code (-1 for a missing cell). See detect_cell_kind.h.
  int DetectCellKind(int row, int column, const char16_t* stored);

  // Kinds without a block (any block the cell had is released).
  bool SetReadOnly(int row, int column);
  bool SetColorKind(int row, int column);
  bool SetFolderKind(int row, int column);
  bool SetTextKind(int row, int column);
  bool SetMultiLineKind(int row, int column);

  // Colour: text "#RRGGBB", background the colour, text white on dark colours
  // else almost black; black itself is stored as almost black.
  bool SetColor(int row, int column, uint32_t colour);
  bool SetColorText(int row, int column, const char16_t* text);

  // Files: the filter is cut to 99 characters.
  bool SetOpenFileKind(int row, int column, const char16_t* filter);
  bool SetSaveFileKind(int row, int column, const char16_t* filter);

  // Choice lists.
  bool SetChoiceKind(int row, int column, bool sorted);
  bool FillChoices(int row, int column, const char16_t* text, char16_t delimiter);
  bool SelectChoiceByText(int row, int column, const char16_t* text);
  bool SelectChoiceByIndex(int row, int column, int index);  // 0 to 99
  bool SelectChoiceByPrefix(int row, int column, const char16_t* text);
  // The chosen item's text into out; returns the chosen index, -1 for a
  // cell of another kind (out is then empty).
  int GetChoiceText(int row, int column, char16_t* out, size_t capacity) const;
  int GetChoiceIndex(int row, int column) const;  // 0 also for another kind
  const ChoiceBlock* GetChoiceItems(int row, int column) const;

  // Passwords: the cell always shows "******".
  bool SetPasswordKind(int row, int column, int32_t minLength, int32_t maxLength,
                       const char16_t* text);
  const char16_t* GetPasswordText(int row, int column) const;  // null for another kind
  bool SetPasswordText(int row, int column, const char16_t* text);

  // Whole numbers. digits is kept to 0..255.
  bool SetIntegerKind(int row, int column, int32_t min, int32_t max, int digits);
  // Reads the cell text back into value ("%20d" of at most 49 characters);
  // false, value unchanged, when it does not read as a number.
  bool LoadIntegerValue(int row, int column);
  // Stores value, clamps it to the bounds and writes the cell text.
  bool SetIntegerValue(int row, int column, int32_t value);
  // An entered text: read it into value (kept when it does not read), clamp,
  // write the cell text.
  bool EnterIntegerText(int row, int column, const char16_t* text);
  // Clamps the present value and writes the cell text (an editor's apply).
  bool ApplyIntegerValue(int row, int column);

  // Reals: as for whole numbers; decimals 0 becomes 4, both kept to 0..255.
  bool SetRealKind(int row, int column, float min, float max, int intDigits, int decimals);
  bool LoadRealValue(int row, int column);
  bool SetRealValue(int row, int column, float value);
  bool EnterRealText(int row, int column, const char16_t* text);
  bool ApplyRealValue(int row, int column);

  // Toggles. A null label means "not given": "No" for off, "Yes" for on.
  bool SetToggleKind(int row, int column, const char16_t* offLabel, const char16_t* onLabel);
  bool SetToggleState(int row, int column, bool on);
  bool GetToggleState(int row, int column) const;  // false also for another kind
  bool FlipToggle(int row, int column);

  // Dates and times; the current value starts at the local date and time.
  bool SetDateKind(int row, int column, const DateTimeFields& min, const DateTimeFields& max);
  bool SetDateText(int row, int column, const char16_t* text);  // exactly 10 characters
  bool SetDateValue(int row, int column, const DateTimeFields& value);
  bool SetTimeKind(int row, int column, const DateTimeFields& min, const DateTimeFields& max);
  bool SetTimeText(int row, int column, const char16_t* text);  // exactly 8 characters
  bool SetTimeValue(int row, int column, const DateTimeFields& value);

  // Multi-line values: LF shows as the marker and back.
  bool SetMultiLineText(int row, int column, const char16_t* text);
  bool GetMultiLineText(int row, int column, char16_t* out, size_t capacity) const;

  // Fonts: the face is cut to 31 characters; the cell shows "face, size".
  bool SetFontKind(int row, int column, int32_t sizeMin, int32_t sizeMax);
  bool SetFont(int row, int column, const char16_t* face, int32_t size, bool bold, bool italic,
               bool underline, bool strikeOut);
  bool GetFont(int row, int column, FontBlock& out) const;

  // Windows: texts cut to 100 characters; when the window is found the cell
  // shows its current title.
  bool SetWindowKind(int row, int column, bool visibleTitledOnly, bool sorted);
  bool SetWindow(int row, int column, uintptr_t window, const char16_t* title,
                 const char16_t* className);
  bool GetWindow(int row, int column, uintptr_t* window, char16_t* title, size_t titleCapacity,
                 char16_t* className, size_t classCapacity) const;

  // The cell's block for the editors, null when the cell has another kind.
  // A block stays at its address until the cell is given a kind of another
  // layout or its row goes.
  IntegerBlock* GetIntegerBlock(int row, int column);
  RealBlock* GetRealBlock(int row, int column);
  FilterBlock* GetFilterBlock(int row, int column);
  ChoiceBlock* GetChoiceBlock(int row, int column);
  PasswordBlock* GetPasswordBlock(int row, int column);
  ToggleBlock* GetToggleBlock(int row, int column);
  DateTimeBlock* GetDateTimeBlock(int row, int column);
  const DateTimeBlock* GetDateTimeBlock(int row, int column) const;
  FontBlock* GetFontBlock(int row, int column);
  WindowBlock* GetWindowBlock(int row, int column);

 private:
  using Block = std::variant<std::monostate, std::unique_ptr<IntegerBlock>,
                             std::unique_ptr<RealBlock>, std::unique_ptr<FilterBlock>,
                             std::unique_ptr<ChoiceBlock>, std::unique_ptr<PasswordBlock>,
                             std::unique_ptr<ToggleBlock>, std::unique_ptr<DateTimeBlock>,
                             std::unique_ptr<FontBlock>, std::unique_ptr<WindowBlock>>;
  struct Cell {
    CellKind kind = CellKind::Untyped;
    bool edited = false;
    uint32_t textColour = 0;
    uint32_t backColour = 0;
    std::u16string text;
    Block block;
  };
  using Row = std::vector<Cell>;

  static void CopyCell(const Cell& from, Cell& to);
  Cell* CellAt(int row, int column);                // creates the cell when the row exists
  const Cell* FindCell(int row, int column) const;  // null when never touched
  bool CellExists(int row, int column) const;
  void StoreText(int row, int column, Cell& cell, std::u16string_view text);
  bool SetPlainKind(int row, int column, CellKind kind);
  template <class B>
  B* SetBlockKind(int row, int column, CellKind kind);
  template <class B>
  B* BlockOf(int row, int column, CellKind kind, CellKind other);
  template <class B>
  const B* BlockOf(int row, int column, CellKind kind, CellKind other) const;
  void ShowChoice(int row, int column, ChoiceBlock& block, size_t index);
  void ShowInteger(int row, int column, IntegerBlock& block);
  void ShowReal(int row, int column, RealBlock& block);

  CTypedCellsHost* host_;
  std::vector<Row> rows_;
};
