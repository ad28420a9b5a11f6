// The editor's appearance and behaviour options. They ship inside the
// program's appended archive as the INI entry "options.ini" (section
// "Options"), are read once at start and stay fixed afterwards (except the
// window height and first column width, which the dialog fills in once).
// The archive's "settings" record must be present in full for the editor to
// run.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/language_file.h"

class CKeyedArchive;

// A colour as the system stores it: 0x00BBGGRR, red in the low byte.
constexpr uint32_t ColourFromRgb(uint8_t red, uint8_t green, uint8_t blue) {
  return static_cast<uint32_t>(red) | (static_cast<uint32_t>(green) << 8) |
         (static_cast<uint32_t>(blue) << 16);
}

constexpr size_t kMainTipCapacity = 5000;  // 4999 characters and the terminator
constexpr char16_t kDefaultMainTip[] = u"Click an item to see a tip\r\nDobule-click to edit";

struct EditorOptions {
  EditorOptions();

  // Tip line text until a row is selected; "\n" in the option becomes CR LF.
  // Without the option the tip comes from the editor's language.
  char16_t mainTip[kMainTipCapacity];
  bool mainTipGiven = false;
  // The language to speak instead of the user's interface language (its
  // language file "<Language>.lng" in the archive); empty: the user's.
  char16_t language[kLanguageNameLimit + 1] = {};
  // Negative: keep what the dialog has (X and Y both negative: centre it).
  int mainWindowWidth = -1;
  int mainWindowHeight = -1;  // negative: see mainWindowAutoResize
  int mainWindowX = -1;
  int mainWindowY = -1;
  int firstColumnWidth = -1;  // negative: the widest label
  int mainWindowSideMargin = 35;
  // Flags, 0 or 1.
  int listTypeIcons = 1;
  int listGridLines = 0;
  int sectionTitles = 1;
  int autoDetectRowTypes = 1;  // "/NODETECT" turns it off afterwards
  int mainWindowAutoResize = 1;
  // Colours (0x00BBGGRR).
  uint32_t textColor = ColourFromRgb(110, 110, 110);
  uint32_t backgroundColor = ColourFromRgb(230, 230, 220);
  uint32_t inputTextColor = ColourFromRgb(40, 55, 50);
  uint32_t inputBkColor = ColourFromRgb(240, 255, 250);
  uint32_t listTextColor = ColourFromRgb(64, 96, 128);
  uint32_t listEvenBkColor = ColourFromRgb(255, 255, 255);
  uint32_t listOddBkColor = ColourFromRgb(225, 235, 255);
  uint32_t listSectionTitleColor = ColourFromRgb(140, 205, 250);
};

// The editor's process-wide options, holding the defaults until
// ReadEditorOptions runs.
extern EditorOptions gEditorOptions;

// Applies the keys of section "Options" found in an INI text (UTF-16LE after
// FF FE, else one character per byte) to options. A key that is missing or
// does not convert leaves its option as it was.
void ApplyEditorOptionsText(const void* bytes, size_t length, EditorOptions& options);

constexpr char kEditorOptionsEntry[] = "options.ini";

// Reads the archive entry "options.ini" into options. False, with options
// untouched, when the entry is missing, empty or fails its check.
bool ReadEditorOptions(CKeyedArchive& archive, const char16_t* archivePath,
                       EditorOptions& options);

constexpr char kSettingsRecordEntry[] = "settings";
constexpr uint32_t kSettingsRecordSize = 84;

// True when the archive entry "settings" holds exactly 84 bytes that pass
// their check. The bytes go to record when one is given (cleared first);
// none of them is interpreted.
bool ReadSettingsRecord(CKeyedArchive& archive, const char16_t* archivePath,
                        uint8_t* record = nullptr);
