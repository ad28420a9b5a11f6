#include "marlpane/editors/editor_texts.h"

#include <string>

CLanguageTexts gEditorLanguage;

namespace {

const EditorTextEntry kTexts[] = {
    {EditorText::Save, "save", u"&Save"},
    {EditorText::Cancel, "cancel", u"&Cancel"},
    // The built-in tip keeps its historical spelling; the delivered English
    // language file spells it right.
    {EditorText::DefaultTip, "tip", u"Click an item to see a tip\r\nDobule-click to edit"},
    {EditorText::OptionList, "option_list", u"Options"},
    {EditorText::About, "menu_about", u"&About"},
    {EditorText::VisitWebSite, "menu_web_site", u"&Visit Web Site"},
    {EditorText::DamagedFile, "damaged_file", u"Error: File is damaged. Please download it again."},
    {EditorText::SaveErrorTitle, "save_error_title", u"ERROR"},
    {EditorText::SaveError, "save_error",
     u"Error: Can't save the settings file:\n<File_Path>\n\nDrive may be full or write-protected."},
    {EditorText::CloseQuestion, "close_question", u"Save changes to <File_Name>?"},
    {EditorText::Yes, "answer_yes", u"&Yes"},
    {EditorText::No, "answer_no", u"&No"},
    {EditorText::CancelAnswer, "answer_cancel", u"Cancel"},
    {EditorText::Ok, "answer_ok", u"OK"},
    {EditorText::FindLabel, "find_label", u"Find:"},
    {EditorText::FindCount, "find_count", u"<Index> of <Count>"},
    {EditorText::NoMatch, "find_no_match", u"no match"},
    {EditorText::EditRow, "row_edit", u"&Edit"},
    {EditorText::RevertRow, "row_undo", u"&Undo changes to this row"},
    {EditorText::CopyValue, "row_copy_value", u"Copy &value"},
    {EditorText::CopyLine, "row_copy_line", u"Copy &line"},
    {EditorText::ConflictTitle, "conflict_title", u"Settings changed by another program"},
    {EditorText::ConflictChanged, "conflict_changed",
     u"<File_Name> was changed by another program while you were editing it."},
    {EditorText::ConflictBothChanged, "conflict_both_changed",
     u"These options were changed there and here, to different values:"},
    {EditorText::ConflictOptionColumn, "conflict_option", u"Option"},
    {EditorText::ConflictFileColumn, "conflict_file_value", u"The file's value"},
    {EditorText::ConflictMineColumn, "conflict_my_value", u"Your value"},
    {EditorText::ConflictKeepMine, "conflict_keep_mine", u"Keep &my values"},
    {EditorText::ConflictKeepFile, "conflict_keep_file", u"Keep the &file's values"},
    {EditorText::ConflictCancel, "conflict_cancel", u"Cancel"},
    {EditorText::ConflictMore, "conflict_more", u"and <Count> more"},
    {EditorText::AboutTitle, "about_title", u"About Marlpane"},
    {EditorText::AboutName, "about_name", u"Marlpane settings editor"},
    {EditorText::AboutVersion, "about_version", u"Version <Version>"},
    {EditorText::AboutDistribution, "about_distribution",
     u"This copy is distributed with the product whose settings it edits, and comes with that "
     u"product: ask its distributor for help and new copies."},
    {EditorText::AboutTerms, "about_terms",
     u"You may use it on the terms of use of that product. It changes only the values you edit and "
     u"leaves every other part of the settings file as it was."},
    {EditorText::Unstorable8Bit, "unstorable_8bit",
     u"This 8-bit file can't store \"<Character>\" (Esc discards)"},
    {EditorText::Unstorable, "unstorable", u"This file can't store \"<Character>\" (Esc discards)"},
    {EditorText::UnstorableChoice8Bit, "unstorable_choice_8bit",
     u"The settings file is stored as 8-bit text and can't store \"<Character>\" (<Code>).\n\n"
     u"The value stays as it was."},
    {EditorText::UnstorableChoice, "unstorable_choice",
     u"The settings file can't store \"<Character>\" (<Code>).\n\nThe value stays as it was."},
    {EditorText::PasswordRange, "password_range", u"<Min> to <Max> chars"},
    {EditorText::PasswordTooShort, "password_too_short", u"<Min> chars minimum (Esc discards)"},
    {EditorText::MultiLineOk, "multi_line_ok", u"Ok"},
    {EditorText::MultiLineCancel, "multi_line_cancel", u"Cancel"},
    {EditorText::SupportedFiles, "chooser_supported_files", u"Supported Files"},
    {EditorText::AllFiles, "chooser_all_files", u"All Files"},
    {EditorText::AllFolders, "chooser_all_folders", u"All Folders"},
    {EditorText::ChooseFolder, "chooser_folder_title", u"Choose Folder"},
    {EditorText::FolderName, "chooser_folder_name", u"[Folders]"},
};

constexpr size_t kTextCount = sizeof kTexts / sizeof kTexts[0];
static_assert(kTextCount == static_cast<size_t>(EditorText::FolderName) + 1, "one entry per text");

}  // namespace

const EditorTextEntry* EditorTexts(size_t* count) {
  if (count) *count = kTextCount;
  return kTexts;
}

std::u16string EditorTextOf(EditorText id) {
  const EditorTextEntry& entry = kTexts[static_cast<size_t>(id)];
  return gEditorLanguage.Text(entry.key, entry.english);
}

std::u16string EditorTextOf(EditorText id, std::initializer_list<CPlaceholder> values) {
  return ReplacePlaceholders(EditorTextOf(id), values.begin(), values.size());
}

std::u16string AllEditorTexts() {
  std::u16string all;
  for (const EditorTextEntry& entry : kTexts) all += EditorTextOf(entry.id);
  return all;
}

std::u16string NumberText(long long number) {
  const std::string digits = std::to_string(number);
  return std::u16string(digits.begin(), digits.end());
}
