// The delivered language files against the editor's table of texts: every
// key in every language, with the placeholders of its English text, and
// the English file saying what the built-in texts say.
#include "marlpane/editors/editor_texts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

namespace {

std::u16string LanguageFile(const std::string& name) {
  std::ifstream file(std::string(TEST_SOURCE_ROOT) + "/assets/marlpane/" + name + ".lng", std::ios::binary);
  const std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  return DecodeLanguageBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

std::vector<std::string> Placeholders(const std::u16string& text) {
  const std::string narrow(text.begin(), text.end());  // placeholders are ASCII
  std::vector<std::string> found;
  const std::regex placeholder("<[A-Za-z_]+>");
  for (auto it = std::sregex_iterator(narrow.begin(), narrow.end(), placeholder); it != std::sregex_iterator(); ++it) {
    found.push_back(it->str());
  }
  return found;
}

TEST(EditorTexts, EveryLanguageHasEveryTextWithItsPlaceholders) {
  const struct {
    const char* name;
    bool rightToLeft;
  } languages[] = {{"English", false}, {"German", false},   {"French", false},   {"Spanish", false},
                   {"Italian", false}, {"Portuguese", false}, {"Dutch", false},  {"Polish", false},
                   {"Russian", false}, {"Japanese", false},  {"Chinese (Simplified)", false}, {"Arabic", true}};
  size_t count = 0;
  const EditorTextEntry* texts = EditorTexts(&count);
  for (const auto& language : languages) {
    const std::u16string file = LanguageFile(language.name);
    ASSERT_FALSE(file.empty()) << language.name;
    EXPECT_EQ(IsRightToLeftLanguage(file), language.rightToLeft) << language.name;
    for (size_t i = 0; i < count; ++i) {
      std::u16string value;
      ASSERT_TRUE(LookUpLanguageValue(file, std::u16string(texts[i].key, texts[i].key + strlen(texts[i].key)),
                                      kLanguageValueLimit, value) && !value.empty())
          << language.name << ": " << texts[i].key;
      std::vector<std::string> wanted = Placeholders(texts[i].english);
      std::vector<std::string> given = Placeholders(value);
      std::sort(wanted.begin(), wanted.end());
      std::sort(given.begin(), given.end());
      EXPECT_EQ(given, wanted) << language.name << ": " << texts[i].key;
    }
  }
}

TEST(EditorTexts, TheEnglishFileSaysWhatTheBuiltInTextsSay) {
  gEditorLanguage.Use(LanguageFile("English"));
  size_t count = 0;
  const EditorTextEntry* texts = EditorTexts(&count);
  for (size_t i = 0; i < count; ++i) {
    // Only the built-in tip keeps its historical misspelling.
    if (texts[i].id == EditorText::DefaultTip) continue;
    EXPECT_EQ(EditorTextOf(texts[i].id), texts[i].english) << texts[i].key;
  }
  EXPECT_EQ(EditorTextOf(EditorText::DefaultTip), u"Click an item to see a tip\r\nDouble-click to edit");
  gEditorLanguage.Use(u"");
}

}  // namespace
