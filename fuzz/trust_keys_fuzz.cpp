// Fuzzes the reader of the publisher key file and the key decoder beneath
// it with arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "tollwren/trust/trust_formats.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<CP256PublicKey> keys;
  const bool read = ReadPublicKeysPem(std::string_view(reinterpret_cast<const char*>(data), size), keys);
  if (read != !keys.empty() || keys.size() > kKeyCountLimit) __builtin_trap();

  CP256PublicKey key;
  if (DecodeP256PublicKeyInfo(data, size, key) && size != 91) __builtin_trap();  // the one size of such a key

  std::vector<uint8_t> decoded;
  if (DecodeBase64(std::string_view(reinterpret_cast<const char*>(data), size), decoded) &&
      (decoded.empty() || decoded.size() > size)) {
    __builtin_trap();
  }
  return 0;
}
