#include "tools/respack/manifest.h"

#include "common/plain_file.h"
#include "common/text16.h"
#include "marlpane/document/ini_document.h"
#include "tools/respack/pack_archive.h"

namespace {

bool IsSeparator(char16_t c) {
  return c == u'/' || c == u'\\' || IsPathSeparator(c);
}

std::u16string Trimmed(const char16_t* text) {
  std::u16string value(text);
  const auto blank = [](char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; };
  size_t first = 0;
  while (first < value.size() && blank(value[first])) ++first;
  size_t last = value.size();
  while (last > first && blank(value[last - 1])) --last;
  return value.substr(first, last - first);
}

// Manifests may use either separator; a slash serves both platforms.
std::u16string NativeSeparators(std::u16string path) {
  for (char16_t& c : path) {
    if (c == u'\\') c = u'/';
  }
  return path;
}

}  // namespace

std::u16string FolderOf(const std::u16string& path) {
  for (size_t i = path.size(); i > 0; --i) {
    if (IsSeparator(path[i - 1])) {
      return path.substr(0, i - 1);
    }
  }
  return std::u16string();
}

std::u16string ResolveBeside(const std::u16string& folder, const std::u16string& path) {
  const bool absolute = (!path.empty() && IsSeparator(path[0])) ||
                        (path.size() >= 2 && path[1] == u':');
  if (absolute || folder.empty()) {
    return NativeSeparators(path);
  }
  return NativeSeparators(folder + u"/" + path);
}

bool LoadManifest(const char16_t* path, Manifest* manifest, std::string* error) {
  const std::string shown = TextToUtf8(path);
  manifest->key.clear();
  manifest->entries.clear();

  CIniDocument document;
  if (!document.Load(path)) {
    *error = "cannot read manifest " + shown;
    return false;
  }
  // The [archive] section is walked rather than looked up so that spaces
  // around "=" are allowed, as in [entries].
  std::vector<char16_t> keyBuffer(CIniDocument::kFieldCapacity);
  std::vector<char16_t> valueBuffer(CIniDocument::kFieldCapacity);
  char16_t* key = keyBuffer.data();
  char16_t* value = valueBuffer.data();
  bool haveKey = false;
  document.ResetCursor();
  if (document.FindSection(u"archive")) {
    while (!haveKey && document.NextEntry(key, value, true)) {
      haveKey = Trimmed(key) == u"key";
    }
  }
  if (!haveKey) {
    *error = "manifest " + shown + " has no key= in its [archive] section";
    return false;
  }
  std::string keyError;
  if (!ParseArchiveKey(Trimmed(value), &manifest->key, &keyError)) {
    *error = "manifest " + shown + ": " + keyError;
    return false;
  }

  document.ResetCursor();
  if (!document.FindSection(u"entries")) {
    *error = "manifest " + shown + " has no [entries] section";
    return false;
  }
  const std::u16string folder = FolderOf(path);
  while (document.NextEntry(key, value, true)) {
    ManifestEntry entry;
    std::string nameError;
    if (!MakeEntryName(Trimmed(key), &entry.name, &nameError)) {
      *error = "manifest " + shown + ": " + nameError;
      return false;
    }
    for (const ManifestEntry& earlier : manifest->entries) {
      if (earlier.name == entry.name) {
        *error = "manifest " + shown + ": entry name '" + PrintableName(entry.name) +
                 "' appears twice";
        return false;
      }
    }
    const std::u16string file = Trimmed(value);
    if (file.empty()) {
      *error = "manifest " + shown + ": entry '" + PrintableName(entry.name) + "' names no file";
      return false;
    }
    entry.path = ResolveBeside(folder, file);
    manifest->entries.push_back(std::move(entry));
  }
  return true;
}
