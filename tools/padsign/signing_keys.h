// ECDSA P-256 keys, signatures and SHA-256: the only cryptography of the
// signing tool, none of it written by hand. signing_keys_posix.cpp uses
// OpenSSL's libcrypto, signing_keys_win.cpp the platform's CNG (bcrypt) with
// crypt32's PEM, key and signature encoders. The forms are the ones the
// standard command-line tools use, so a release made here verifies with
// "openssl dgst -sha256 -verify" and the other way round.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The updater reads public keys in exactly the form "openssl ec -pubout"
// writes: a SubjectPublicKeyInfo with the named curve and the uncompressed
// point, 91 bytes of DER.
constexpr size_t kP256PublicKeyDerSize = 91;
constexpr size_t kUncompressedPointOffset = 26;  // in the 91-byte DER form
constexpr unsigned char kUncompressedPointTag = 0x04;

// A key as the platform holds it (defined by each platform's file), and its
// release (nothing happens for null).
struct CryptoKey;
void FreeCryptoKey(CryptoKey* key);
// A running digest as the platform holds it.
struct DigestState;

// A private signing key on P-256.
class CSigningKey {
 public:
  CSigningKey() = default;
  CSigningKey(const CSigningKey&) = delete;
  CSigningKey& operator=(const CSigningKey&) = delete;
  virtual ~CSigningKey();

  bool Generate(std::string* error);
  // A PEM private key (PKCS#8 "PRIVATE KEY" or SEC1 "EC PRIVATE KEY", not
  // encrypted); refuses a key of any other kind or curve.
  bool LoadPem(const std::string& pem, std::string* error);

  // PKCS#8 PEM of the private key; SubjectPublicKeyInfo PEM of its public
  // key. False with the reason when the platform cannot encode them.
  bool PrivatePem(std::string* pem, std::string* error) const;
  bool PublicPem(std::string* pem, std::string* error) const;

  // The DER ECDSA signature over SHA-256 of data, as
  // "openssl dgst -sha256 -sign" writes it.
  bool Sign(const std::string& data, std::string* signature, std::string* error) const;

 private:
  void Reset();

  CryptoKey* key_ = nullptr;
};

// One or more public keys from one PEM file; a signature is valid when any
// of them verifies it (a publisher rotating keys lists old and new).
class CPublicKeyRing {
 public:
  CPublicKeyRing() = default;
  CPublicKeyRing(const CPublicKeyRing&) = delete;
  CPublicKeyRing& operator=(const CPublicKeyRing&) = delete;
  virtual ~CPublicKeyRing();

  // Every PEM block of the text must be a "PUBLIC KEY" on P-256 in the form
  // the updater reads; at least one is required.
  bool LoadPem(const std::string& pem, std::string* error);
  size_t Count() const { return keys_.size(); }

  // The 1-based number of the first key that verifies the DER ECDSA
  // signature over SHA-256 of data; 0 when none does.
  size_t VerifyingKey(const std::string& data, const std::string& signature) const;

 private:
  void Reset();

  std::vector<CryptoKey*> keys_;
};

// Bytes as lower-case hexadecimal digits, two a byte.
std::string LowerHex(const unsigned char* bytes, size_t size);

// SHA-256 fed in pieces; Finish gives 64 lower-case hexadecimal digits.
class CSha256 {
 public:
  CSha256();
  CSha256(const CSha256&) = delete;
  CSha256& operator=(const CSha256&) = delete;
  virtual ~CSha256();

  bool Update(const void* data, size_t size);
  bool Finish(std::string* hex);

 private:
  DigestState* state_ = nullptr;
  bool ok_ = false;
};
