#include "marlpane/app/editor_options.h"

#include <vector>

#include "common/archive.h"
#include "common/byte_buffer.h"
#include "common/hex_text.h"
#include "common/path_text.h"
#include "common/text16.h"
#include "marlpane/document/ini_document.h"

EditorOptions gEditorOptions;

EditorOptions::EditorOptions() { CopyText(mainTip, kMainTipCapacity, kDefaultMainTip); }

namespace {

constexpr char16_t kSection[] = u"Options";

void ReadInt(CIniDocument& ini, const char16_t* key, int& option) {
  int value;
  if (ini.GetInt(kSection, key, &value)) option = value;
}

// Flags follow the option rule: empty, '0', 'N' or 'n' is off, anything else
// on (so "false" is on); a value of more than 10 characters is ignored.
void ReadFlag(CIniDocument& ini, const char16_t* key, int& option) {
  int value;
  if (ini.GetBool(kSection, key, &value)) option = value ? 1 : 0;
}

// RRGGBB with an optional "0x" or "#"; a value that is not hexadecimal
// gives black.
void ReadColour(CIniDocument& ini, const char16_t* key, uint32_t& option, char16_t* scratch) {
  if (ini.GetString(kSection, key, scratch, kMainTipCapacity)) option = ParseColour(scratch);
}

}  // namespace

void ApplyEditorOptionsText(const void* bytes, size_t length, EditorOptions& options) {
  CIniDocument ini;
  ini.Parse(bytes, length);

  // The value is read into scratch first, so a tip that is too long leaves
  // the earlier tip whole.
  std::vector<char16_t> buffer(kMainTipCapacity, 0);
  char16_t* scratch = buffer.data();
  if (ini.GetString(kSection, u"MainTip", scratch, kMainTipCapacity)) {
    ReplaceAll(scratch, kMainTipCapacity, u"\\n", u"\r\n");
    CopyText(options.mainTip, kMainTipCapacity, scratch);
    options.mainTipGiven = true;
  }
  // A name too long for any language file is no language.
  if (ini.GetString(kSection, u"Language", scratch, kMainTipCapacity)) {
    CopyText(options.language, kLanguageNameLimit + 1, scratch);
  }
  ReadInt(ini, u"MainWindowWidth", options.mainWindowWidth);
  ReadInt(ini, u"MainWindowHeight", options.mainWindowHeight);
  ReadInt(ini, u"MainWindowX", options.mainWindowX);
  ReadInt(ini, u"MainWindowY", options.mainWindowY);
  ReadInt(ini, u"FirstColumnWidth", options.firstColumnWidth);
  ReadInt(ini, u"MainWindowSideMargin", options.mainWindowSideMargin);
  ReadFlag(ini, u"ListTypeIcons", options.listTypeIcons);
  ReadFlag(ini, u"ListGridLines", options.listGridLines);
  ReadFlag(ini, u"SectionTitles", options.sectionTitles);
  ReadFlag(ini, u"AutoDetectRowTypes", options.autoDetectRowTypes);
  ReadFlag(ini, u"MainWindowAutoResize", options.mainWindowAutoResize);
  ReadColour(ini, u"TextColor", options.textColor, scratch);
  ReadColour(ini, u"BackgroundColor", options.backgroundColor, scratch);
  ReadColour(ini, u"InputTextColor", options.inputTextColor, scratch);
  ReadColour(ini, u"InputBkColor", options.inputBkColor, scratch);
  ReadColour(ini, u"ListTextColor", options.listTextColor, scratch);
  ReadColour(ini, u"ListEvenBkColor", options.listEvenBkColor, scratch);
  ReadColour(ini, u"ListOddBkColor", options.listOddBkColor, scratch);
  ReadColour(ini, u"ListSectionTitleColor", options.listSectionTitleColor, scratch);
}

bool ReadEditorOptions(CKeyedArchive& archive, const char16_t* archivePath,
                       EditorOptions& options) {
  const uint32_t size = archive.GetEntrySize(archivePath, kEditorOptionsEntry);
  if (size == 0) return false;
  CByteBuffer buffer;
  uint8_t* bytes = buffer.Allocate(size);
  if (!bytes) return false;
  if (archive.ReadEntry(archivePath, kEditorOptionsEntry, bytes, size) != size) return false;
  ApplyEditorOptionsText(bytes, size, options);
  return true;
}

bool ReadSettingsRecord(CKeyedArchive& archive, const char16_t* archivePath, uint8_t* record) {
  uint8_t local[kSettingsRecordSize] = {};
  const bool complete =
      archive.ReadEntry(archivePath, kSettingsRecordEntry, local, kSettingsRecordSize) ==
      kSettingsRecordSize;
  if (record) {
    for (uint32_t i = 0; i < kSettingsRecordSize; ++i) record[i] = complete ? local[i] : 0;
  }
  return complete;
}
