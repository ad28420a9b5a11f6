// The command runner with real child programs (tests/marlpane/pipe_children),
// run the way a SELECTEXEC row runs them: Start, ReadOutput of 5000 bytes,
// Stop. Every case also checks that the caller was not held longer than the
// time limit; the times are printed.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "common/text16.h"
#include "marlpane/rows/process_pipe.h"
#include "tests/common/temp_folder_win.h"

namespace {

constexpr uint32_t kOutputBytes = 5000;  // what SELECTEXEC reads
// Time on top of a limit that a run may take to stop its child and return.
constexpr double kStopSlackMs = 5000;

std::wstring OwnFolder() {
  wchar_t path[MAX_PATH * 4];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
  std::wstring text(path, n);
  return text.substr(0, text.find_last_of(L'\\') + 1);
}

std::wstring ChildPath(const wchar_t* name) {
  return OwnFolder() + L"" PIPE_CHILDREN_FOLDER L"\\" + name + L".exe";
}

const char16_t* T(const std::wstring& text) { return AsText(text.c_str()); }

std::string Utf8(const std::wstring& text) {
  return TextToUtf8(std::u16string_view(AsText(text.c_str()), text.size()));
}

// The bytes pipe_flood prints first.
std::string FloodBytes(size_t n) {
  std::string bytes(n, '\0');
  for (size_t i = 0; i < n; ++i) bytes[i] = static_cast<char>('A' + i % 26);
  return bytes;
}

double MillisecondsSince(const LARGE_INTEGER& start) {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

struct RunResult {
  bool started = false;
  bool childGone = false;  // the child no longer runs once the run is over
  uint32_t stored = 0;
  std::string output;
  double ms = 0;  // Start to the end of Stop
};

// One SELECTEXEC-style run with a runner of its own.
RunResult RunChild(const std::wstring& program, const char16_t* arguments,
              const char16_t* currentFolder = nullptr,
              uint32_t limitMs = CProcessPipe::kDefaultTimeLimitMs) {
  RunResult result;
  CProcessPipe pipe;
  pipe.SetTimeLimit(limitMs);
  LARGE_INTEGER start;
  QueryPerformanceCounter(&start);
  HANDLE process = pipe.Start(T(program), arguments, currentFolder);
  HANDLE watch = nullptr;
  if (process) {
    result.started = true;
    DuplicateHandle(GetCurrentProcess(), process, GetCurrentProcess(), &watch, SYNCHRONIZE, FALSE, 0);
  }
  std::vector<char> buffer(kOutputBytes, '\0');
  result.stored = pipe.ReadOutput(buffer.data(), kOutputBytes);
  pipe.Stop();
  result.ms = MillisecondsSince(start);
  if (result.stored <= kOutputBytes) result.output.assign(buffer.data(), result.stored);
  if (watch) {
    result.childGone = WaitForSingleObject(watch, 0) == WAIT_OBJECT_0;
    CloseHandle(watch);
  }
  return result;
}

void PrintTime(const char* what, double ms) { std::printf("    [time] %-28s %8.0f ms\n", what, ms); }

// Folders whose names hold blanks (and, for one, a letter outside ASCII).
struct TempFolder : wintest::TempFolder {
  explicit TempFolder(const wchar_t* prefix) : wintest::TempFolder(prefix, L' ') {}
};


// ---------------------------------------------------------------------------
// The child programs, each run as a SELECTEXEC row runs it.

struct ChildCase {
  const char* name;
  const wchar_t* child;
  const char16_t* arguments;
  uint32_t limitMs;
  std::string expected;   // the bytes handed back
  bool stoppedByLimit;    // the child never ends by itself
};

void PrintTo(const ChildCase& c, std::ostream* out) { *out << c.name; }

class ProcessPipeChildTest : public testing::TestWithParam<ChildCase> {};

TEST_P(ProcessPipeChildTest, HandsBackOutputWithoutHoldingTheCaller) {
  const ChildCase& c = GetParam();
  RunResult r = RunChild(ChildPath(c.child), c.arguments, nullptr, c.limitMs);
  PrintTime(c.name, r.ms);
  ASSERT_TRUE(r.started);
  EXPECT_EQ(r.stored, c.expected.size());
  EXPECT_EQ(r.output, c.expected);
  EXPECT_TRUE(r.childGone);
  EXPECT_LT(r.ms, c.limitMs + kStopSlackMs);
  if (c.stoppedByLimit)
    EXPECT_GE(r.ms, c.limitMs - 50.0);  // not given up on before the limit
  else
    EXPECT_LT(r.ms, static_cast<double>(c.limitMs));  // ended by itself
}

const uint32_t kLimit = CProcessPipe::kDefaultTimeLimitMs;

INSTANTIATE_TEST_SUITE_P(
    Children, ProcessPipeChildTest,
    testing::Values(
        ChildCase{"items with CR LF", L"pipe_items", u"", kLimit,
                  "alpha;beta\r\ngamma\r\ndelta\r\n", false},
        ChildCase{"6000 bytes", L"pipe_flood", nullptr, kLimit, FloodBytes(kOutputBytes), false},
        ChildCase{"4 MB, far beyond the pipe", L"pipe_flood", u"4000000", kLimit,
                  FloodBytes(kOutputBytes), false},
        ChildCase{"exactly 5000 bytes", L"pipe_flood", u"5000", kLimit, FloodBytes(5000), false},
        ChildCase{"nothing printed", L"pipe_flood", u"0", kLimit, "", false},
        ChildCase{"standard error", L"pipe_stderr", nullptr, kLimit,
                  "out one\r\nerr two\r\nout three\r\n", false},
        ChildCase{"waits for input", L"pipe_stdin", nullptr, kLimit,
                  "input ended after 0 bytes\r\n", false},
        ChildCase{"never ends, default limit", L"pipe_forever", nullptr, kLimit, "started\r\n",
                  true},
        ChildCase{"never ends, 1.5 s limit", L"pipe_forever", nullptr, 1500, "started\r\n",
                  true}),
    [](const testing::TestParamInfo<ChildCase>& info) {
      std::string name;
      for (const char* p = info.param.name; *p; ++p)
        name += (isalnum(static_cast<unsigned char>(*p)) ? *p : '_');
      return name;
    });

// ---------------------------------------------------------------------------
// Command line and current folder, seen from the child.

// The command line pipe_echo reports (between its brackets).
std::string EchoedCommandLine(const std::string& output) {
  size_t open = output.find('[');
  size_t close = output.find("]\r\n");
  if (open != 0 || close == std::string::npos) return "<no echo: " + output + ">";
  return output.substr(1, close - 1);
}

struct CommandLineCase {
  const char16_t* arguments;
  std::string expected;
};

TEST(ProcessPipeCommandLineTest, FileNameThenArgumentsWhenGiven) {
  const CommandLineCase cases[] = {
      {nullptr, "pipe_echo.exe"},
      {u"", "pipe_echo.exe "},
      {u"one \"two three\"", "pipe_echo.exe one \"two three\""},
      {u"caf\u00e9", "pipe_echo.exe caf\xc3\xa9"},
  };
  for (const CommandLineCase& c : cases) {
    RunResult r = RunChild(ChildPath(L"pipe_echo"), c.arguments);
    PrintTime(("echo " + c.expected).c_str(), r.ms);
    ASSERT_TRUE(r.started);
    EXPECT_EQ(EchoedCommandLine(r.output), c.expected);
  }
}

TEST(ProcessPipeCommandLineTest, ProgramPathsWithBlanks) {
  TempFolder folder(L"process pipe \u00fc");
  struct PathCase {
    std::wstring fileName;
    std::string expectedLine;  // the child's command line
  };
  const PathCase cases[] = {
      {L"pipe_echo.exe", "pipe_echo.exe --x"},
      // A file name with a blank is quoted, so the child still sees "--x" as
      // its first argument.
      {L"pipe echo copy.exe", "\"pipe echo copy.exe\" --x"},
  };
  for (const PathCase& c : cases) {
    std::wstring program = folder.File(c.fileName);
    ASSERT_TRUE(CopyFileW(ChildPath(L"pipe_echo").c_str(), program.c_str(), FALSE));
    RunResult r = RunChild(program, u"--x");
    PrintTime(Utf8(c.fileName).c_str(), r.ms);
    ASSERT_TRUE(r.started);
    std::string line = EchoedCommandLine(r.output);
    EXPECT_EQ(line, c.expectedLine);
    int count = 0;
    std::u16string wideLine = Utf8ToText(line);
    LPWSTR* argv = CommandLineToArgvW(AsWide(wideLine.c_str()), &count);
    ASSERT_NE(argv, nullptr);
    ASSERT_EQ(count, 2);
    EXPECT_EQ(std::wstring(argv[0]), c.fileName);
    EXPECT_EQ(std::wstring(argv[1]), L"--x");
    LocalFree(argv);
  }
}

TEST(ProcessPipeCommandLineTest, RunsInTheGivenFolderOrTheCallers) {
  TempFolder folder(L"process pipe cwd");
  RunResult inFolder = RunChild(ChildPath(L"pipe_echo"), nullptr, T(folder.Path()));
  ASSERT_TRUE(inFolder.started);
  size_t lineEnd = inFolder.output.find("\r\n");
  ASSERT_NE(lineEnd, std::string::npos);
  std::string reported = inFolder.output.substr(lineEnd + 2);
  if (reported.size() >= 2) reported.resize(reported.size() - 2);  // its CR LF
  EXPECT_EQ(CompareStringOrdinal(AsWide(Utf8ToText(reported).c_str()), -1, folder.Path().c_str(),
                                 -1, TRUE),
            CSTR_EQUAL)
      << reported;

  wchar_t own[MAX_PATH * 2];
  GetCurrentDirectoryW(MAX_PATH * 2, own);
  RunResult inOwn = RunChild(ChildPath(L"pipe_echo"), nullptr, nullptr);
  ASSERT_TRUE(inOwn.started);
  EXPECT_NE(inOwn.output.find(Utf8(own)), std::string::npos) << inOwn.output;
}

// ---------------------------------------------------------------------------
// Start failures: nothing runs, nothing is read, nothing waits.

TEST(ProcessPipeStartTest, FailuresStartNothing) {
  TempFolder folder(L"process pipe fail");
  std::wstring notAProgram = folder.File(L"not a program.exe");
  HANDLE file = CreateFileW(notAProgram.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, "plain text, no program", 22, &written, nullptr);
  CloseHandle(file);

  const std::wstring programs[] = {
      folder.File(L"missing.exe"),
      folder.File(L"no folder\\missing.exe"),
      L"pipe_items.exe",  // bare names are not searched for
      folder.Path(),      // a folder
      notAProgram,
  };
  for (const std::wstring& program : programs) {
    RunResult r = RunChild(program, u"");
    PrintTime(("fails: " + Utf8(program.substr(program.find_last_of(L'\\') + 1))).c_str(), r.ms);
    EXPECT_FALSE(r.started) << Utf8(program);
    EXPECT_EQ(r.stored, 0u);
    EXPECT_LT(r.ms, 2000.0);
  }
  CProcessPipe pipe;
  EXPECT_EQ(pipe.Start(nullptr, nullptr, nullptr), nullptr);
  EXPECT_EQ(pipe.Start(u"", nullptr, nullptr), nullptr);
  // A missing current folder fails the start too.
  EXPECT_EQ(pipe.Start(T(ChildPath(L"pipe_items")), nullptr, T(folder.File(L"gone"))), nullptr);
  char byte = 0;
  EXPECT_EQ(pipe.ReadOutput(&byte, 1), 0u);
}

// ---------------------------------------------------------------------------
// Life cycle: every way of ending a run ends the child.

bool EndsSoon(HANDLE watch) {
  bool ended = WaitForSingleObject(watch, 3000) == WAIT_OBJECT_0;
  CloseHandle(watch);
  return ended;
}

HANDLE Watch(HANDLE process) {
  HANDLE watch = nullptr;
  DuplicateHandle(GetCurrentProcess(), process, GetCurrentProcess(), &watch, SYNCHRONIZE, FALSE, 0);
  return watch;
}

TEST(ProcessPipeLifeTest, IdleRunnerIsHarmless) {
  CProcessPipe pipe;
  pipe.Stop();
  pipe.Stop();
  char buffer[16];
  EXPECT_EQ(pipe.ReadOutput(buffer, sizeof(buffer)), 0u);
  EXPECT_EQ(pipe.TimeLimit(), CProcessPipe::kDefaultTimeLimitMs);
}

TEST(ProcessPipeLifeTest, StopDestroyAndRestartEndTheRunningChild) {
  // Stop.
  {
    CProcessPipe pipe;
    HANDLE watch = Watch(pipe.Start(T(ChildPath(L"pipe_forever")), nullptr, nullptr));
    ASSERT_NE(watch, nullptr);
    pipe.Stop();
    EXPECT_TRUE(EndsSoon(watch));
    char byte;
    EXPECT_EQ(pipe.ReadOutput(&byte, 1), 0u);
  }
  // Destruction.
  HANDLE watch = nullptr;
  {
    CProcessPipe pipe;
    watch = Watch(pipe.Start(T(ChildPath(L"pipe_forever")), nullptr, nullptr));
    ASSERT_NE(watch, nullptr);
  }
  EXPECT_TRUE(EndsSoon(watch));
  // A second start, also one that fails.
  const std::wstring next[] = {ChildPath(L"pipe_items"), ChildPath(L"missing")};
  for (const std::wstring& program : next) {
    CProcessPipe pipe;
    HANDLE first = Watch(pipe.Start(T(ChildPath(L"pipe_forever")), nullptr, nullptr));
    ASSERT_NE(first, nullptr);
    bool started = pipe.Start(T(program), nullptr, nullptr) != nullptr;
    EXPECT_TRUE(EndsSoon(first));
    char buffer[64];
    uint32_t n = pipe.ReadOutput(buffer, sizeof(buffer));
    EXPECT_EQ(std::string(buffer, n), started ? "alpha;beta\r\ngamma\r\ndelta\r\n" : "");
  }
}

TEST(ProcessPipeLifeTest, ReadOutputWithoutBufferStillEndsTheRun) {
  CProcessPipe pipe;
  HANDLE watch = Watch(pipe.Start(T(ChildPath(L"pipe_flood")), u"100000", nullptr));
  ASSERT_NE(watch, nullptr);
  EXPECT_EQ(pipe.ReadOutput(nullptr, 100), 0u);
  EXPECT_TRUE(EndsSoon(watch));
}

TEST(ProcessPipeLifeTest, RunsLeaveNoHandlesBehind) {
  DWORD before = 0;
  if (!GetProcessHandleCount(GetCurrentProcess(), &before) || before == 0)
    GTEST_SKIP() << "handle count not available";
  // One run first, so that whatever the system sets up once is counted.
  RunChild(ChildPath(L"pipe_items"), nullptr);
  GetProcessHandleCount(GetCurrentProcess(), &before);
  for (int i = 0; i < 3; ++i) {
    RunChild(ChildPath(L"pipe_items"), nullptr);
    RunChild(ChildPath(L"pipe_forever"), nullptr, nullptr, 300);
    RunChild(ChildPath(L"missing"), nullptr);
  }
  DWORD after = 0;
  GetProcessHandleCount(GetCurrentProcess(), &after);
  EXPECT_EQ(after, before);
}

}  // namespace
