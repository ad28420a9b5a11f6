#include "tools/respack/respack_commands.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "common/archive.h"
#include "common/program_keys.h"
#include "common/text16.h"
#include "tools/respack/manifest.h"
#include "tools/respack/pack_archive.h"
#include "tools/respack/pack_files.h"
#include "tools/respack/stn_record.h"
#include "product_version.h"

namespace {

const char kUsage[] =
    "usage: respack append MANIFEST INPUT OUTPUT\n"
    "       respack list --key KEY FILE\n"
    "       respack extract --key KEY FILE ENTRY OUT\n"
    "       respack stn SOURCE OUT      (updater settings record from an INI source)\n"
    "       respack stn-show RECORD     (prints a record, or a branded tollwren's, as its INI source)\n"
    "       respack --version\n"
    "KEY: marlpane, tollwren, none, or hex:DIGITS\n"
    "list prints each entry's name, size, kind (bitmap, png or other) and checksum (ok or bad).\n";

int Fail(const std::string& message) {
  std::fprintf(stderr, "respack: %s\n", message.c_str());
  return 1;
}

int UsageError(const std::string& message) {
  std::fprintf(stderr, "respack: %s\n%s", message.c_str(), kUsage);
  return 2;
}

std::string Shown(const std::u16string& path) { return TextToUtf8(path); }

bool IsKey(const std::vector<uint8_t>& key, const uint8_t* table) {
  return key.size() == kProgramKeyLength && std::equal(key.begin(), key.end(), table);
}

// The programs accept their settings records only at their exact sizes and
// otherwise refuse to start; a mismatch is almost certainly a mistake, but
// test copies may want it, so it is only a warning.
void WarnAboutRecordSize(const std::vector<uint8_t>& key, const PackEntry& entry) {
  struct Record {
    const uint8_t* key;
    const char* program;
    const char* name;
    size_t size;
  };
  const Record records[] = {{kMarlpaneArchiveKey, "marlpane", "settings", 84},
                            {kTollwrenArchiveKey, "tollwren", "stn", 10708}};
  for (const Record& record : records) {
    if (IsKey(key, record.key) && entry.name == record.name && entry.content.size() != record.size) {
      std::fprintf(stderr, "respack: warning: entry '%s' has %u bytes; %s accepts only %u\n",
                   record.name, unsigned(entry.content.size()), record.program, unsigned(record.size));
    }
  }
}

int Append(const std::u16string& manifestPath, const std::u16string& input,
           const std::u16string& output) {
  Manifest manifest;
  std::string error;
  if (!LoadManifest(manifestPath.c_str(), &manifest, &error)) {
    return Fail(error);
  }
  std::vector<PackEntry> entries;
  for (const ManifestEntry& item : manifest.entries) {
    PackEntry entry;
    entry.name = item.name;
    if (!ReadWholeFile(item.path.c_str(), &entry.content)) {
      return Fail("cannot read " + Shown(item.path) + " for entry '" + PrintableName(item.name) + "'");
    }
    if (entry.content.empty()) {
      // The programs read an empty entry as a missing one.
      return Fail("entry '" + PrintableName(item.name) + "': " + Shown(item.path) + " is empty");
    }
    WarnAboutRecordSize(manifest.key, entry);
    entries.push_back(std::move(entry));
  }
  std::vector<uint8_t> archive;
  if (!BuildArchive(entries, manifest.key, &archive, &error)) {
    return Fail(error);
  }
  std::vector<uint8_t> image;
  if (!ReadWholeFile(input.c_str(), &image)) {
    return Fail("cannot read " + Shown(input));
  }
  // Signing covers the archive: a new one behind the certificate table would
  // be read by no one, and one put in front of it breaks the signature.
  if (IsSignedImage(image.data(), image.size())) {
    return Fail("sign after branding: the signature would no longer match");
  }
  // A copy that is already branded loses its old archive.
  const size_t imageEnd = FindImageEnd(image.data(), image.size());
  if (uint64_t(imageEnd) + archive.size() > 0xFFFFFFFFull) {
    return Fail(Shown(output) + " would exceed 4 GiB");
  }
  const std::vector<ByteSpan> parts = {{image.data(), imageEnd}, {archive.data(), archive.size()}};
  if (!WriteFileAtomically(output.c_str(), parts, input.c_str(), &error)) {
    return Fail(error);
  }
  return 0;
}

int List(const std::vector<uint8_t>& key, const std::u16string& path) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(path.c_str(), &bytes)) {
    return Fail("cannot read " + Shown(path));
  }
  std::vector<ListedEntry> entries;
  std::string error;
  const bool walked = ListArchive(bytes.data(), bytes.size(), key, &entries, &error);
  for (const ListedEntry& entry : entries) {
    std::printf("%s\t%u\t%s\t%s\n", PrintableName(entry.name).c_str(), unsigned(entry.size),
                EntryKindName(entry.kind), entry.checksumOk ? "ok" : "bad");
  }
  std::fflush(stdout);
  if (!walked) {
    return Fail(Shown(path) + ": " + error);
  }
  size_t bad = 0;
  for (const ListedEntry& entry : entries) {
    bad += entry.checksumOk ? 0 : 1;
  }
  if (bad != 0) {
    return Fail(Shown(path) + ": " + std::to_string(bad) + " of " + std::to_string(entries.size()) +
                " entries fail their checksum under this key");
  }
  return 0;
}

int Extract(const std::vector<uint8_t>& key, const std::u16string& path, const std::u16string& entryText,
            const std::u16string& output) {
  std::string name;
  std::string error;
  if (!MakeEntryName(entryText, &name, &error)) {
    return Fail(error);
  }
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(path.c_str(), &bytes)) {
    return Fail("cannot read " + Shown(path));
  }
  if (!HasAppendedArchive(bytes.data(), bytes.size())) {
    return Fail(Shown(path) + ": the file carries no archive");
  }
  // The programs' own reader decides, so what extracts is what they would read.
  static CKeyedArchive reader;
  reader.SetKey(key.data(), uint32_t(key.size()));
  const uint32_t size = reader.GetEntrySize(path.c_str(), name.c_str());
  if (size == 0) {
    return Fail(Shown(path) + ": no entry '" + PrintableName(name) + "' under this key");
  }
  std::vector<uint8_t> content(size);
  if (reader.ReadEntry(path.c_str(), name.c_str(), content.data(), size) != size) {
    return Fail(Shown(path) + ": entry '" + PrintableName(name) + "' fails its checksum");
  }
  const std::vector<ByteSpan> parts = {{content.data(), content.size()}};
  if (!WriteFileAtomically(output.c_str(), parts, nullptr, &error)) {
    return Fail(error);
  }
  return 0;
}

int BuildStn(const std::u16string& sourcePath, const std::u16string& output) {
  std::vector<uint8_t> source;
  if (!ReadWholeFile(sourcePath.c_str(), &source)) {
    return Fail("cannot read " + Shown(sourcePath));
  }
  std::vector<uint8_t> record;
  std::vector<std::string> warnings;
  std::string error;
  if (!BuildStnRecord(source.data(), source.size(), &record, &warnings, &error)) {
    return Fail(Shown(sourcePath) + ": " + error);
  }
  for (const std::string& warning : warnings) {
    std::fprintf(stderr, "respack: warning: %s: %s\n", Shown(sourcePath).c_str(), warning.c_str());
  }
  const std::vector<ByteSpan> parts = {{record.data(), record.size()}};
  if (!WriteFileAtomically(output.c_str(), parts, nullptr, &error)) {
    return Fail(error);
  }
  return 0;
}

int ShowStn(const std::u16string& path) {
  std::vector<uint8_t> record;
  if (!ReadWholeFile(path.c_str(), &record)) {
    return Fail("cannot read " + Shown(path));
  }
  // A branded copy of the updater shows the record it carries.
  if (record.size() != kStnRecordSize && HasAppendedArchive(record.data(), record.size())) {
    static CKeyedArchive reader;
    reader.SetKey(kTollwrenArchiveKey, kProgramKeyLength);
    const uint32_t size = reader.GetEntrySize(path.c_str(), "stn");
    if (size == 0) {
      return Fail(Shown(path) + ": no entry 'stn' under tollwren's key");
    }
    record.assign(size, 0);
    if (reader.ReadEntry(path.c_str(), "stn", record.data(), size) != size) {
      return Fail(Shown(path) + ": entry 'stn' fails its checksum");
    }
  }
  if (record.size() != kStnRecordSize) {
    return Fail(Shown(path) + " has " + std::to_string(record.size()) + " bytes; a stn record has exactly " +
                std::to_string(kStnRecordSize));
  }
  const std::string text = PrintStnRecord(record.data());
  if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0) {
    return Fail("cannot write the output");
  }
  return 0;
}

// Reads "--key KEY" at arguments[1..2].
bool TakeKey(const std::vector<std::u16string>& arguments, std::vector<uint8_t>* key, int* exitCode) {
  if (arguments.size() < 3 || arguments[1] != u"--key") {
    *exitCode = UsageError("missing --key KEY");
    return false;
  }
  std::string error;
  if (!ParseArchiveKey(arguments[2], key, &error)) {
    *exitCode = Fail(error);
    return false;
  }
  return true;
}

}  // namespace

int RunRespack(const std::vector<std::u16string>& arguments) {
  if (arguments.empty()) {
    return UsageError("no command");
  }
  const std::u16string& command = arguments[0];
  int exitCode = 0;
  if (command == u"append") {
    if (arguments.size() != 4) {
      return UsageError("append takes MANIFEST INPUT OUTPUT");
    }
    return Append(arguments[1], arguments[2], arguments[3]);
  }
  if (command == u"list") {
    std::vector<uint8_t> key;
    if (!TakeKey(arguments, &key, &exitCode)) {
      return exitCode;
    }
    if (arguments.size() != 4) {
      return UsageError("list takes --key KEY FILE");
    }
    return List(key, arguments[3]);
  }
  if (command == u"extract") {
    std::vector<uint8_t> key;
    if (!TakeKey(arguments, &key, &exitCode)) {
      return exitCode;
    }
    if (arguments.size() != 6) {
      return UsageError("extract takes --key KEY FILE ENTRY OUT");
    }
    return Extract(key, arguments[3], arguments[4], arguments[5]);
  }
  if (command == u"stn") {
    if (arguments.size() != 3) {
      return UsageError("stn takes SOURCE OUT");
    }
    return BuildStn(arguments[1], arguments[2]);
  }
  if (command == u"stn-show") {
    if (arguments.size() != 2) {
      return UsageError("stn-show takes RECORD");
    }
    return ShowStn(arguments[1]);
  }
  if (command == u"--help" || command == u"-h" || command == u"help") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (command == u"--version") {
    std::puts("respack " PRODUCT_VERSION_TEXT);
    return 0;
  }
  return UsageError("unknown command " + TextToUtf8(command));
}
