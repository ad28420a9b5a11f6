#include "marlpane/rows/row_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/text16.h"
#include "marlpane/document/ini_document.h"
#include "marlpane/rows/row_builder.h"
#include "tests/common/files_test_support.h"

namespace {

struct Expected {
  bool inTypes;
  size_t line;
  const char* part;  // a piece of the message
};

struct CheckCase {
  const char* name;
  std::string settings;
  const char* types;  // null: no type description
  std::vector<Expected> problems;
};

std::vector<RowProblem> Check(const std::string& settings, const char* types, bool systemSources = false) {
  testfiles::TempFolder folder;
  testfiles::WriteBytes(folder.Native("s.ini"), settings);
  if (types) testfiles::WriteBytes(folder.Native("s.ITP"), types);
  CIniDocument settingsDocument;
  CIniDocument typesDocument;
  CRowSources sources;
  EditorOptions options;
  std::vector<RowProblem> problems;
  EXPECT_TRUE(CheckRows(folder.File("s.ini").c_str(), u"", settingsDocument, typesDocument, sources, options,
                        systemSources, problems));
  return problems;
}

std::string Listing(const std::vector<RowProblem>& problems) {
  std::string out;
  for (const RowProblem& p : problems) {
    out += (p.inTypes ? "types:" : "settings:") + std::to_string(p.line) + ": " + TextToUtf8(p.text) + "\n";
  }
  return out;
}

TEST(RowCheckTest, ReportsWhatTheEditorWouldHide) {
  const std::string longItem = "[a]\ns=SELECTSTRING;S;;0;x;" + std::string(101, 'y') + "\ne=SELECTSTRING;E;;0\n";
  const CheckCase cases[] = {
      {"a clean file", "[a]\nPort=80\nName=x\n", "[a]\nPort=INTEGER;Port;;1;65535;0\nName=STRING\n", {}},
      {"unknown and lower-case keywords", "[a]\nx=1\ny=2\n", "[a]\nx=SHADE;X\ny=string;Y\n",
       {{true, 2, "unknown keyword \"SHADE\""}, {true, 3, "unknown keyword \"string\""}}},
      {"an empty descriptor", "[a]\nx=1\n", "[a]\nx=\n", {{true, 2, "no keyword"}}},
      {"options and descriptors without each other", "[a]\nx=1\n[b]\ny=2\n", "[a]\nx=STRING\nz=STRING\n",
       {{false, 4, "no descriptor"}, {true, 3, "without an option"}}},
      {"a descriptor given twice and a repeated section", "[a]\nx=1\n",
       "[a]\nx=STRING\nx=INTEGER\n[a]\nx=COLOR\n",
       {{true, 3, "given again"}, {true, 4, "[a] again"}}},
      {"ranges", "[a]\ni=5\nr=1\nf=Arial;10;0;0;0;0\nd=2020-01-01\np=pw\n",
       "[a]\ni=INTEGER;I;;10;1;300\nr=REAL;R;;one;2\nf=FONT;F;;24;8\nd=DATE;D;;2020-13-01;2019-01-01\n"
       "p=PASSWORD;P;;8;4\n",
       {{true, 2, "reversed range"}, {true, 2, "digits 300"}, {true, 3, "\"one\" is not a number"},
        {true, 4, "reversed range"}, {true, 5, "\"2020-13-01\" is not a date"}, {true, 6, "reversed range"}}},
      {"stored values the row cannot show",
       "[a]\ni=abc\nc=red\nd=2025-02-30\nt=25:00:00\ns=x\nn=7\nf=a;;b\nh=48Z\nfo=Arial;big\n",
       "[a]\ni=INTEGER\nc=COLOR\nd=DATE\nt=TIME\ns=SELECTSTRING;S;;0;p;q\nn=SELECTINDEX;N;;0;p;q\nf=SELECTFIRST\n"
       "h=STRINGHEX\nfo=FONT\n",
       {{false, 2, "not a whole number"}, {false, 3, "not a hexadecimal colour"}, {false, 4, "not a date"},
        {false, 5, "not a time"}, {false, 6, "Save writes \"p\""}, {false, 7, "item number 7 names no item"},
        {false, 8, "an empty item"}, {false, 9, "not hexadecimal UTF-16"}, {false, 10, "font size \"big\""}}},
      {"choice items cut and an empty list", "[a]\ns=x\ne=\n",
       longItem.c_str(),
       {{true, 2, "the list cuts it at 100"}, {true, 3, "no items"}}},
      {"what an unchanged Save rewrites", "[a]\nf=Arial\nc=0xC0C0C0\n", "[a]\nf=FONT\nc=COLOR\n",
       {{false, 2, "writes \"Arial;12;0;0;0;0\" in place of \"Arial\""}, {false, 3, "writes \"#C0C0C0\""}}},
      {"detected rows: a colour in lower case", "Back=#ff8000\nCount=12\n", nullptr,
       {{false, 1, "writes \"#FF8000\""}}},
      {"a value cut at its limit", "[a]\nk=" + std::string(5000, 'v') + "\n", nullptr,
       {{false, 2, "5000 characters"}}},
      {"a header without ']' ends the rows", "[a]\nk=1\n[broken\nm=2\n", nullptr,
       {{false, 3, "shows no option from here on"}}},
  };
  for (const CheckCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<RowProblem> problems = Check(c.settings, c.types);
    const std::string listing = Listing(problems);
    EXPECT_EQ(problems.size(), c.problems.size()) << listing;
    for (const Expected& e : c.problems) {
      const std::string want = std::string(e.inTypes ? "types:" : "settings:") + std::to_string(e.line) + ": ";
      bool found = false;
      for (const RowProblem& p : problems) {
        found = found || (p.inTypes == e.inTypes && p.line == e.line &&
                          TextToUtf8(p.text).find(e.part) != std::string::npos);
      }
      EXPECT_TRUE(found) << want << e.part << "\nin:\n" << listing;
    }
  }
}

TEST(RowCheckTest, OptionsPastTheRowTable) {
  std::string settings;
  for (int i = 0; i < kRowTableCapacity + 3; ++i) settings += "k" + std::to_string(i) + "=v\n";
  const std::vector<RowProblem> problems = Check(settings, nullptr);
  ASSERT_EQ(problems.size(), 1u) << Listing(problems);
  EXPECT_EQ(problems[0].line, static_cast<size_t>(kRowTableCapacity) + 1);
  EXPECT_NE(TextToUtf8(problems[0].text).find("the 2 after it are not shown"), std::string::npos);
}

TEST(RowCheckTest, TheSamplesHoldOnlyTheirKnownOddities) {
  const std::string samples = std::string(TEST_SOURCE_ROOT) + "/samples/";
  const std::vector<RowProblem> typed =
      Check(testfiles::ReadBytes(samples + "settings.ini"), testfiles::ReadBytes(samples + "settings.ITP").c_str());
  // The unknown keyword SHADE, a colour written with "0x", and a footer whose
  // separator Save turns into backslash-n.
  EXPECT_NE(Listing(typed).find("types:51: Accent: unknown keyword \"SHADE\""), std::string::npos) << Listing(typed);
  EXPECT_EQ(typed.size(), 3u) << Listing(typed);
}

}  // namespace
