// Loads arbitrary bytes as a settings document (from a real file and from
// memory), walks and queries it, replaces values and saves, checking that
//  - an unchanged document saves back byte for byte (when that is possible:
//    no NUL, no U+FEFF after a leading mark, whole UTF-16 units, no escapes);
//  - collected replacements give exactly what replacing at once gives.
// The first input byte chooses the mode and seeds the operations; the rest
// is the file.
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "common/text16.h"
#include "marlpane/document/ini_document.h"

namespace {

std::filesystem::path g_folder;

void RemoveFolder() {
  std::error_code error;
  std::filesystem::remove_all(g_folder, error);
}

const std::filesystem::path& Folder() {
  if (g_folder.empty()) {
    // tmpfs when there is one: every save flushes the file.
    std::string base = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
    std::string pattern = base + "/ini_document_fuzz.XXXXXX";
    if (!mkdtemp(pattern.data())) abort();
    g_folder = pattern;
    atexit(RemoveFolder);
  }
  return g_folder;
}

std::string ReadFile(const std::filesystem::path& path) {
  std::string bytes;
  if (FILE* f = fopen(path.c_str(), "rb")) {
    char block[4096];
    size_t n;
    while ((n = fread(block, 1, sizeof block, f)) > 0) bytes.append(block, n);
    fclose(f);
  }
  return bytes;
}

void WriteFile(const std::filesystem::path& path, const uint8_t* data, size_t size) {
  FILE* f = fopen(path.c_str(), "wb");
  if (!f) abort();
  if (size) fwrite(data, 1, size, f);
  fclose(f);
}

// Whether an unchanged, non-properties document must save back unchanged.
bool RoundTripExpected(const uint8_t* data, size_t size) {
  if (size == 0) return false;
  if (size >= 2 && data[0] == 0xFF && data[1] == 0xFE) {
    if (size % 2) return false;
    for (size_t i = 2; i < size; i += 2) {
      uint16_t c = static_cast<uint16_t>(data[i] | (data[i + 1] << 8));
      if (c == 0 || c == 0xFEFF) return false;
    }
    return true;
  }
  return memchr(data, 0, size) == nullptr;
}

struct Random {
  uint32_t state;
  uint32_t Next() {
    state = state * 1103515245u + 12345u;
    return state >> 8;
  }
};

const char16_t* const kValues[] = {u"", u"1", u"#FF8000", u"x=y", u"[s]", u"\u00E9", u"\u20AC", u"a\r\nb=c",
                                   u"\n[t]\n", u"\r", u"\\u0041", u";c"};

void Walk(CIniDocument& document) {
  static char16_t key[CIniDocument::kFieldCapacity], value[CIniDocument::kFieldCapacity];
  static char16_t section[CIniDocument::kFieldCapacity];
  document.ResetCursor();
  section[0] = 0;
  while (true) {
    while (document.NextEntry(key, value, true)) {
      size_t start, length;
      document.FindValue(u"", key, &start, &length);
      if (document.FindValue(section, key, &start, &length) && start + length > document.Length()) abort();
      int number;
      document.GetInt(section, key, &number);
      document.GetBool(section, key, &number);
      char16_t small[8];
      document.GetString(section, key, small, 8);
    }
    size_t before = document.Cursor();
    if (!document.NextSection(section)) break;
    if (document.Cursor() <= before && document.Cursor() < document.Length()) abort();  // no progress
  }
  // FindSection may move the cursor back to an earlier header of that name.
  if (document.FindSection(section) && document.Cursor() > document.Length()) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t inputSize) {
  if (inputSize == 0) return 0;
  const uint8_t control = input[0];
  const uint8_t* data = input + 1;
  const size_t size = inputSize - 1;
  const bool properties = control & 1;

  const auto in = Folder() / "in.ini";
  const auto out = Folder() / "out.ini";
  const auto out2 = Folder() / "out2.ini";
  WriteFile(in, data, size);
  std::u16string inPath = in.u16string(), outPath = out.u16string(), out2Path = out2.u16string();

  CIniDocument loaded;
  loaded.SetProperties(properties);
  if (!loaded.Load(inPath.c_str())) {
    if (size != 0) abort();  // only an empty file fails to load
    return 0;
  }

  // Memory and file give the same text when nothing is dropped or decoded
  // (Parse reads no UTF-8), and an unchanged save gives back every byte.
  if (!properties && RoundTripExpected(data, size)) {
    CIniDocument parsed;
    parsed.Parse(data, size);
    if (!IsUtf8(loaded.Encoding()) &&
        (parsed.Length() != loaded.Length() ||
         memcmp(parsed.Text(), loaded.Text(), loaded.Length() * sizeof(char16_t)) != 0)) {
      abort();
    }
    uint32_t written = loaded.Save(outPath.c_str());
    if (written != loaded.Length()) abort();
    if (ReadFile(out) != std::string(reinterpret_cast<const char*>(data), size)) abort();
  }

  Walk(loaded);
  loaded.ResetCursor();

  // The same replacements, collected (deferred) and applied at once.
  CIniDocument immediate;
  immediate.SetProperties(properties);
  if (!immediate.Load(inPath.c_str())) abort();
  Random random{control * 2654435761u + static_cast<uint32_t>(size)};
  const int steps = 1 + random.Next() % 24;
  for (int i = 0; i < steps; ++i) {
    const size_t entry = random.Next() % 40;
    const char16_t* value = kValues[random.Next() % (sizeof kValues / sizeof kValues[0])];
    const size_t cursor = loaded.Cursor();
    const bool a = loaded.ReplaceValue(entry, value);
    const bool b = immediate.ReplaceValue(entry, value);
    if (a != b || loaded.Cursor() != cursor) abort();
    immediate.Length();
    if (random.Next() % 4 == 0) {
      char16_t key[CIniDocument::kFieldCapacity], got[CIniDocument::kFieldCapacity];
      char16_t key2[CIniDocument::kFieldCapacity], got2[CIniDocument::kFieldCapacity];
      const bool stop = random.Next() % 2;
      const bool x = loaded.NextEntry(key, got, stop);
      const bool y = immediate.NextEntry(key2, got2, stop);
      if (x != y || (x && (std::u16string(key) != key2 || std::u16string(got) != got2))) abort();
      if (loaded.Cursor() != immediate.Cursor()) abort();
    }
  }
  if (loaded.Length() != immediate.Length() ||
      memcmp(loaded.Text(), immediate.Text(), loaded.Length() * sizeof(char16_t)) != 0) {
    abort();
  }
  const bool encodable = loaded.CanEncodeText();
  const uint32_t saved = loaded.Save(outPath.c_str());
  if (!encodable && saved != 0) abort();
  if (saved != 0) {
    immediate.Save(out2Path.c_str());
    if (ReadFile(out) != ReadFile(out2)) abort();
    // What was saved loads back as the same text (8-bit, no escapes, no NUL),
    // unless the new values made its bytes read as UTF-8.
    if (!properties && loaded.Encoding() == TextEncoding::kBytes) {
      CIniDocument again;
      again.SetProperties(false);
      if (!again.Load(outPath.c_str())) abort();
      if (again.Encoding() == TextEncoding::kBytes &&
          (again.Length() != loaded.Length() ||
           memcmp(again.Text(), loaded.Text(), loaded.Length() * sizeof(char16_t)) != 0)) {
        abort();
      }
    }
  }
  return 0;
}
