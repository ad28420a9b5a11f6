#include "marlpane/rows/row_saver.h"

#include <string>
#include <vector>

#include "common/date_text.h"
#include "marlpane/rows/cell_kinds.h"
#include "marlpane/document/ini_document.h"
#include "marlpane/rows/password_digest.h"
#include "marlpane/document/ini_key_lines.h"
#include "marlpane/rows/key_line_text.h"
#include "marlpane/rows/row_builder.h"
#include "marlpane/rows/typed_cells.h"

namespace {

// Detection gives choice rows the code of the choice kind; they save like
// SELECTFIRST.
constexpr int32_t kDetectedChoiceRowType = static_cast<int32_t>(CellKind::Choice);

template <class Number>
std::u16string Decimal(Number value) {
  const std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

char16_t Lower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }
char16_t Upper(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c; }

bool EqualNoCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

// "yes" in the case pattern of model ("YES", "Yes" or "yes").
std::u16string InCaseOf(std::u16string_view model, const char16_t* word) {
  std::u16string out = word;
  const bool firstUpper = !model.empty() && Upper(model[0]) == model[0] && Lower(model[0]) != model[0];
  bool allUpper = firstUpper;
  for (char16_t c : model) allUpper = allUpper && !(Lower(c) == c && Upper(c) != c);
  for (size_t i = 0; i < out.size(); ++i) {
    if (allUpper || (firstUpper && i == 0)) out[i] = Upper(out[i]);
  }
  return out;
}

// Choice items from the chosen one on: the chosen item, then every other
// item in slot order up to the first empty slot, each after ';'.
std::u16string ChosenFirst(const ChoiceBlock& block) {
  const size_t chosen = block.current;
  std::u16string out = block.Item(chosen);
  for (size_t i = 0, visible = VisibleChoiceCount(block); i < visible; ++i) {
    if (i == chosen) continue;
    out += u';';
    out += block.items[i];
  }
  return out;
}

std::u16string ChosenItem(const CTypedCells& cells, int row) {
  const ChoiceBlock* block = cells.GetChoiceItems(row, 1);
  return block ? block->Item(block->current) : u"";
}

std::u16string FontText(const FontBlock& font) {
  std::u16string out = font.face;
  out += u';' + Decimal(font.size);
  for (uint8_t style : {font.bold, font.italic, font.underline, font.strikeOut}) {
    out += style ? u";1" : u";0";
  }
  return out;
}

std::u16string MarkersAs(const std::u16string& text, const std::u16string& separator) {
  std::u16string out;
  out.reserve(text.size());
  for (char16_t c : text) {
    if (c == kLineBreakMarker) {
      out += separator;
    } else {
      out += c;
    }
  }
  return out;
}

bool IsDigestRow(int32_t rowType) {
  return rowType >= kRowSha160Password && rowType <= kRowMd5Password;
}

bool IsDriveRow(int32_t rowType) {
  return rowType >= kRowDrive && rowType <= kRowFixedDrive;
}

// The forms written only after an edit (their loaded text is not what the
// row shows, or the form is ours rather than the file's).
bool EditedForm(int32_t rowType, const CTypedCells& cells, int row, const char16_t* stored,
                std::u16string& out) {
  switch (rowType) {
    case kRowToggleIndex:
      out = FlagTextLike(stored, cells.GetToggleState(row, 1));
      return true;
    case kRowDate:
    case kRowTime: {
      const DateTimeBlock* block = cells.GetDateTimeBlock(row, 1);
      if (!block) return false;
      char16_t text[kDateTextCapacity];
      if (cells.GetCellKind(row, 1) == CellKind::Date) {
        FormatDate(block->current, text, kDateTextCapacity);
      } else {
        FormatTime(block->current, text, kDateTextCapacity);
      }
      out = text;
      return true;
    }
    case kRowWindow: {
      uintptr_t window = 0;
      char16_t title[kWindowTextCapacity];
      char16_t className[kWindowTextCapacity];
      if (!cells.GetWindow(row, 1, &window, title, kWindowTextCapacity, className,
                           kWindowTextCapacity)) {
        return false;
      }
      out = Decimal(window) + u';' + title + u';' + className;
      return true;
    }
    case kRowStringHex:
      out = EncodeHexText(cells.CellText(row, 1).c_str());
      return true;
    case kRowHexPassword: {
      const char16_t* password = cells.GetPasswordText(row, 1);
      if (!password) return false;
      out = EncodeHexText(password);
      return true;
    }
    case kRowImageFile:
    case kRowEmail:
      out = cells.CellText(row, 1);
      return true;
    case kRowSelectExec:
      out = ChosenItem(cells, row);
      return true;
    default:
      break;
  }
  if (IsDigestRow(rowType)) {
    const char16_t* password = cells.GetPasswordText(row, 1);
    return password && PasswordDigest(rowType, password, out);
  }
  if (IsDriveRow(rowType)) {
    const std::u16string item = ChosenItem(cells, row);
    if (item.empty()) return false;
    out = DriveItemRoot(item.c_str());
    return true;
  }
  return false;
}

}  // namespace

std::u16string FlagTextLike(const char16_t* stored, bool on) {
  static const char16_t* const kStyles[][2] = {
      {u"1", u"0"}, {u"yes", u"no"}, {u"true", u"false"}, {u"on", u"off"}, {u"y", u"n"},
      {u"t", u"f"},
  };
  const std::u16string_view text = stored ? stored : u"";
  for (const auto& style : kStyles) {
    if (EqualNoCase(text, style[0]) || EqualNoCase(text, style[1])) {
      return InCaseOf(text, style[on ? 0 : 1]);
    }
  }
  return on ? u"1" : u"0";
}

std::u16string EncodeHexText(const char16_t* text) {
  static const char16_t kDigits[] = u"0123456789ABCDEF";
  std::u16string out;
  for (const char16_t* c = text; c && *c; ++c) {
    for (unsigned byte : {static_cast<unsigned>(*c & 0xFF), static_cast<unsigned>(*c >> 8)}) {
      out += kDigits[byte >> 4];
      out += kDigits[byte & 0xF];
    }
  }
  return out;
}

std::u16string DriveItemRoot(const char16_t* item) {
  std::u16string root = item ? item : u"";
  const size_t space = root.find(u' ');
  if (space != std::u16string::npos) root.resize(space);
  if (!root.empty() && root.back() != u'\\') root += u'\\';
  return root;
}

namespace {

bool SaveText(int32_t rowType, const CTypedCells& cells, int row, const char16_t* stored,
              const std::u16string& separator, bool edited, std::u16string& out) {
  out.clear();
  switch (rowType) {
    case kUntypedRowType:
    case kRowInteger:
    case kRowReal:
    case kRowString:
    case kRowColor:
    case kRowFile:
    case kRowFileSave:
    case kRowFolder:
      out = cells.CellText(row, 1);
      return true;
    case kRowFont: {
      FontBlock font;
      if (!cells.GetFont(row, 1, font)) return false;
      out = FontText(font);
      return true;
    }
    case kDetectedChoiceRowType:
    case kRowSelectFirst: {
      const ChoiceBlock* block = cells.GetChoiceItems(row, 1);
      if (!block) return false;
      out = ChosenFirst(*block);
      return true;
    }
    case kRowPassword: {
      const char16_t* password = cells.GetPasswordText(row, 1);
      if (!password) return false;
      out = password;
      return true;
    }
    case kRowMultiLine:
      out = MarkersAs(cells.CellText(row, 1), separator);
      return true;
    case kRowSelectString:
      if (!cells.GetChoiceItems(row, 1)) return false;
      out = ChosenItem(cells, row);
      return true;
    case kRowSelectIndex:
    case kRowSelectIndexString: {
      // A stored number that names no item shows nothing; its line stays
      // until the user picks an item.
      const ChoiceBlock* block = cells.GetChoiceItems(row, 1);
      if (!block) return false;
      if (cells.CellText(row, 1).empty() && !edited) return false;
      const std::u16string item = ChosenItem(cells, row);
      out = Decimal(block->current);
      if (rowType == kRowSelectIndexString) out += u';' + item;
      return true;
    }
    case kRowReadOnly:
    case kRowTitle:
      return false;
    default:
      break;
  }
  if (!edited) return false;
  if (EditedForm(rowType, cells, row, stored, out)) return true;
  out.clear();
  return false;
}

}  // namespace

bool RowSaveText(int32_t rowType, const CTypedCells& cells, int row, const char16_t* stored,
                 std::u16string& out) {
  return SaveText(rowType, cells, row, stored, u"\\n", cells.CellEdited(row, 1), out);
}

bool RowValueText(int32_t rowType, const CTypedCells& cells, int row, const char16_t* stored,
                  const std::u16string& separator, std::u16string& out) {
  return SaveText(rowType, cells, row, stored, separator.empty() ? u"\\n" : separator, true, out);
}

std::u16string RowValueTextNow(const BuiltRows& rows, const CTypedCells& cells, int row) {
  std::u16string text;
  if (row < 0 || static_cast<size_t>(row) >= rows.table.size()) return text;
  const size_t r = static_cast<size_t>(row);
  const std::u16string stored(TrimBlanks(rows.lines.Value(r)));
  const std::u16string separator = r < rows.display.size() ? rows.display[r].lineSeparator : std::u16string();
  RowValueText(rows.table[r].rowType, cells, row, stored.c_str(), separator, text);
  return text;
}

bool RowWritesTypedText(int32_t rowType) {
  return rowType != kRowStringHex && rowType != kRowHexPassword && !IsDigestRow(rowType);
}

namespace {

// The text Save writes for the row in place of stored (the value on its
// line, blanks included), without the blanks; false when the row gives no
// text or the value it has.
bool NewValueText(const BuiltRows& rows, const CTypedCells& cells, int row,
                  std::u16string_view stored, std::u16string& text) {
  const RowTableEntry& entry = rows.table[static_cast<size_t>(row)];
  const std::u16string_view value = TrimBlanks(stored);
  const std::u16string separator = static_cast<size_t>(row) < rows.display.size()
                                       ? rows.display[static_cast<size_t>(row)].lineSeparator
                                       : std::u16string();
  if (!RowValueText(entry.rowType, cells, row, std::u16string(value).c_str(), separator, text)) {
    return false;
  }
  return text != value;
}

bool HasLine(const BuiltRows& rows, int row) {
  return row >= 0 && static_cast<size_t>(row) < rows.table.size() &&
         rows.table[static_cast<size_t>(row)].entryIndex >= 0;
}

}  // namespace

uint32_t SaveRows(const BuiltRows& rows, const CTypedCells& cells, CIniDocument& settings,
                  const char16_t* path, const std::vector<int>* changedRows) {
  std::vector<int> edited;
  if (!changedRows) {
    for (int row = 0; row < static_cast<int>(rows.table.size()); ++row) {
      if (cells.CellEdited(row, 1)) edited.push_back(row);
    }
    changedRows = &edited;
  }
  // Work out every text against the values as loaded first, then replace:
  // reading a value after a replacement would apply the pending ones.
  struct Change {
    int32_t entry;
    std::u16string text;
  };
  std::vector<Change> changes;
  std::u16string stored;
  std::u16string text;
  for (int row : *changedRows) {
    if (!HasLine(rows, row)) continue;
    const int32_t entry = rows.table[static_cast<size_t>(row)].entryIndex;
    if (!settings.EntryValue(static_cast<size_t>(entry), stored)) continue;
    if (!NewValueText(rows, cells, row, stored, text)) continue;
    // The blanks around the value are the file's layout ("key = value").
    const std::u16string_view value = TrimBlanks(stored);
    const size_t lead = static_cast<size_t>(value.data() - stored.data());
    std::u16string line = stored.substr(0, lead);
    line += text;
    line += stored.substr(lead + value.size());
    changes.push_back({entry, std::move(line)});
  }
  for (const Change& change : changes) {
    if (!settings.ReplaceValue(static_cast<size_t>(change.entry), change.text.c_str())) return 0;
  }
  return settings.Save(path);
}

bool RowKeyEdits(const BuiltRows& rows, const CTypedCells& cells, const std::vector<int>& changedRows,
                 std::vector<KeyEdit>& edits, std::vector<int>& editRows) {
  edits.clear();
  editRows.clear();
  std::vector<size_t> entries;
  std::u16string text;
  for (int row : changedRows) {
    if (!HasLine(rows, row)) continue;
    const std::u16string_view stored = rows.lines.Value(static_cast<size_t>(row));
    if (!NewValueText(rows, cells, row, stored, text)) continue;
    KeyEdit edit;
    edit.loaded.assign(stored);
    edit.value = text;
    edits.push_back(std::move(edit));
    editRows.push_back(row);
    entries.push_back(static_cast<size_t>(rows.table[static_cast<size_t>(row)].entryIndex));
  }
  std::vector<KeyName> names;
  const std::u16string_view loaded = rows.lines.Text();
  if (!NameEntries(loaded.data(), loaded.size(), entries, names)) return false;
  for (size_t i = 0; i < edits.size(); ++i) edits[i].name = std::move(names[i]);
  return true;
}
