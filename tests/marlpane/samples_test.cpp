// The sample settings file and its type description stay in step: every
// option has a descriptor, and together they use every row keyword.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "common/text16.h"
#include "marlpane/document/ini_document.h"

namespace {

std::u16string SamplePath(const char* name) {
  return Utf8ToText(std::string(TEST_SOURCE_ROOT) + "/samples/" + name);
}

TEST(SamplesTest, TypeDescriptionCoversEveryOptionAndKeyword) {
  CIniDocument settings;
  CIniDocument types;
  ASSERT_TRUE(settings.Load(SamplePath("settings.ini").c_str()));
  ASSERT_TRUE(types.Load(SamplePath("settings.ITP").c_str()));

  std::set<std::string> keywords;
  char16_t section[CIniDocument::kFieldCapacity] = {};
  char16_t key[CIniDocument::kFieldCapacity];
  char16_t descriptor[CIniDocument::kFieldCapacity];
  settings.ResetCursor();
  int options = 0;
  do {
    while (settings.NextEntry(key, nullptr, true)) {
      ++options;
      SCOPED_TRACE(TextToUtf8(section) + "/" + TextToUtf8(key));
      ASSERT_TRUE(types.GetString(section, key, descriptor, CIniDocument::kFieldCapacity));
      std::string text = TextToUtf8(descriptor);
      keywords.insert(text.substr(0, text.find(';')));
    }
  } while (settings.NextSection(section));
  EXPECT_GE(options, 55);

  const char* const known[] = {
      "READONLY", "TITLE", "STRING", "EMAIL", "STRINGHEX", "PASSWORD", "HEXPASSWORD",
      "MD5PASSWORD", "SHA160PASSWORD", "SHA256PASSWORD", "SHA384PASSWORD", "SHA512PASSWORD",
      "FONT", "COLOR", "INTEGER", "REAL", "SELECTSTRING", "SELECTINDEX", "SELECTINDEXSTRING",
      "SELECTFIRST", "WINDOW", "DRIVE", "REMOVABLEDRIVE", "CDROMDRIVE", "REMOTEDRIVE", "RAMDRIVE",
      "FIXEDDRIVE", "MULTILINE", "FILE", "FILESAVE", "IMAGEFILE", "FOLDER", "TOGGLEINDEX", "DATE",
      "TIME", "SELECTEXEC"};
  for (const char* keyword : known) {
    EXPECT_EQ(keywords.count(keyword), 1u) << keyword;
    keywords.erase(keyword);
  }
  EXPECT_EQ(keywords.size(), 1u);  // the one unknown keyword
}

}  // namespace
