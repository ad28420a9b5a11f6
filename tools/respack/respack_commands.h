// The packer's commands:
//   respack append MANIFEST INPUT OUTPUT   (refuses a signed INPUT)
//   respack list --key KEY FILE            (name, size, kind, checksum)
//   respack extract --key KEY FILE ENTRY OUT
//   respack stn SOURCE OUT         (updater settings record, stn_record.h)
//   respack stn-show RECORD        (a record file or a branded copy of tollwren)
//   respack --version
#pragma once

#include <string>
#include <vector>

// list prints every entry and exits 1 when any of them fails its checksum.
// Runs one command line (arguments after the program name); messages go to
// stdout and stderr. Returns the process exit code: 0 on success, 1 on any
// failure, 2 for a malformed command line.
int RunRespack(const std::vector<std::u16string>& arguments);
