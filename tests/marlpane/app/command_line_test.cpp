#include "marlpane/app/command_line.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "common/text16.h"
#include "tests/common/files_test_support.h"

namespace {

constexpr char16_t kProgram[] = u"C:\\Prog\\marlpane.exe";
constexpr char16_t kDefaultSettings[] = u"C:\\Prog\\settings.ini";

struct Started {
  std::unique_ptr<EditorState> state = std::make_unique<EditorState>();
  EditorOptions options;
};

std::unique_ptr<Started> Start(const std::u16string& commandLine) {
  auto started = std::make_unique<Started>();
  SetProgramPath(*started->state, kProgram);
  ApplyCommandLine(commandLine.c_str(), *started->state, started->options);
  return started;
}

std::string Utf8(const char16_t* text) { return TextToUtf8(text); }

TEST(EditorStateTest, ProgramPathGivesFolderAndDefaultSettings) {
  EditorState state;
  SetProgramPath(state, u"\"C:\\Prog\\marlpane.exe");
  EXPECT_EQ(Utf8(state.programFolder), "C:\\Prog\\");
  EXPECT_EQ(Utf8(state.settingsPath), "C:\\Prog\\settings.ini");
  EXPECT_EQ(Utf8(state.typeDescriptionPath), "");
  EXPECT_EQ(state.notifyWindow, 0u);
}

struct SwitchCase {
  const char16_t* line;
  const char* settings;
  const char* typeDescription;
  uint32_t notify;
  bool noDetect;
};

TEST(CommandLineTest, Switches) {
  const char* const def = "C:\\Prog\\settings.ini";
  const SwitchCase cases[] = {
      {u"marlpane.exe", def, "", 0, false},
      // Bare argument: whole, quoted or not; not taken when the line holds '/'.
      {u"\"C:\\Prog\\marlpane.exe\" \"C:\\My Files\\a.ini\"", "C:\\My Files\\a.ini", "", 0, false},
      {u"marlpane.exe C:\\a.ini second", "C:\\a.ini", "", 0, false},
      {u"marlpane.exe C:\\a.ini /NODETECT", def, "", 0, true},
      // Path switches: quoted keeps spaces, unquoted stops at a space.
      {u"m.exe /INI:\"C:\\a b\\x.ini\"", "C:\\a b\\x.ini", "", 0, false},
      {u"m.exe /INI:C:\\a b\\x.ini", "C:\\a", "", 0, false},
      {u"m.exe /INI:\"C:\\open end.ini", "C:\\open end.ini", "", 0, false},
      {u"m.exe /INI:", "", "", 0, false},
      {u"m.exe /INI:a.ini /INI:b.ini", "a.ini", "", 0, false},
      {u"m.exe /ini:a.ini", def, "", 0, false},
      {u"m.exe /PROPERTIES:p.properties", "p.properties", "", 0, false},
      {u"m.exe /INI:i.ini /PROPERTIES:p.properties", "i.ini", "", 0, false},
      {u"m.exe /PROPERTIES:p.properties /INI:i.ini", "i.ini", "", 0, false},
      {u"m.exe /ITP:\"D:\\t d.ITP\" /INI:x.ini", "x.ini", "D:\\t d.ITP", 0, false},
      // Notification window: digits only, up to a space, tab or CR.
      {u"m.exe /NOTIFY:1234", def, "", 1234, false},
      {u"m.exe /NOTIFY:77\t/NODETECT", def, "", 77, true},
      {u"m.exe /NOTIFY:65\r", def, "", 65, false},
      {u"m.exe /NOTIFY:-5", def, "", 0, false},
      {u"m.exe /NOTIFY:12a", def, "", 0, false},
      {u"m.exe /NOTIFY:0", def, "", 0, false},
      {u"m.exe /NOTIFY: 5", def, "", 0, false},
      {u"m.exe /NOTIFY:4294967296", def, "", 0, false},
  };
  for (const SwitchCase& c : cases) {
    SCOPED_TRACE(TextToUtf8(c.line));
    auto s = Start(c.line);
    EXPECT_EQ(Utf8(s->state->settingsPath), c.settings);
    EXPECT_EQ(Utf8(s->state->typeDescriptionPath), c.typeDescription);
    EXPECT_EQ(s->state->notifyWindow, c.notify);
    EXPECT_EQ(s->state->noDetect, c.noDetect);
    EXPECT_EQ(s->options.autoDetectRowTypes, c.noDetect ? 0 : 1);
  }
}

TEST(CommandLineTest, TooLongPathIsLeftEmptyNotCut) {
  const std::u16string longest(4999, u'a');
  const std::u16string tooLong(5000, u'a');
  struct {
    std::u16string line;
    size_t settingsLength;
    size_t typeDescriptionLength;
  } cases[] = {
      {u"m.exe /INI:" + longest, 4999, 0},
      {u"m.exe /INI:" + tooLong, 0, 0},
      {u"m.exe /INI:\"" + tooLong + u"\"", 0, 0},
      {u"m.exe /PROPERTIES:" + tooLong, 0, 0},
      {u"m.exe " + longest, 4999, 0},
      {u"m.exe \"" + tooLong + u"\"", 0, 0},
      {u"m.exe /ITP:" + tooLong + u" /INI:x", 1, 0},
      {u"m.exe /ITP:" + longest, TextLength(kDefaultSettings), 4999},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line.size());
    auto s = Start(c.line);
    EXPECT_EQ(TextLength(s->state->settingsPath), c.settingsLength);
    EXPECT_EQ(TextLength(s->state->typeDescriptionPath), c.typeDescriptionLength);
  }
}

TEST(CommandLineTest, FirstArgumentFollowsTheSystemSplitter) {
  const struct {
    const char16_t* line;
    bool found;
    const char* argument;
  } cases[] = {
      {u"prog.exe", false, ""},
      {u"prog.exe   ", false, ""},
      {u"\"C:\\a b\\prog.exe\"x y", true, "x"},
      {u"prog.exe \t arg1 arg2", true, "arg1"},
      {u"prog.exe a\"b c\"d e", true, "ab cd"},
      {u"prog.exe C:\\dir\\ x", true, "C:\\dir\\"},
      {u"prog.exe a\\\\\"b c\"", true, "a\\b c"},
      {u"prog.exe a\\\\\\\"b c", true, "a\\\"b"},
      {u"prog.exe \"a\"\"\"b c", true, "a\"b c"},
      {u"prog.exe \"a\"\"b c", true, "a\"b"},
      {u"prog.exe \"\"", true, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(TextToUtf8(c.line));
    std::u16string argument;
    EXPECT_EQ(FirstArgument(c.line, argument), c.found);
    EXPECT_EQ(TextToUtf8(argument), c.argument);
  }
}

TEST(EditorStateTest, PropertiesPathInAnyCase) {
  EXPECT_TRUE(IsPropertiesPath(u"C:\\x\\app.properties"));
  EXPECT_TRUE(IsPropertiesPath(u"app.PROPERTIES"));
  EXPECT_TRUE(IsPropertiesPath(u"app.Properties"));
  EXPECT_FALSE(IsPropertiesPath(u"app.properties.bak"));
  EXPECT_FALSE(IsPropertiesPath(u"app.ini"));
  EXPECT_FALSE(IsPropertiesPath(u"properties"));
  EXPECT_FALSE(IsPropertiesPath(nullptr));
}

// Real files in a temporary folder: the settings file is found under its
// own name, with ".INI" or with ".properties".
TEST(EditorStateTest, PickSettingsFileTriesThreeNames) {
  testfiles::TempFolder folder;
  for (const char* name : {"given.cfg", "given.INI", "upper.INI", "props.properties"})
    testfiles::WriteBytes(folder.Native(name), "x");
  const struct {
    const char* name;
    const char* picked;
  } cases[] = {
      {"given.cfg", "given.cfg"},
      {"upper.cfg", "upper.INI"},
      {"upper", "upper.INI"},
      {"props.ini", "props.properties"},
      {"none.cfg", "none.properties"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    char16_t path[kPathCapacity];
    ASSERT_TRUE(CopyText(path, kPathCapacity, folder.File(c.name).c_str()));
    PickSettingsFile(path, kPathCapacity, FileExists);
    EXPECT_EQ(std::u16string(path), folder.File(c.picked));
  }
  char16_t empty[kPathCapacity] = {};
  PickSettingsFile(empty, kPathCapacity, FileExists);
  EXPECT_EQ(TextToUtf8(empty), "");
}

}  // namespace
