// Decoders of what a publisher's signing leaves in the updater's hands: the
// public keys of the archive entry "keys.pem", the detached signature of a
// PAD file and the installer digest written into it. Every input is hostile
// until decoded: the readers are bounded, strict and never read past the
// bytes given. The cryptography itself is the platform's; these only turn
// the standard encodings into the raw numbers it takes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

constexpr size_t kP256CoordinateSize = 32;
constexpr size_t kSha256Size = 32;
// The largest "keys.pem" read and the most keys taken from it.
constexpr size_t kKeyFileByteLimit = 64 * 1024;
constexpr size_t kKeyCountLimit = 16;
// A DER ECDSA P-256 signature has at most 72 bytes; anything much larger
// fetched as a signature is not one.
constexpr size_t kSignatureByteLimit = 256;

// A public key on the curve P-256 as its two coordinates, big-endian.
struct CP256PublicKey {
  std::array<uint8_t, kP256CoordinateSize> x{};
  std::array<uint8_t, kP256CoordinateSize> y{};
};

using CSha256Digest = std::array<uint8_t, kSha256Size>;

// Standard base64 (RFC 4648 alphabet) with "=" padding; line breaks, spaces
// and tabs are skipped. False for any other character, padding in the
// middle, bits left over, or an empty result.
bool DecodeBase64(std::string_view text, std::vector<uint8_t>& out);

// A DER SubjectPublicKeyInfo of an EC key on P-256 with an uncompressed
// point, as "openssl ec -pubout" writes it. False for any other algorithm,
// curve, point form, or a byte too many.
bool DecodeP256PublicKeyInfo(const uint8_t* der, size_t size, CP256PublicKey& key);

// Every "-----BEGIN PUBLIC KEY-----" block of a PEM text. All or nothing:
// false (keys empty) when the text holds no block, more than kKeyCountLimit,
// or any block that is not a P-256 key, so that a damaged key file never
// silently narrows which publisher keys count.
bool ReadPublicKeysPem(std::string_view text, std::vector<CP256PublicKey>& keys);

// A DER ECDSA-Sig-Value (SEQUENCE of the two INTEGERs r and s) as the 64
// bytes r || s, each left-padded to 32 bytes. Strict DER: minimal lengths,
// minimal positive integers, neither zero nor wider than 32 bytes, nothing
// after the sequence.
bool DecodeEcdsaSignature(const uint8_t* der, size_t size, std::array<uint8_t, 2 * kP256CoordinateSize>& rs);

// A File_SHA256 value: 64 hexadecimal digits in either case, white space
// around them ignored.
bool ParseSha256Hex(std::u16string_view text, CSha256Digest& digest);
