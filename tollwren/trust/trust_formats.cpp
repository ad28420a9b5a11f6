#include "tollwren/trust/trust_formats.h"

#include <cstring>

namespace {

constexpr uint8_t kDerInteger = 0x02;
constexpr uint8_t kDerBitString = 0x03;
constexpr uint8_t kDerObjectId = 0x06;
constexpr uint8_t kDerSequence = 0x30;
constexpr uint8_t kUncompressedPoint = 0x04;

// id-ecPublicKey (1.2.840.10045.2.1) and prime256v1 (1.2.840.10045.3.1.7).
constexpr uint8_t kEcPublicKeyOid[] = {0x2A, 0x86, 0x48, 0xCE, 0x3D, 0x02, 0x01};
constexpr uint8_t kP256CurveOid[] = {0x2A, 0x86, 0x48, 0xCE, 0x3D, 0x03, 0x01, 0x07};

constexpr std::string_view kPemBegin = "-----BEGIN PUBLIC KEY-----";
constexpr std::string_view kPemEnd = "-----END PUBLIC KEY-----";
constexpr std::string_view kPrivateKeyMark = "PRIVATE KEY";

// One level of DER: elements read one after another from a bounded range.
class CDerReader {
 public:
  CDerReader(const uint8_t* data, size_t size) : data_(data), size_(data ? size : 0) {}

  // The next element, which must carry tag; content and length of its
  // value. Definite lengths of at most two bytes, minimally encoded.
  bool Read(uint8_t tag, const uint8_t*& content, size_t& length) {
    if (size_ - at_ < 2 || data_[at_] != tag) return false;
    size_t pos = at_ + 1;
    const uint8_t first = data_[pos++];
    size_t value = first;
    if (first & 0x80) {
      const size_t count = first & 0x7F;
      if (count == 0 || count > 2 || size_ - pos < count) return false;
      value = 0;
      for (size_t i = 0; i < count; ++i) value = (value << 8) | data_[pos++];
      // Long form only where the short one cannot hold the length, and no
      // leading zero byte.
      if (value < 0x80 || (count == 2 && value < 0x100)) return false;
    }
    if (size_ - pos < value) return false;
    content = data_ + pos;
    length = value;
    at_ = pos + value;
    return true;
  }

  bool AtEnd() const { return at_ == size_; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

bool SameBytes(const uint8_t* data, size_t size, const uint8_t* expected, size_t expectedSize) {
  return size == expectedSize && std::memcmp(data, expected, size) == 0;
}

// A DER INTEGER's content that must be positive and fit 32 bytes, written
// right-aligned into out.
bool ReadCoordinate(const uint8_t* content, size_t length, uint8_t* out) {
  if (length == 0 || (content[0] & 0x80)) return false;  // empty or negative
  if (content[0] == 0 && length > 1) {
    // A leading zero only in front of a byte whose top bit is set.
    if (!(content[1] & 0x80)) return false;
    ++content;
    --length;
  }
  if (length > kP256CoordinateSize) return false;
  std::memset(out, 0, kP256CoordinateSize);
  std::memcpy(out + kP256CoordinateSize - length, content, length);
  for (size_t i = 0; i < kP256CoordinateSize; ++i) {
    if (out[i]) return true;
  }
  return false;  // zero
}

int Base64Value(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

bool IsSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

int HexValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

}  // namespace

bool DecodeBase64(std::string_view text, std::vector<uint8_t>& out) {
  out.clear();
  uint32_t bits = 0;
  int bitCount = 0;
  size_t padding = 0;
  size_t symbols = 0;
  for (char c : text) {
    if (c == '\r' || c == '\n' || c == ' ' || c == '\t') continue;
    if (c == '=') {
      ++padding;
      ++symbols;
      continue;
    }
    const int value = Base64Value(c);
    if (value < 0 || padding) return false;  // not base64, or data after padding
    bits = (bits << 6) | static_cast<uint32_t>(value);
    bitCount += 6;
    ++symbols;
    if (bitCount >= 8) {
      bitCount -= 8;
      out.push_back(static_cast<uint8_t>(bits >> bitCount));
      bits &= (1u << bitCount) - 1;
    }
  }
  // Whole groups of four symbols, at most two of them padding, and the bits
  // that padding leaves over all zero.
  if (symbols % 4 != 0 || padding > 2 || bits != 0 || out.empty()) {
    out.clear();
    return false;
  }
  return true;
}

bool DecodeP256PublicKeyInfo(const uint8_t* der, size_t size, CP256PublicKey& key) {
  CDerReader outer(der, size);
  const uint8_t* info = nullptr;
  size_t infoLength = 0;
  if (!outer.Read(kDerSequence, info, infoLength) || !outer.AtEnd()) return false;

  CDerReader fields(info, infoLength);
  const uint8_t* algorithm = nullptr;
  size_t algorithmLength = 0;
  const uint8_t* bits = nullptr;
  size_t bitsLength = 0;
  if (!fields.Read(kDerSequence, algorithm, algorithmLength) || !fields.Read(kDerBitString, bits, bitsLength) ||
      !fields.AtEnd()) {
    return false;
  }

  CDerReader ids(algorithm, algorithmLength);
  const uint8_t* oid = nullptr;
  size_t oidLength = 0;
  if (!ids.Read(kDerObjectId, oid, oidLength) || !SameBytes(oid, oidLength, kEcPublicKeyOid, sizeof kEcPublicKeyOid))
    return false;
  if (!ids.Read(kDerObjectId, oid, oidLength) || !SameBytes(oid, oidLength, kP256CurveOid, sizeof kP256CurveOid))
    return false;
  if (!ids.AtEnd()) return false;

  // No unused bits, then the uncompressed point 04 || X || Y.
  if (bitsLength != 2 + 2 * kP256CoordinateSize || bits[0] != 0 || bits[1] != kUncompressedPoint) return false;
  std::memcpy(key.x.data(), bits + 2, kP256CoordinateSize);
  std::memcpy(key.y.data(), bits + 2 + kP256CoordinateSize, kP256CoordinateSize);
  return true;
}

bool ReadPublicKeysPem(std::string_view text, std::vector<CP256PublicKey>& keys) {
  keys.clear();
  if (text.size() > kKeyFileByteLimit || text.find(kPrivateKeyMark) != std::string_view::npos) return false;
  size_t at = 0;
  for (;;) {
    const size_t begin = text.find(kPemBegin, at);
    if (begin == std::string_view::npos) break;
    const size_t bodyStart = begin + kPemBegin.size();
    const size_t end = text.find(kPemEnd, bodyStart);
    // A block without its end, or one that runs into the next block.
    if (end == std::string_view::npos || text.substr(bodyStart, end - bodyStart).find("-----") != std::string_view::npos ||
        keys.size() == kKeyCountLimit) {
      keys.clear();
      return false;
    }
    std::vector<uint8_t> der;
    CP256PublicKey key;
    if (!DecodeBase64(text.substr(bodyStart, end - bodyStart), der) ||
        !DecodeP256PublicKeyInfo(der.data(), der.size(), key)) {
      keys.clear();
      return false;
    }
    keys.push_back(key);
    at = end + kPemEnd.size();
  }
  return !keys.empty();
}

bool DecodeEcdsaSignature(const uint8_t* der, size_t size, std::array<uint8_t, 2 * kP256CoordinateSize>& rs) {
  if (size > kSignatureByteLimit) return false;
  CDerReader outer(der, size);
  const uint8_t* value = nullptr;
  size_t valueLength = 0;
  if (!outer.Read(kDerSequence, value, valueLength) || !outer.AtEnd()) return false;
  CDerReader integers(value, valueLength);
  const uint8_t* r = nullptr;
  size_t rLength = 0;
  const uint8_t* s = nullptr;
  size_t sLength = 0;
  if (!integers.Read(kDerInteger, r, rLength) || !integers.Read(kDerInteger, s, sLength) || !integers.AtEnd())
    return false;
  return ReadCoordinate(r, rLength, rs.data()) && ReadCoordinate(s, sLength, rs.data() + kP256CoordinateSize);
}

bool ParseSha256Hex(std::u16string_view text, CSha256Digest& digest) {
  while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
  if (text.size() != 2 * kSha256Size) return false;
  for (size_t i = 0; i < kSha256Size; ++i) {
    const int high = HexValue(text[2 * i]);
    const int low = HexValue(text[2 * i + 1]);
    if (high < 0 || low < 0) return false;
    digest[i] = static_cast<uint8_t>(high << 4 | low);
  }
  return true;
}
