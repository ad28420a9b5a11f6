#include "tollwren/transfer/transfer_runner_win.h"

#include <windows.h>

struct CTransferRunner::CState {
  std::u16string url;
  std::shared_ptr<CTransferSink> sink;  // or, without one, into buffer
  std::vector<uint8_t> buffer;
  std::atomic<uint32_t> received{0};
  std::atomic<uint32_t> expected{0};
  std::atomic<uint8_t> abort{0};
  uint32_t resumeFrom = 0;
  uint32_t resumeTotal = 0;
  int32_t result = kTransferFailed;
  uint32_t bytes = 0;
  uint32_t wholeLength = 0;
  bool rangeRefused = false;
};

namespace {

DWORD WINAPI RunTransfer(void* parameter) {
  // The thread holds the state for as long as the transfer runs, also after
  // the runner stopped waiting for it.
  std::unique_ptr<std::shared_ptr<CTransferRunner::CState>> hold(
      static_cast<std::shared_ptr<CTransferRunner::CState>*>(parameter));
  CTransferRunner::CState& state = **hold;
  CHttpTransfer transfer;
  transfer.SetCounters(&state.received, &state.expected);
  transfer.SetAbortFlag(&state.abort);
  transfer.Open(kTransferTimeoutMs, kUpdaterUserAgent);
  if (state.sink) {
    transfer.SetResume(state.resumeFrom, state.resumeTotal);
    state.result = transfer.GetToSink(*state.sink, state.url.c_str());
    state.wholeLength = transfer.WholeLength();
    state.rangeRefused = transfer.RangeRefused();
  } else {
    state.result = transfer.GetToMemory(state.buffer.data(), static_cast<uint32_t>(state.buffer.size()),
                                        state.url.c_str());
  }
  state.bytes = transfer.BytesReceived();
  return 0;
}

}  // namespace

void CTransferRunner::SetCounters(std::atomic<uint32_t>* bytesReceived, std::atomic<uint32_t>* bytesExpected) {
  receivedCounter_ = bytesReceived;
  expectedCounter_ = bytesExpected;
}

void CTransferRunner::SetAbortFlag(std::atomic<uint8_t>* abortFlag) { abortFlag_ = abortFlag; }

void CTransferRunner::SetDeadline(uint32_t milliseconds) { deadlineMs_ = milliseconds; }

void CTransferRunner::SetDownloadDeadline(uint64_t startTick, uint64_t size) {
  sizedDeadline_ = true;
  deadlineStart_ = startTick;
  deadlineSize_ = size;
}

int32_t CTransferRunner::GetToSink(const std::shared_ptr<CTransferSink>& sink, const std::u16string& url) {
  auto state = std::make_shared<CState>();
  state->url = url;
  state->sink = sink;
  return Wait(state);
}

int32_t CTransferRunner::GetRestToSink(const std::shared_ptr<CTransferSink>& sink, const std::u16string& url,
                                       uint32_t offset, uint32_t total) {
  auto state = std::make_shared<CState>();
  state->url = url;
  state->sink = sink;
  state->resumeFrom = offset;
  state->resumeTotal = total;
  state->received = offset;
  return Wait(state);
}

int32_t CTransferRunner::GetToMemory(std::vector<uint8_t>& bytes, uint32_t limit, const std::u16string& url) {
  bytes.clear();
  auto state = std::make_shared<CState>();
  state->url = url;
  // Room for one byte more than the limit (and the transfer's terminating
  // zero): a body that fills it is too long.
  state->buffer.assign(static_cast<size_t>(limit) + 2, 0);
  const int32_t result = Wait(state);
  if (result != kTransferOk) return result;
  if (state->bytes > limit) {
    result_ = kTransferTooLarge;
    return result_;
  }
  bytes.assign(state->buffer.begin(), state->buffer.begin() + state->bytes);
  return result;
}

int32_t CTransferRunner::Wait(const std::shared_ptr<CState>& state) {
  result_ = kTransferFailed;
  bytesReceived_ = 0;
  wholeLength_ = 0;
  rangeRefused_ = false;
  if (receivedCounter_) receivedCounter_->store(state->resumeFrom);
  auto aborted = [this] { return abortFlag_ && abortFlag_->load() != 0; };
  if (aborted()) return result_;

  auto* held = new std::shared_ptr<CState>(state);
  HANDLE thread = CreateThread(nullptr, 0, RunTransfer, held, 0, nullptr);
  if (!thread) {
    delete held;
    return result_;
  }
  const ULONGLONG started = sizedDeadline_ ? deadlineStart_ : GetTickCount64();
  auto deadlinePassed = [&] {
    const ULONGLONG spent = GetTickCount64() - started;
    if (!sizedDeadline_) return deadlineMs_ && spent >= deadlineMs_;
    const uint64_t announced = state->expected.load();
    return spent >= DownloadDeadlineMs(announced > deadlineSize_ ? announced : deadlineSize_);
  };
  auto copyCounters = [&] {
    if (receivedCounter_) receivedCounter_->store(state->received.load());
    if (expectedCounter_) expectedCounter_->store(state->expected.load());
  };
  int32_t result = kTransferFailed;
  for (;;) {
    if (WaitForSingleObject(thread, kRunnerPollMs) == WAIT_OBJECT_0) {
      copyCounters();
      result = state->result;
      bytesReceived_ = state->bytes;
      wholeLength_ = state->wholeLength;
      rangeRefused_ = state->rangeRefused;
      break;
    }
    copyCounters();
    // Left behind, the transfer stops at its next read or time-out.
    if (aborted()) {
      state->abort = 1;
      result = kTransferAborted;
      bytesReceived_ = state->received.load();
      break;
    }
    if (deadlinePassed()) {
      state->abort = 1;
      result = kTransferTimedOut;
      bytesReceived_ = state->received.load();
      break;
    }
  }
  CloseHandle(thread);
  result_ = result;
  return result;
}
