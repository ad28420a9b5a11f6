#include "tools/padsign/signing_keys.h"

#include <openssl/bio.h>
#include <openssl/core_names.h>
#include <openssl/crypto.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/objects.h>
#include <openssl/pem.h>
#include <openssl/x509.h>

struct CryptoKey {
  EVP_PKEY* key;
};

struct DigestState {
  EVP_MD_CTX* context;
};

void FreeCryptoKey(CryptoKey* key) {
  if (key) EVP_PKEY_free(key->key);
  delete key;
}

namespace {

const char kPublicKeyPemName[] = "PUBLIC KEY";
constexpr size_t kCurveNameCapacity = 64;

CryptoKey* Own(EVP_PKEY* key) { return key ? new CryptoKey{key} : nullptr; }


// Never ask on the terminal for a pass phrase: an encrypted key is refused.
int NoPassphrase(char*, int, int, void*) { return -1; }

// Why key is not an EC key on P-256; empty when it is.
std::string CurveProblem(EVP_PKEY* key) {
  if (!EVP_PKEY_is_a(key, "EC")) {
    const char* type = EVP_PKEY_get0_type_name(key);
    return std::string("is not an ECDSA P-256 key (its type is ") + (type ? type : "unknown") + ")";
  }
  char name[kCurveNameCapacity] = {};
  size_t length = 0;
  if (EVP_PKEY_get_group_name(key, name, sizeof name, &length) != 1 ||
      OBJ_txt2nid(name) != NID_X9_62_prime256v1) {
    return std::string("is an EC key on ") + (name[0] ? name : "explicit curve parameters") +
           ", not on P-256 (prime256v1)";
  }
  return std::string();
}

std::string BioText(BIO* bio) {
  char* data = nullptr;
  const long size = BIO_get_mem_data(bio, &data);
  return size > 0 ? std::string(data, size_t(size)) : std::string();
}

}  // namespace

bool CSigningKey::Generate(std::string* error) {
  Reset();
  key_ = Own(EVP_EC_gen("P-256"));
  if (!key_) {
    *error = "cannot generate a P-256 key";
    return false;
  }
  return true;
}

bool CSigningKey::LoadPem(const std::string& pem, std::string* error) {
  Reset();
  BIO* bio = BIO_new_mem_buf(pem.data(), int(pem.size()));
  if (!bio) {
    *error = "out of memory";
    return false;
  }
  key_ = Own(PEM_read_bio_PrivateKey(bio, nullptr, NoPassphrase, nullptr));
  BIO_free(bio);
  ERR_clear_error();
  if (!key_) {
    *error = pem.find("ENCRYPTED") != std::string::npos
                 ? "is an encrypted private key; give the key without a pass phrase"
                 : "holds no private key in PEM form";
    return false;
  }
  const std::string problem = CurveProblem(key_->key);
  if (!problem.empty()) {
    Reset();
    *error = problem;
    return false;
  }
  return true;
}

bool CSigningKey::PrivatePem(std::string* pem, std::string* error) const {
  BIO* bio = BIO_new(BIO_s_mem());
  const bool ok =
      bio && key_ && PEM_write_bio_PrivateKey(bio, key_->key, nullptr, nullptr, 0, nullptr, nullptr) == 1;
  if (ok) *pem = BioText(bio);
  BIO_free(bio);
  if (!ok) *error = "cannot encode the private key";
  return ok;
}

bool CSigningKey::PublicPem(std::string* pem, std::string* error) const {
  BIO* bio = BIO_new(BIO_s_mem());
  const bool ok = bio && key_ && PEM_write_bio_PUBKEY(bio, key_->key) == 1;
  if (ok) *pem = BioText(bio);
  BIO_free(bio);
  if (!ok) *error = "cannot encode the public key";
  return ok;
}

bool CSigningKey::Sign(const std::string& data, std::string* signature, std::string* error) const {
  EVP_MD_CTX* context = EVP_MD_CTX_new();
  size_t size = 0;
  bool ok = context && key_ && EVP_DigestSignInit(context, nullptr, EVP_sha256(), nullptr, key_->key) == 1 &&
            EVP_DigestSign(context, nullptr, &size, reinterpret_cast<const unsigned char*>(data.data()),
                           data.size()) == 1;
  if (ok) {
    std::string der(size, '\0');
    ok = EVP_DigestSign(context, reinterpret_cast<unsigned char*>(&der[0]), &size,
                        reinterpret_cast<const unsigned char*>(data.data()), data.size()) == 1;
    der.resize(size);
    if (ok) *signature = std::move(der);
  }
  EVP_MD_CTX_free(context);
  ERR_clear_error();
  if (!ok) *error = "signing failed";
  return ok;
}

bool CPublicKeyRing::LoadPem(const std::string& pem, std::string* error) {
  Reset();
  BIO* bio = BIO_new_mem_buf(pem.data(), int(pem.size()));
  if (!bio) {
    *error = "out of memory";
    return false;
  }
  bool ok = true;
  for (size_t block = 1; ok; ++block) {
    char* name = nullptr;
    char* header = nullptr;
    unsigned char* der = nullptr;
    long size = 0;
    ERR_clear_error();
    if (PEM_read_bio(bio, &name, &header, &der, &size) != 1) {
      // Running out of blocks is the normal end; anything else is a broken block.
      if (ERR_GET_REASON(ERR_peek_last_error()) != PEM_R_NO_START_LINE) {
        *error = "block " + std::to_string(block) + " is not valid PEM";
        ok = false;
      }
      break;
    }
    std::string problem;
    EVP_PKEY* key = nullptr;
    if (std::string(name) != kPublicKeyPemName) {
      problem = std::string("is \"") + name + "\", not \"" + kPublicKeyPemName + "\"";
    } else {
      const unsigned char* p = der;
      key = d2i_PUBKEY(nullptr, &p, size);
      problem = !key || p != der + size ? "is not a public key" : CurveProblem(key);
      if (problem.empty() && (size_t(size) != kP256PublicKeyDerSize ||
                              der[kUncompressedPointOffset] != kUncompressedPointTag)) {
        problem = "is not in the form \"openssl ec -pubout\" writes (named curve, uncompressed point)";
      }
    }
    if (problem.empty()) {
      keys_.push_back(Own(key));
    } else {
      EVP_PKEY_free(key);
      *error = "block " + std::to_string(block) + " " + problem;
      ok = false;
    }
    OPENSSL_free(name);
    OPENSSL_free(header);
    OPENSSL_free(der);
  }
  BIO_free(bio);
  ERR_clear_error();
  if (ok && keys_.empty()) {
    *error = "holds no PEM public key (\"-----BEGIN PUBLIC KEY-----\")";
    ok = false;
  }
  return ok;
}

size_t CPublicKeyRing::VerifyingKey(const std::string& data, const std::string& signature) const {
  for (size_t i = 0; i < keys_.size(); ++i) {
    EVP_MD_CTX* context = EVP_MD_CTX_new();
    const bool valid =
        context && EVP_DigestVerifyInit(context, nullptr, EVP_sha256(), nullptr, keys_[i]->key) == 1 &&
        EVP_DigestVerify(context, reinterpret_cast<const unsigned char*>(signature.data()), signature.size(),
                         reinterpret_cast<const unsigned char*>(data.data()), data.size()) == 1;
    EVP_MD_CTX_free(context);
    ERR_clear_error();
    if (valid) return i + 1;
  }
  return 0;
}

CSha256::CSha256() {
  state_ = new DigestState{EVP_MD_CTX_new()};
  ok_ = state_->context && EVP_DigestInit_ex(state_->context, EVP_sha256(), nullptr) == 1;
}

CSha256::~CSha256() {
  EVP_MD_CTX_free(state_->context);
  delete state_;
}

bool CSha256::Update(const void* data, size_t size) {
  ok_ = ok_ && EVP_DigestUpdate(state_->context, data, size) == 1;
  return ok_;
}

bool CSha256::Finish(std::string* hex) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  ok_ = ok_ && EVP_DigestFinal_ex(state_->context, digest, &size) == 1;
  if (!ok_) return false;
  *hex = LowerHex(digest, size);
  ok_ = false;  // finished: no further use
  return true;
}
