// The option list: an editable colour list whose cells carry kinds and
// values (CTypedCells). The cells are the model; the list control mirrors
// their texts and colours, and an edit opens the editor of the value cell's
// kind. Win32 only.
#pragma once

#include <windows.h>

#include <map>
#include <string>

#include "common/font_fallback_win.h"
#include "marlpane/editors/edit_request_win.h"
#include "marlpane/list/editable_list_view.h"
#include "marlpane/app/editor_options.h"
#include "marlpane/rows/row_builder.h"
#include "marlpane/rows/typed_cells.h"

class CChangeHistory;
class CIniDocument;

class CTypedListView : public CEditableListView, private CTypedCellsHost {
 public:
  CTypedListView();
  ~CTypedListView() override;

  // The kinds and value operations of the cells; every change of a text or
  // of colours shows in the list at once.
  CTypedCells& Cells() { return cells_; }
  const CTypedCells& Cells() const { return cells_; }

  // Rows of the list and of the cells stay in step.
  int AppendItem(const char16_t* text, int image, LPARAM data) override;
  bool DeleteItem(int item) override;
  void DeleteAllItems() override;
  // Cell texts go through the cells (cut to 4999 characters).
  bool SetCellText(int item, int column, const char16_t* text) override;
  bool GetCellText(int item, int column, char16_t* buffer, int capacity) override;

  // Opens the editor of the cell's kind. Untyped cells get the list's own
  // one-line edit box, which stays open (its handle is returned). Every
  // other kind edits modally here and returns null: a popup over the cell,
  // a chooser, or a toggle flipped at once; read-only cells open nothing.
  // The value reaches the cell only when the editor commits.
  HWND CreateEditor(int row, int column, const RECT& cell, HWND owner,
                    const char16_t* text) override;

  // Empties the list and fills it with the rows of the settings file
  // (BuildRows): labels, value texts and colours, type icons, tips and the
  // background of title rows, inserted with the list's drawing held back.
  // Column 0 gets the widest label's width (out.labelWidth, labels drawn in
  // a fallback font measured in it) when options.firstColumnWidth is
  // negative, else that width; the last column is stretched. False, with
  // an empty list, when the settings file cannot be loaded. From then on an
  // edit refuses a value that settings cannot store (out and settings must
  // outlive the rows).
  bool LoadRows(const char16_t* settingsPath, const char16_t* typesPath, CIniDocument& settings,
                CRowSources& sources, const EditorOptions& options, BuiltRows& out);

  // Every edit of a row's value becomes a change of history, and rows that
  // differ from their loaded value show it: the value in bold, the label
  // after a mark. Rows without a tip of their own show the comment above
  // their key line (rows). Both must outlive the list; null for neither.
  void TrackChanges(CChangeHistory* history, const BuiltRows* rows);
  // Shows whether the row is changed now (after an undo, redo or revert).
  void ShowRowChange(int row);
  // Selects the row, gives it the focus mark and scrolls it into view.
  void SelectRow(int row);
  int SelectedRow();

  bool BeginEdit(int row, int column) override;
  bool EndEdit() override;
  // The list's own edit box (rows without a type) refuses, as the popups
  // do, a value that the settings file cannot store.
  bool OnEditorCommand(WPARAM wParam, LPARAM lParam) override;
  // A row without a tip of its own has the comment above its key line.
  const char16_t* GetTip(int item) override;
  LRESULT CustomDraw(NMLVCUSTOMDRAW* draw) override;

  static constexpr char16_t kChangedMark[] = u"\u2022 ";

  // The fonts of the list's texts (on the list's own font, and on its bold
  // form for changed values) and of the editors' texts (on the stock GUI
  // font): each text is drawn in a font that has its glyphs.
  CFontFallback& ListFonts() { return listFonts_; }
  CFontFallback& EditorFonts() { return editorFonts_; }

 private:
  // The editors by kind, to which CreateEditor dispatches.
  void EditColor(const EditRequest& request);
  void EditFile(const EditRequest& request, bool save);
  void EditFolder(const EditRequest& request);
  void EditText(const EditRequest& request);
  void EditPassword(const EditRequest& request);
  void EditChoice(const EditRequest& request);
  void EditInteger(const EditRequest& request);
  void EditReal(const EditRequest& request);
  void EditDate(const EditRequest& request);
  void EditTime(const EditRequest& request);
  void EditMultiLine(const EditRequest& request);
  void EditFont(const EditRequest& request);
  void EditWindow(const EditRequest& request);

  void CellTextChanged(int row, int column, const char16_t* text) override;
  // The text the control shows for a cell's text.
  std::u16string ShownText(int column, const char16_t* text) const;
  void CellColoursChanged(int row, int column, uint32_t textColour, uint32_t backColour) override;
  // While rows are built, one lookup serves every row that names the same
  // window: asking the system costs about half a millisecond under Wine.
  uintptr_t LookUpWindow(uintptr_t hint, const char16_t* windowTitle, const char16_t* className,
                         char16_t* title, size_t capacity) override;

  struct FoundWindow {
    uintptr_t window;
    std::u16string title;
  };
  // The fallbacks follow the list's font (it changes with the DPI).
  void FollowListFont();
  // The width that labels drawn in a fallback font need, measured: the
  // rule of 8 pixels a character is too narrow for most other scripts.
  int FallbackLabelWidth(const BuiltRows& rows);
  // The message for a value the settings file cannot store; empty when it
  // can store it or no file is loaded.
  std::u16string Refusal(const std::u16string& value) const;
  // Editors of the kinds that pick a value (choosers, lists): a picked value
  // the file cannot store is put back, with a message box saying why.
  void KeepOnlyStorable(int row, const CTypedCells::SavedCell& before, HWND owner);
  void ShowBoxRefusal(const std::u16string& reason);
  void HideBoxRefusal();

  CChangeHistory* history_ = nullptr;
  const BuiltRows* rows_ = nullptr;
  bool changing_ = false;  // an edit is open whose change is not recorded yet
  bool anyMarked_ = false;
  HFONT boldFont_ = nullptr;
  CFontFallback listFonts_;
  CFontFallback boldFonts_;
  CFontFallback editorFonts_;
  bool anyFallback_ = false;  // a cell was drawn in a font other than the list's
  CIniDocument* settings_ = nullptr;
  const BuiltRows* built_ = nullptr;
  HWND boxRefusal_ = nullptr;  // under the list's own edit box
  std::map<int, std::u16string> commentTips_;  // tips worked out so far
  bool mirror_ = true;  // off while rows are built outside the list
  std::map<std::u16string, FoundWindow> windowsFound_;  // during LoadRows
  CTypedCells cells_;
};
