// The PEM framing of keys, as openssl writes it: "-----BEGIN LABEL-----",
// base64 lines, "-----END LABEL-----". Only the framing: the base64 and the
// DER inside are the platform's (crypt32 on Windows).
#pragma once

#include <string>
#include <vector>

struct PemBlock {
  std::string label;   // "PUBLIC KEY", "PRIVATE KEY", ...
  std::string base64;  // the lines between the two markers, line breaks kept
};

// Every block of the text, in order; text outside the blocks is skipped, as
// openssl does. False with the reason ("block 2 has no END line") for a
// BEGIN line without its END line (or with the END of another label).
bool ReadPemBlocks(const std::string& text, std::vector<PemBlock>* blocks, std::string* error);

// A block's text: the BEGIN line, the base64 lines (each ending in a line
// break), the END line.
std::string PemText(const std::string& label, const std::string& base64Lines);
