// The updater's command line: "/HIDE", "/SILENT" and "/NOTIFY:<window>",
// each found by an exact, case-sensitive search of the whole command line.
#pragma once

#include <cstdint>

struct CUpdaterCommandLine {
  bool hidden = false;         // "/HIDE": no window until the flow asks
  bool silent = false;         // "/SILENT": no window, nothing asked (signed copies)
  uint32_t notifyWindow = 0;   // "/NOTIFY:" in decimal; 0 when absent or not a number
};

CUpdaterCommandLine ParseUpdaterCommandLine(const char16_t* commandLine);
