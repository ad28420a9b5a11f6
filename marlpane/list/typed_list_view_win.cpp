#include "marlpane/list/typed_list_view.h"

#include <algorithm>

#include "common/date_text.h"
#include "common/text16.h"
#include "common/window_text_win.h"
#include "marlpane/document/ini_document.h"
#include "marlpane/editors/cell_choosers_win.h"
#include "marlpane/editors/date_time_editor_win.h"
#include "marlpane/editors/list_editors_win.h"
#include "marlpane/editors/number_editors_win.h"
#include "marlpane/editors/password_editor_win.h"
#include "marlpane/editors/text_editors_win.h"
#include "marlpane/editors/editor_message_win.h"
#include "marlpane/editors/value_texts.h"
#include "marlpane/rows/change_history.h"
#include "marlpane/rows/row_saver.h"

CTypedListView::CTypedListView() : cells_(this) {
  editorFonts_.SetBaseFont(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
}

CTypedListView::~CTypedListView() {
  HideBoxRefusal();
  boldFonts_.SetBaseFont(nullptr);
  if (boldFont_) DeleteObject(boldFont_);
}

int CTypedListView::AppendItem(const char16_t* text, int image, LPARAM data) {
  const int item = CEditableListView::AppendItem(text, image, data);
  if (item < 0) return item;
  const bool mirror = mirror_;
  mirror_ = false;  // the control has the text already
  const int row = cells_.AppendRow();
  cells_.SetCellText(row, 0, text ? text : u"");
  mirror_ = mirror;
  return item;
}

bool CTypedListView::DeleteItem(int item) {
  if (!CEditableListView::DeleteItem(item)) return false;
  cells_.DeleteRow(item);
  return true;
}

void CTypedListView::DeleteAllItems() {
  CEditableListView::DeleteAllItems();
  cells_.DeleteAllRows();
}

bool CTypedListView::SetCellText(int item, int column, const char16_t* text) {
  return cells_.SetCellText(item, column, text);
}

bool CTypedListView::GetCellText(int item, int column, char16_t* buffer, int capacity) {
  return capacity > 0 && cells_.GetCellText(item, column, buffer, static_cast<size_t>(capacity));
}

std::u16string CTypedListView::ShownText(int column, const char16_t* text) const {
  std::u16string shown = text ? text : u"";
  // Values (numbers, paths, colours) read left to right also in a window
  // laid out right to left: embedded left to right.
  if (column == 1 && list_ && (GetWindowLongPtrW(list_, GWL_EXSTYLE) & WS_EX_LAYOUTRTL)) {
    shown = u"\u202A" + shown + u"\u202C";
  }
  return shown;
}

void CTypedListView::CellTextChanged(int row, int column, const char16_t* text) {
  if (mirror_) CEditableListView::SetCellText(row, column, ShownText(column, text).c_str());
}

void CTypedListView::CellColoursChanged(int row, int column, uint32_t textColour,
                                        uint32_t backColour) {
  if (mirror_) CEditableListView::SetCellColours(row, column, textColour, backColour);
}

uintptr_t CTypedListView::LookUpWindow(uintptr_t hint, const char16_t* windowTitle,
                                       const char16_t* className, char16_t* title,
                                       size_t capacity) {
  if (mirror_) {
    return CTypedCellsHost::LookUpWindow(hint, windowTitle, className, title, capacity);
  }
  std::u16string key;
  for (char c : std::to_string(hint)) key += static_cast<char16_t>(c);
  key += u'\n';
  key += windowTitle ? windowTitle : u"";
  key += u'\n';
  key += className ? className : u"";
  auto known = windowsFound_.find(key);
  if (known == windowsFound_.end()) {
    std::u16string found(kCellTextCapacity, u'\0');
    const uintptr_t window =
        CTypedCellsHost::LookUpWindow(hint, windowTitle, className, found.data(), found.size());
    found.resize(TextLength(found.c_str()));
    known = windowsFound_.emplace(std::move(key), FoundWindow{window, std::move(found)}).first;
  }
  if (title && capacity > 0) CopyText(title, capacity, known->second.title.c_str());
  return known->second.window;
}

HWND CTypedListView::CreateEditor(int row, int column, const RECT& cell, HWND owner,
                                  const char16_t* text) {
  EditRequest request;
  request.row = row;
  request.column = column;
  request.cell = cell;
  request.owner = owner;
  request.text = text ? text : u"";
  request.name = cells_.CellText(row, 0);
  request.fonts = &editorFonts_;
  const size_t r = static_cast<size_t>(row);
  const bool typedText = !built_ || r >= built_->table.size() || RowWritesTypedText(built_->table[r].rowType);
  if (column == 1 && typedText) {
    request.refusal = [this](const std::u16string& value) { return Refusal(value); };
  }
  const CellKind kind = cells_.GetCellKind(row, column);
  // What a chooser or list picks is checked once it is in the cell.
  CTypedCells::SavedCell before;
  const bool picks = column == 1 &&
                     (kind == CellKind::OpenFile || kind == CellKind::SaveFile || kind == CellKind::Folder ||
                      kind == CellKind::Choice || kind == CellKind::Font || kind == CellKind::Window) &&
                     cells_.SaveCell(row, column, before);
  switch (kind) {
    case CellKind::Untyped: {
      HWND box = CEditableListView::CreateEditor(row, column, cell, owner, text);
      if (box) SendMessageW(box, WM_SETFONT, reinterpret_cast<WPARAM>(editorFonts_.FontFor(request.text)), FALSE);
      return box;
    }
    case CellKind::ReadOnly: break;
    case CellKind::Color: EditColor(request); break;
    case CellKind::OpenFile: EditFile(request, false); break;
    case CellKind::SaveFile: EditFile(request, true); break;
    case CellKind::Folder: EditFolder(request); break;
    case CellKind::Text: EditText(request); break;
    case CellKind::Password: EditPassword(request); break;
    case CellKind::Choice: EditChoice(request); break;
    case CellKind::Integer: EditInteger(request); break;
    case CellKind::Real: EditReal(request); break;
    case CellKind::Toggle: cells_.FlipToggle(row, column); break;
    case CellKind::Date: EditDate(request); break;
    case CellKind::Time: EditTime(request); break;
    case CellKind::MultiLine: EditMultiLine(request); break;
    case CellKind::Font: EditFont(request); break;
    case CellKind::Window: EditWindow(request); break;
  }
  if (picks) KeepOnlyStorable(row, before, owner);
  return nullptr;
}

std::u16string CTypedListView::Refusal(const std::u16string& value) const {
  if (!settings_) return std::u16string();
  const size_t bad = settings_->FirstUnstorable(value.data(), value.size());
  return bad < value.size() ? UnstorableStatus(settings_->Encoding(), value, bad) : std::u16string();
}

void CTypedListView::KeepOnlyStorable(int row, const CTypedCells::SavedCell& before, HWND owner) {
  if (!settings_ || !built_) return;
  const std::u16string text = RowValueTextNow(*built_, cells_, row);
  const size_t bad = settings_->FirstUnstorable(text.data(), text.size());
  if (bad == text.size()) return;
  cells_.RestoreCell(row, 1, before);
  const std::u16string message = UnstorableChoiceMessage(settings_->Encoding(), text, bad);
  wchar_t title[256] = {};
  if (owner) GetWindowTextW(owner, title, 256);
  EditorMessageBox(owner, message, AsText(title), MB_OK | MB_ICONEXCLAMATION);
}

bool CTypedListView::OnEditorCommand(WPARAM wParam, LPARAM lParam) {
  if (editor_ && reinterpret_cast<HWND>(lParam) == editor_ && HIWORD(wParam) == EN_CHANGE) {
    // The box's font follows what is typed into it.
    const std::u16string text = WindowText(editor_);
    const WPARAM font = reinterpret_cast<WPARAM>(editorFonts_.FontFor(text));
    if (static_cast<WPARAM>(SendMessageW(editor_, WM_GETFONT, 0, 0)) != font) {
      SendMessageW(editor_, WM_SETFONT, font, TRUE);
    }
    return false;
  }
  if (editor_ && LOWORD(wParam) == kCommitCommand && editedColumn_ == 1 &&
      cells_.GetCellKind(editedRow_, editedColumn_) == CellKind::Untyped) {
    const std::u16string text = WindowText(editor_);
    const std::u16string reason = Refusal(text);
    if (!reason.empty()) {
      ShowBoxRefusal(reason);
      SetFocus(editor_);
      // The box posts its next commit or cancel once it has painted.
      InvalidateRect(editor_, nullptr, FALSE);
      return true;
    }
  }
  return CEditableListView::OnEditorCommand(wParam, lParam);
}

void CTypedListView::ShowBoxRefusal(const std::u16string& reason) {
  RECT box = {};
  GetWindowRect(editor_, &box);
  if (!boxRefusal_) {
    boxRefusal_ = CreateWindowExW(WS_EX_NOACTIVATE, L"STATIC", L"",
                                  WS_POPUP | WS_BORDER | SS_CENTER | SS_CENTERIMAGE | SS_NOPREFIX,
                                  box.left, box.bottom, box.right - box.left, box.bottom - box.top,
                                  GetParent(editor_), nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!boxRefusal_) return;
  }
  HFONT font = editorFonts_.FontFor(reason);
  SendMessageW(boxRefusal_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  SetWindowTextW(boxRefusal_, AsWide(reason.c_str()));
  // As wide as the message, at least as wide as the box.
  const SIZE extent = TextSize(boxRefusal_, font, reason, 0, DT_SINGLELINE | DT_NOPREFIX);
  const int width = std::max<int>(box.right - box.left, extent.cx + 12);
  SetWindowPos(boxRefusal_, HWND_TOP, box.left, box.bottom, width, box.bottom - box.top,
               SWP_NOACTIVATE | SWP_SHOWWINDOW);
  InvalidateRect(boxRefusal_, nullptr, TRUE);
}

void CTypedListView::HideBoxRefusal() {
  if (boxRefusal_) DestroyWindow(boxRefusal_);
  boxRefusal_ = nullptr;
}

void CTypedListView::EditColor(const EditRequest& r) {
  uint32_t colour = 0;
  if (ChooseCellColour(r, &colour)) cells_.SetColor(r.row, r.column, colour);
}

void CTypedListView::EditFile(const EditRequest& r, bool save) {
  const FilterBlock* filter = cells_.GetFilterBlock(r.row, r.column);
  std::u16string path;
  if (filter && ChooseCellFile(r, save, filter->filter, path)) {
    cells_.SetCellText(r.row, r.column, path.c_str());
  }
}

void CTypedListView::EditFolder(const EditRequest& r) {
  std::u16string folder;
  if (ChooseCellFolder(r, folder)) cells_.SetCellText(r.row, r.column, folder.c_str());
}

void CTypedListView::EditText(const EditRequest& r) {
  std::u16string text = r.text;
  if (EditTextValue(r, text)) cells_.SetCellText(r.row, r.column, text.c_str());
}

void CTypedListView::EditPassword(const EditRequest& r) {
  PasswordBlock* block = cells_.GetPasswordBlock(r.row, r.column);
  if (!block) return;
  PasswordBlock entered = *block;
  if (EditPasswordValue(r, entered)) cells_.SetPasswordText(r.row, r.column, entered.text.c_str());
}

void CTypedListView::EditChoice(const EditRequest& r) {
  const ChoiceBlock* block = cells_.GetChoiceBlock(r.row, r.column);
  int slot = 0;
  if (block && EditChoiceValue(r, *block, &slot)) cells_.SelectChoiceByIndex(r.row, r.column, slot);
}

void CTypedListView::EditInteger(const EditRequest& r) {
  cells_.LoadIntegerValue(r.row, r.column);
  IntegerBlock* block = cells_.GetIntegerBlock(r.row, r.column);
  if (!block) return;
  IntegerBlock entered = *block;
  if (EditIntegerValue(r, entered)) cells_.SetIntegerValue(r.row, r.column, entered.value);
}

void CTypedListView::EditReal(const EditRequest& r) {
  cells_.LoadRealValue(r.row, r.column);
  RealBlock* block = cells_.GetRealBlock(r.row, r.column);
  if (!block) return;
  RealBlock entered = *block;
  if (EditRealValue(r, entered)) cells_.SetRealValue(r.row, r.column, entered.value);
}

namespace {

// The picker starts at the value the cell shows when it reads as one: a
// time found by detection keeps the clock time of loading in its block.
DateTimeBlock StartingValue(const DateTimeBlock& block, const char16_t* shown, bool time) {
  DateTimeBlock start = block;
  DateTimeFields value = block.current;
  if (time ? ParseTime(shown, value) : ParseDate(shown, value)) start.current = value;
  return start;
}

}  // namespace

void CTypedListView::EditDate(const EditRequest& r) {
  const DateTimeBlock* block = cells_.GetDateTimeBlock(r.row, r.column);
  if (!block) return;
  DateTimeBlock entered = StartingValue(*block, r.text, false);
  if (EditDateValue(r, entered)) cells_.SetDateValue(r.row, r.column, entered.current);
}

void CTypedListView::EditTime(const EditRequest& r) {
  const DateTimeBlock* block = cells_.GetDateTimeBlock(r.row, r.column);
  if (!block) return;
  DateTimeBlock entered = StartingValue(*block, r.text, true);
  if (EditTimeValue(r, entered)) cells_.SetTimeValue(r.row, r.column, entered.current);
}

void CTypedListView::EditMultiLine(const EditRequest& r) {
  std::u16string text = r.text;
  if (EditMultiLineValue(r, text)) cells_.SetCellText(r.row, r.column, text.c_str());
}

void CTypedListView::EditFont(const EditRequest& r) {
  FontBlock font;
  if (!cells_.GetFont(r.row, r.column, font)) return;
  if (ChooseCellFont(r, font)) {
    cells_.SetFont(r.row, r.column, font.face, font.size, font.bold != 0, font.italic != 0,
                   font.underline != 0, font.strikeOut != 0);
  }
}

void CTypedListView::EditWindow(const EditRequest& r) {
  WindowBlock* block = cells_.GetWindowBlock(r.row, r.column);
  if (!block) return;
  WindowBlock picked = *block;
  if (!EditWindowValue(r, picked)) return;
  cells_.SetWindow(r.row, r.column, picked.window, picked.title, picked.className);
  cells_.SetCellText(r.row, r.column, picked.title);
}

bool CTypedListView::LoadRows(const char16_t* settingsPath, const char16_t* typesPath,
                              CIniDocument& settings, CRowSources& sources,
                              const EditorOptions& options, BuiltRows& out) {
  DeleteAllItems();
  settings_ = &settings;
  built_ = &out;
  mirror_ = false;
  const bool built =
      BuildRows(settingsPath, typesPath, settings, cells_, sources, options, GetColumnWidth(0), out,
                characterWidth_);
  mirror_ = true;
  windowsFound_.clear();
  if (!built) {
    cells_.DeleteAllRows();
    return false;
  }
  const int rows = cells_.RowCount();
  BeginBulkInsert(rows);
  for (int row = 0; row < rows; ++row) {
    const RowDisplay& display = out.display[static_cast<size_t>(row)];
    if (CEditableListView::AppendItem(display.label.c_str(), -1, 0) != row) break;
    CEditableListView::SetCellText(row, 1, ShownText(1, cells_.CellText(row, 1).c_str()).c_str());
    uint32_t textColour = 0;
    uint32_t backColour = 0;
    cells_.GetCellColours(row, 1, &textColour, &backColour);
    if (textColour || backColour) {
      CEditableListView::SetCellColours(row, 1, textColour, backColour);
    }
    if (display.icon >= 0) SetCellImage(row, 1, display.icon);
    if (!display.tip.empty()) SetTip(row, display.tip.c_str());
    if (display.titleBackground) SetRowBackground(row, options.listSectionTitleColor);
  }
  EndBulkInsert();
  out.labelWidth = std::max(out.labelWidth, FallbackLabelWidth(out));
  SetColumnWidth(0, options.firstColumnWidth < 0 ? out.labelWidth : options.firstColumnWidth);
  StretchLastColumnDefault();
  return ItemCount() == rows;
}

int CTypedListView::FallbackLabelWidth(const BuiltRows& rows) {
  if (!list_) return 0;
  FollowListFont();
  HDC context = GetDC(list_);
  int widest = 0;
  for (const RowDisplay& display : rows.display) {
    const std::u16string& text = display.label;
    if (std::all_of(text.begin(), text.end(), [](char16_t c) { return c < 0x80; })) continue;
    // With its changed mark, as it may come to be drawn.
    const std::u16string label = kChangedMark + text;
    HFONT font = listFonts_.FontFor(context, label);
    if (!font || font == listFonts_.BaseFont()) continue;
    HGDIOBJ previous = SelectObject(context, font);
    SIZE extent = {};
    GetTextExtentPoint32W(context, AsWide(label.c_str()), static_cast<int>(label.size()), &extent);
    SelectObject(context, previous);
    widest = std::max<int>(widest, extent.cx + 2 * characterWidth_);
  }
  ReleaseDC(list_, context);
  return widest;
}

void CTypedListView::TrackChanges(CChangeHistory* history, const BuiltRows* rows) {
  history_ = history;
  rows_ = rows;
  anyMarked_ = false;
  commentTips_.clear();
}

bool CTypedListView::BeginEdit(int row, int column) {
  // The open edit ends (and is recorded) before the next one begins.
  if (IsEditing()) OnEditorCommand(kCancelCommand, reinterpret_cast<LPARAM>(EditorWindow()));
  if (history_) {
    history_->BeginChange(row);
    changing_ = true;
  }
  const bool begun = CEditableListView::BeginEdit(row, column);
  if (!begun && changing_) {
    changing_ = false;
    history_->EndChange();
  }
  return begun;
}

bool CTypedListView::EndEdit() {
  HideBoxRefusal();
  CEditableListView::EndEdit();
  if (changing_) {
    changing_ = false;
    if (history_->EndChange()) ShowRowChange(editedRow_);
  }
  return true;
}

void CTypedListView::ShowRowChange(int row) {
  if (!history_ || row < 0 || row >= ItemCount()) return;
  std::u16string label = cells_.CellText(row, 0);
  if (history_->IsChanged(row)) label.insert(0, kChangedMark);
  CEditableListView::SetCellText(row, 0, label.c_str());
  anyMarked_ = history_->AnyChanged();
  if (list_) ListView_RedrawItems(list_, row, row);
}

void CTypedListView::SelectRow(int row) {
  if (!list_ || row < 0 || row >= ItemCount()) return;
  // A single-selection list drops the old selection by itself; clearing
  // every item first would cost a notification per row.
  ListView_SetItemState(list_, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_SetSelectionMark(list_, row);
  ListView_EnsureVisible(list_, row, FALSE);
}

int CTypedListView::SelectedRow() {
  return list_ ? ListView_GetNextItem(list_, -1, LVNI_SELECTED) : -1;
}

const char16_t* CTypedListView::GetTip(int item) {
  const char16_t* own = CEditableListView::GetTip(item);
  if (own || !rows_ || item < 0 || static_cast<size_t>(item) >= rows_->lines.RowCount()) return own;
  auto known = commentTips_.find(item);
  if (known == commentTips_.end()) {
    known = commentTips_.emplace(item, rows_->lines.CommentTip(static_cast<size_t>(item))).first;
  }
  return known->second.empty() ? nullptr : known->second.c_str();
}

void CTypedListView::FollowListFont() {
  HFONT font = list_ ? reinterpret_cast<HFONT>(SendMessageW(list_, WM_GETFONT, 0, 0)) : nullptr;
  if (!font) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  if (font == listFonts_.BaseFont() && boldFont_) return;
  listFonts_.SetBaseFont(font);
  boldFonts_.SetBaseFont(nullptr);
  if (boldFont_) DeleteObject(boldFont_);
  boldFont_ = nullptr;
  LOGFONTW description = {};
  if (GetObjectW(font, sizeof(description), &description)) {
    description.lfWeight = FW_BOLD;
    boldFont_ = CreateFontIndirectW(&description);
  }
  boldFonts_.SetBaseFont(boldFont_ ? boldFont_ : font);
}

LRESULT CTypedListView::CustomDraw(NMLVCUSTOMDRAW* draw) {
  LRESULT answer = CEditableListView::CustomDraw(draw);
  if (!draw || !list_ || draw->nmcd.dwDrawStage != (CDDS_ITEMPREPAINT | CDDS_SUBITEM)) return answer;
  FollowListFont();
  const int row = static_cast<int>(draw->nmcd.dwItemSpec);
  const bool changed = history_ && history_->IsChanged(row);
  CFontFallback& fonts = changed && draw->iSubItem == 1 ? boldFonts_ : listFonts_;
  std::u16string text = cells_.CellText(row, draw->iSubItem);
  if (changed && draw->iSubItem == 0) text.insert(0, kChangedMark);
  HFONT font = fonts.FontFor(draw->nmcd.hdc, text);
  anyFallback_ = anyFallback_ || font != fonts.BaseFont();
  // Once any cell has a font of its own every cell names its font: the
  // control keeps the font of one cell for the next.
  if (!font || (!anyMarked_ && !anyFallback_)) return answer;
  SelectObject(draw->nmcd.hdc, font);
  return answer | CDRF_NEWFONT;
}
