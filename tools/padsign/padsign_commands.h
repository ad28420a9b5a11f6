// The publisher's signing tool:
//   padsign keygen DIR
//   padsign release PAD INSTALLER PRIVATE_KEY OUTDIR
//   padsign verify PAD SIG PUBLIC_KEY [INSTALLER]
#pragma once

#include <string>
#include <vector>

// Runs one command line (arguments after the program name). Messages: one
// line on stderr for any failure, a one-line summary on stdout on success.
// Returns the exit code: 0 success, 1 refused or failed, 2 a malformed
// command line.
int RunPadsign(const std::vector<std::string>& arguments);
