#include "marlpane/rows/password_digest.h"

#include <windows.h>
#include <bcrypt.h>

#include <vector>

#include "common/text16.h"
#include "marlpane/rows/row_builder.h"

namespace {

const wchar_t* AlgorithmOf(int32_t rowType) {
  switch (rowType) {
    case kRowMd5Password: return BCRYPT_MD5_ALGORITHM;
    case kRowSha160Password: return BCRYPT_SHA1_ALGORITHM;
    case kRowSha256Password: return BCRYPT_SHA256_ALGORITHM;
    case kRowSha384Password: return BCRYPT_SHA384_ALGORITHM;
    case kRowSha512Password: return BCRYPT_SHA512_ALGORITHM;
    default: return nullptr;
  }
}

bool Digest(const wchar_t* algorithmName, const std::string& bytes, std::vector<UCHAR>& digest) {
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  if (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&algorithm, algorithmName, nullptr, 0))) {
    return false;
  }
  DWORD length = 0;
  ULONG got = 0;
  bool ok = BCRYPT_SUCCESS(BCryptGetProperty(algorithm, BCRYPT_HASH_LENGTH,
                                              reinterpret_cast<PUCHAR>(&length), sizeof(length),
                                              &got, 0)) &&
            length > 0 && length <= 64;
  BCRYPT_HASH_HANDLE hash = nullptr;
  if (ok) ok = BCRYPT_SUCCESS(BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0));
  if (ok && !bytes.empty()) {
    ok = BCRYPT_SUCCESS(BCryptHashData(
        hash, reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data())),
        static_cast<ULONG>(bytes.size()), 0));
  }
  if (ok) {
    digest.assign(length, 0);
    ok = BCRYPT_SUCCESS(BCryptFinishHash(hash, digest.data(), length, 0));
  }
  if (hash) BCryptDestroyHash(hash);
  BCryptCloseAlgorithmProvider(algorithm, 0);
  return ok;
}

}  // namespace

bool PasswordDigest(int32_t rowType, const char16_t* password, std::u16string& out) {
  out.clear();
  const wchar_t* algorithm = AlgorithmOf(rowType);
  if (!algorithm) return false;
  std::vector<UCHAR> digest;
  if (!Digest(algorithm, TextToUtf8(password ? password : u""), digest)) return false;
  static const char16_t kDigits[] = u"0123456789abcdef";
  for (UCHAR byte : digest) {
    out += kDigits[byte >> 4];
    out += kDigits[byte & 0xF];
  }
  return true;
}
