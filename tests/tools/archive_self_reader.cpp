// Test program that reads entries from the archive appended to its own
// executable, exactly as the two programs do at start-up.
//
//   archive_self_reader KEY NAME OUT [NAME OUT ...]
//
// KEY is any key form of respack (marlpane, tollwren, none, hex:DIGITS). For
// each NAME it prints "NAME SIZE READ" (GetEntrySize, then ReadEntry into a
// buffer of exactly that size) and writes the content to OUT when the read
// succeeded. Exits 0 when every entry was read, 1 otherwise.
#include <cstdio>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "common/archive.h"
#include "common/byte_buffer.h"
#include "common/plain_file.h"
#include "common/text16.h"
#include "tools/respack/command_line.h"
#include "tools/respack/pack_archive.h"

namespace {

CKeyedArchive g_archive;
char16_t g_programPath[kPathCapacity];

bool StoreOwnPath() {
#ifdef _WIN32
  const DWORD length = GetModuleFileNameW(nullptr, AsWide(g_programPath), DWORD(kPathCapacity));
  return length != 0 && length < kPathCapacity;
#else
  return GetProgramPath(g_programPath, kPathCapacity) != 0;
#endif
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::u16string> arguments = CommandArguments(argc, argv);
  if (arguments.size() < 3 || arguments.size() % 2 == 0) {
    std::fprintf(stderr, "usage: archive_self_reader KEY NAME OUT [NAME OUT ...]\n");
    return 2;
  }
  std::vector<uint8_t> key;
  std::string error;
  if (!ParseArchiveKey(arguments[0], &key, &error) || !StoreOwnPath()) {
    std::fprintf(stderr, "archive_self_reader: %s\n", error.empty() ? "no own path" : error.c_str());
    return 2;
  }
  g_archive.SetKey(key.data(), uint32_t(key.size()));

  int result = 0;
  for (size_t i = 1; i + 1 < arguments.size(); i += 2) {
    const std::string name = TextToUtf8(arguments[i]);
    const uint32_t size = g_archive.GetEntrySize(g_programPath, name.c_str());
    uint32_t read = 0;
    CByteBuffer buffer;
    if (size != 0 && buffer.Allocate(size) != nullptr) {
      read = g_archive.ReadEntry(g_programPath, name.c_str(), buffer.Data(), size);
    }
    std::printf("%s %u %u\n", name.c_str(), unsigned(size), unsigned(read));
    if (read == 0 || read != size) {
      result = 1;
      continue;
    }
    CPlainFile out;
    if (!out.OpenWrite(arguments[i + 1].c_str()) || out.Write(buffer.Data(), read) != read) {
      std::fprintf(stderr, "archive_self_reader: cannot write %s\n", TextToUtf8(arguments[i + 1]).c_str());
      result = 1;
    }
  }
  return result;
}
