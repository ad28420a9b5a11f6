// What the updater trusts, checked with the platform's CNG: SHA-256 over
// bytes as they arrive, and ECDSA P-256 signatures made by the publisher's
// keys (the archive entry "keys.pem"). Windows only.
#pragma once

#include <windows.h>
#include <bcrypt.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "tollwren/trust/trust_formats.h"

// SHA-256 of bytes given piece by piece.
class CSha256Hash {
 public:
  CSha256Hash();
  virtual ~CSha256Hash();
  CSha256Hash(const CSha256Hash&) = delete;
  CSha256Hash& operator=(const CSha256Hash&) = delete;

  // False when the platform gave no hash object or a piece was refused; a
  // hash that failed once stays failed.
  bool Add(const uint8_t* data, size_t size);
  // The digest of everything added; false when the hash failed. Once only.
  bool Finish(CSha256Digest& digest);

 private:
  BCRYPT_ALG_HANDLE algorithm_ = nullptr;
  BCRYPT_HASH_HANDLE hash_ = nullptr;
  bool failed_ = false;
};

bool Sha256Of(const uint8_t* data, size_t size, CSha256Digest& digest);

// The keys of a signed copy. A copy is signed when its archive holds
// "keys.pem" at all: a key file that does not decode leaves it signed with
// no usable key, so that every check fails rather than passing unchecked.
class CPublisherKeys {
 public:
  virtual ~CPublisherKeys() = default;

  // The bytes of "keys.pem". True when they gave at least one key.
  bool Load(const uint8_t* pem, size_t size);
  bool IsSigned() const { return signed_; }
  size_t KeyCount() const { return keys_.size(); }

  // True when signature (DER) is a valid signature of data's SHA-256 by any
  // of the keys.
  bool Verify(const uint8_t* data, size_t size, const uint8_t* signature, size_t signatureSize) const;

 private:
  bool signed_ = false;
  std::vector<CP256PublicKey> keys_;
};
