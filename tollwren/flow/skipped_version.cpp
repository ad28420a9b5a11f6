#include "tollwren/flow/skipped_version.h"

#include "common/plain_file.h"
#include "tollwren/pad/pad_document.h"

SkipDecision DecideSkip(std::u16string_view skipped, std::u16string_view remoteText, VersionRule rule) {
  if (skipped.empty()) return SkipDecision::kOffer;
  if (skipped == remoteText) return SkipDecision::kSkip;
  return CompareVersionTexts(rule, skipped, remoteText) == VersionCompare::kRemoteNewer ? SkipDecision::kForget
                                                                                          : SkipDecision::kOffer;
}

std::u16string ReadSkippedVersion(const std::u16string& path) {
  CPlainFile file;
  if (!file.OpenRead(path.c_str())) return std::u16string();
  // A version text has at most kPadShortLimit characters; more is no line
  // of ours.
  uint8_t bytes[kPadShortLimit + 2];
  const uint32_t read = file.Read(bytes, sizeof bytes);
  std::u16string version;
  for (uint32_t i = 0; i < read && bytes[i] != '\r' && bytes[i] != '\n'; ++i) {
    if (bytes[i] == 0 || version.size() == kPadShortLimit) return std::u16string();
    version.push_back(static_cast<char16_t>(bytes[i]));
  }
  return version;
}

bool WriteSkippedVersion(const std::u16string& path, std::u16string_view version) {
  if (version.empty() || version.size() > kPadShortLimit) return false;
  std::u16string line(version);
  line += u"\r\n";
  return WriteTextFile(path.c_str(), false, line.data(), line.size()) == line.size();
}
