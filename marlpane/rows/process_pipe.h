// Runs another program without a window, its standard input, output and
// error redirected to anonymous pipes, and hands back what it printed. The
// editor runs the program of a SELECTEXEC row this way while it builds the
// rows; its output lines become the row's choices. Win32 only.
//
// The run never holds the caller for long: once the child has started, the
// editor keeps only the read end of the output pipe (so the child sees the
// end of its input at once, and the end of the output shows when the child
// is gone), ReadOutput drains the pipe while it waits (so a child that
// prints more than the pipe holds is never blocked), and a child that has
// not ended within the time limit is stopped.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

class CProcessPipe {
 public:
  // How long a child may run, counted from its start, before ReadOutput
  // stops it.
  static constexpr uint32_t kDefaultTimeLimitMs = 10000;

  CProcessPipe();
  virtual ~CProcessPipe();
  CProcessPipe(const CProcessPipe&) = delete;
  CProcessPipe& operator=(const CProcessPipe&) = delete;

  // Starts program (a full path; it is passed as the application name, so no
  // search takes place) with the arguments text, when one is given (even an
  // empty one), in currentFolder (null: the editor's). Any earlier run is
  // stopped first. Returns the process handle, owned by this object, or null
  // when the pipes cannot be made or the program cannot be started.
  HANDLE Start(const char16_t* program, const char16_t* arguments, const char16_t* currentFolder);

  // Waits until the child ends or the time limit has passed, reading all the
  // while. The first size bytes of the output are stored in buffer; the rest
  // is read and dropped so that the child can finish. The run is then
  // stopped. Returns the number of bytes stored; 0 when nothing runs.
  uint32_t ReadOutput(void* buffer, uint32_t size);

  // Ends the run (a child still running is terminated) and closes every
  // handle. Safe at any time, also when idle.
  void Stop();

  // The time limit of later runs in milliseconds.
  void SetTimeLimit(uint32_t milliseconds) { timeLimitMs_ = milliseconds; }
  uint32_t TimeLimit() const { return timeLimitMs_; }

 private:
  // True when the child has ended (or none runs).
  bool ChildEnded(DWORD waitMs) const;
  static void CloseAndClear(HANDLE& handle);

  PROCESS_INFORMATION process_;
  // Standard input of the child: the read end is inherited by it, the write
  // end is never written; both are closed as soon as the child runs.
  HANDLE inputRead_;
  HANDLE inputWrite_;
  // Standard output and error of the child: the editor reads the read end;
  // the write end is inherited and closed in the editor after the start.
  HANDLE outputRead_;
  HANDLE outputWrite_;
  // Both pipes are inheritable and carry a descriptor with a null access
  // list.
  SECURITY_DESCRIPTOR security_;
  SECURITY_ATTRIBUTES attributes_;
  STARTUPINFOW startup_;
  ULONGLONG startTick_;
  uint32_t timeLimitMs_;
};
