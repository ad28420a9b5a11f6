// Building the rows of the option list: every key line of the settings
// document becomes a row (label in column 0, value in column 1), typed by
// its row descriptor from the type description file, by detection, or left
// untyped. The Windows-only inputs (the drive list, a program's output) come
// through CRowSources so that the building itself stays portable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "marlpane/app/editor_options.h"
#include "marlpane/rows/key_line_text.h"
#include "marlpane/rows/row_table.h"

class CIniDocument;
class CTypedCells;

// Row type codes of the descriptor keywords.
enum RowTypeCode : int32_t {
  kRowReadOnly = 1,
  kRowInteger = 11,
  kRowReal = 12,
  kRowString = 13,
  kRowColor = 22,
  kRowFont = 23,
  kRowFile = 24,
  kRowFileSave = 25,
  kRowFolder = 26,
  kRowPassword = 28,
  kRowToggleIndex = 29,
  kRowDate = 30,
  kRowTime = 31,
  kRowMultiLine = 33,
  kRowWindow = 34,
  kRowTitle = 132,
  kRowStringHex = 133,
  kRowImageFile = 134,
  kRowSelectString = 135,
  kRowSelectIndex = 136,
  kRowSelectFirst = 137,
  kRowSelectIndexString = 138,
  kRowEmail = 139,
  kRowSha160Password = 150,
  kRowSha256Password = 151,
  kRowSha384Password = 152,
  kRowSha512Password = 153,
  kRowMd5Password = 154,
  kRowHexPassword = 155,
  kRowDrive = 164,
  kRowRemovableDrive = 165,
  kRowCdromDrive = 166,
  kRowRemoteDrive = 167,
  kRowRamDrive = 168,
  kRowFixedDrive = 169,
  kRowSelectExec = 191,
};

// Drive type filters of the drive list (the system's drive type numbers).
constexpr int kAllDrives = 0;
constexpr int kRemovableDrives = 2;
constexpr int kFixedDrives = 3;
constexpr int kRemoteDrives = 4;
constexpr int kCdromDrives = 5;
constexpr int kRamDrives = 6;

// A descriptor field holds at most this many characters; longer ones are cut.
constexpr size_t kDescriptorFieldLimit = 4999;
// A program's output is read up to this many bytes.
constexpr size_t kProgramOutputLimit = 5000;

// What the row building needs from the system. The defaults give nothing:
// no drives, no program output.
class CRowSources {
 public:
  virtual ~CRowSources();
  // The drive list "C: [System];E: (Removable);" of the drives of the type
  // (kAllDrives: every drive).
  virtual std::u16string DriveList(int driveType);
  // Runs program with arguments and returns the bytes it printed (at most
  // kProgramOutputLimit of them); empty when it cannot be found or started.
  virtual std::string ProgramOutput(const std::u16string& program,
                                    const std::u16string& arguments);
};

// What the list view shows for a row besides the cells.
struct RowDisplay {
  std::u16string label;  // column 0
  std::u16string tip;    // empty: no tip of its own
  int icon = -1;         // image of the type icon list for column 1; -1: none
  bool titleBackground = false;  // row background ListSectionTitleColor
  std::u16string lineSeparator;  // MULTILINE: what stands for a line break in the file
};

// The row type code of a descriptor keyword (compared exactly), -1 for a
// keyword the rows do not know.
int32_t KeywordRowType(std::u16string_view keyword);
// The keyword of a row type code (STRING for 13), null for a code that no
// keyword gives.
const char16_t* RowTypeKeyword(int32_t rowTypeCode);

// The type description of a settings file: typesPath when it is not empty,
// else the settings path with the extension ".ITP" (empty when that does
// not fit a path).
std::u16string TypeDescriptionPath(const char16_t* settingsPath, const char16_t* typesPath);

// The image index of a row type code in the type icon list, -1 for none.
int RowTypeIcon(int32_t rowTypeCode);

// The label of a key: '_' becomes a space, and ':' follows.
std::u16string KeyLabel(const char16_t* key);
// The title of a section: '_' becomes a space.
std::u16string SectionTitle(const char16_t* section);

// The items of a program's output: each byte one character, every CR LF and
// then every other LF turned into ';'. Only the first kProgramOutputLimit
// bytes count.
std::u16string ProgramOutputItems(const std::string& bytes);

// Text stored as hexadecimal UTF-16LE ("4800" -> "H"): the leading run of
// hexadecimal digits as bytes, read as characters in pairs (an odd last byte
// is dropped); decoding stops at the first NUL character.
std::u16string DecodeHexText(const char16_t* stored);

// Sets up column 1 of row from one descriptor and the stored value and
// returns the row type code. display.label is replaced by a non-empty label
// field; the tip field becomes display.tip. The icon is set when
// listTypeIcons is on and titleBackground for TITLE rows.
int32_t ApplyDescriptor(const char16_t* descriptor, const char16_t* stored, CTypedCells& cells,
                        int row, RowDisplay& display, CRowSources& sources,
                        bool listTypeIcons);

// Looks up the descriptor of key in section of the type description and
// applies it (ApplyDescriptor). An option of a section that the type
// description lacks, or without descriptor, is a STRING row. An empty
// section searches the whole type description. Only a line that starts with
// "key=" holds the descriptor of key.
int32_t DescribeRow(CIniDocument& types, const char16_t* section, const char16_t* key,
                    const char16_t* stored, CTypedCells& cells, int row, RowDisplay& display,
                    CRowSources& sources, bool listTypeIcons);

// The rows as built: one table entry and one display record per row, in
// list order.
struct BuiltRows {
  RowTable table;
  std::vector<RowDisplay> display;
  int labelWidth = 0;  // the widest label at characterWidth a character (at least the start width)
  bool descriptorsUsed = false;
  CKeyLineText lines;  // each row's key line in the text as loaded
};

// The tip a row shows: its descriptor's, else the comment lines above its
// key line.
std::u16string RowTip(const BuiltRows& rows, size_t row);

// Loads the settings document (properties mode for a ".properties" path)
// and the type description (typesPath, or when empty the settings path with
// the extension ".ITP") and appends the rows to cells. The spaces and tabs
// around a key and a value are layout: labels show the trimmed key, a
// descriptor is looked up for the key as written and then for the trimmed
// key, and the cells get the trimmed value. False, with no rows,
// when the settings file cannot be loaded. startWidth is the present width
// of column 0; characterWidth the pixels a label character counts for (8 at
// 96 DPI).
bool BuildRows(const char16_t* settingsPath, const char16_t* typesPath, CIniDocument& settings,
               CTypedCells& cells, CRowSources& sources, const EditorOptions& options,
               int startWidth, BuiltRows& out, int characterWidth = 8);
