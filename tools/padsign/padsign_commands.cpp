#include "tools/padsign/padsign_commands.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tollwren/pad/pad_document.h"
#include "tollwren/pad/version_number.h"
#include "tools/padsign/pad_release.h"
#include "tools/padsign/padsign_files.h"
#include "tools/padsign/signing_keys.h"
#include "product_version.h"

namespace {

// PAD, signature and key files are small; anything larger is not one of them.
constexpr size_t kTextFileLimit = 1 << 20;
constexpr size_t kHashChunk = 1 << 20;
constexpr unsigned kPrivateKeyMode = 0600;
constexpr unsigned kPublicKeyMode = 0644;

const char kPrivateKeyName[] = "private.pem";
const char kPublicKeyName[] = "public.pem";
const char kReleasePadName[] = "pad.xml";
const char kReleaseSignatureName[] = "pad.xml.sig";

const char kUsage[] =
    "usage: padsign keygen DIR\n"
    "         writes DIR/private.pem and DIR/public.pem, a new ECDSA P-256 key pair\n"
    "       padsign release PAD INSTALLER PRIVATE_KEY OUTDIR\n"
    "         writes OUTDIR/pad.xml (PAD with the installer's File_Size_Bytes, File_Size_K,\n"
    "         File_Size_MB and File_SHA256) and OUTDIR/pad.xml.sig (its signature)\n"
    "       padsign verify PAD SIG PUBLIC_KEY [INSTALLER]\n"
    "         exit 0 when SIG is a valid signature of PAD by a key in PUBLIC_KEY\n"
    "         (and INSTALLER has the PAD's File_Size_Bytes and File_SHA256)\n"
    "       padsign --version\n";

int Fail(const std::string& message) {
  std::fprintf(stderr, "padsign: %s\n", message.c_str());
  return 1;
}

int UsageError(const std::string& message) {
  std::fprintf(stderr, "padsign: %s (padsign --help shows the usage)\n", message.c_str());
  return 2;
}

std::string Join(const std::string& folder, const char* name) {
  return !folder.empty() && folder.back() == '/' ? folder + name : folder + "/" + name;
}

// Size and SHA-256 of the installer, refusing what the updater cannot take.
bool HashInstaller(const std::string& path, uint64_t* size, std::string* hex, std::string* error) {
  CInputFile file;
  if (!file.Open(path, error)) return false;
  if (file.Size() == 0) {
    *error = path + " is empty";
    return false;
  }
  if (file.Size() >= kInstallerSizeLimit) {
    *error = path + " has " + std::to_string(file.Size()) + " bytes; the updater takes installers below " +
             std::to_string(kInstallerSizeLimit) + " bytes (2 GiB)";
    return false;
  }
  CSha256 hash;
  std::vector<unsigned char> chunk(kHashChunk);
  uint64_t total = 0;
  while (true) {
    const long n = file.Read(chunk.data(), chunk.size());
    if (n < 0) {
      *error = "cannot read " + path;
      return false;
    }
    if (n == 0) break;
    total += uint64_t(n);
    hash.Update(chunk.data(), size_t(n));
  }
  if (total != file.Size()) {
    *error = path + " changed while it was read";
    return false;
  }
  if (!hash.Finish(hex)) {
    *error = "cannot compute the SHA-256 of " + path;
    return false;
  }
  *size = total;
  return true;
}

int Keygen(const std::string& folder) {
  const std::string privatePath = Join(folder, kPrivateKeyName);
  const std::string publicPath = Join(folder, kPublicKeyName);
  for (const std::string& path : {privatePath, publicPath}) {
    if (PathExists(path)) return Fail(path + " already exists; padsign never overwrites a key");
  }
  CSigningKey key;
  std::string privatePem;
  std::string publicPem;
  std::string error;
  if (!key.Generate(&error)) return Fail(error);
  if (!key.PrivatePem(&privatePem, &error) || !key.PublicPem(&publicPem, &error)) return Fail(error);
  std::vector<std::string> createdFolders;
  if (!CreateFolders(folder, &createdFolders, &error)) return Fail(error);
  if (!WriteNewFile(privatePath, privatePem, kPrivateKeyMode, &error)) {
    RemoveFolders(createdFolders);
    return Fail(error);
  }
  if (!WriteNewFile(publicPath, publicPem, kPublicKeyMode, &error)) {
    RemovePath(privatePath);
    RemoveFolders(createdFolders);
    return Fail(error);
  }
  std::printf("wrote %s (keep it secret) and %s\n", privatePath.c_str(), publicPath.c_str());
  return 0;
}

int Release(const std::string& padPath, const std::string& installerPath, const std::string& keyPath,
            const std::string& outFolder) {
  std::string error;
  std::string pad;
  if (!ReadSmallFile(padPath, kTextFileLimit, &pad, &error)) return Fail(error);
  // The fields the updater needs are not among those a release changes.
  const std::string problem = PadUsabilityProblem(pad);
  if (!problem.empty()) return Fail(padPath + ": " + problem);
  uint64_t installerSize = 0;
  std::string digest;
  if (!HashInstaller(installerPath, &installerSize, &digest, &error)) return Fail(error);
  std::string keyPem;
  if (!ReadSmallFile(keyPath, kTextFileLimit, &keyPem, &error)) return Fail(error);
  CSigningKey key;
  if (!key.LoadPem(keyPem, &error)) return Fail(keyPath + ": " + error);

  std::string released;
  if (!RewritePadForRelease(pad, installerSize, digest, &released, &error)) return Fail(padPath + ": " + error);
  if (released.size() > kPadReleaseByteLimit) {
    return Fail(padPath + ": released it would have " + std::to_string(released.size()) +
                " bytes; the updater fetches at most " + std::to_string(kPadReleaseByteLimit));
  }

  std::string signature;
  if (!key.Sign(released, &signature, &error)) return Fail(error);
  const std::vector<OutputFile> files = {{kReleasePadName, released}, {kReleaseSignatureName, signature}};
  if (!WriteFilesTogether(outFolder, files, &error)) return Fail(error);
  std::printf("wrote %s and %s (installer %llu bytes, SHA-256 %s)\n", Join(outFolder, kReleasePadName).c_str(),
              Join(outFolder, kReleaseSignatureName).c_str(), static_cast<unsigned long long>(installerSize),
              digest.c_str());
  return 0;
}

bool IsSha256Hex(const std::u16string& text) {
  if (text.size() != kSha256HexLength) return false;
  for (char16_t c : text) {
    const bool hex = (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
    if (!hex) return false;
  }
  return true;
}

std::string LowerAscii(const std::u16string& text) {
  std::string lower;
  for (char16_t c : text) lower.push_back(char(c >= u'A' && c <= u'Z' ? c - u'A' + u'a' : c));
  return lower;
}

// Whether the installer is the one the PAD names, by the updater's field rule.
bool InstallerMatches(const std::string& pad, const std::string& padPath, const std::string& installerPath,
                      std::string* error) {
  const std::u16string text = PadAsUpdaterText(pad);
  std::u16string sizeText;
  int32_t expectedSize = 0;
  if (!ExtractPadField(text, u"File_Size_Bytes", kPadNumberLimit, sizeText) ||
      !ParseWholeNumber(sizeText.data(), sizeText.data() + sizeText.size(), expectedSize)) {
    *error = padPath + " has no File_Size_Bytes that the updater can read";
    return false;
  }
  std::u16string digestText;
  if (!ExtractPadField(text, u"File_SHA256", kPadLongLimit, digestText) || !IsSha256Hex(digestText)) {
    *error = padPath + " has no File_SHA256 of 64 hexadecimal digits";
    return false;
  }
  uint64_t size = 0;
  std::string digest;
  CInputFile file;
  if (!file.Open(installerPath, error)) return false;
  if (file.Size() != uint64_t(expectedSize)) {
    *error = installerPath + " has " + std::to_string(file.Size()) + " bytes; File_Size_Bytes of " + padPath +
             " says " + std::to_string(expectedSize);
    return false;
  }
  if (!HashInstaller(installerPath, &size, &digest, error)) return false;
  if (digest != LowerAscii(digestText)) {
    *error = "SHA-256 of " + installerPath + " is " + digest + "; File_SHA256 of " + padPath + " says " +
             LowerAscii(digestText);
    return false;
  }
  return true;
}

int Verify(const std::string& padPath, const std::string& signaturePath, const std::string& keysPath,
           const std::string* installerPath) {
  std::string error;
  std::string pad;
  std::string signature;
  std::string keysPem;
  if (!ReadSmallFile(padPath, kTextFileLimit, &pad, &error) ||
      !ReadSmallFile(signaturePath, kTextFileLimit, &signature, &error) ||
      !ReadSmallFile(keysPath, kTextFileLimit, &keysPem, &error)) {
    return Fail(error);
  }
  CPublicKeyRing keys;
  if (!keys.LoadPem(keysPem, &error)) return Fail(keysPath + ": " + error);
  const size_t signer = keys.VerifyingKey(pad, signature);
  if (signer == 0) {
    return Fail(signaturePath + " is not a valid signature of " + padPath + " by " +
                (keys.Count() == 1 ? "the key" : "any of the " + std::to_string(keys.Count()) + " keys") +
                " in " + keysPath);
  }
  const std::string problem = PadUsabilityProblem(pad);
  if (!problem.empty()) return Fail(padPath + ": signed, but it " + problem);
  if (installerPath && !InstallerMatches(pad, padPath, *installerPath, &error)) return Fail(error);
  std::printf("verified: %s signed by key %zu of %zu in %s%s\n", padPath.c_str(), signer, keys.Count(),
              keysPath.c_str(),
              installerPath ? ("; " + *installerPath + " has its File_Size_Bytes and File_SHA256").c_str() : "");
  return 0;
}

}  // namespace

int RunPadsign(const std::vector<std::string>& arguments) {
  if (arguments.empty()) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const std::string& command = arguments[0];
  const size_t count = arguments.size() - 1;
  if (command == "--help" || command == "-h" || command == "help") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (command == "--version") {
    std::puts("padsign " PRODUCT_VERSION_TEXT);
    return 0;
  }
  if (command == "keygen") {
    if (count != 1) return UsageError("keygen takes 1 argument (DIR), not " + std::to_string(count));
    return Keygen(arguments[1]);
  }
  if (command == "release") {
    if (count != 4) {
      return UsageError("release takes 4 arguments (PAD INSTALLER PRIVATE_KEY OUTDIR), not " +
                        std::to_string(count));
    }
    return Release(arguments[1], arguments[2], arguments[3], arguments[4]);
  }
  if (command == "verify") {
    if (count != 3 && count != 4) {
      return UsageError("verify takes 3 or 4 arguments (PAD SIG PUBLIC_KEY [INSTALLER]), not " +
                        std::to_string(count));
    }
    return Verify(arguments[1], arguments[2], arguments[3], count == 4 ? &arguments[4] : nullptr);
  }
  return UsageError("unknown command '" + command + "'");
}
