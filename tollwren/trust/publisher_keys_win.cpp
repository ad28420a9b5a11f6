#include "tollwren/trust/publisher_keys_win.h"

#include <cstring>
#include <string_view>

namespace {

bool Succeeded(NTSTATUS status) { return status >= 0; }

// An algorithm provider, closed when it goes out of scope.
class CAlgorithm {
 public:
  explicit CAlgorithm(const wchar_t* name) {
    if (!Succeeded(BCryptOpenAlgorithmProvider(&handle_, name, nullptr, 0))) handle_ = nullptr;
  }
  ~CAlgorithm() {
    if (handle_) BCryptCloseAlgorithmProvider(handle_, 0);
  }
  CAlgorithm(const CAlgorithm&) = delete;
  CAlgorithm& operator=(const CAlgorithm&) = delete;
  BCRYPT_ALG_HANDLE get() const { return handle_; }

 private:
  BCRYPT_ALG_HANDLE handle_ = nullptr;
};

bool VerifyWithKey(BCRYPT_ALG_HANDLE ecdsa, const CP256PublicKey& key, const CSha256Digest& digest,
                   std::array<uint8_t, 2 * kP256CoordinateSize>& rs) {
  // BCRYPT_ECCKEY_BLOB followed by X and Y.
  uint8_t blob[sizeof(BCRYPT_ECCKEY_BLOB) + 2 * kP256CoordinateSize];
  BCRYPT_ECCKEY_BLOB header = {BCRYPT_ECDSA_PUBLIC_P256_MAGIC, static_cast<ULONG>(kP256CoordinateSize)};
  memcpy(blob, &header, sizeof header);
  memcpy(blob + sizeof header, key.x.data(), kP256CoordinateSize);
  memcpy(blob + sizeof header + kP256CoordinateSize, key.y.data(), kP256CoordinateSize);
  BCRYPT_KEY_HANDLE handle = nullptr;
  if (!Succeeded(BCryptImportKeyPair(ecdsa, nullptr, BCRYPT_ECCPUBLIC_BLOB, &handle, blob, sizeof blob, 0)))
    return false;
  CSha256Digest hash = digest;
  const NTSTATUS status = BCryptVerifySignature(handle, nullptr, hash.data(), static_cast<ULONG>(hash.size()),
                                                rs.data(), static_cast<ULONG>(rs.size()), 0);
  BCryptDestroyKey(handle);
  return Succeeded(status);
}

}  // namespace

CSha256Hash::CSha256Hash() {
  if (!Succeeded(BCryptOpenAlgorithmProvider(&algorithm_, BCRYPT_SHA256_ALGORITHM, nullptr, 0))) {
    algorithm_ = nullptr;
    failed_ = true;
    return;
  }
  // The hash object's memory is the provider's own (a null buffer).
  if (!Succeeded(BCryptCreateHash(algorithm_, &hash_, nullptr, 0, nullptr, 0, 0))) {
    hash_ = nullptr;
    failed_ = true;
  }
}

CSha256Hash::~CSha256Hash() {
  if (hash_) BCryptDestroyHash(hash_);
  if (algorithm_) BCryptCloseAlgorithmProvider(algorithm_, 0);
}

bool CSha256Hash::Add(const uint8_t* data, size_t size) {
  while (!failed_ && size > 0) {
    const ULONG piece = size > 0x40000000 ? 0x40000000 : static_cast<ULONG>(size);
    if (!Succeeded(BCryptHashData(hash_, const_cast<PUCHAR>(data), piece, 0))) failed_ = true;
    data += piece;
    size -= piece;
  }
  return !failed_;
}

bool CSha256Hash::Finish(CSha256Digest& digest) {
  if (failed_) return false;
  failed_ = true;  // a finished hash takes nothing more
  return Succeeded(BCryptFinishHash(hash_, digest.data(), static_cast<ULONG>(digest.size()), 0));
}

bool Sha256Of(const uint8_t* data, size_t size, CSha256Digest& digest) {
  CSha256Hash hash;
  return hash.Add(data, size) && hash.Finish(digest);
}

bool CPublisherKeys::Load(const uint8_t* pem, size_t size) {
  signed_ = true;
  const std::string_view text(reinterpret_cast<const char*>(pem), pem ? size : 0);
  return ReadPublicKeysPem(text, keys_);
}

bool CPublisherKeys::Verify(const uint8_t* data, size_t size, const uint8_t* signature,
                            size_t signatureSize) const {
  std::array<uint8_t, 2 * kP256CoordinateSize> rs;
  CSha256Digest digest;
  if (keys_.empty() || !DecodeEcdsaSignature(signature, signatureSize, rs) || !Sha256Of(data, size, digest))
    return false;
  CAlgorithm ecdsa(BCRYPT_ECDSA_P256_ALGORITHM);
  if (!ecdsa.get()) return false;
  for (const CP256PublicKey& key : keys_) {
    if (VerifyWithKey(ecdsa.get(), key, digest, rs)) return true;
  }
  return false;
}
