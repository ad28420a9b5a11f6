// Fuzzes the decoders of a PAD signature and of an installer digest with
// arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "tollwren/trust/trust_formats.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::array<uint8_t, 2 * kP256CoordinateSize> rs;
  if (DecodeEcdsaSignature(data, size, rs)) {
    // Two minimal integers of 1 to 33 bytes in a sequence.
    if (size < 8 || size > 72) __builtin_trap();
    bool rZero = true, sZero = true;
    for (size_t i = 0; i < kP256CoordinateSize; ++i) {
      rZero = rZero && rs[i] == 0;
      sZero = sZero && rs[kP256CoordinateSize + i] == 0;
    }
    if (rZero || sZero) __builtin_trap();
  }

  std::u16string text;
  for (size_t i = 0; i < size; ++i) text.push_back(static_cast<char16_t>(data[i]));
  CSha256Digest digest;
  if (ParseSha256Hex(text, digest) && size < 64) __builtin_trap();
  return 0;
}
