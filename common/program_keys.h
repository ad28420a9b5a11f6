// The archive keys of the two programs. Each program scrambles and checks its
// appended archive with its own key; the packer brands a copy with the same
// bytes, so the tables are defined once, here, and shared by both sides.
#pragma once

#include <cstdint>

constexpr uint32_t kProgramKeyLength = 50;

extern const uint8_t kMarlpaneArchiveKey[kProgramKeyLength];
extern const uint8_t kTollwrenArchiveKey[kProgramKeyLength];
