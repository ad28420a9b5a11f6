// The update flow: the worker thread that checks the web for a newer PAD
// document, asks the user, downloads and starts the installer and replaces
// pad.xml, and the dialog-side handlers that answer it (commands, timers,
// text refresh). The worker never touches control texts: it posts the
// rendered texts to the dialog. Windows only.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "tollwren/language/language_text.h"
#include "tollwren/pad/version_number.h"
#include "tollwren/trust/trust_formats.h"

class CPadDocument;
class CLanguageFile;
class CPublisherKeys;
class CDownloadFile;
class CPrivateFolder;

// Messages.
constexpr UINT kNotifyMessage = WM_APP + 6;        // to the notification window: wParam code
constexpr UINT kTextRefreshMessage = WM_USER + 11;  // to the dialog: wParam 900 or 901, lParam its number
constexpr UINT kProgressTimerMessage = WM_USER + 12;  // to the dialog: wParam 1 start, 0 stop
constexpr UINT kButtonRefreshMessage = WM_USER + 13;  // to the dialog: show the choice buttons' keys
constexpr WPARAM kRefreshStatus = 900;
constexpr WPARAM kRefreshNews = 901;

// Notification codes.
enum : WPARAM {
  kCodeStarted = 300,
  kCodeChecking = 311,
  kCodeNewer = 312,
  kCodeOlder = 313,
  kCodeDownloading = 315,
  kCodeDownloaded = 317,
  kCodeInstallerStarted = 319,
  kCodeUserAborted = 370,
  kCodeFailed = 380,
  kCodeEnding = 390,
};

// Controls and commands of the main dialog that the flow uses.
constexpr int kStartCommand = IDOK;       // 1
constexpr int kCancelCommand = IDCANCEL;  // 2
constexpr int kStatusLineId = 1008;
constexpr int kNewsLineId = 1007;
constexpr int kChoiceButtonIds[3] = {1013, 1014, 1015};
constexpr int kProgressBarId = 1016;

constexpr UINT_PTR kEndTimerId = 1111;
constexpr UINT_PTR kProgressTimerId = 2222;
constexpr UINT kEndDelayMs = 7000;
constexpr UINT kProgressPeriodMs = 500;
constexpr DWORD kChoicePollMs = 250;
constexpr size_t kKeyLimit = 499;
// Transfers one update may take in all, resumptions included.
constexpr int kDownloadAttemptLimit = 5;
// The most a copy without a publisher key downloads: what the transfer's
// 32-bit counters can count.
constexpr uint64_t kUnsignedDownloadLimit = 0xFFFFFFFFull;
// Exit status of an unattended run.
enum : int { kOutcomeDone = 0, kOutcomeFailed = 1, kOutcomeRefused = 2 };

class CUpdateFlow {
 public:
  CUpdateFlow(CPadDocument& pad, CLanguageFile& language);
  virtual ~CUpdateFlow();
  CUpdateFlow(const CUpdateFlow&) = delete;
  CUpdateFlow& operator=(const CUpdateFlow&) = delete;

  // Set by the dialog before Start.
  HWND dialog = nullptr;
  HWND notifyWindow = nullptr;   // from "/NOTIFY:"; null when absent
  bool hiddenMode = false;       // "/HIDE"
  // "/SILENT" in a signed copy: no window, nothing asked; a newer version
  // is installed with the PAD's silent installer arguments, and the exit
  // status tells what happened (kOutcome...).
  bool silentMode = false;
  std::u16string skipFilePath;   // skip.txt beside pad.xml
  std::u16string programFolder;  // the updater's folder, with its trailing backslash
  std::u16string padFilePath;    // the local pad.xml
  // The publisher's keys when the copy is signed; null or unsigned keys
  // for a copy that trusts the network.
  const CPublisherKeys* keys = nullptr;
  UINT endDelayMs = kEndDelayMs;
  // Called on the worker after the language document was filled with the
  // remote values, to have the dialog render its own texts (title, footer)
  // again. It must not touch those texts itself: post to the dialog.
  std::function<void()> onLanguageReloaded;

  // Dialog thread. Handles the flow's messages of the main dialog: commands
  // 1, 2, 1013 to 1015, timers 1111 and 2222, the text refresh,
  // WM_ENDSESSION and the progress timer request. True when handled.
  bool HandleDialogMessage(UINT message, WPARAM wParam, LPARAM lParam);

  // Command 1: disables control 1, hides the dialog in hidden mode and starts
  // the worker (once per process). False when the worker did not start.
  bool Start();
  // Command 2: abort the transfer and request cancel; the first cancel ends
  // the program after endDelayMs, a second one (or one after the flow has
  // decided to end) at once.
  void Cancel();
  // Commands 1013 to 1015.
  void Choose(uint8_t choice);
  // A start that failed before the flow (no pad.xml): an unattended run
  // ends at once with the failure's exit status.
  void EndFailed();

  // Either thread: renders key into the status (or news) text, remembers
  // the key and posts the text refresh to the dialog.
  void ShowStatus(std::u16string_view key);
  void ShowNews(std::u16string_view key);
  void Notify(WPARAM code, LPARAM lParam = 0) const;
  // Renders the current status, news and choice button keys again (after a
  // new language was picked or loaded). A text the worker renders at the
  // same time reaches the dialog first, so the newer language wins.
  void RenderAgain();
  std::u16string Render(std::u16string_view key);

  // The text a text refresh message of the worker stands for; empty for a
  // message that did not come from the flow (any program may post it) or
  // that was handled already.
  std::u16string RefreshText(WPARAM which, LPARAM number) const;

  // The PAD document in use, read on the dialog thread while the worker
  // cannot replace it with the downloaded one. read gets a const reference.
  template <typename Read>
  auto ReadPad(Read&& read) const {
    std::lock_guard<std::mutex> hold(padLock_);
    return read(static_cast<const CPadDocument&>(pad_));
  }

  std::u16string StatusKey() const;
  std::u16string NewsKey() const;
  std::u16string DownloadFilePath() const;
  bool WorkerRunning() const;
  // Waits for the worker to end, answering the window calls it makes to
  // this thread meanwhile; false on time-out.
  bool WaitForWorker(DWORD timeoutMs);

  // Shared with the worker and the transfer.
  std::atomic<uint32_t> bytesReceived{0};
  std::atomic<uint32_t> bytesExpected{0};
  std::atomic<uint8_t> choice{0};
  std::atomic<uint8_t> abortTransfer{0};
  std::atomic<bool> cancelRequested{false};
  std::atomic<bool> closing{false};
  // File_Size_Bytes of the downloaded PAD document: stands in for the bytes
  // expected while the server has not announced a length.
  std::atomic<int32_t> fileSize{0};

  // The worker's steps, public so that a test may run one on its own thread.
  void RunWorker();
  // Downloads the installer from the first of urls that gives it whole,
  // into the program folder (or a new folder of its own under TEMP when a
  // file of that name is there already or writing there fails). A transfer
  // broken after some bytes is resumed: from the same address while it
  // brings more, then from the next ones; kDownloadAttemptLimit transfers
  // in all. True when the installer was received and, where a digest is
  // expected, matched it; it is then held open for starting.
  bool DownloadFrom(const std::u16string* urls, int count);
  // The context menu's "skip this version" while a newer version is offered:
  // remembers it in skip.txt and answers as "no" does.
  void SkipOfferedVersion();
  bool OffersNewerVersion() const { return offeringNewer_; }
  // Whether the copy checks signatures.
  bool IsSigned() const;
  // How the copy compares versions: a signed one by every number.
  VersionRule Rule() const;

 private:
  static DWORD WINAPI WorkerEntry(void* flow);
  void PostText(WPARAM which, const std::u16string& text);
  void SetChoiceButtons(const char16_t* first, const char16_t* second, const char16_t* third);
  // Shows the choice buttons of the current keys; on the dialog thread only
  // (the worker posts kButtonRefreshMessage), so that captions of two
  // languages never cross.
  void ShowButtonCaptions();
  void RequestButtonCaptions();
  void BringDialogForward();
  bool CheckSignature(const std::vector<uint8_t>& padBytes);
  // What was fetched is not used: error_signature, 380, exit status 2.
  void Refuse();
  void CheckFetchedVersion(const std::vector<uint8_t>& fetched);
  bool ReadExpectedInstaller();
  bool SkippedQuietly();
  bool Matches(CDownloadFile& file, uint32_t wholeLength);
  void DownloadAndInstall();
  void StartInstaller();
  // The file an attempt writes to, beside the program when asked and
  // possible, else in a new folder under TEMP (its path in ownFolder).
  std::shared_ptr<CDownloadFile> CreateDownloadFile(const std::u16string& name, bool besideProgram,
                                                    std::unique_ptr<CPrivateFolder>& ownFolder);
  void ShowStatusLocked(std::u16string_view key);
  // Whether the status line shows the download under way: progress ticks
  // render only then (checked under renderLock_), so that none replaces
  // the download's last word.
  bool ShowsProgress() const;
  void OnProgressTimer();
  CDownloadFigures Figures();
  void StoreFigures(const CDownloadFigures& figures);
  void ShowControl(int id, bool show);

  CPadDocument& pad_;
  CLanguageFile& language_;
  // The worker replaces pad_ under padLock_; the dialog thread reads it only
  // through ReadPad. The worker, its only writer, reads it freely.
  mutable std::mutex padLock_;
  // Held while a text is rendered and posted, so that texts reach the dialog
  // in the order they were rendered. Taken before lock_, never after.
  std::mutex renderLock_;
  mutable std::mutex lock_;  // guards the keys and the download names below
  std::u16string statusKey_;
  std::u16string newsKey_;
  std::u16string buttonKeys_[3];
  std::u16string downloadUrl_;
  std::u16string downloadName_;
  std::u16string downloadPath_;
  // Texts rendered for the dialog, each under the number its message
  // carries, until the dialog has shown it (guarded by lock_).
  struct CPendingText {
    LPARAM number;
    WPARAM which;
    std::u16string text;
  };
  std::deque<CPendingText> pendingTexts_;
  LPARAM lastTextNumber_ = 0;
  // What the download must be: its digest when the PAD names one (always
  // in a signed copy) and, in a signed copy, its exact size. Worker only.
  bool expectDigest_ = false;
  CSha256Digest expectedDigest_{};
  uint64_t expectedSize_ = 0;
  bool refusedDownload_ = false;  // an attempt got bytes that did not match
  std::shared_ptr<CDownloadFile> installer_;  // the download held for starting
  std::unique_ptr<CPrivateFolder> installerFolder_;  // its folder, when one of its own
  HANDLE worker_ = nullptr;
  std::atomic<bool> started_{false};
  std::atomic<bool> ended_{false};  // 390 posted: nothing more is reported
  std::atomic<bool> offeringNewer_{false};
  std::atomic<int> outcome_{kOutcomeDone};
};
