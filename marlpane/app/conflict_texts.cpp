#include "marlpane/app/conflict_texts.h"

#include <string>

#include "marlpane/app/editor_state.h"

namespace {

const ConflictTextEntry kTexts[] = {
    {ConflictText::Title, "conflict_title", u"Settings changed by another program"},
    {ConflictText::Changed, "conflict_changed",
     u"<File_Name> was changed by another program while you were editing it."},
    {ConflictText::BothChanged, "conflict_both_changed",
     u"These options were changed there and here, to different values:"},
    {ConflictText::OptionColumn, "conflict_option", u"Option"},
    {ConflictText::FileColumn, "conflict_file_value", u"The file's value"},
    {ConflictText::MineColumn, "conflict_my_value", u"Your value"},
    {ConflictText::KeepMine, "conflict_keep_mine", u"Keep &my values"},
    {ConflictText::KeepFile, "conflict_keep_file", u"Keep the &file's values"},
    {ConflictText::Cancel, "conflict_cancel", u"Cancel"},
    {ConflictText::More, "conflict_more", u"and <Count> more"},
};

std::u16string Filled(ConflictText id, std::u16string_view placeholder, std::u16string_view value) {
  std::u16string text = ConflictTextOf(id);
  const size_t at = text.find(placeholder);
  if (at != std::u16string::npos) text.replace(at, placeholder.size(), value);
  return text;
}

}  // namespace

const ConflictTextEntry* ConflictTexts(size_t* count) {
  if (count) *count = sizeof(kTexts) / sizeof(kTexts[0]);
  return kTexts;
}

const char16_t* ConflictTextOf(ConflictText id) {
  for (const ConflictTextEntry& entry : kTexts) {
    if (entry.id == id) return entry.text;
  }
  return u"";
}

std::u16string ConflictChangedText(const char16_t* path) {
  return Filled(ConflictText::Changed, u"<File_Name>", FileNameOf(path));
}

std::u16string MoreConflictsText(size_t count) {
  const std::string digits = std::to_string(count);
  return Filled(ConflictText::More, u"<Count>", std::u16string(digits.begin(), digits.end()));
}
