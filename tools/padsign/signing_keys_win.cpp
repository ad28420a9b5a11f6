// signing_keys.h on Windows: keys, signatures and SHA-256 through CNG
// (bcrypt); PEM's base64 and the DER structures (PKCS#8 and SEC1 private
// keys, SubjectPublicKeyInfo, ECDSA-Sig-Value) through crypt32's encoders
// and decoders.
#include "tools/padsign/signing_keys.h"

#include <windows.h>
#include <bcrypt.h>
#include <wincrypt.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "tools/padsign/pem_text.h"

struct CryptoKey {
  BCRYPT_KEY_HANDLE handle;
};

struct DigestState {
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  BCRYPT_HASH_HANDLE hash = nullptr;
};

void FreeCryptoKey(CryptoKey* key) {
  if (key) BCryptDestroyKey(key->handle);
  delete key;
}

namespace {

using Bytes = std::vector<BYTE>;

constexpr DWORD kEncoding = X509_ASN_ENCODING | PKCS_7_ASN_ENCODING;
constexpr ULONG kCoordinateSize = 32;
constexpr ULONG kSha256Size = 32;
constexpr DWORD kEcPrivateKeyVersion = 1;
// The named curve P-256 as the DER the algorithm's parameters hold.
const BYTE kP256Parameters[] = {0x06, 0x08, 0x2A, 0x86, 0x48, 0xCE, 0x3D, 0x03, 0x01, 0x07};
const char kP256Oid[] = "1.2.840.10045.3.1.7";
const char kPublicKeyLabel[] = "PUBLIC KEY";
const char kPrivateKeyLabel[] = "PRIVATE KEY";
const char kEcPrivateKeyLabel[] = "EC PRIVATE KEY";

std::string Hex32(unsigned long value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", value);
  return text;
}

std::string Failed(const char* what, NTSTATUS status) { return std::string(what) + " failed (" + Hex32(status) + ")"; }

std::string LastError(const char* what) { return std::string(what) + " failed (error " + Hex32(GetLastError()) + ")"; }

// The provider of ECDSA on P-256, opened once for the tool's run.
BCRYPT_ALG_HANDLE EcdsaP256() {
  static BCRYPT_ALG_HANDLE algorithm = [] {
    BCRYPT_ALG_HANDLE opened = nullptr;
    return BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&opened, BCRYPT_ECDSA_P256_ALGORITHM, nullptr, 0))
               ? opened
               : nullptr;
  }();
  return algorithm;
}

CryptoKey* Own(BCRYPT_KEY_HANDLE handle) { return new CryptoKey{handle}; }


// A structure crypt32 decoded into memory it allocated.
class CDecoded {
 public:
  CDecoded() = default;
  CDecoded(const CDecoded&) = delete;
  CDecoded& operator=(const CDecoded&) = delete;
  ~CDecoded() {
    if (data_) LocalFree(data_);
  }
  bool Decode(LPCSTR type, const BYTE* der, size_t size) {
    DWORD length = 0;
    return size <= MAXDWORD && CryptDecodeObjectEx(kEncoding, type, der, DWORD(size), CRYPT_DECODE_ALLOC_FLAG,
                                                   nullptr, &data_, &length) != FALSE;
  }
  template <typename T>
  const T* As() const {
    return static_cast<const T*>(data_);
  }

 private:
  void* data_ = nullptr;
};

bool Encode(LPCSTR type, const void* structure, Bytes* der) {
  DWORD size = 0;
  if (!CryptEncodeObjectEx(kEncoding, type, structure, 0, nullptr, nullptr, &size)) return false;
  der->assign(size, 0);
  if (!CryptEncodeObjectEx(kEncoding, type, structure, 0, nullptr, der->data(), &size)) return false;
  der->resize(size);
  return true;
}

bool Base64ToDer(const std::string& base64, Bytes* der) {
  DWORD size = 0;
  if (base64.size() > MAXDWORD ||
      !CryptStringToBinaryA(base64.data(), DWORD(base64.size()), CRYPT_STRING_BASE64, nullptr, &size, nullptr,
                            nullptr) ||
      size == 0) {
    return false;
  }
  der->assign(size, 0);
  if (!CryptStringToBinaryA(base64.data(), DWORD(base64.size()), CRYPT_STRING_BASE64, der->data(), &size, nullptr,
                            nullptr)) {
    return false;
  }
  der->resize(size);
  return true;
}

// The PEM block of DER, base64 in lines of 64 characters ending in "\n" as
// openssl writes them.
bool DerToPem(const char* label, const Bytes& der, std::string* pem) {
  const DWORD flags = CRYPT_STRING_BASE64 | CRYPT_STRING_NOCR;
  DWORD size = 0;
  if (!CryptBinaryToStringA(der.data(), DWORD(der.size()), flags, nullptr, &size)) return false;
  std::string text(size, '\0');
  if (!CryptBinaryToStringA(der.data(), DWORD(der.size()), flags, &text[0], &size)) return false;
  text.resize(size);
  if (!text.empty() && text.back() != '\n') text.push_back('\n');
  *pem = PemText(label, text);
  return true;
}

bool OpenDigest(DigestState* state) {
  return BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&state->algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0)) &&
         BCRYPT_SUCCESS(BCryptCreateHash(state->algorithm, &state->hash, nullptr, 0, nullptr, 0, 0));
}

bool AddToDigest(DigestState* state, const void* data, size_t size) {
  // CNG takes at most 4 GiB - 1 bytes a call.
  const BYTE* bytes = static_cast<const BYTE*>(data);
  while (size > 0) {
    const ULONG piece = size > 0x40000000u ? 0x40000000u : ULONG(size);
    if (!BCRYPT_SUCCESS(BCryptHashData(state->hash, const_cast<BYTE*>(bytes), piece, 0))) return false;
    bytes += piece;
    size -= piece;
  }
  return true;
}

bool FinishDigest(DigestState* state, BYTE digest[kSha256Size]) {
  return BCRYPT_SUCCESS(BCryptFinishHash(state->hash, digest, kSha256Size, 0));
}

void CloseDigest(DigestState* state) {
  if (state->hash) BCryptDestroyHash(state->hash);
  if (state->algorithm) BCryptCloseAlgorithmProvider(state->algorithm, 0);
}

bool Sha256(const std::string& data, BYTE digest[kSha256Size]) {
  DigestState state;
  const bool ok = OpenDigest(&state) && AddToDigest(&state, data.data(), data.size()) && FinishDigest(&state, digest);
  CloseDigest(&state);
  return ok;
}

// Why an algorithm identifier is not EC on P-256; empty when it is.
std::string CurveProblem(const CRYPT_ALGORITHM_IDENTIFIER& algorithm) {
  if (!algorithm.pszObjId || std::strcmp(algorithm.pszObjId, szOID_ECC_PUBLIC_KEY) != 0) {
    return std::string("is not an ECDSA P-256 key (its algorithm is ") +
           (algorithm.pszObjId ? algorithm.pszObjId : "unknown") + ")";
  }
  if (algorithm.Parameters.cbData != sizeof kP256Parameters ||
      std::memcmp(algorithm.Parameters.pbData, kP256Parameters, sizeof kP256Parameters) != 0) {
    return "is an EC key on another curve, not on P-256 (prime256v1)";
  }
  return std::string();
}

// Big-endian bytes as the little-endian integer crypt32 takes, without the
// high zero bytes (the encoder then writes the minimal DER integer).
CRYPT_UINT_BLOB LittleEndian(const BYTE* bigEndian, ULONG size, Bytes* storage) {
  ULONG skip = 0;
  while (skip + 1 < size && bigEndian[skip] == 0) ++skip;
  storage->assign(bigEndian + skip, bigEndian + size);
  std::reverse(storage->begin(), storage->end());
  return CRYPT_UINT_BLOB{DWORD(storage->size()), storage->data()};
}

// A decoded little-endian integer of at most 32 bytes into 32 big-endian bytes.
bool BigEndian32(const CRYPT_UINT_BLOB& value, BYTE out[kCoordinateSize]) {
  if (value.cbData > kCoordinateSize) return false;
  std::memset(out, 0, kCoordinateSize);
  for (DWORD i = 0; i < value.cbData; ++i) out[kCoordinateSize - 1 - i] = value.pbData[i];
  return true;
}

// The key pair of an ECPrivateKey (SEC1) on P-256, which must carry its
// public point: CNG imports a private key only with it.
bool ImportEcPrivateKey(const Bytes& der, bool curveFromAlgorithm, BCRYPT_KEY_HANDLE* key, std::string* error) {
  CDecoded decoded;
  if (!decoded.Decode(X509_ECC_PRIVATE_KEY, der.data(), der.size())) {
    *error = LastError("decoding the EC private key (CryptDecodeObjectEx X509_ECC_PRIVATE_KEY)");
    return false;
  }
  const CRYPT_ECC_PRIVATE_KEY_INFO* info = decoded.As<CRYPT_ECC_PRIVATE_KEY_INFO>();
  if (info->szCurveOid ? std::strcmp(info->szCurveOid, kP256Oid) != 0 : !curveFromAlgorithm) {
    *error = "is an EC key on another curve, not on P-256 (prime256v1)";
    return false;
  }
  const CRYPT_BIT_BLOB& point = info->PublicKey;
  if (info->dwVersion != kEcPrivateKeyVersion || info->PrivateKey.cbData != kCoordinateSize ||
      point.cbData != 1 + 2 * kCoordinateSize || point.cUnusedBits != 0 || point.pbData[0] != kUncompressedPointTag) {
    *error = "is not a P-256 private key with its uncompressed public point, as openssl writes it";
    return false;
  }
  Bytes blob(sizeof(BCRYPT_ECCKEY_BLOB) + 3 * kCoordinateSize);
  BCRYPT_ECCKEY_BLOB header = {BCRYPT_ECDSA_PRIVATE_P256_MAGIC, kCoordinateSize};
  std::memcpy(blob.data(), &header, sizeof header);
  std::memcpy(blob.data() + sizeof header, point.pbData + 1, 2 * kCoordinateSize);
  std::memcpy(blob.data() + sizeof header + 2 * kCoordinateSize, info->PrivateKey.pbData, kCoordinateSize);
  const NTSTATUS status = BCryptImportKeyPair(EcdsaP256(), nullptr, BCRYPT_ECCPRIVATE_BLOB, key, blob.data(),
                                              ULONG(blob.size()), 0);
  SecureZeroMemory(blob.data(), blob.size());
  if (!BCRYPT_SUCCESS(status)) {
    *error = "is not a valid P-256 private key (" + Failed("BCryptImportKeyPair", status) + ")";
    return false;
  }
  return true;
}

// ECDSA over SHA-256 of data as r || s, 32 bytes each.
bool SignDigest(BCRYPT_KEY_HANDLE key, const BYTE digest[kSha256Size], BYTE rs[2 * kCoordinateSize],
                std::string* error) {
  ULONG size = 0;
  const NTSTATUS status =
      BCryptSignHash(key, nullptr, const_cast<BYTE*>(digest), kSha256Size, rs, 2 * kCoordinateSize, &size, 0);
  if (!BCRYPT_SUCCESS(status) || size != 2 * kCoordinateSize) {
    *error = Failed("signing (BCryptSignHash)", status);
    return false;
  }
  return true;
}

bool VerifyDigest(BCRYPT_KEY_HANDLE key, const BYTE digest[kSha256Size], BYTE rs[2 * kCoordinateSize]) {
  return BCryptVerifySignature(key, nullptr, const_cast<BYTE*>(digest), kSha256Size, rs, 2 * kCoordinateSize, 0) ==
         0;
}

}  // namespace

bool CSigningKey::Generate(std::string* error) {
  Reset();
  BCRYPT_KEY_HANDLE handle = nullptr;
  NTSTATUS status = EcdsaP256() ? BCryptGenerateKeyPair(EcdsaP256(), &handle, 256, 0) : NTSTATUS(-1);
  if (BCRYPT_SUCCESS(status)) status = BCryptFinalizeKeyPair(handle, 0);
  if (!BCRYPT_SUCCESS(status)) {
    if (handle) BCryptDestroyKey(handle);
    *error = "cannot generate a P-256 key (" + Failed("BCryptGenerateKeyPair", status) + ")";
    return false;
  }
  key_ = Own(handle);
  return true;
}

bool CSigningKey::LoadPem(const std::string& pem, std::string* error) {
  Reset();
  std::vector<PemBlock> blocks;
  if (!ReadPemBlocks(pem, &blocks, error)) return false;
  const PemBlock* found = nullptr;
  for (const PemBlock& block : blocks) {
    if (block.label.find("PRIVATE KEY") != std::string::npos) {
      found = &block;
      break;
    }
  }
  if (!found) {
    *error = "holds no private key in PEM form";
    return false;
  }
  if (found->label == "ENCRYPTED PRIVATE KEY" || found->base64.find("ENCRYPTED") != std::string::npos) {
    *error = "is an encrypted private key; give the key without a pass phrase";
    return false;
  }
  if (found->label != kPrivateKeyLabel && found->label != kEcPrivateKeyLabel) {
    *error = "is not an ECDSA P-256 key (it is a \"" + found->label + "\")";
    return false;
  }
  Bytes der;
  if (!Base64ToDer(found->base64, &der)) {
    *error = "holds a private key that is not valid PEM";
    return false;
  }
  BCRYPT_KEY_HANDLE handle = nullptr;
  if (found->label == kPrivateKeyLabel) {
    CDecoded decoded;
    if (!decoded.Decode(PKCS_PRIVATE_KEY_INFO, der.data(), der.size())) {
      *error = LastError("decoding the PKCS#8 private key (CryptDecodeObjectEx PKCS_PRIVATE_KEY_INFO)");
      return false;
    }
    const CRYPT_PRIVATE_KEY_INFO* info = decoded.As<CRYPT_PRIVATE_KEY_INFO>();
    *error = CurveProblem(info->Algorithm);
    if (!error->empty()) return false;
    const Bytes inner(info->PrivateKey.pbData, info->PrivateKey.pbData + info->PrivateKey.cbData);
    if (!ImportEcPrivateKey(inner, true, &handle, error)) return false;
  } else if (!ImportEcPrivateKey(der, false, &handle, error)) {
    return false;
  }
  // The public point travels beside the private number in the file: a key
  // whose two parts do not belong together would sign what nobody verifies.
  BYTE digest[kSha256Size] = {1};
  BYTE rs[2 * kCoordinateSize];
  if (!SignDigest(handle, digest, rs, error) || !VerifyDigest(handle, digest, rs)) {
    BCryptDestroyKey(handle);
    *error = "holds a private key whose public point does not belong to it";
    return false;
  }
  key_ = Own(handle);
  return true;
}

bool CSigningKey::PrivatePem(std::string* pem, std::string* error) const {
  ULONG size = 0;
  NTSTATUS status = key_ ? BCryptExportKey(key_->handle, nullptr, BCRYPT_ECCPRIVATE_BLOB, nullptr, 0, &size, 0)
                         : NTSTATUS(-1);
  Bytes blob(size);
  if (BCRYPT_SUCCESS(status)) {
    status = BCryptExportKey(key_->handle, nullptr, BCRYPT_ECCPRIVATE_BLOB, blob.data(), size, &size, 0);
  }
  if (!BCRYPT_SUCCESS(status) || size != sizeof(BCRYPT_ECCKEY_BLOB) + 3 * kCoordinateSize) {
    *error = "cannot export the private key (" + Failed("BCryptExportKey", status) + ")";
    return false;
  }
  BYTE* x = blob.data() + sizeof(BCRYPT_ECCKEY_BLOB);
  Bytes point(1 + 2 * kCoordinateSize, kUncompressedPointTag);
  std::memcpy(point.data() + 1, x, 2 * kCoordinateSize);

  // ECPrivateKey inside PKCS#8; it names its curve too (openssl leaves that
  // to the outer structure and reads either).
  CRYPT_ECC_PRIVATE_KEY_INFO ecc = {};
  ecc.dwVersion = kEcPrivateKeyVersion;
  ecc.szCurveOid = const_cast<LPSTR>(kP256Oid);
  ecc.PrivateKey = {kCoordinateSize, x + 2 * kCoordinateSize};
  ecc.PublicKey = {DWORD(point.size()), point.data(), 0};
  Bytes inner;
  Bytes der;
  bool ok = Encode(X509_ECC_PRIVATE_KEY, &ecc, &inner);
  if (!ok) {
    *error = LastError("encoding the EC private key (CryptEncodeObjectEx X509_ECC_PRIVATE_KEY)");
  } else {
    CRYPT_PRIVATE_KEY_INFO info = {};
    info.Algorithm.pszObjId = const_cast<LPSTR>(szOID_ECC_PUBLIC_KEY);
    info.Algorithm.Parameters = {sizeof kP256Parameters, const_cast<BYTE*>(kP256Parameters)};
    info.PrivateKey = {DWORD(inner.size()), inner.data()};
    ok = Encode(PKCS_PRIVATE_KEY_INFO, &info, &der);
    if (!ok) *error = LastError("encoding the PKCS#8 private key (CryptEncodeObjectEx PKCS_PRIVATE_KEY_INFO)");
  }
  if (ok && !DerToPem(kPrivateKeyLabel, der, pem)) {
    ok = false;
    *error = LastError("writing the private key as base64 (CryptBinaryToStringA)");
  }
  SecureZeroMemory(blob.data(), blob.size());
  if (!inner.empty()) SecureZeroMemory(inner.data(), inner.size());
  if (!der.empty()) SecureZeroMemory(der.data(), der.size());
  return ok;
}

bool CSigningKey::PublicPem(std::string* pem, std::string* error) const {
  BYTE blob[sizeof(BCRYPT_ECCKEY_BLOB) + 2 * kCoordinateSize];
  ULONG size = 0;
  const NTSTATUS status =
      key_ ? BCryptExportKey(key_->handle, nullptr, BCRYPT_ECCPUBLIC_BLOB, blob, sizeof blob, &size, 0)
           : NTSTATUS(-1);
  if (!BCRYPT_SUCCESS(status) || size != sizeof blob) {
    *error = "cannot export the public key (" + Failed("BCryptExportKey", status) + ")";
    return false;
  }
  Bytes point(1 + 2 * kCoordinateSize, kUncompressedPointTag);
  std::memcpy(point.data() + 1, blob + sizeof(BCRYPT_ECCKEY_BLOB), 2 * kCoordinateSize);
  CERT_PUBLIC_KEY_INFO info = {};
  info.Algorithm.pszObjId = const_cast<LPSTR>(szOID_ECC_PUBLIC_KEY);
  info.Algorithm.Parameters = {sizeof kP256Parameters, const_cast<BYTE*>(kP256Parameters)};
  info.PublicKey = {DWORD(point.size()), point.data(), 0};
  Bytes der;
  if (!Encode(X509_PUBLIC_KEY_INFO, &info, &der) || der.size() != kP256PublicKeyDerSize ||
      !DerToPem(kPublicKeyLabel, der, pem)) {
    *error = LastError("encoding the public key (CryptEncodeObjectEx X509_PUBLIC_KEY_INFO)");
    return false;
  }
  return true;
}

bool CSigningKey::Sign(const std::string& data, std::string* signature, std::string* error) const {
  BYTE digest[kSha256Size];
  BYTE rs[2 * kCoordinateSize];
  if (!key_ || !Sha256(data, digest)) {
    *error = "signing failed";
    return false;
  }
  if (!SignDigest(key_->handle, digest, rs, error)) return false;
  Bytes r;
  Bytes s;
  CERT_ECC_SIGNATURE value = {LittleEndian(rs, kCoordinateSize, &r), LittleEndian(rs + kCoordinateSize,
                                                                                   kCoordinateSize, &s)};
  Bytes der;
  if (!Encode(X509_ECC_SIGNATURE, &value, &der)) {
    *error = LastError("encoding the signature (CryptEncodeObjectEx X509_ECC_SIGNATURE)");
    return false;
  }
  signature->assign(der.begin(), der.end());
  return true;
}

bool CPublicKeyRing::LoadPem(const std::string& pem, std::string* error) {
  Reset();
  std::vector<PemBlock> blocks;
  if (!ReadPemBlocks(pem, &blocks, error)) return false;
  for (size_t i = 0; i < blocks.size(); ++i) {
    const std::string block = "block " + std::to_string(i + 1) + " ";
    if (blocks[i].label != kPublicKeyLabel) {
      *error = block + "is \"" + blocks[i].label + "\", not \"" + kPublicKeyLabel + "\"";
      Reset();
      return false;
    }
    Bytes der;
    CDecoded decoded;
    std::string problem;
    if (!Base64ToDer(blocks[i].base64, &der)) {
      problem = "is not valid PEM";
    } else if (!decoded.Decode(X509_PUBLIC_KEY_INFO, der.data(), der.size())) {
      problem = "is not a public key";
    } else {
      problem = CurveProblem(decoded.As<CERT_PUBLIC_KEY_INFO>()->Algorithm);
      if (problem.empty() && (der.size() != kP256PublicKeyDerSize ||
                              der[kUncompressedPointOffset] != kUncompressedPointTag)) {
        problem = "is not in the form \"openssl ec -pubout\" writes (named curve, uncompressed point)";
      }
    }
    BCRYPT_KEY_HANDLE handle = nullptr;
    if (problem.empty()) {
      BYTE blob[sizeof(BCRYPT_ECCKEY_BLOB) + 2 * kCoordinateSize];
      BCRYPT_ECCKEY_BLOB header = {BCRYPT_ECDSA_PUBLIC_P256_MAGIC, kCoordinateSize};
      std::memcpy(blob, &header, sizeof header);
      std::memcpy(blob + sizeof header, der.data() + kUncompressedPointOffset + 1, 2 * kCoordinateSize);
      const NTSTATUS status =
          BCryptImportKeyPair(EcdsaP256(), nullptr, BCRYPT_ECCPUBLIC_BLOB, &handle, blob, sizeof blob, 0);
      if (!BCRYPT_SUCCESS(status)) problem = "is not a point on P-256 (" + Failed("BCryptImportKeyPair", status) + ")";
    }
    if (!problem.empty()) {
      *error = block + problem;
      Reset();
      return false;
    }
    keys_.push_back(Own(handle));
  }
  if (keys_.empty()) {
    *error = "holds no PEM public key (\"-----BEGIN PUBLIC KEY-----\")";
    return false;
  }
  return true;
}

size_t CPublicKeyRing::VerifyingKey(const std::string& data, const std::string& signature) const {
  CDecoded decoded;
  BYTE digest[kSha256Size];
  BYTE rs[2 * kCoordinateSize];
  if (!decoded.Decode(X509_ECC_SIGNATURE, reinterpret_cast<const BYTE*>(signature.data()), signature.size()) ||
      !BigEndian32(decoded.As<CERT_ECC_SIGNATURE>()->r, rs) ||
      !BigEndian32(decoded.As<CERT_ECC_SIGNATURE>()->s, rs + kCoordinateSize) || !Sha256(data, digest)) {
    return 0;
  }
  for (size_t i = 0; i < keys_.size(); ++i) {
    if (VerifyDigest(keys_[i]->handle, digest, rs)) return i + 1;
  }
  return 0;
}

CSha256::CSha256() {
  state_ = new DigestState;
  ok_ = OpenDigest(state_);
}

CSha256::~CSha256() {
  CloseDigest(state_);
  delete state_;
}

bool CSha256::Update(const void* data, size_t size) {
  ok_ = ok_ && AddToDigest(state_, data, size);
  return ok_;
}

bool CSha256::Finish(std::string* hex) {
  BYTE digest[kSha256Size];
  ok_ = ok_ && FinishDigest(state_, digest);
  if (!ok_) return false;
  *hex = LowerHex(digest, kSha256Size);
  ok_ = false;  // finished: no further use
  return true;
}
