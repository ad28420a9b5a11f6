// Signatures made by the openssl command-line tool, checked through the
// platform's CNG.
#include "tollwren/trust/publisher_keys_win.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace {

std::string Fixture(const char* name) {
  std::ifstream file(std::string(TEST_FIXTURE_DIR) + "/trust/" + name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

const uint8_t* Data(const std::string& text) { return reinterpret_cast<const uint8_t*>(text.data()); }

TEST(PublisherKeys, SignatureOfTheSecondKeyOfTwo) {
  const std::string pad = Fixture("signed_pad.xml");
  const std::string signature = Fixture("signed_pad.xml.sig");
  CPublisherKeys both;
  const std::string pem = Fixture("first.pem") + Fixture("second.pem");
  ASSERT_TRUE(both.Load(Data(pem), pem.size()));
  EXPECT_TRUE(both.IsSigned());
  EXPECT_TRUE(both.Verify(Data(pad), pad.size(), Data(signature), signature.size()));

  CPublisherKeys other;
  const std::string first = Fixture("first.pem");
  ASSERT_TRUE(other.Load(Data(first), first.size()));
  EXPECT_FALSE(other.Verify(Data(pad), pad.size(), Data(signature), signature.size()));
}

TEST(PublisherKeys, AnyChangedByteIsRefused) {
  const std::string pad = Fixture("signed_pad.xml");
  const std::string signature = Fixture("signed_pad.xml.sig");
  const std::string pem = Fixture("second.pem");
  CPublisherKeys keys;
  ASSERT_TRUE(keys.Load(Data(pem), pem.size()));
  for (size_t at : {size_t{0}, pad.size() / 2, pad.size() - 1}) {
    std::string changed = pad;
    changed[at] ^= 1;
    EXPECT_FALSE(keys.Verify(Data(changed), changed.size(), Data(signature), signature.size())) << at;
  }
  EXPECT_FALSE(keys.Verify(Data(pad), pad.size() - 1, Data(signature), signature.size()));
  std::string badSignature = signature;
  badSignature[10] ^= 1;
  EXPECT_FALSE(keys.Verify(Data(pad), pad.size(), Data(badSignature), badSignature.size()));
  EXPECT_FALSE(keys.Verify(Data(pad), pad.size(), nullptr, 0));
}

TEST(PublisherKeys, BrokenKeyFileStaysSignedWithNoKey) {
  const std::string pad = Fixture("signed_pad.xml");
  const std::string signature = Fixture("signed_pad.xml.sig");
  const std::string pem = Fixture("second.pem") + Fixture("p384.pem");
  CPublisherKeys keys;
  EXPECT_FALSE(keys.Load(Data(pem), pem.size()));
  EXPECT_TRUE(keys.IsSigned());
  EXPECT_EQ(keys.KeyCount(), 0u);
  EXPECT_FALSE(keys.Verify(Data(pad), pad.size(), Data(signature), signature.size()));
  EXPECT_FALSE(CPublisherKeys().IsSigned());
}

TEST(PublisherKeys, HashInPiecesEqualsHashAtOnce) {
  const std::string pad = Fixture("signed_pad.xml");
  CSha256Digest once, pieces;
  ASSERT_TRUE(Sha256Of(Data(pad), pad.size(), once));
  CSha256Hash hash;
  for (size_t at = 0; at < pad.size(); at += 1000) {
    ASSERT_TRUE(hash.Add(Data(pad) + at, std::min<size_t>(1000, pad.size() - at)));
  }
  ASSERT_TRUE(hash.Finish(pieces));
  EXPECT_EQ(once, pieces);
  CSha256Digest empty;
  ASSERT_TRUE(Sha256Of(nullptr, 0, empty));
  EXPECT_EQ(empty[0], 0xe3);  // SHA-256 of nothing starts e3b0c442
  EXPECT_EQ(empty[1], 0xb0);
}

}  // namespace
