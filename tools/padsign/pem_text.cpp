#include "tools/padsign/pem_text.h"

namespace {

const char kBegin[] = "-----BEGIN ";
const char kEnd[] = "-----END ";
const char kDashes[] = "-----";

// The line starting at start, without its line break; next is where the
// following line starts.
std::string LineAt(const std::string& text, size_t start, size_t* next) {
  size_t end = text.find('\n', start);
  *next = end == std::string::npos ? text.size() : end + 1;
  if (end == std::string::npos) end = text.size();
  if (end > start && text[end - 1] == '\r') --end;
  return text.substr(start, end - start);
}

// The label of a "-----BEGIN LABEL-----" line (or END); false for any other line.
bool MarkerLabel(const std::string& line, const std::string& marker, std::string* label) {
  const size_t dashes = sizeof kDashes - 1;
  if (line.size() < marker.size() + dashes || line.compare(0, marker.size(), marker) != 0 ||
      line.compare(line.size() - dashes, dashes, kDashes) != 0) {
    return false;
  }
  *label = line.substr(marker.size(), line.size() - marker.size() - dashes);
  return true;
}

}  // namespace

bool ReadPemBlocks(const std::string& text, std::vector<PemBlock>* blocks, std::string* error) {
  blocks->clear();
  size_t at = 0;
  while (at < text.size()) {
    size_t next = 0;
    std::string label;
    if (!MarkerLabel(LineAt(text, at, &next), kBegin, &label)) {
      at = next;
      continue;
    }
    PemBlock block;
    block.label = label;
    bool ended = false;
    for (at = next; at < text.size() && !ended; at = next) {
      const std::string line = LineAt(text, at, &next);
      std::string endLabel;
      if (MarkerLabel(line, kEnd, &endLabel)) {
        if (endLabel != label) break;
        ended = true;
      } else {
        block.base64 += line + "\n";
      }
    }
    if (!ended) {
      *error = "block " + std::to_string(blocks->size() + 1) + " has no END line";
      blocks->clear();
      return false;
    }
    blocks->push_back(block);
  }
  return true;
}

std::string PemText(const std::string& label, const std::string& base64Lines) {
  return kBegin + label + kDashes + "\n" + base64Lines + kEnd + label + kDashes + "\n";
}
