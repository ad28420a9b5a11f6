#include "marlpane/list/typed_list_view.h"

#include "common/text16.h"
#include "marlpane/document/ini_document.h"

CTypedListView::CTypedListView() : cells_(this) {}

CTypedListView::~CTypedListView() = default;

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

void CTypedListView::CellTextChanged(int row, int column, const char16_t* text) {
  if (mirror_) CEditableListView::SetCellText(row, column, text);
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
  switch (cells_.GetCellKind(row, column)) {
    case CellKind::Untyped:
    case CellKind::Text:
      return CEditableListView::CreateEditor(row, column, cell, owner, text);
    case CellKind::Toggle:
      cells_.FlipToggle(row, column);
      return nullptr;
    default:
      return nullptr;
  }
}

bool CTypedListView::LoadRows(const char16_t* settingsPath, const char16_t* typesPath,
                              CIniDocument& settings, CRowSources& sources,
                              const EditorOptions& options, BuiltRows& out) {
  DeleteAllItems();
  mirror_ = false;
  const bool built =
      BuildRows(settingsPath, typesPath, settings, cells_, sources, options, GetColumnWidth(0), out);
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
    CEditableListView::SetCellText(row, 1, cells_.CellText(row, 1).c_str());
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
  SetColumnWidth(0, options.firstColumnWidth < 0 ? out.labelWidth : options.firstColumnWidth);
  StretchLastColumnDefault();
  return ItemCount() == rows;
}
