// The update flow's worker and its dialog side: the check, the question and
// the texts and codes that report each step. Windows only.
#include "tollwren/flow/update_flow.h"

#include <commctrl.h>
#include <objbase.h>

#include <vector>

#include "common/text16.h"
#include "tollwren/flow/download_file_win.h"
#include "tollwren/flow/flow_rules.h"
#include "tollwren/flow/private_folder_win.h"
#include "tollwren/flow/skipped_version.h"
#include "tollwren/language/language_file.h"
#include "tollwren/pad/pad_document.h"
#include "tollwren/pad/version_number.h"
#include "tollwren/transfer/transfer_runner_win.h"
#include "tollwren/transfer/url_parts.h"
#include "tollwren/trust/publisher_keys_win.h"

namespace {

std::u16string CutKey(std::u16string_view key) { return std::u16string(key.substr(0, kKeyLimit)); }

// At most this many rendered texts wait for the dialog; older ones are
// dropped (the dialog shows only the newest of a kind anyway).
constexpr size_t kPendingTextLimit = 64;

}  // namespace

CUpdateFlow::CUpdateFlow(CPadDocument& pad, CLanguageFile& language) : pad_(pad), language_(language) {}

CUpdateFlow::~CUpdateFlow() {
  if (worker_) {
    // A worker still running (the program ends during a transfer) is told to
    // stop; its transfer gives up within one read.
    abortTransfer = 1;
    cancelRequested = true;
    WaitForWorker(kTransferTimeoutMs + 5000);
    CloseHandle(worker_);
  }
}

bool CUpdateFlow::HandleDialogMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case kStartCommand: Start(); return true;
        case kCancelCommand: Cancel(); return true;
        case 1013: Choose(1); return true;
        case 1014: Choose(2); return true;
        case 1015: Choose(3); return true;
        default: return false;
      }
    case WM_TIMER:
      if (wParam == kEndTimerId) {
        KillTimer(dialog, kEndTimerId);
        PostMessageW(dialog, WM_COMMAND, kCancelCommand, 0);
        return true;
      }
      if (wParam == kProgressTimerId) {
        OnProgressTimer();
        return true;
      }
      return false;
    case kTextRefreshMessage: {
      // Only texts the flow rendered are shown; the numbers of other posts
      // of this message find nothing.
      std::u16string text;
      bool found = false;
      {
        std::lock_guard<std::mutex> hold(lock_);
        for (auto it = pendingTexts_.begin(); it != pendingTexts_.end(); ++it) {
          if (it->number == lParam && it->which == wParam) {
            text = std::move(it->text);
            pendingTexts_.erase(pendingTexts_.begin(), it + 1);
            found = true;
            break;
          }
        }
      }
      if (found) SetDlgItemTextW(dialog, wParam == kRefreshNews ? kNewsLineId : kStatusLineId, AsWide(text.c_str()));
      return true;
    }
    case kProgressTimerMessage:
      if (wParam) {
        SetTimer(dialog, kProgressTimerId, kProgressPeriodMs, nullptr);
      } else {
        KillTimer(dialog, kProgressTimerId);
      }
      return true;
    case kButtonRefreshMessage:
      ShowButtonCaptions();
      return true;
    case WM_ENDSESSION:
      // FALSE: the session goes on after all (the user cancelled the
      // shutdown), and so does the updater.
      if (!wParam) return true;
      // 390 is posted once and stays the last code: the worker may still
      // post its last code and command 2 while the quit message waits
      // behind them.
      if (!ended_.exchange(true)) Notify(kCodeEnding);
      PostQuitMessage(silentMode ? static_cast<int>(outcome_.load()) : 0);
      return true;
    default:
      return false;
  }
}

bool CUpdateFlow::Start() {
  if (started_.exchange(true)) return false;
  EnableWindow(GetDlgItem(dialog, kStartCommand), FALSE);
  if (hiddenMode) ShowWindow(dialog, SW_HIDE);
  worker_ = CreateThread(nullptr, 0, WorkerEntry, this, 0, nullptr);
  return worker_ != nullptr;
}

void CUpdateFlow::Cancel() {
  abortTransfer = 1;
  cancelRequested = true;
  if (closing.exchange(true)) {
    PostMessageW(dialog, WM_ENDSESSION, TRUE, 0);
  } else {
    SetTimer(dialog, kEndTimerId, endDelayMs, nullptr);
  }
}

void CUpdateFlow::Choose(uint8_t value) { choice = value; }

void CUpdateFlow::EndFailed() {
  outcome_ = kOutcomeFailed;
  if (silentMode) closing = true;
}

void CUpdateFlow::Notify(WPARAM code, LPARAM lParam) const {
  if (notifyWindow && (code == kCodeEnding || !ended_)) PostMessageW(notifyWindow, kNotifyMessage, code, lParam);
}

CDownloadFigures CUpdateFlow::Figures() {
  CDownloadFigures figures;
  figures.bytesReceived = bytesReceived.load();
  figures.bytesExpected = bytesExpected.load();
  figures.fileSize = fileSize.load();
  std::lock_guard<std::mutex> hold(lock_);
  figures.url = downloadUrl_;
  figures.fileName = downloadName_;
  figures.filePath = downloadPath_;
  return figures;
}

void CUpdateFlow::StoreFigures(const CDownloadFigures& figures) {
  // Showing a total before the server answered makes the file size the
  // bytes expected.
  uint32_t none = 0;
  if (figures.bytesExpected != 0) bytesExpected.compare_exchange_strong(none, figures.bytesExpected);
}

std::u16string CUpdateFlow::Render(std::u16string_view key) {
  CDownloadFigures figures = Figures();
  std::u16string text = language_.Render(key, figures);
  StoreFigures(figures);
  return text;
}

void CUpdateFlow::PostText(WPARAM which, const std::u16string& text) {
  if (!dialog) return;
  LPARAM number = 0;
  {
    std::lock_guard<std::mutex> hold(lock_);
    number = ++lastTextNumber_;
    pendingTexts_.push_back({number, which, text});
    if (pendingTexts_.size() > kPendingTextLimit) pendingTexts_.pop_front();
  }
  if (!PostMessageW(dialog, kTextRefreshMessage, which, number)) {
    std::lock_guard<std::mutex> hold(lock_);
    if (!pendingTexts_.empty() && pendingTexts_.back().number == number) pendingTexts_.pop_back();
  }
}

std::u16string CUpdateFlow::RefreshText(WPARAM which, LPARAM number) const {
  std::lock_guard<std::mutex> hold(lock_);
  for (const CPendingText& pending : pendingTexts_) {
    if (pending.number == number && pending.which == which) return pending.text;
  }
  return std::u16string();
}

void CUpdateFlow::ShowStatus(std::u16string_view key) {
  std::lock_guard<std::mutex> order(renderLock_);
  ShowStatusLocked(key);
}

void CUpdateFlow::ShowStatusLocked(std::u16string_view key) {
  {
    std::lock_guard<std::mutex> hold(lock_);
    statusKey_ = CutKey(key);
  }
  PostText(kRefreshStatus, Render(key));
}

void CUpdateFlow::ShowNews(std::u16string_view key) {
  std::lock_guard<std::mutex> order(renderLock_);
  {
    std::lock_guard<std::mutex> hold(lock_);
    newsKey_ = CutKey(key);
  }
  PostText(kRefreshNews, Render(key));
}

bool CUpdateFlow::ShowsProgress() const {
  std::lock_guard<std::mutex> hold(lock_);
  return statusKey_ == u"download_start" || statusKey_ == u"download_progress";
}

std::u16string CUpdateFlow::StatusKey() const {
  std::lock_guard<std::mutex> hold(lock_);
  return statusKey_;
}

std::u16string CUpdateFlow::NewsKey() const {
  std::lock_guard<std::mutex> hold(lock_);
  return newsKey_;
}

std::u16string CUpdateFlow::DownloadFilePath() const {
  std::lock_guard<std::mutex> hold(lock_);
  return downloadPath_;
}

void CUpdateFlow::RenderAgain() {
  {
    std::lock_guard<std::mutex> order(renderLock_);
    const std::u16string status = StatusKey();
    const std::u16string news = NewsKey();
    PostText(kRefreshStatus, status.empty() ? std::u16string() : Render(status));
    PostText(kRefreshNews, news.empty() ? std::u16string() : Render(news));
  }
  RequestButtonCaptions();
}

void CUpdateFlow::RequestButtonCaptions() {
  if (!dialog) return;
  if (GetWindowThreadProcessId(dialog, nullptr) == GetCurrentThreadId()) {
    ShowButtonCaptions();
  } else {
    PostMessageW(dialog, kButtonRefreshMessage, 0, 0);
  }
}

void CUpdateFlow::ShowControl(int id, bool show) {
  HWND control = GetDlgItem(dialog, id);
  if (control) ShowWindow(control, show ? SW_SHOW : SW_HIDE);
}

void CUpdateFlow::ShowButtonCaptions() {
  std::u16string keys[3];
  {
    std::lock_guard<std::mutex> hold(lock_);
    for (int i = 0; i < 3; ++i) keys[i] = buttonKeys_[i];
  }
  for (int i = 0; i < 3; ++i) {
    const std::u16string caption = language_.Caption(keys[i]);
    HWND button = GetDlgItem(dialog, kChoiceButtonIds[i]);
    if (!button) continue;
    SetWindowTextW(button, AsWide(caption.c_str()));
    ShowWindow(button, caption.empty() ? SW_HIDE : SW_SHOW);
  }
}

void CUpdateFlow::SetChoiceButtons(const char16_t* first, const char16_t* second, const char16_t* third) {
  {
    std::lock_guard<std::mutex> hold(lock_);
    buttonKeys_[0] = first ? first : u"";
    buttonKeys_[1] = second ? second : u"";
    buttonKeys_[2] = third ? third : u"";
  }
  RequestButtonCaptions();
}

void CUpdateFlow::BringDialogForward() {
  ShowWindow(dialog, SW_SHOW);
  SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  Sleep(50);
  SetWindowPos(dialog, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void CUpdateFlow::OnProgressTimer() {
  // A tick that comes after the download's last word shows nothing: the
  // timer is stopped by a message that may still wait behind it.
  std::lock_guard<std::mutex> order(renderLock_);
  if (!ShowsProgress()) return;
  SendDlgItemMessageW(dialog, kProgressBarId, PBM_SETPOS,
                      static_cast<WPARAM>(ProgressPercent(bytesReceived.load(), bytesExpected.load())), 0);
  ShowStatusLocked(u"download_progress");
}

bool CUpdateFlow::WorkerRunning() const {
  return worker_ && WaitForSingleObject(worker_, 0) == WAIT_TIMEOUT;
}

bool CUpdateFlow::WaitForWorker(DWORD timeoutMs) {
  if (!worker_) return true;
  // The worker sets control texts and shows windows of this thread, which
  // waits for this thread to answer: answer those calls while waiting.
  const DWORD start = GetTickCount();
  for (;;) {
    const DWORD spent = GetTickCount() - start;
    if (spent >= timeoutMs) return WaitForSingleObject(worker_, 0) == WAIT_OBJECT_0;
    const DWORD result = MsgWaitForMultipleObjects(1, &worker_, FALSE, timeoutMs - spent, QS_SENDMESSAGE);
    if (result == WAIT_OBJECT_0) return true;
    if (result != WAIT_OBJECT_0 + 1) return WaitForSingleObject(worker_, 0) == WAIT_OBJECT_0;
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

DWORD WINAPI CUpdateFlow::WorkerEntry(void* flow) {
  // The shell's elevation prompt for an installer (ShellExecuteExW) needs COM
  // on the calling thread.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  static_cast<CUpdateFlow*>(flow)->RunWorker();
  if (SUCCEEDED(com)) CoUninitialize();
  return 0;
}

bool CUpdateFlow::IsSigned() const { return keys && keys->IsSigned(); }

VersionRule CUpdateFlow::Rule() const { return IsSigned() ? VersionRule::kAllNumbers : VersionRule::kMajorMinor; }

void CUpdateFlow::Refuse() {
  outcome_ = kOutcomeRefused;
  if (cancelRequested) return;
  ShowStatus(u"error_signature");
  Notify(kCodeFailed);
}

void CUpdateFlow::RunWorker() {
  Notify(kCodeChecking);
  ShowStatus(u"checking_website");
  // The folders of earlier downloads go, and the installers started from them.
  RemoveFoldersLeftBehind(TempFolder());

  std::vector<uint8_t> fetched;
  if (CPadDocument::FetchRemote(pad_.padFileUrl.c_str(), &abortTransfer, fetched)) {
    // In a signed copy no field of the fetched document is used before its
    // signature is known to be good; in every copy it must read as it will
    // read once stored.
    if ((IsSigned() && !CheckSignature(fetched)) || FetchedPadProblem(fetched.data(), fetched.size())) {
      Refuse();
    } else {
      CheckFetchedVersion(fetched);
    }
  } else {
    outcome_ = kOutcomeFailed;
  }
  // Nobody reads the last word of a run without a window.
  if (silentMode) closing = true;
  if (dialog) PostMessageW(dialog, WM_COMMAND, kCancelCommand, 0);
}

bool CUpdateFlow::CheckSignature(const std::vector<uint8_t>& padBytes) {
  CTransferRunner runner;
  runner.SetAbortFlag(&abortTransfer);
  runner.SetDeadline(kRemoteFetchDeadlineMs);
  std::vector<uint8_t> signature;
  runner.GetToMemory(signature, static_cast<uint32_t>(kSignatureByteLimit), SignatureUrl(pad_.padFileUrl.c_str()));
  return runner.Succeeded() && keys->Verify(padBytes.data(), padBytes.size(), signature.data(), signature.size());
}

void CUpdateFlow::CheckFetchedVersion(const std::vector<uint8_t>& fetched) {
  // The remote document is read into a copy, so the dialog thread never sees
  // a half-updated document.
  CPadDocument remote = pad_;
  remote.LoadRemoteBytes(fetched.data(), fetched.size());
  // A publisher may rename its product or move its PAD file, one at a time:
  // a signed PAD that differs in both is another of its products.
  if (IsSigned() && remote.CurrentField(u"Program_Name", kPadShortLimit) != pad_.programName &&
      remote.CurrentField(u"Application_XML_File_URL", kPadLongLimit) != pad_.padFileUrl) {
    Refuse();
    return;
  }
  {
    std::lock_guard<std::mutex> hold(padLock_);
    pad_ = remote;
  }
  fileSize = pad_.fileSize;
  bytesExpected = pad_.fileSize > 0 ? static_cast<uint32_t>(pad_.fileSize) : 0;
  language_.Refill(pad_, padFilePath);
  RenderAgain();
  if (onLanguageReloaded) onLanguageReloaded();
  if (dialog) InvalidateRect(dialog, nullptr, TRUE);

  WPARAM askCode = 0;
  switch (CompareVersionTexts(Rule(), pad_.localVersionText, pad_.remoteVersionText)) {
    case VersionCompare::kNoRemoteVersion:
      ShowStatus(u"error_internet");
      outcome_ = kOutcomeFailed;
      break;
    case VersionCompare::kSame:
      ShowStatus(u"web_version_same");
      break;
    case VersionCompare::kRemoteOlder:
      if (hiddenMode) break;
      ShowStatus(u"web_version_older");
      // A signed copy never goes back: an older signed PAD may be replayed.
      if (!IsSigned()) askCode = kCodeOlder;
      break;
    case VersionCompare::kRemoteNewer:
      if (!pad_.changeInfo.empty()) ShowNews(u"version_news");
      ShowStatus(u"web_version_newer");
      askCode = kCodeNewer;
      break;
  }
  if (askCode == kCodeNewer && SkippedQuietly()) return;
  if (!askCode) return;
  // Nothing is offered that could not be checked once it arrives.
  if (!ReadExpectedInstaller()) {
    Refuse();
    return;
  }

  // Unattended: a newer signed version is installed without a word.
  if (silentMode) {
    Notify(askCode);
    if (askCode == kCodeNewer) DownloadAndInstall();
    return;
  }

  // The choice is cleared before anyone learns of the question, so that
  // an answer given at once is not lost.
  choice = 0;
  Notify(askCode);
  BringDialogForward();
  offeringNewer_ = askCode == kCodeNewer;
  SetChoiceButtons(u"yes", nullptr, u"no");
  while (!cancelRequested && choice == 0) Sleep(kChoicePollMs);
  offeringNewer_ = false;
  SetChoiceButtons(nullptr, nullptr, nullptr);
  const uint8_t chosen = cancelRequested ? 0 : choice.load();
  if (chosen == 1) {
    DownloadAndInstall();
  } else {
    ShowStatus(u"user_aborted");
    Notify(kCodeUserAborted);
    // A cancel while asking ends the program at once.
    if (chosen == 0) closing = true;
  }
}

bool CUpdateFlow::SkippedQuietly() {
  if (skipFilePath.empty()) return false;
  const SkipDecision decision = DecideSkip(ReadSkippedVersion(skipFilePath), pad_.remoteVersionText, Rule());
  if (decision == SkipDecision::kForget) DeleteFileW(AsWide(skipFilePath.c_str()));
  // Asked for by hand, a skipped version is still offered.
  if (decision != SkipDecision::kSkip || !(hiddenMode || silentMode)) return false;
  Notify(kCodeUserAborted);
  closing = true;
  return true;
}

void CUpdateFlow::SkipOfferedVersion() {
  if (!offeringNewer_ || skipFilePath.empty()) return;
  const std::u16string version = ReadPad([](const CPadDocument& pad) { return pad.remoteVersionText; });
  WriteSkippedVersion(skipFilePath, version);
  Choose(3);
}

void CUpdateFlow::DownloadAndInstall() {
  ShowStatus(u"download_start");
  Notify(kCodeDownloading);
  if (dialog) PostMessageW(dialog, kProgressTimerMessage, 1, 0);
  ShowControl(kProgressBarId, true);
  abortTransfer = 0;
  // A cancel that came in just now must still stop the transfer.
  if (cancelRequested) abortTransfer = 1;

  const bool downloaded = DownloadFrom(pad_.downloadUrls, kDownloadUrlCount);

  ShowControl(kProgressBarId, false);
  if (dialog) PostMessageW(dialog, kProgressTimerMessage, 0, 0);

  if (!downloaded) {
    if (cancelRequested) {
      ShowStatus(u"user_aborted");
      Notify(kCodeUserAborted);
    } else if (refusedDownload_) {
      ShowStatus(u"error_signature");
      Notify(kCodeFailed);
      outcome_ = kOutcomeRefused;
    } else {
      ShowStatus(u"error_download");
      Notify(kCodeFailed);
      outcome_ = kOutcomeFailed;
    }
    return;
  }

  Notify(kCodeDownloaded);
  StartInstaller();
}
