#include "marlpane/rows/row_builder.h"

#include <algorithm>
#include <memory>
#include <string_view>

#include "common/hex_text.h"
#include "common/path_text.h"
#include "common/text16.h"
#include "marlpane/document/ini_document.h"
#include "marlpane/document/ini_lines.h"
#include "marlpane/rows/descriptor_index.h"
#include "marlpane/rows/number_text.h"
#include "marlpane/rows/typed_cells.h"

CRowSources::~CRowSources() = default;
std::u16string CRowSources::DriveList(int) { return {}; }
std::string CRowSources::ProgramOutput(const std::u16string&, const std::u16string&) {
  return {};
}

namespace {

constexpr size_t kPathCapacity = 5000;
constexpr size_t kFontSizeReadLimit = 30;

// Reads ';'-separated fields one after the other. A field past the end is
// absent and reads as empty.
class FieldReader {
 public:
  explicit FieldReader(std::u16string_view text) : text_(text) {}

  // The next field cut at limit characters; false when there is none.
  bool Next(std::u16string& field, size_t limit = kDescriptorFieldLimit) {
    field.clear();
    if (pos_ > text_.size()) return false;
    size_t end = text_.find(u';', pos_);
    if (end == std::u16string_view::npos) end = text_.size();
    field.assign(text_.substr(pos_, std::min(end - pos_, limit)));
    pos_ = end + 1;  // one past the end when the text is used up
    return true;
  }
  std::u16string Next(size_t limit = kDescriptorFieldLimit) {
    std::u16string field;
    Next(field, limit);
    return field;
  }
  int32_t NextWhole() {
    int32_t value = 0;
    ReadWholeNumber(Next().c_str(), 20, &value);
    return value;
  }
  float NextReal() {
    float value = 0;
    ReadRealNumber(Next().c_str(), 20, &value);
    return value;
  }
  bool NextFlag() { return FlagTextIsYes(Next().c_str()); }
  // Everything after the last field read, ';' characters included.
  std::u16string Rest() const {
    return pos_ >= text_.size() ? std::u16string() : std::u16string(text_.substr(pos_));
  }

 private:
  std::u16string_view text_;
  size_t pos_ = 0;
};

// Reads numbers and literal separators the way sscanf reads "%4d-%02d-%02d":
// blanks, an optional sign, then up to width digits per number; each number
// read is stored, and the first mismatch ends the reading.
void ReadDateTimeFields(const std::u16string& text, char16_t separator, uint16_t* first,
                        size_t firstWidth, uint16_t* second, uint16_t* third) {
  const char16_t* p = text.c_str();
  uint16_t* targets[3] = {first, second, third};
  for (int i = 0; i < 3; ++i) {
    if (i > 0) {
      if (*p != separator) return;
      ++p;
    }
    while (*p == u' ' || *p == u'\t') ++p;
    const size_t width = i == 0 ? firstWidth : 2;
    bool negative = false;
    size_t used = 0;
    if (*p == u'+' || *p == u'-') negative = *p++ == u'-', ++used;
    int32_t value = 0;
    size_t digits = 0;
    while (used < width && *p >= u'0' && *p <= u'9') {
      value = value * 10 + (*p++ - u'0');
      ++used, ++digits;
    }
    if (digits == 0) return;
    *targets[i] = static_cast<uint16_t>(negative ? -value : value);
  }
}

DateTimeFields ReadDateField(const std::u16string& text) {
  DateTimeFields fields;
  ReadDateTimeFields(text, u'-', &fields.year, 4, &fields.month, &fields.day);
  return fields;
}

DateTimeFields ReadTimeField(const std::u16string& text) {
  DateTimeFields fields;
  ReadDateTimeFields(text, u':', &fields.hour, 2, &fields.minute, &fields.second);
  return fields;
}

// True when text is an optional sign and at least one decimal digit only.
bool IsWholeDecimal(const std::u16string& text, bool signAllowed) {
  size_t i = 0;
  if (signAllowed && i < text.size() && (text[i] == u'+' || text[i] == u'-')) ++i;
  if (i == text.size()) return false;
  for (; i < text.size(); ++i) {
    if (text[i] < u'0' || text[i] > u'9') return false;
  }
  return true;
}

void ReplaceEvery(std::u16string& text, std::u16string_view find, std::u16string_view with) {
  if (find.empty()) return;
  std::u16string out;
  size_t pos = 0;
  for (size_t hit; (hit = text.find(find, pos)) != std::u16string::npos; pos = hit + find.size()) {
    out.append(text, pos, hit - pos);
    out.append(with);
  }
  out.append(text, pos, std::u16string::npos);
  text.swap(out);
}

void SetFontFromStored(CTypedCells& cells, int row, const char16_t* stored) {
  FieldReader value(stored);
  std::u16string face = value.Next(kFontFaceCapacity - 1);
  std::u16string sizeText;
  int32_t size = 12;
  if (value.Next(sizeText, kFontSizeReadLimit)) {
    size = 0;
    if (IsWholeDecimal(sizeText, true)) ReadWholeNumber(sizeText.c_str(), 0, &size);
  }
  const bool bold = value.NextFlag();
  const bool italic = value.NextFlag();
  const bool underline = value.NextFlag();
  const bool strikeOut = value.NextFlag();
  cells.SetFont(row, 1, face.c_str(), size, bold, italic, underline, strikeOut);
}

void SetWindowFromStored(CTypedCells& cells, int row, const char16_t* stored) {
  FieldReader value(stored);
  const std::u16string handleText = value.Next();
  uintptr_t handle = 0;
  if (IsWholeDecimal(handleText, false)) {
    for (char16_t c : handleText) handle = handle * 10 + static_cast<uintptr_t>(c - u'0');
  }
  const std::u16string title = value.Next();
  const std::u16string className = value.Next();
  cells.SetWindow(row, 1, handle, title.c_str(), className.c_str());
}

enum class Setup {
  ReadOnly, Title, Text, StringHex, Password, HexPassword, DigestPassword, Font, Color,
  Integer, Real, SelectString, SelectIndex, SelectIndexString, SelectFirst, Window, Drive,
  MultiLine, OpenFile, SaveFile, Folder, Toggle, Date, Time, SelectExec,
};

struct Keyword {
  const char16_t* name;
  int32_t code;
  Setup setup;
  int driveType;
};

const Keyword kKeywords[] = {
    {u"READONLY", kRowReadOnly, Setup::ReadOnly, 0},
    {u"TITLE", kRowTitle, Setup::Title, 0},
    {u"STRING", kRowString, Setup::Text, 0},
    {u"EMAIL", kRowEmail, Setup::Text, 0},
    {u"STRINGHEX", kRowStringHex, Setup::StringHex, 0},
    {u"PASSWORD", kRowPassword, Setup::Password, 0},
    {u"HEXPASSWORD", kRowHexPassword, Setup::HexPassword, 0},
    {u"MD5PASSWORD", kRowMd5Password, Setup::DigestPassword, 0},
    {u"SHA160PASSWORD", kRowSha160Password, Setup::DigestPassword, 0},
    {u"SHA256PASSWORD", kRowSha256Password, Setup::DigestPassword, 0},
    {u"SHA384PASSWORD", kRowSha384Password, Setup::DigestPassword, 0},
    {u"SHA512PASSWORD", kRowSha512Password, Setup::DigestPassword, 0},
    {u"FONT", kRowFont, Setup::Font, 0},
    {u"COLOR", kRowColor, Setup::Color, 0},
    {u"INTEGER", kRowInteger, Setup::Integer, 0},
    {u"REAL", kRowReal, Setup::Real, 0},
    {u"SELECTSTRING", kRowSelectString, Setup::SelectString, 0},
    {u"SELECTINDEX", kRowSelectIndex, Setup::SelectIndex, 0},
    {u"SELECTINDEXSTRING", kRowSelectIndexString, Setup::SelectIndexString, 0},
    {u"SELECTFIRST", kRowSelectFirst, Setup::SelectFirst, 0},
    {u"WINDOW", kRowWindow, Setup::Window, 0},
    {u"DRIVE", kRowDrive, Setup::Drive, kAllDrives},
    {u"REMOVABLEDRIVE", kRowRemovableDrive, Setup::Drive, kRemovableDrives},
    {u"CDROMDRIVE", kRowCdromDrive, Setup::Drive, kCdromDrives},
    {u"REMOTEDRIVE", kRowRemoteDrive, Setup::Drive, kRemoteDrives},
    {u"RAMDRIVE", kRowRamDrive, Setup::Drive, kRamDrives},
    {u"FIXEDDRIVE", kRowFixedDrive, Setup::Drive, kFixedDrives},
    {u"MULTILINE", kRowMultiLine, Setup::MultiLine, 0},
    {u"FILE", kRowFile, Setup::OpenFile, 0},
    {u"FILESAVE", kRowFileSave, Setup::SaveFile, 0},
    {u"IMAGEFILE", kRowImageFile, Setup::OpenFile, 0},
    {u"FOLDER", kRowFolder, Setup::Folder, 0},
    {u"TOGGLEINDEX", kRowToggleIndex, Setup::Toggle, 0},
    {u"DATE", kRowDate, Setup::Date, 0},
    {u"TIME", kRowTime, Setup::Time, 0},
    {u"SELECTEXEC", kRowSelectExec, Setup::SelectExec, 0},
};

const Keyword* FindKeyword(std::u16string_view name) {
  for (const Keyword& keyword : kKeywords) {
    if (name == keyword.name) return &keyword;
  }
  return nullptr;
}

int32_t SetStringRow(CTypedCells& cells, int row, const char16_t* stored) {
  cells.SetTextKind(row, 1);
  cells.SetCellText(row, 1, stored);
  return kRowString;
}

// The choice to select for SELECTINDEX and SELECTINDEXSTRING: the number at
// the start of the stored text (a number stops at ';' anyway), 0 without one.
int StoredIndex(const char16_t* stored) {
  int32_t index = 0;
  ReadWholeNumber(stored, 20, &index);
  return index;
}

}  // namespace

int32_t KeywordRowType(std::u16string_view keyword) {
  const Keyword* found = FindKeyword(keyword);
  return found ? found->code : -1;
}

const char16_t* RowTypeKeyword(int32_t code) {
  for (const Keyword& keyword : kKeywords) {
    if (keyword.code == code) return keyword.name;
  }
  return nullptr;
}

std::u16string TypeDescriptionPath(const char16_t* settingsPath, const char16_t* typesPath) {
  if (typesPath && typesPath[0]) {
    const size_t length = TextLength(typesPath);
    return length < kPathCapacity ? std::u16string(typesPath, length) : std::u16string();
  }
  std::unique_ptr<char16_t[]> path(new char16_t[kPathCapacity]);
  if (!CopyText(path.get(), kPathCapacity, settingsPath) ||
      !ReplaceExtension(u".ITP", path.get(), kPathCapacity)) {
    return {};
  }
  return path.get();
}

int RowTypeIcon(int32_t code) {
  switch (code) {
    case 22: return 6;
    case 23: return 17;
    case 24: case 25: return 13;
    case 26: return 3;
    case 27: case 135: case 136: case 137: case 138: case 191: return 5;
    case 29: return 8;
    case 30: return 9;
    case 31: return 11;
    case 33: return 12;
    case 34: return 18;
    case 134: return 4;
    case 164: case 167: case 168: case 169: return 14;
    case 165: return 15;
    case 166: return 16;
    default: return -1;
  }
}

std::u16string SectionTitle(const char16_t* section) {
  std::u16string title = section ? section : u"";
  std::replace(title.begin(), title.end(), u'_', u' ');
  return title;
}

std::u16string KeyLabel(const char16_t* key) { return SectionTitle(key) + u':'; }

std::u16string ProgramOutputItems(const std::string& bytes) {
  std::u16string text;
  const size_t count = std::min(bytes.size(), kProgramOutputLimit);
  text.reserve(count);
  for (size_t i = 0; i < count; ++i) text.push_back(static_cast<unsigned char>(bytes[i]));
  ReplaceEvery(text, u"\r\n", u";");
  ReplaceEvery(text, u"\n", u";");
  return text;
}

std::u16string DecodeHexText(const char16_t* stored) {
  if (!stored) return {};
  const size_t capacity = TextLength(stored) / 2 + 1;
  std::unique_ptr<uint8_t[]> bytes(new uint8_t[capacity]);
  const size_t count = HexToBytes(stored, bytes.get(), capacity);
  std::u16string text;
  for (size_t i = 0; i + 1 < count; i += 2) {
    const char16_t c = static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
    if (c == 0) break;
    text.push_back(c);
  }
  return text;
}

int32_t ApplyDescriptor(const char16_t* descriptor, const char16_t* stored, CTypedCells& cells,
                        int row, RowDisplay& display, CRowSources& sources,
                        bool listTypeIcons) {
  if (!stored) stored = u"";
  FieldReader fields(descriptor ? descriptor : u"");
  std::u16string name;
  int32_t code = kRowString;
  const Keyword* keyword = nullptr;
  if (fields.Next(name) && !name.empty()) keyword = FindKeyword(name);
  if (!keyword) {
    code = SetStringRow(cells, row, stored);
  } else {
    code = keyword->code;
    const std::u16string label = fields.Next();
    std::u16string tip;
    if (fields.Next(tip)) {
      ReplaceEvery(tip, u"\\n", u"\r\n");
      display.tip = tip;
    }
    if (keyword->setup != Setup::Title && !label.empty()) display.label = label;

    switch (keyword->setup) {
      case Setup::ReadOnly:
        cells.SetReadOnly(row, 1);
        cells.SetCellText(row, 1, stored);
        break;
      case Setup::Title:
        cells.SetReadOnly(row, 1);
        cells.SetCellText(row, 1, stored);
        display.label.clear();
        display.titleBackground = true;
        break;
      case Setup::Text:
        cells.SetTextKind(row, 1);
        cells.SetCellText(row, 1, stored);
        break;
      case Setup::StringHex:
        cells.SetTextKind(row, 1);
        cells.SetCellText(row, 1, DecodeHexText(stored).c_str());
        break;
      case Setup::Password:
      case Setup::HexPassword:
      case Setup::DigestPassword: {
        const int32_t minLength = fields.NextWhole();
        const int32_t maxLength = fields.NextWhole();
        std::u16string password;
        if (keyword->setup == Setup::Password) password = stored;
        if (keyword->setup == Setup::HexPassword) password = DecodeHexText(stored);
        cells.SetPasswordKind(row, 1, minLength, maxLength, password.c_str());
        cells.SetPasswordText(row, 1, password.c_str());
        break;
      }
      case Setup::Font: {
        const int32_t sizeMin = fields.NextWhole();
        const int32_t sizeMax = fields.NextWhole();
        cells.SetFontKind(row, 1, sizeMin, sizeMax);
        SetFontFromStored(cells, row, stored);
        break;
      }
      case Setup::Color:
        cells.SetColorKind(row, 1);
        cells.SetColorText(row, 1, stored);
        break;
      case Setup::Integer: {
        const int32_t min = fields.NextWhole();
        const int32_t max = fields.NextWhole();
        const int32_t digits = fields.NextWhole();
        cells.SetIntegerKind(row, 1, min, max, digits);
        cells.SetCellText(row, 1, stored);
        break;
      }
      case Setup::Real: {
        const float min = fields.NextReal();
        const float max = fields.NextReal();
        const int32_t intDigits = fields.NextWhole();
        const int32_t decimals = fields.NextWhole();
        cells.SetRealKind(row, 1, min, max, intDigits, decimals);
        cells.SetCellText(row, 1, stored);
        break;
      }
      case Setup::SelectString:
      case Setup::SelectIndex:
      case Setup::SelectIndexString:
        cells.SetChoiceKind(row, 1, fields.NextFlag());
        cells.FillChoices(row, 1, fields.Rest().c_str(), u';');
        if (keyword->setup == Setup::SelectString) {
          cells.SelectChoiceByText(row, 1, stored);
        } else {
          cells.SelectChoiceByIndex(row, 1, StoredIndex(stored));
        }
        break;
      case Setup::SelectFirst:
        cells.SetChoiceKind(row, 1, fields.NextFlag());
        cells.FillChoices(row, 1, stored, u';');
        cells.SelectChoiceByIndex(row, 1, 0);
        break;
      case Setup::Window:
        cells.SetWindowKind(row, 1, true, fields.NextFlag());
        SetWindowFromStored(cells, row, stored);
        break;
      case Setup::Drive:
        cells.SetChoiceKind(row, 1, false);
        cells.FillChoices(row, 1, sources.DriveList(keyword->driveType).c_str(), u';');
        cells.SelectChoiceByPrefix(row, 1, stored);
        break;
      case Setup::MultiLine: {
        std::u16string separator;
        if (!fields.Next(separator)) separator = u"\\n";
        display.lineSeparator = separator;
        std::u16string text = stored;
        ReplaceEvery(text, separator, u"\n");
        cells.SetMultiLineKind(row, 1);
        cells.SetMultiLineText(row, 1, text.c_str());
        break;
      }
      case Setup::OpenFile:
        cells.SetOpenFileKind(row, 1, fields.Rest().c_str());
        cells.SetCellText(row, 1, stored);
        break;
      case Setup::SaveFile:
        cells.SetSaveFileKind(row, 1, fields.Rest().c_str());
        cells.SetCellText(row, 1, stored);
        break;
      case Setup::Folder:
        cells.SetFolderKind(row, 1);
        cells.SetCellText(row, 1, stored);
        break;
      case Setup::Toggle: {
        const std::u16string offLabel = fields.Next();
        const std::u16string onLabel = fields.Next();
        cells.SetToggleKind(row, 1, offLabel.c_str(), onLabel.c_str());
        cells.SetToggleState(row, 1, FlagTextIsYes(stored));
        break;
      }
      case Setup::Date: {
        const DateTimeFields min = ReadDateField(fields.Next());
        const DateTimeFields max = ReadDateField(fields.Next());
        cells.SetDateKind(row, 1, min, max);
        cells.SetDateText(row, 1, stored);
        break;
      }
      case Setup::Time: {
        const DateTimeFields min = ReadTimeField(fields.Next());
        const DateTimeFields max = ReadTimeField(fields.Next());
        cells.SetTimeKind(row, 1, min, max);
        cells.SetTimeText(row, 1, stored);
        break;
      }
      case Setup::SelectExec: {
        const bool sorted = fields.NextFlag();
        const std::u16string program = fields.Next();
        const std::u16string arguments = fields.Next();
        const std::u16string items =
            program.empty() ? std::u16string()
                            : ProgramOutputItems(sources.ProgramOutput(program, arguments));
        cells.SetChoiceKind(row, 1, sorted);
        cells.FillChoices(row, 1, items.c_str(), u';');
        cells.SelectChoiceByText(row, 1, stored);
        break;
      }
    }
  }
  if (listTypeIcons) display.icon = RowTypeIcon(code);
  return code;
}

int32_t DescribeRow(CIniDocument& types, const char16_t* section, const char16_t* key,
                    const char16_t* stored, CTypedCells& cells, int row, RowDisplay& display,
                    CRowSources& sources, bool listTypeIcons) {
  // A section the type description lacks, or a key without descriptor,
  // leaves the descriptor empty: a STRING row.
  std::u16string descriptor;
  const char16_t* text = types.Text();
  CDescriptorIndex(text ? std::u16string_view(text, types.Length()) : std::u16string_view())
      .Find(section, key, descriptor);
  return ApplyDescriptor(descriptor.c_str(), stored, cells, row, display, sources, listTypeIcons);
}

std::u16string RowTip(const BuiltRows& rows, size_t row) {
  if (row < rows.display.size() && !rows.display[row].tip.empty()) return rows.display[row].tip;
  return rows.lines.CommentTip(row);
}

bool BuildRows(const char16_t* settingsPath, const char16_t* typesPath, CIniDocument& settings,
               CTypedCells& cells, CRowSources& sources, const EditorOptions& options,
               int startWidth, BuiltRows& out, int characterWidth) {
  out = BuiltRows();
  out.labelWidth = startWidth;
  if (!settingsPath) return false;
  if (EndsWithNoCase(settingsPath, u".properties")) settings.SetProperties(true);
  settings.ResetCursor();
  if (!settings.Load(settingsPath)) return false;

  const std::u16string path = TypeDescriptionPath(settingsPath, typesPath);
  out.lines.Take(settings.Text(), settings.Length(), settings.IsProperties());
  CIniDocument types;
  out.descriptorsUsed = !path.empty() && types.Load(path.c_str());
  CDescriptorIndex descriptors(out.descriptorsUsed && types.Text()
                                  ? std::u16string_view(types.Text(), types.Length())
                                  : std::u16string_view());
  std::u16string descriptor;

  std::unique_ptr<char16_t[]> section(new char16_t[CIniDocument::kFieldCapacity]);
  std::unique_ptr<char16_t[]> key(new char16_t[CIniDocument::kFieldCapacity]);
  std::unique_ptr<char16_t[]> value(new char16_t[CIniDocument::kFieldCapacity]);
  section[0] = 0;
  int32_t entry = 0;
  std::u16string trimmedKey;
  std::u16string trimmedValue;
  auto room = [&out] { return out.table.size() < static_cast<size_t>(kRowTableCapacity); };

  for (;;) {
    while (settings.NextEntry(key.get(), value.get(), true)) {
      const int32_t index = entry++;
      if (!room()) continue;  // keep counting so the walk stays in step
      out.lines.AddRow(settings.Cursor());
      // Most files have no blanks around keys and values: no copies then.
      const std::u16string_view keyView = TrimBlanks(key.get());
      const std::u16string_view valueView = TrimBlanks(value.get());
      if (keyView.size() != TextLength(key.get())) trimmedKey.assign(keyView);
      if (valueView.size() != TextLength(value.get())) trimmedValue.assign(valueView);
      const char16_t* shownKey = keyView.size() != TextLength(key.get()) ? trimmedKey.c_str() : key.get();
      const char16_t* shownValue =
          valueView.size() != TextLength(value.get()) ? trimmedValue.c_str() : value.get();
      RowDisplay display;
      display.label = KeyLabel(shownKey);
      out.labelWidth = std::max(out.labelWidth, static_cast<int>(display.label.size()) * characterWidth);
      const int row = cells.AppendRow();
      cells.SetCellText(row, 0, display.label.c_str());
      RowTableEntry tableEntry;
      tableEntry.entryIndex = index;
      if (out.descriptorsUsed) {
        if (!descriptors.Find(section.get(), key.get(), descriptor) && shownKey != key.get()) {
          descriptors.Find(section.get(), shownKey, descriptor);
        }
        tableEntry.rowType = ApplyDescriptor(descriptor.c_str(), shownValue, cells, row,
                                             display, sources, options.listTypeIcons != 0);
        cells.SetCellText(row, 0, display.label.c_str());
      } else if (options.autoDetectRowTypes) {
        tableEntry.rowType = cells.DetectCellKind(row, 1, shownValue);
        display.icon = RowTypeIcon(tableEntry.rowType);
      } else {
        cells.SetCellText(row, 1, shownValue);
      }
      out.table.push_back(tableEntry);
      out.display.push_back(std::move(display));
    }
    const size_t headerStart = settings.Cursor();
    if (!settings.NextSection(section.get())) break;
    // A header without ']' on its line takes its name up to the next ']',
    // and the walk goes on after that line: the key lines it passed still
    // count, since Save finds each row's line by its entry index.
    entry += static_cast<int32_t>(
        CountKeyLines(settings.Text(), settings.Length(), headerStart, settings.Cursor()));
    if (options.sectionTitles && room()) {
      out.lines.AddRow(CKeyLineText::kNoLine);
      RowDisplay display;
      display.titleBackground = true;
      const int row = cells.AppendRow();
      cells.SetCellText(row, 0, u"");
      cells.SetReadOnly(row, 1);
      cells.SetCellText(row, 1, SectionTitle(section.get()).c_str());
      RowTableEntry tableEntry;
      tableEntry.rowType = kSectionTitleRowType;
      tableEntry.entryIndex = -1;
      out.table.push_back(tableEntry);
      out.display.push_back(std::move(display));
    }
  }
  // What loading set is the starting point; Save looks at edits after it.
  cells.ForgetEdits();
  return true;
}
