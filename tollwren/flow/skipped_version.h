// The version a user chose to skip, kept in skip.txt beside pad.xml: one
// line, the Program_Version text of the version offered.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "tollwren/pad/version_number.h"

enum class SkipDecision {
  kOffer,   // nothing skipped, or another version: offer it
  kSkip,    // the version skipped: a check without a window ends quietly
  kForget,  // a version newer than the one skipped: forget it and offer
};

// What to do with the remote version text given the text skip.txt holds
// (empty when there is none), versions compared under rule.
SkipDecision DecideSkip(std::u16string_view skipped, std::u16string_view remoteText, VersionRule rule);

// The first line of skip.txt at path; empty when it is missing or empty.
std::u16string ReadSkippedVersion(const std::u16string& path);
// Writes version as skip.txt's one line, one byte per character as pad.xml
// holds it. True when written.
bool WriteSkippedVersion(const std::u16string& path, std::u16string_view version);
