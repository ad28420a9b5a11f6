#include "marlpane/rows/process_pipe.h"

#include <string>

#include "common/text16.h"

namespace {

// How often ReadOutput looks at the pipe while the child runs and prints
// nothing.
constexpr DWORD kPollMs = 10;
// How long Stop waits for a terminated child to be gone, so that its files
// (its executable too) are free again when Stop returns.
constexpr DWORD kTerminateWaitMs = 2000;
constexpr DWORD kDiscardChunk = 4096;

// The child's command line: the file-name part of the program path (after
// its last backslash), then a space and the arguments when an arguments text
// is given. A file name with blanks is quoted, or the child would take its
// pieces for arguments.
std::wstring CommandLineOf(const char16_t* program, const char16_t* arguments) {
  const char16_t* name = program;
  for (const char16_t* p = program; *p; ++p)
    if (*p == u'\\') name = p + 1;
  bool blank = false;
  for (const char16_t* p = name; *p; ++p)
    if (*p == u' ' || *p == u'\t') blank = true;
  std::wstring line;
  if (blank) line += L'"';
  line += AsWide(name);
  if (blank) line += L'"';
  if (arguments) {
    line += L' ';
    line += AsWide(arguments);
  }
  return line;
}

}  // namespace

CProcessPipe::CProcessPipe()
    : process_{},
      inputRead_(nullptr),
      inputWrite_(nullptr),
      outputRead_(nullptr),
      outputWrite_(nullptr),
      security_{},
      attributes_{},
      startup_{},
      startTick_(0),
      timeLimitMs_(kDefaultTimeLimitMs) {}

CProcessPipe::~CProcessPipe() { Stop(); }

void CProcessPipe::CloseAndClear(HANDLE& handle) {
  if (handle) CloseHandle(handle);
  handle = nullptr;
}

bool CProcessPipe::ChildEnded(DWORD waitMs) const {
  return !process_.hProcess || WaitForSingleObject(process_.hProcess, waitMs) != WAIT_TIMEOUT;
}

HANDLE CProcessPipe::Start(const char16_t* program, const char16_t* arguments,
                           const char16_t* currentFolder) {
  Stop();
  if (!program || !*program) return nullptr;
  std::wstring commandLine = CommandLineOf(program, arguments);

  if (!InitializeSecurityDescriptor(&security_, SECURITY_DESCRIPTOR_REVISION) ||
      !SetSecurityDescriptorDacl(&security_, TRUE, nullptr, FALSE))
    return nullptr;
  attributes_.nLength = sizeof(attributes_);
  attributes_.lpSecurityDescriptor = &security_;
  attributes_.bInheritHandle = TRUE;

  if (!CreatePipe(&inputRead_, &inputWrite_, &attributes_, 0) ||
      !CreatePipe(&outputRead_, &outputWrite_, &attributes_, 0)) {
    Stop();
    return nullptr;
  }
  // The editor's own ends stay out of the child: a child holding the write
  // end of its own input would never see that input end.
  if (!SetHandleInformation(inputWrite_, HANDLE_FLAG_INHERIT, 0) ||
      !SetHandleInformation(outputRead_, HANDLE_FLAG_INHERIT, 0)) {
    Stop();
    return nullptr;
  }

  startup_ = {};
  startup_.cb = sizeof(startup_);
  startup_.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
  startup_.wShowWindow = SW_HIDE;
  startup_.hStdInput = inputRead_;
  startup_.hStdOutput = outputWrite_;
  startup_.hStdError = outputWrite_;

  if (!CreateProcessW(AsWide(program), &commandLine[0], nullptr, nullptr, TRUE,
                      CREATE_NEW_CONSOLE, nullptr,
                      currentFolder ? AsWide(currentFolder) : nullptr, &startup_, &process_)) {
    process_ = {};
    Stop();
    return nullptr;
  }
  startTick_ = GetTickCount64();

  // The child has its copies now. Closing ours gives the child the end of
  // its input at once and lets the output pipe report its end when the
  // child is gone.
  CloseAndClear(inputRead_);
  CloseAndClear(inputWrite_);
  CloseAndClear(outputWrite_);
  return process_.hProcess;
}

uint32_t CProcessPipe::ReadOutput(void* buffer, uint32_t size) {
  if (!process_.hProcess || !outputRead_) return 0;
  if (!buffer) size = 0;
  unsigned char* out = static_cast<unsigned char*>(buffer);
  uint32_t stored = 0;
  unsigned char discard[kDiscardChunk];
  const ULONGLONG deadline = startTick_ + timeLimitMs_;

  for (;;) {
    // Sampled before the pipe is looked at: when the child had already
    // ended, whatever it printed is in the pipe by now.
    const bool ended = ChildEnded(0);
    DWORD available = 0;
    // Fails once the pipe is empty and every write end is closed.
    if (!PeekNamedPipe(outputRead_, nullptr, 0, nullptr, &available, nullptr)) break;
    if (available > 0) {
      void* target;
      DWORD want;
      if (stored < size) {
        target = out + stored;
        want = size - stored < available ? size - stored : available;
      } else {
        target = discard;
        want = kDiscardChunk < available ? kDiscardChunk : available;
      }
      DWORD got = 0;
      // Never blocks: at least want bytes are waiting.
      if (!ReadFile(outputRead_, target, want, &got, nullptr) || got == 0) break;
      if (target != discard) stored += got;
    } else if (ended) {
      // The child is gone and the pipe is empty; a process the child left
      // behind may still hold the pipe, but the child's output is complete.
      break;
    }
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) break;
    if (available == 0) {
      const ULONGLONG left = deadline - now;
      ChildEnded(left < kPollMs ? static_cast<DWORD>(left) : kPollMs);
    }
  }
  Stop();
  return stored;
}

void CProcessPipe::Stop() {
  if (process_.hProcess && !ChildEnded(1)) {
    TerminateProcess(process_.hProcess, 0);
    WaitForSingleObject(process_.hProcess, kTerminateWaitMs);
  }
  CloseAndClear(inputRead_);
  CloseAndClear(inputWrite_);
  CloseAndClear(outputRead_);
  CloseAndClear(outputWrite_);
  CloseAndClear(process_.hThread);
  CloseAndClear(process_.hProcess);
  process_.dwProcessId = 0;
  process_.dwThreadId = 0;
}
