// The update flow end to end under Wine: a real worker thread against the
// test web server (run_with_server.sh), a plain window standing in for the
// main dialog, and a host window that records the notification codes in
// order. Without the server these tests skip themselves.
#include "tollwren/flow/update_flow.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "common/language_file_win.h"
#include "common/text16.h"
#include "tollwren/language/language_file.h"
#include "tollwren/language/language_file_win.h"
#include "tollwren/pad/pad_document.h"

namespace {

std::u16string Widen(const std::string& text) { return std::u16string(text.begin(), text.end()); }
std::string Narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

std::vector<uint8_t> FileBytes(const std::u16string& path) {
  std::vector<uint8_t> bytes;
  HANDLE file = CreateFileW(AsWide(path.c_str()), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  uint8_t chunk[65536];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got) bytes.insert(bytes.end(), chunk, chunk + got);
  CloseHandle(file);
  return bytes;
}

bool WriteBytes(const std::u16string& path, const std::string& bytes) {
  HANDLE file = CreateFileW(AsWide(path.c_str()), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                  written == bytes.size();
  CloseHandle(file);
  return ok;
}

bool Exists(const std::u16string& path) { return GetFileAttributesW(AsWide(path.c_str())) != INVALID_FILE_ATTRIBUTES; }

void RemoveTree(const std::u16string& folder) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(AsWide((folder + u"\\*").c_str()), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::u16string name = AsText(found.cFileName);
      if (name == u"." || name == u"..") continue;
      const std::u16string path = folder + u"\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else {
        DeleteFileW(AsWide(path.c_str()));
      }
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(AsWide(folder.c_str()));
}

// Every key of the flow renders as its own name, so the status line shows
// which key was used.
const char16_t* const kFlowKeys[] = {
    u"checking_website", u"error_internet", u"web_version_same", u"web_version_older", u"web_version_newer",
    u"version_news", u"download_start", u"download_progress", u"user_aborted", u"error_download",
    u"error_signature", u"error_installer", u"download_success"};

std::u16string TestLanguageFile() {
  std::u16string text = u"yes=Yes\\nplease\r\nno=No\n";
  for (const char16_t* key : kFlowKeys) text += std::u16string(key) + u"=" + key + u"\n";
  return text;
}

enum class Answer { kNone, kYes, kNo, kCancel, kYesThenEndAtOnce };

struct Recorded {
  std::vector<WPARAM> codes;
  std::vector<DWORD> codeTimes;
  std::vector<std::u16string> statuses;  // without "download_progress"
  std::vector<std::u16string> news;
  int progressUpdates = 0;
  bool dialogShownWhenAsked = false;
  bool timedOut = false;
};

struct FlowRun;
FlowRun* gRun = nullptr;

struct FlowRun {
  CUpdateFlow* flow = nullptr;
  HWND dialog = nullptr;
  HWND host = nullptr;
  Answer answer = Answer::kNone;
  Recorded seen;
  std::atomic<bool> downloading{false};  // code 315 arrived
};

constexpr UINT_PTR kSafetyTimer = 77;

LRESULT CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // The worker brings the dialog forward right after it posts the question,
  // so the host may hear of the question before the dialog is shown: any
  // showing of the dialog counts (a hidden run never shows it otherwise).
  if (gRun && message == WM_SHOWWINDOW && wParam) gRun->seen.dialogShownWhenAsked = true;
  if (gRun && gRun->flow) {
    if (message == kTextRefreshMessage) {
      const std::u16string value = gRun->flow->RefreshText(wParam, lParam);
      if (wParam == kRefreshStatus) {
        if (value == u"download_progress") {
          ++gRun->seen.progressUpdates;
        } else if (!value.empty() && (gRun->seen.statuses.empty() || gRun->seen.statuses.back() != value)) {
          // The same text again (rendered anew after the language reload)
          // is one status.
          gRun->seen.statuses.push_back(value);
        }
      } else if (!value.empty()) {
        gRun->seen.news.push_back(value);
      }
    }
    if (gRun->flow->HandleDialogMessage(message, wParam, lParam)) return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (gRun && message == kNotifyMessage) {
    gRun->seen.codes.push_back(wParam);
    gRun->seen.codeTimes.push_back(GetTickCount());
    if (wParam == kCodeDownloading) {
      gRun->downloading = true;
      if (gRun->answer == Answer::kYesThenEndAtOnce) {
        // Two cancels: the program ends while the download runs.
        PostMessageW(gRun->dialog, WM_COMMAND, IDCANCEL, 0);
        PostMessageW(gRun->dialog, WM_COMMAND, IDCANCEL, 0);
      }
    }
    if (wParam == kCodeNewer || wParam == kCodeOlder) {
      if (IsWindowVisible(gRun->dialog)) gRun->seen.dialogShownWhenAsked = true;
      switch (gRun->answer) {
        case Answer::kYes:
        case Answer::kYesThenEndAtOnce: PostMessageW(gRun->dialog, WM_COMMAND, 1013, 0); break;
        case Answer::kNo: PostMessageW(gRun->dialog, WM_COMMAND, 1015, 0); break;
        case Answer::kCancel: PostMessageW(gRun->dialog, WM_COMMAND, IDCANCEL, 0); break;
        case Answer::kNone: break;
      }
    }
    return 0;
  }
  if (gRun && message == WM_TIMER && wParam == kSafetyTimer) {
    gRun->seen.timedOut = true;
    PostQuitMessage(1);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  InitCommonControls();
  WNDCLASSW dialogClass = {};
  dialogClass.lpfnWndProc = DialogProc;
  dialogClass.hInstance = GetModuleHandleW(nullptr);
  dialogClass.lpszClassName = L"FlowTestDialog";
  RegisterClassW(&dialogClass);
  WNDCLASSW hostClass = {};
  hostClass.lpfnWndProc = HostProc;
  hostClass.hInstance = GetModuleHandleW(nullptr);
  hostClass.lpszClassName = L"FlowTestHost";
  RegisterClassW(&hostClass);
}

// The pieces of a PAD document.
struct PadSpec {
  std::string version;
  std::string padUrl;
  std::string urls[4];
  std::string changeInfo;
  std::string fileSize;
};

std::string PadText(const PadSpec& pad) {
  std::string text = "<?xml version=\"1.0\"?>\r\n<XML_DIZ_INFO>\r\n<Program_Info>\r\n"
                     "<Program_Name>Flow Test</Program_Name>\r\n";
  if (!pad.version.empty()) text += "<Program_Version>" + pad.version + "</Program_Version>\r\n";
  if (!pad.changeInfo.empty()) text += "<Program_Change_Info>" + pad.changeInfo + "</Program_Change_Info>\r\n";
  text += "<File_Info><File_Size_Bytes>" + pad.fileSize + "</File_Size_Bytes></File_Info>\r\n";
  text += "</Program_Info>\r\n<Web_Info><Application_URLs>\r\n";
  static const char* const tags[] = {"Primary_Download_URL", "Secondary_Download_URL", "Additional_Download_URL_1",
                                     "Additional_Download_URL_2"};
  for (int i = 0; i < 4; ++i) text += std::string("<") + tags[i] + ">" + pad.urls[i] + "</" + tags[i] + ">\r\n";
  text += "<Application_XML_File_URL>" + pad.padUrl + "</Application_XML_File_URL>\r\n";
  text += "</Application_URLs></Web_Info>\r\n</XML_DIZ_INFO>\r\n";
  return text;
}

class FlowWithServer : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* server = std::getenv("TOLLWREN_TEST_SERVER");
    const char* files = std::getenv("TOLLWREN_TEST_SERVER_FILES");
    const char* log = std::getenv("TOLLWREN_TEST_SERVER_LOG");
    if (!server || !*server || !files || !*files || !log) {
      GTEST_SKIP() << "no test web server with a file folder (run through run_with_server.sh)";
    }
    server_ = server;
    served_ = u"Z:" + Widen(files) + u"\\";
    log_ = std::string("Z:") + log;
    name_ = Widen(::testing::UnitTest::GetInstance()->current_test_info()->name());
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    folder_ = AsText(temp);
    folder_ += u"tollwren_flow_" + name_;
    RemoveTree(folder_);
    CreateDirectoryW(AsWide(folder_.c_str()), nullptr);
    folder_ += u"\\";
    RegisterClasses();
  }

  void TearDown() override {
    if (!folder_.empty()) RemoveTree(folder_.substr(0, folder_.size() - 1));
  }

  std::string Url(const std::string& target) const { return "http://" + server_ + target; }
  // Address of a file of this test in the served folder.
  std::string ServedUrl(const std::string& suffix) const { return Url("/" + Narrow(name_) + suffix); }
  std::u16string ServedPath(const std::string& suffix) const { return served_ + name_ + Widen(suffix); }

  // Copies the test installer into the served folder; returns its address.
  std::string ServeInstaller() {
    const std::u16string source = u"Z:" + Widen(TOLLWREN_TEST_INSTALLER);
    const std::u16string target = ServedPath("_setup.exe");
    EXPECT_TRUE(CopyFileW(AsWide(source.c_str()), AsWide(target.c_str()), FALSE));
    return ServedUrl("_setup.exe");
  }

  // Writes the remote document into the served folder and returns its text.
  std::string ServeRemotePad(const PadSpec& remote) {
    const std::string text = PadText(remote);
    EXPECT_TRUE(WriteBytes(ServedPath("_pad.xml"), text));
    return text;
  }

  int RequestCount(const std::string& target) const {
    std::ifstream in(log_);
    std::string line;
    int count = 0;
    const std::string key = "\"target\": \"" + target + "\"";
    while (std::getline(in, line)) count += line.find(key) != std::string::npos;
    return count;
  }

  // Runs the flow from command 1 until the program would end (WM_QUIT).
  Recorded Run(const std::string& localVersion, const std::string& padUrl, Answer answer, bool hidden = false,
               std::u16string programFolder = std::u16string()) {
    PadSpec local;
    local.version = localVersion;
    local.padUrl = padUrl;
    localPadPath_ = folder_ + u"pad.xml";
    EXPECT_TRUE(WriteBytes(localPadPath_, PadText(local)));
    CPadDocument pad;
    EXPECT_TRUE(pad.ReadLocalFile(localPadPath_.c_str()));

    CLanguageFile language;
    const std::u16string languageText = TestLanguageFile();
    std::vector<uint8_t> bytes;
    for (char16_t c : languageText) {
      bytes.push_back(static_cast<uint8_t>(c & 0xFF));
      bytes.push_back(static_cast<uint8_t>(c >> 8));
    }
    language.LoadBytes(bytes.data(), bytes.size(), u"English", pad, localPadPath_);

    FlowRun run;
    gRun = &run;
    run.answer = answer;
    run.host = CreateWindowW(L"FlowTestHost", L"host", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    run.dialog = CreateWindowW(L"FlowTestDialog", L"dialog", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    const struct {
      const wchar_t* cls;
      int id;
    } children[] = {{L"STATIC", kStatusLineId},      {L"STATIC", kNewsLineId}, {L"BUTTON", 1013},
                    {L"BUTTON", 1014},               {L"BUTTON", 1015},        {PROGRESS_CLASSW, kProgressBarId},
                    {L"BUTTON", kStartCommand}};
    for (const auto& child : children) {
      CreateWindowW(child.cls, L"", WS_CHILD, 0, 0, 50, 20, run.dialog,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(child.id)), GetModuleHandleW(nullptr), nullptr);
    }

    CUpdateFlow flow(pad, language);
    flow.dialog = run.dialog;
    flow.notifyWindow = run.host;
    flow.hiddenMode = hidden;
    flow.programFolder = programFolder.empty() ? folder_ : programFolder;
    flow.padFilePath = localPadPath_;
    flow.endDelayMs = kTestEndDelayMs;
    run.flow = &flow;
    if (!hidden) ShowWindow(run.dialog, SW_SHOWNOACTIVATE);

    SetTimer(run.host, kSafetyTimer, 90000, nullptr);
    start_ = GetTickCount();
    PostMessageW(run.dialog, WM_COMMAND, kStartCommand, 0);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    const DWORD ended = GetTickCount();
    EXPECT_TRUE(flow.WaitForWorker(30000));
    workerWait_ = GetTickCount() - ended;
    downloadPath_ = flow.DownloadFilePath();
    startControlDisabled_ = !IsWindowEnabled(GetDlgItem(run.dialog, kStartCommand));
    run.flow = nullptr;
    DestroyWindow(run.dialog);
    DestroyWindow(run.host);
    // Drop what is left in the queue (text refresh copies are freed by the
    // flow's handler only while it is attached).
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
    gRun = nullptr;
    return run.seen;
  }

  // The time from the worker's last code to the end (code 390).
  static DWORD EndDelay(const Recorded& seen) {
    const size_t n = seen.codeTimes.size();
    return n >= 2 ? seen.codeTimes[n - 1] - seen.codeTimes[n - 2] : 0;
  }
  static void ExpectEndsAtOnce(const Recorded& seen) { EXPECT_LT(EndDelay(seen), kTestEndDelayMs - 300); }
  static void ExpectEndsLater(const Recorded& seen) { EXPECT_GE(EndDelay(seen), kTestEndDelayMs - 100); }

  // Waits for the mark file the test installer leaves beside itself.
  static bool WaitForMark(const std::u16string& installerPath) {
    for (int i = 0; i < 200; ++i) {
      if (Exists(installerPath + u".ran")) return true;
      Sleep(100);
    }
    return false;
  }

  static constexpr UINT kTestEndDelayMs = 1500;
  std::string server_;
  std::string log_;
  std::u16string served_;
  std::u16string name_;
  std::u16string folder_;
  std::u16string localPadPath_;
  std::u16string downloadPath_;
  bool startControlDisabled_ = false;
  DWORD workerWait_ = 0;  // from the end of the message loop to the worker's end
  DWORD start_ = 0;
};

using Codes = std::vector<WPARAM>;
using Statuses = std::vector<std::u16string>;

TEST_F(FlowWithServer, SameVersionSaysSoAndEndsLater) {
  PadSpec remote;
  remote.version = "2.5.1";  // 20005, the same number as 2.5
  ServeRemotePad(remote);
  const Recorded seen = Run("2.5", ServedUrl("_pad.xml"), Answer::kYes);
  ASSERT_FALSE(seen.timedOut);
  EXPECT_EQ(seen.codes, (Codes{kCodeChecking, kCodeEnding}));
  EXPECT_EQ(seen.statuses, (Statuses{u"checking_website", u"web_version_same"}));
  EXPECT_TRUE(startControlDisabled_);
  ExpectEndsLater(seen);
}

TEST_F(FlowWithServer, NewerWithYesRunsTheInstallerAndReplacesPadXml) {
  PadSpec remote;
  remote.version = "2.0";
  remote.changeInfo = "Faster &amp; smaller";
  remote.fileSize = "12345";
  remote.urls[0] = ServeInstaller();
  remote.padUrl = ServedUrl("_pad.xml");  // a document without it would end every later check
  const std::string remoteText = ServeRemotePad(remote);
  const Recorded seen = Run("1.0", ServedUrl("_pad.xml"), Answer::kYes);
  ASSERT_FALSE(seen.timedOut);
  EXPECT_EQ(seen.codes, (Codes{kCodeChecking, kCodeNewer, kCodeDownloading, kCodeDownloaded, kCodeInstallerStarted,
                               kCodeEnding}));
  EXPECT_EQ(seen.statuses, (Statuses{u"checking_website", u"web_version_newer", u"download_start",
                                     u"download_success"}));
  EXPECT_EQ(seen.news, (Statuses{u"version_news"}));
  EXPECT_TRUE(seen.dialogShownWhenAsked);
  ExpectEndsAtOnce(seen);
  const std::u16string installer = folder_ + name_ + u"_setup.exe";
  EXPECT_EQ(downloadPath_, installer);
  EXPECT_TRUE(WaitForMark(installer));
  const std::vector<uint8_t> saved = FileBytes(localPadPath_);
  EXPECT_EQ(std::string(saved.begin(), saved.end()), remoteText);  // exactly the downloaded bytes
  // The next run reads the new version from it.
  CPadDocument next;
  ASSERT_TRUE(next.ReadLocalFile(localPadPath_.c_str()));
  EXPECT_EQ(next.localVersionText, u"2.0");
}

TEST_F(FlowWithServer, NewerWithNoEndsLater) {
  PadSpec remote;
  remote.version = "1.1";
  remote.urls[0] = Url("/__data/100");
  ServeRemotePad(remote);
  const Recorded seen = Run("1.0", ServedUrl("_pad.xml"), Answer::kNo);
  ASSERT_FALSE(seen.timedOut);
  EXPECT_EQ(seen.codes, (Codes{kCodeChecking, kCodeNewer, kCodeUserAborted, kCodeEnding}));
  EXPECT_EQ(seen.statuses, (Statuses{u"checking_website", u"web_version_newer", u"user_aborted"}));
  EXPECT_TRUE(seen.news.empty());  // no change information, no news line
  EXPECT_EQ(RequestCount("/__data/100"), 0);
  ExpectEndsLater(seen);
}

TEST_F(FlowWithServer, CancelWhileAskingEndsAtOnce) {
  PadSpec remote;
  remote.version = "1.1";
  remote.urls[0] = Url("/__data/100");
  ServeRemotePad(remote);
  const Recorded seen = Run("1.0", ServedUrl("_pad.xml"), Answer::kCancel);
  ASSERT_FALSE(seen.timedOut);
  EXPECT_EQ(seen.codes, (Codes{kCodeChecking, kCodeNewer, kCodeUserAborted, kCodeEnding}));
  EXPECT_EQ(seen.statuses, (Statuses{u"checking_website", u"web_version_newer", u"user_aborted"}));
  ExpectEndsAtOnce(seen);
}

TEST_F(FlowWithServer, OlderVersionIsOfferedAndQuietWhenHidden) {
  PadSpec remote;
  remote.version = "2.9";  // 20009 below 2.10's 20010
  ServeRemotePad(remote);
  Recorded seen = Run("2.10", ServedUrl("_pad.xml"), Answer::kNo);
  ASSERT_FALSE(seen.timedOut);
  EXPECT_EQ(seen.codes, (Codes{kCodeChecking, kCodeOlder, kCodeUserAborted, kCodeEnding}));
  EXPECT_EQ(seen.statuses, (Statuses{u"checking_website", u"web_version_older", u"user_aborted"}));

  seen = Run("2.10", ServedUrl("_pad.xml"), Answer::kNo, /*hidden=*/true);
  ASSERT_FALSE(seen.timedOut);
  EXPECT_EQ(seen.codes, (Codes{kCodeChecking, kCodeEnding}));
  EXPECT_EQ(seen.statuses, (Statuses{u"checking_website"}));
  ExpectEndsLater(seen);
}

TEST_F(FlowWithServer, HiddenModeShowsTheDialogForANewerVersion) {
  PadSpec remote;
  remote.version = "1.1";
  ServeRemotePad(remote);
  const Recorded seen = Run("1.0", ServedUrl("_pad.xml"), Answer::kNo, /*hidden=*/true);
  ASSERT_FALSE(seen.timedOut);
  EXPECT_EQ(seen.codes, (Codes{kCodeChecking, kCodeNewer, kCodeUserAborted, kCodeEnding}));
  EXPECT_TRUE(seen.dialogShownWhenAsked);
}

TEST_F(FlowWithServer, RemoteWithoutVersionOrUnreachable) {
  PadSpec remote;  // no Program_Version
  ServeRemotePad(remote);
  Recorded seen = Run("1.0", ServedUrl("_pad.xml"), Answer::kYes);
  ASSERT_FALSE(seen.timedOut);
  EXPECT_EQ(seen.codes, (Codes{kCodeChecking, kCodeEnding}));
  EXPECT_EQ(seen.statuses, (Statuses{u"checking_website", u"error_internet"}));
  ExpectEndsLater(seen);

  // Not found, and no address at all: silent, the check's text stays.
  for (const std::string& address : {ServedUrl("_missing.xml"), std::string()}) {
    seen = Run("1.0", address, Answer::kYes);
    ASSERT_FALSE(seen.timedOut);
    EXPECT_EQ(seen.codes, (Codes{kCodeChecking, kCodeEnding})) << address;
    EXPECT_EQ(seen.statuses, (Statuses{u"checking_website"})) << address;
    ExpectEndsLater(seen);
  }
}

TEST_F(FlowWithServer, FirstAddressNotFoundSecondWorks) {
  PadSpec remote;
  remote.version = "2.0";
  remote.urls[0] = ServedUrl("_gone.exe");
  remote.urls[1] = ServeInstaller();
  ServeRemotePad(remote);
  // A file of the same name as the failed download stays untouched.
  ASSERT_TRUE(WriteBytes(folder_ + name_ + u"_gone.exe", "keep"));
  const Recorded seen = Run("1.0", ServedUrl("_pad.xml"), Answer::kYes);
  ASSERT_FALSE(seen.timedOut);
  EXPECT_EQ(seen.codes, (Codes{kCodeChecking, kCodeNewer, kCodeDownloading, kCodeDownloaded, kCodeInstallerStarted,
                               kCodeEnding}));
  EXPECT_EQ(RequestCount("/" + Narrow(name_) + "_gone.exe"), 1);
  EXPECT_TRUE(WaitForMark(folder_ + name_ + u"_setup.exe"));
  EXPECT_EQ(FileBytes(folder_ + name_ + u"_gone.exe").size(), 4u);
}

TEST_F(FlowWithServer, BodyCutShortFailsAndLeavesNoFile) {
  PadSpec remote;
  remote.version = "2.0";
  remote.urls[0] = Url("/__data/200000?cut=5000&name=cut.exe");
  ServeRemotePad(remote);
  const Recorded seen = Run("1.0", ServedUrl("_pad.xml"), Answer::kYes);
  ASSERT_FALSE(seen.timedOut);
  EXPECT_EQ(seen.codes, (Codes{kCodeChecking, kCodeNewer, kCodeDownloading, kCodeFailed, kCodeEnding}));
  EXPECT_EQ(seen.statuses, (Statuses{u"checking_website", u"web_version_newer", u"download_start",
                                     u"error_download"}));
  // The rest is asked for while each answer brings more, five transfers in
  // all; the partly written file ("cut.exe", the end of the address) is
  // deleted.
  EXPECT_EQ(RequestCount("/__data/200000?cut=5000&name=cut.exe"), kDownloadAttemptLimit);
  EXPECT_FALSE(Exists(folder_ + u"cut.exe"));
  // pad.xml keeps the installed version.
  CPadDocument after;
  ASSERT_TRUE(after.ReadLocalFile(localPadPath_.c_str()));
  EXPECT_EQ(after.localVersionText, u"1.0");
  ExpectEndsLater(seen);
}

TEST_F(FlowWithServer, NoUsableDownloadAddress) {
  PadSpec remote;
  remote.version = "2.0";
  remote.urls[1] = Url("/files/");  // ends in a slash: no file name, never requested
  ServeRemotePad(remote);
  const Recorded seen = Run("1.0", ServedUrl("_pad.xml"), Answer::kYes);
  ASSERT_FALSE(seen.timedOut);
  EXPECT_EQ(seen.codes, (Codes{kCodeChecking, kCodeNewer, kCodeDownloading, kCodeFailed, kCodeEnding}));
  EXPECT_EQ(seen.statuses, (Statuses{u"checking_website", u"web_version_newer", u"download_start",
                                     u"error_download"}));
  EXPECT_EQ(RequestCount("/files/"), 0);
}

TEST_F(FlowWithServer, UnwritableFolderRetriesInTemp) {
  PadSpec remote;
  remote.version = "2.0";
  remote.urls[0] = ServeInstaller();
  ServeRemotePad(remote);
  const std::u16string temp = folder_ + u"temp";
  ASSERT_TRUE(CreateDirectoryW(AsWide(temp.c_str()), nullptr));
  wchar_t oldTemp[MAX_PATH] = {};
  const DWORD hadTemp = GetEnvironmentVariableW(L"TEMP", oldTemp, MAX_PATH);
  SetEnvironmentVariableW(L"TEMP", AsWide(temp.c_str()));
  const Recorded seen = Run("1.0", ServedUrl("_pad.xml"), Answer::kYes, false, folder_ + u"missing\\");
  SetEnvironmentVariableW(L"TEMP", hadTemp ? oldTemp : nullptr);
  ASSERT_FALSE(seen.timedOut);
  EXPECT_EQ(seen.codes, (Codes{kCodeChecking, kCodeNewer, kCodeDownloading, kCodeDownloaded, kCodeInstallerStarted,
                               kCodeEnding}));
  // In a new folder of its own there.
  const std::u16string own = temp + u"\\tollwren-";
  EXPECT_EQ(downloadPath_.substr(0, own.size()), own);
  EXPECT_EQ(downloadPath_.substr(downloadPath_.size() - name_.size() - 11), u"\\" + name_ + u"_setup.exe");
  EXPECT_TRUE(WaitForMark(downloadPath_));
}

TEST_F(FlowWithServer, SlowDownloadMovesTheProgressAndCancelStopsIt) {
  PadSpec remote;
  remote.version = "2.0";
  remote.urls[0] = Url("/__data/400000?chunk=4000&delay=50&name=slow.exe");  // about 5 s
  remote.urls[1] = ServeInstaller();  // never tried after a cancel
  ServeRemotePad(remote);
  // Cancel 1.5 s into the download from another thread of the test.
  struct Canceller {
    static DWORD WINAPI Run(void*) {
      Sleep(1500);
      if (gRun) PostMessageW(gRun->dialog, WM_COMMAND, IDCANCEL, 0);
      return 0;
    }
  };
  HANDLE canceller = nullptr;
  struct Starter {
    static DWORD WINAPI Run(void* out) {
      // Wait for the download to start (code 315), then cancel.
      for (int i = 0; i < 300; ++i) {
        if (gRun && gRun->downloading) break;
        Sleep(50);
      }
      return Canceller::Run(out);
    }
  };
  canceller = CreateThread(nullptr, 0, Starter::Run, nullptr, 0, nullptr);
  const Recorded seen = Run("1.0", ServedUrl("_pad.xml"), Answer::kYes);
  WaitForSingleObject(canceller, 30000);
  CloseHandle(canceller);
  ASSERT_FALSE(seen.timedOut);
  EXPECT_EQ(seen.codes, (Codes{kCodeChecking, kCodeNewer, kCodeDownloading, kCodeUserAborted, kCodeEnding}));
  EXPECT_EQ(seen.statuses, (Statuses{u"checking_website", u"web_version_newer", u"download_start",
                                     u"user_aborted"}));
  EXPECT_GE(seen.progressUpdates, 2);
  EXPECT_FALSE(Exists(downloadPath_));
  EXPECT_EQ(RequestCount("/" + Narrow(name_) + "_setup.exe"), 0);
}

TEST_F(FlowWithServer, EndingDuringTheDownloadStopsTheWorkerPromptly) {
  PadSpec remote;
  remote.version = "2.0";
  remote.urls[0] = Url("/__data/4000000?chunk=4000&delay=50&name=long.exe");  // about 50 s
  ServeRemotePad(remote);
  const Recorded seen = Run("1.0", ServedUrl("_pad.xml"), Answer::kYesThenEndAtOnce);
  ASSERT_FALSE(seen.timedOut);
  EXPECT_EQ(seen.codes, (Codes{kCodeChecking, kCodeNewer, kCodeDownloading, kCodeEnding}));
  EXPECT_LT(workerWait_, 10000u);  // the download alone would take about 50 s
  EXPECT_FALSE(Exists(folder_ + u"long.exe"));
}

// The dialog side without a worker or a server: cancel timing, progress,
// text refresh and reading order on real windows.
class FlowDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterClasses();
    gRun = &run_;
    run_.host = CreateWindowW(L"FlowTestHost", L"host", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    run_.dialog = CreateWindowW(L"FlowTestDialog", L"dialog", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    status_ = CreateWindowExW(WS_EX_TRANSPARENT, L"STATIC", L"Ready..", WS_CHILD, 0, 0, 50, 20, run_.dialog,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kStatusLineId)), nullptr, nullptr);
    progress_ = CreateWindowW(PROGRESS_CLASSW, L"", WS_CHILD, 0, 0, 50, 20, run_.dialog,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kProgressBarId)), nullptr, nullptr);
    const std::u16string text = u"download_progress=<File_Downloaded_K> of <File_Download_Total_K> K\n";
    std::vector<uint8_t> bytes;
    for (char16_t c : text) {
      bytes.push_back(static_cast<uint8_t>(c & 0xFF));
      bytes.push_back(static_cast<uint8_t>(c >> 8));
    }
    flow_.fileSize = 10240;
    language_.LoadBytes(bytes.data(), bytes.size(), u"English", pad_, u"pad.xml");
    flow_.dialog = run_.dialog;
    flow_.notifyWindow = run_.host;
    flow_.endDelayMs = 800;
    run_.flow = &flow_;
  }
  void TearDown() override {
    run_.flow = nullptr;
    DestroyWindow(run_.dialog);
    DestroyWindow(run_.host);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
    gRun = nullptr;
  }
  // Pumps messages until WM_QUIT or timeoutMs; the time it took, or -1.
  static long PumpUntilQuit(DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    MSG message;
    while (GetTickCount() - start < timeoutMs) {
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) return static_cast<long>(GetTickCount() - start);
        DispatchMessageW(&message);
      }
      Sleep(10);
    }
    return -1;
  }
  static void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  }

  FlowRun run_;
  CPadDocument pad_;
  CLanguageFile language_;
  CUpdateFlow flow_{pad_, language_};
  HWND status_ = nullptr;
  HWND progress_ = nullptr;
};

TEST_F(FlowDialog, FirstCancelEndsAfterTheDelaySecondAtOnce) {
  PostMessageW(run_.dialog, WM_COMMAND, IDCANCEL, 0);
  const long delayed = PumpUntilQuit(5000);
  EXPECT_GE(delayed, 700);
  EXPECT_TRUE(flow_.cancelRequested);
  EXPECT_EQ(flow_.abortTransfer.load(), 1);
  EXPECT_EQ(run_.seen.codes, (std::vector<WPARAM>{kCodeEnding}));

  // Once closing, a cancel ends at once.
  PostMessageW(run_.dialog, WM_COMMAND, IDCANCEL, 0);
  const long atOnce = PumpUntilQuit(5000);
  EXPECT_GE(atOnce, 0);
  EXPECT_LT(atOnce, 500);
}

TEST_F(FlowDialog, ProgressTimerMovesTheBarAndRendersTheFigures) {
  flow_.bytesReceived = 2048;
  flow_.bytesExpected = 0;
  flow_.ShowStatus(u"download_start");
  PostMessageW(run_.dialog, kProgressTimerMessage, 1, 0);
  Pump();
  // The test gives the ticks itself: a real tick on a slow machine would
  // move the bar between the checks.
  KillTimer(run_.dialog, kProgressTimerId);
  flow_.HandleDialogMessage(WM_TIMER, kProgressTimerId, 0);
  Pump();
  EXPECT_EQ(SendMessageW(progress_, PBM_GETPOS, 0, 0), 0);  // nothing announced yet
  // Showing the total made the file size the bytes expected.
  EXPECT_EQ(flow_.bytesExpected.load(), 10240u);
  flow_.HandleDialogMessage(WM_TIMER, kProgressTimerId, 0);
  Pump();
  EXPECT_EQ(SendMessageW(progress_, PBM_GETPOS, 0, 0), 20);
  wchar_t shown[100] = {};
  GetWindowTextW(status_, shown, 100);
  EXPECT_EQ(std::u16string(AsText(shown)), u"2 of 10 K");
  EXPECT_EQ(flow_.StatusKey(), u"download_progress");
  PostMessageW(run_.dialog, kProgressTimerMessage, 0, 0);
  Pump();
}

TEST_F(FlowDialog, NeitherALateTickNorAForeignMessageReplacesTheLastWord) {
  flow_.ShowStatus(u"download_start");
  flow_.ShowStatus(u"error_download");
  Pump();
  wchar_t shown[100] = {};
  GetWindowTextW(status_, shown, 100);
  const std::u16string last(AsText(shown));
  // A tick that waited in the queue behind the last word.
  flow_.HandleDialogMessage(WM_TIMER, kProgressTimerId, 0);
  // Any program may post the text refresh with any value.
  PostMessageW(run_.dialog, kTextRefreshMessage, kRefreshStatus, 0x7E);
  PostMessageW(run_.dialog, kTextRefreshMessage, kRefreshStatus, -1);
  PostMessageW(run_.dialog, kTextRefreshMessage, kRefreshNews, 1);
  Pump();
  GetWindowTextW(status_, shown, 100);
  EXPECT_EQ(std::u16string(AsText(shown)), last);
  EXPECT_EQ(flow_.StatusKey(), u"error_download");
}

TEST_F(FlowDialog, ReadingOrderKeepsOtherStyles) {
  ApplyReadingOrder(run_.dialog, true);
  LONG_PTR style = GetWindowLongPtrW(status_, GWL_EXSTYLE);
  EXPECT_TRUE(style & WS_EX_RTLREADING);
  EXPECT_TRUE(style & WS_EX_TRANSPARENT);
  ApplyReadingOrder(run_.dialog, false);
  style = GetWindowLongPtrW(status_, GWL_EXSTYLE);
  EXPECT_FALSE(style & WS_EX_RTLREADING);
  EXPECT_TRUE(style & WS_EX_TRANSPARENT);
}

TEST_F(FlowDialog, DownloadWithoutAddressOrNameRequestsNothing) {
  flow_.programFolder = u"C:\\nowhere\\";
  const std::u16string none[] = {u"", u"http://127.0.0.1:9/files/"};
  EXPECT_FALSE(flow_.DownloadFrom(none, 2));
  EXPECT_EQ(flow_.DownloadFilePath(), u"");
}

TEST(LanguageFileWin, SystemLanguageIsAnEnglishName) {
  const std::u16string system = SystemLanguageName();
  ASSERT_FALSE(system.empty());
  EXPECT_LE(system.size(), kLanguageNameLimit);
  for (char16_t c : system) EXPECT_TRUE(c >= u' ' && c < 0x7F) << static_cast<int>(c);
  EXPECT_EQ(ChooseInitialLanguage(true, system, u"Default"), system);
  EXPECT_EQ(ChooseInitialLanguage(false, system, u"Default"), u"Default");
}

}  // namespace
