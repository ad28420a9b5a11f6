// CHttpTransfer and the remote PAD reader against the test web server
// (scripts/test_http_server.py, started by run_with_server.sh). Without the
// server these tests skip themselves.
#include "tollwren/transfer/http_transfer.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "common/text16.h"
#include "tollwren/pad/pad_document.h"

namespace {

std::u16string Widen(const std::string& text) { return std::u16string(text.begin(), text.end()); }

class WithServer : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* server = std::getenv("TOLLWREN_TEST_SERVER");
    const char* log = std::getenv("TOLLWREN_TEST_SERVER_LOG");
    if (!server || !*server || !log) GTEST_SKIP() << "no test web server (run through run_with_server.sh)";
    server_ = server;
    log_ = std::string("Z:") + log;
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    folder_ = AsText(temp);
    folder_ += u"tollwren_http_";
    folder_ += Widen(::testing::UnitTest::GetInstance()->current_test_info()->name());
    CreateDirectoryW(AsWide(folder_.c_str()), nullptr);
    folder_ += u"\\";
  }

  void TearDown() override {
    if (folder_.empty()) return;
    WIN32_FIND_DATAW found;
    std::u16string pattern = folder_ + u"*";
    HANDLE search = FindFirstFileW(AsWide(pattern.c_str()), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        DeleteFileW(AsWide((folder_ + AsText(found.cFileName)).c_str()));
      } while (FindNextFileW(search, &found));
      FindClose(search);
    }
    RemoveDirectoryW(AsWide(folder_.c_str()));
  }

  std::u16string Url(const std::string& target) const { return Widen("http://" + server_ + target); }
  std::u16string Path(const char16_t* name) const { return folder_ + name; }

  // Lines of the server's request log whose target is exactly target.
  std::vector<std::string> RequestsFor(const std::string& target) const {
    std::ifstream in(log_);
    std::vector<std::string> lines;
    std::string line;
    const std::string key = "\"target\": \"" + target + "\"";
    while (std::getline(in, line)) {
      if (line.find(key) != std::string::npos) lines.push_back(line);
    }
    return lines;
  }

  std::string server_;
  std::string log_;
  std::u16string folder_;
};

std::vector<uint8_t> FileBytes(const std::u16string& path) {
  std::vector<uint8_t> bytes;
  HANDLE file = CreateFileW(AsWide(path.c_str()), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  uint8_t chunk[65536];
  DWORD read = 0;
  while (ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0) bytes.insert(bytes.end(), chunk, chunk + read);
  CloseHandle(file);
  return bytes;
}

bool FileExistsAt(const std::u16string& path) {
  return GetFileAttributesW(AsWide(path.c_str())) != INVALID_FILE_ATTRIBUTES;
}

void WriteFileBytes(const std::u16string& path, const std::string& bytes) {
  HANDLE file = CreateFileW(AsWide(path.c_str()), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

// The server's generated body: byte i is i % 251.
bool IsPattern(const uint8_t* data, size_t size) {
  for (size_t i = 0; i < size; ++i) {
    if (data[i] != i % 251) return false;
  }
  return true;
}

std::vector<uint8_t> Fixture(const char* name) {
  std::ifstream in(std::string(TEST_FIXTURE_DIR) + "/pad/" + name, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST_F(WithServer, MemoryTransferReceivesTheWholeBody) {
  const std::vector<uint8_t> expected = Fixture("phracker__getxbook.xml");
  std::atomic<uint32_t> received{99}, total{99};
  CHttpTransfer transfer;
  transfer.SetCounters(&received, &total);
  EXPECT_TRUE(transfer.Open(kTransferTimeoutMs, kUpdaterUserAgent));
  EXPECT_FALSE(transfer.Open(kTransferTimeoutMs, kUpdaterUserAgent));  // already open
  std::vector<uint8_t> buffer(20000, 0xAA);
  EXPECT_EQ(transfer.GetToMemory(buffer.data(), 20000, Url("/pad/phracker__getxbook.xml?t=mem").c_str()), kTransferOk);
  EXPECT_TRUE(transfer.Succeeded());
  ASSERT_EQ(transfer.BytesReceived(), expected.size());
  EXPECT_EQ(received.load(), expected.size());
  EXPECT_EQ(total.load(), expected.size());
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), buffer.begin()));
  EXPECT_EQ(buffer[expected.size()], 0);

  // The request went to the port of the URL with the updater's user agent.
  auto requests = RequestsFor("/pad/phracker__getxbook.xml?t=mem");
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_NE(requests[0].find("\"method\": \"GET\""), std::string::npos);
  EXPECT_NE(requests[0].find("\"User-Agent\": \"Quorvane Tollwren\""), std::string::npos) << requests[0];
  EXPECT_NE(requests[0].find("\"Host\": \"" + server_ + "\""), std::string::npos) << requests[0];
  EXPECT_NE(requests[0].find("\"Accept\": \"text/html, image/gif, image/jpeg, *; q=.2, */*; q=.2\""),
            std::string::npos);
  EXPECT_EQ(requests[0].find("Authorization"), std::string::npos);  // no credentials unless asked for
}

TEST_F(WithServer, OpensWithTheDefaultUserAgentWhenNotOpened) {
  uint8_t buffer[64];
  CHttpTransfer transfer;
  EXPECT_EQ(transfer.GetToMemory(buffer, sizeof buffer, Url("/__data/10?t=agent").c_str()), kTransferOk);
  auto requests = RequestsFor("/__data/10?t=agent");
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_NE(requests[0].find("\"User-Agent\": \"IE 9.0\""), std::string::npos) << requests[0];
}

TEST_F(WithServer, MemoryTransferIsCutAtTheBufferSize) {
  std::vector<uint8_t> buffer(101, 0xAA);
  CHttpTransfer transfer;
  EXPECT_EQ(transfer.GetToMemory(buffer.data(), 101, Url("/__data/1000?t=cap").c_str()), kTransferOk);
  EXPECT_EQ(transfer.BytesReceived(), 100u);
  EXPECT_TRUE(IsPattern(buffer.data(), 100));
  EXPECT_EQ(buffer[100], 0);

  uint8_t one = 0xAA;
  EXPECT_EQ(transfer.GetToMemory(&one, 1, Url("/__data/10?t=one").c_str()), kTransferFailed);
  EXPECT_EQ(one, 0);
  EXPECT_TRUE(RequestsFor("/__data/10?t=one").empty());
}

TEST_F(WithServer, FileTransferWritesEveryByte) {
  const std::u16string target = Path(u"setup.exe");
  WriteFileBytes(target, std::string(5000000, 'x'));  // an older, longer file is replaced, not appended to
  std::atomic<uint32_t> received{0}, total{0};
  CHttpTransfer transfer;
  transfer.SetCounters(&received, &total);
  EXPECT_EQ(transfer.GetToFile(target.c_str(), Url("/__data/3000000?t=file").c_str()), kTransferOk);
  EXPECT_TRUE(transfer.Succeeded());
  EXPECT_EQ(received.load(), 3000000u);
  EXPECT_EQ(total.load(), 3000000u);
  std::vector<uint8_t> bytes = FileBytes(target);
  ASSERT_EQ(bytes.size(), 3000000u);
  EXPECT_TRUE(IsPattern(bytes.data(), bytes.size()));
}

TEST_F(WithServer, FailuresBeforeTheBodyLeaveTheFileAlone) {
  const std::u16string target = Path(u"keep.bin");
  WriteFileBytes(target, "old");
  struct Case {
    std::string target;
  };
  const std::string targets[] = {"/missing.exe?t=404", "/__data/10?status=500&t=500", "/__data/10?empty=1&t=empty"};
  for (const auto& t : targets) {
    std::atomic<uint32_t> received{7};
    CHttpTransfer transfer;
    transfer.SetCounters(&received, nullptr);
    EXPECT_EQ(transfer.GetToFile(target.c_str(), Url(t).c_str()), kTransferFailed) << t;
    EXPECT_FALSE(transfer.Succeeded());
    EXPECT_EQ(received.load(), 0u) << t;
    EXPECT_EQ(FileBytes(target), std::vector<uint8_t>({'o', 'l', 'd'})) << t;
    EXPECT_EQ(RequestsFor(t).size(), 1u) << t;
  }
  const std::u16string fresh = Path(u"fresh.bin");
  CHttpTransfer transfer;
  EXPECT_EQ(transfer.GetToFile(fresh.c_str(), Url("/__data/10?empty=1&t=fresh").c_str()), kTransferFailed);
  EXPECT_FALSE(FileExistsAt(fresh));
}

TEST_F(WithServer, BadAddressesFailWithoutARequest) {
  const std::u16string target = Path(u"x.bin");
  const std::u16string urls[] = {u"", u"   ", u"http://:1/x", u"http://127.0.0.1:99999/x"};
  for (const auto& url : urls) {
    CHttpTransfer transfer;
    EXPECT_EQ(transfer.GetToFile(target.c_str(), url.c_str()), kTransferFailed);
  }
  CHttpTransfer transfer;
  EXPECT_EQ(transfer.GetToFile(target.c_str(), u"http://127.0.0.1:1/refused"), kTransferFailed);
  EXPECT_FALSE(FileExistsAt(target));
}

TEST_F(WithServer, HttpsIsNeverRequestedAsPlainHttp) {
  // The test server speaks plain HTTP only: a secure request to it must fail
  // rather than fall back to an unencrypted GET.
  const std::string port = server_.substr(server_.find(':'));
  uint8_t buffer[256];
  CHttpTransfer transfer;
  EXPECT_EQ(transfer.GetToMemory(buffer, sizeof buffer, Widen("https://127.0.0.1" + port + "/__data/10?t=tls").c_str()),
            kTransferFailed);
  EXPECT_TRUE(RequestsFor("/__data/10?t=tls").empty());
}

TEST_F(WithServer, BodyWithoutLengthEndsAtTheClose) {
  const std::u16string target = Path(u"nolength.bin");
  std::atomic<uint32_t> received{0}, total{77};
  CHttpTransfer transfer;
  transfer.SetCounters(&received, &total);
  EXPECT_EQ(transfer.GetToFile(target.c_str(), Url("/__data/250000?nolength=1&t=nolength").c_str()), kTransferOk);
  EXPECT_EQ(total.load(), 0u);
  EXPECT_EQ(received.load(), 250000u);
  std::vector<uint8_t> bytes = FileBytes(target);
  EXPECT_EQ(bytes.size(), 250000u);
  EXPECT_TRUE(IsPattern(bytes.data(), bytes.size()));
}

TEST_F(WithServer, BodyCutShortOfItsLengthFails) {
  const std::u16string target = Path(u"cut.bin");
  std::atomic<uint32_t> received{0}, total{0};
  CHttpTransfer transfer;
  transfer.SetCounters(&received, &total);
  const int32_t result = transfer.GetToFile(target.c_str(), Url("/__data/1000?cut=600&t=cut").c_str());
  EXPECT_EQ(result, kTransferCutShort);
  EXPECT_FALSE(transfer.Succeeded());
  EXPECT_EQ(total.load(), 1000u);
  EXPECT_EQ(received.load(), 600u);
  EXPECT_EQ(FileBytes(target).size(), 600u);

  uint8_t buffer[2000];
  EXPECT_EQ(transfer.GetToMemory(buffer, sizeof buffer, Url("/__data/1000?cut=600&t=cutmem").c_str()), kTransferCutShort);
  EXPECT_EQ(buffer[0], 0);
}

// A body that stops half-way fails promptly and keeps what arrived. WinINet
// reports a dropped or timed-out connection either as a failed read (retried,
// then -4) or as the end of the data (-5 against the announced length).
TEST_F(WithServer, BodyThatStopsHalfWayFailsPromptly) {
  struct Case {
    std::string target;
    uint32_t timeoutMs;
  };
  const Case cases[] = {
      {"/__data/1000?cut=600&stall=10000&t=silent", 300},     // falls silent: receive time-out
      {"/__data/1000?cut=600&stall=300&reset=1&t=reset", kTransferTimeoutMs},  // connection reset
  };
  for (const auto& c : cases) {
    const std::u16string target = Path(u"stalled.bin");
    std::atomic<uint32_t> received{0};
    CHttpTransfer transfer;
    transfer.SetCounters(&received, nullptr);
    transfer.Open(c.timeoutMs, kUpdaterUserAgent);
    const auto start = std::chrono::steady_clock::now();
    const int32_t result = transfer.GetToFile(target.c_str(), Url(c.target).c_str());
    EXPECT_TRUE(result == kTransferReadFailed || result == kTransferCutShort) << c.target << ": " << result;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << c.target;
    EXPECT_EQ(received.load(), 600u) << c.target;
    EXPECT_EQ(FileBytes(target).size(), 600u) << c.target;
  }
}

TEST_F(WithServer, WriteFailureIsReported) {
  const std::u16string target = Path(u"no such folder\\setup.exe");
  std::atomic<uint32_t> received{0};
  CHttpTransfer transfer;
  transfer.SetCounters(&received, nullptr);
  EXPECT_EQ(transfer.GetToFile(target.c_str(), Url("/__data/5000?t=write").c_str()), kTransferWriteFailed);
  EXPECT_FALSE(transfer.Succeeded());
}

TEST_F(WithServer, AbortBeforeTheRequestSendsNothing) {
  std::atomic<uint8_t> abort{1};
  CHttpTransfer transfer;
  transfer.SetAbortFlag(&abort);
  const std::u16string target = Path(u"aborted.bin");
  EXPECT_EQ(transfer.GetToFile(target.c_str(), Url("/__data/10?t=abort0").c_str()), kTransferFailed);
  EXPECT_TRUE(RequestsFor("/__data/10?t=abort0").empty());
  EXPECT_FALSE(FileExistsAt(target));
}

TEST_F(WithServer, AbortDuringTheBodyStopsAndKeepsThePart) {
  const std::u16string target = Path(u"partial.bin");
  std::atomic<uint32_t> received{0}, total{0};
  std::atomic<uint8_t> abort{0};
  CHttpTransfer transfer;
  transfer.SetCounters(&received, &total);
  transfer.SetAbortFlag(&abort);
  std::thread watcher([&] {
    while (received.load() < 2000) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    abort.store(1);
  });
  // 100 chunks of 1000 bytes, 50 ms apart: about five seconds unless aborted.
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(transfer.GetToFile(target.c_str(), Url("/__data/100000?delay=50&chunk=1000&t=abort").c_str()),
            kTransferAborted);
  watcher.join();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));
  EXPECT_GE(received.load(), 2000u);
  EXPECT_LT(received.load(), 100000u);
  std::vector<uint8_t> bytes = FileBytes(target);
  EXPECT_EQ(bytes.size(), received.load());
  EXPECT_TRUE(IsPattern(bytes.data(), bytes.size()));
}

TEST_F(WithServer, ProgressMovesAndTheFileKeepsUpWithIt) {
  const std::u16string target = Path(u"slow.bin");
  std::atomic<uint32_t> received{0}, total{0};
  std::atomic<bool> done{false};
  CHttpTransfer transfer;
  transfer.SetCounters(&received, &total);
  std::vector<uint32_t> seen;
  bool fileBehind = false;
  std::thread watcher([&] {
    while (!done.load()) {
      uint32_t count = received.load();
      if (count > 0 && (seen.empty() || seen.back() != count)) {
        seen.push_back(count);
        // Every byte counted is already in the file.
        if (FileBytes(target).size() < count) fileBehind = true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  });
  EXPECT_EQ(transfer.GetToFile(target.c_str(), Url("/__data/40000?delay=40&chunk=2000&t=progress").c_str()),
            kTransferOk);
  done.store(true);
  watcher.join();
  EXPECT_GE(seen.size(), 5u);
  EXPECT_FALSE(fileBehind);
  EXPECT_EQ(FileBytes(target).size(), 40000u);
}

TEST_F(WithServer, FollowsRedirects) {
  uint8_t buffer[64];
  CHttpTransfer transfer;
  const std::string to = "http://" + server_ + "/__data/20?t=moved";
  EXPECT_EQ(transfer.GetToMemory(buffer, sizeof buffer, Url("/__data/1?redirect=" + to + "&t=redirect").c_str()),
            kTransferOk);
  EXPECT_EQ(transfer.BytesReceived(), 20u);
  EXPECT_EQ(RequestsFor("/__data/20?t=moved").size(), 1u);
}

TEST_F(WithServer, PostSendsTheFormHeaderAndBody) {
  CUrlParts url;
  ASSERT_TRUE(SplitUrl(Url("/__data/5?t=post").c_str(), url));
  uint8_t buffer[64];
  CHttpTransfer transfer;
  EXPECT_EQ(transfer.Transfer(nullptr, buffer, sizeof buffer, u"POST", "a=1&b=2", url, u"u", u"x"), kTransferOk);
  auto requests = RequestsFor("/__data/5?t=post");
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_NE(requests[0].find("\"method\": \"POST\""), std::string::npos);
  EXPECT_NE(requests[0].find("\"body\": \"a=1&b=2\""), std::string::npos) << requests[0];
  EXPECT_NE(requests[0].find("\"Content-Type\": \"application/x-www-form-urlencoded\""), std::string::npos);
}

TEST_F(WithServer, RemotePadDocumentIsReadAndSavedByteForByte) {
  const std::vector<uint8_t> expected = Fixture("DANTravisD__PAD_files.xml");  // CRLF
  CPadDocument doc;
  const std::string local = "<Program_Version>2.9</Program_Version>";
  doc.LoadLocalBytes(reinterpret_cast<const uint8_t*>(local.data()), local.size());
  ASSERT_TRUE(doc.ReadRemote(Url("/pad/DANTravisD__PAD_files.xml?t=pad").c_str()));
  EXPECT_EQ(doc.remoteVersionNumber, 20010u);
  EXPECT_EQ(doc.localVersionNumber, 20009u);
  EXPECT_EQ(doc.fileSize, 130190744);
  auto requests = RequestsFor("/pad/DANTravisD__PAD_files.xml?t=pad");
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_NE(requests[0].find("\"User-Agent\": \"Quorvane Tollwren\""), std::string::npos);

  const std::u16string saved = Path(u"pad.xml");
  ASSERT_TRUE(doc.SaveLocalFile(saved.c_str()));
  EXPECT_EQ(FileBytes(saved), expected);

  // The next run reads the new version from the saved file.
  CPadDocument next;
  ASSERT_TRUE(next.ReadLocalFile(saved.c_str()));
  EXPECT_EQ(next.localVersionNumber, 20010u);
  EXPECT_EQ(next.padFileUrl, u"https://freevpnplanet.com/pad_file.xml");

  // A failed fetch changes nothing.
  EXPECT_FALSE(doc.ReadRemote(Url("/pad/missing.xml?t=pad404").c_str()));
  EXPECT_FALSE(doc.ReadRemote(Url("/pad/x.xml?empty=1&t=padempty").c_str()));
  EXPECT_EQ(doc.remoteVersionNumber, 20010u);
  EXPECT_EQ(FileBytes(saved), expected);
}

}  // namespace
