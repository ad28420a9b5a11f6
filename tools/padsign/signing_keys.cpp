// The platform-independent part of signing_keys.h.
#include "tools/padsign/signing_keys.h"

std::string LowerHex(const unsigned char* bytes, size_t size) {
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(2 * size);
  for (size_t i = 0; i < size; ++i) {
    hex.push_back(kDigits[bytes[i] >> 4]);
    hex.push_back(kDigits[bytes[i] & 15]);
  }
  return hex;
}

CSigningKey::~CSigningKey() { Reset(); }

void CSigningKey::Reset() {
  FreeCryptoKey(key_);
  key_ = nullptr;
}

CPublicKeyRing::~CPublicKeyRing() { Reset(); }

void CPublicKeyRing::Reset() {
  for (CryptoKey* key : keys_) FreeCryptoKey(key);
  keys_.clear();
}
