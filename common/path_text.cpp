#include "common/path_text.h"

#include <vector>

#include "common/text16.h"

namespace {

char16_t FoldCase(char16_t c) {
  if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c + 32);
  // Latin-1 capitals, except the multiplication sign.
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char16_t>(c + 32);
  return c;
}

const char16_t* LastOf(const char16_t* text, char16_t c) {
  const char16_t* found = nullptr;
  for (const char16_t* p = text; *p; ++p)
    if (*p == c) found = p;
  return found;
}

char16_t* LastOf(char16_t* text, char16_t c) {
  return const_cast<char16_t*>(LastOf(static_cast<const char16_t*>(text), c));
}

char16_t* FileNamePart(char16_t* path) {
  char16_t* slash = LastOf(path, u'\\');
  return slash ? slash + 1 : path;
}

template <bool kFold>
bool EndsWithImpl(const char16_t* text, const char16_t* suffix) {
  if (!text || !suffix) return false;
  const size_t n = TextLength(text);
  const size_t m = TextLength(suffix);
  if (m > n) return false;
  const char16_t* tail = text + (n - m);
  for (size_t i = 0; i < m; ++i) {
    char16_t a = tail[i], b = suffix[i];
    if (kFold) { a = FoldCase(a); b = FoldCase(b); }
    if (a != b) return false;
  }
  return true;
}

}  // namespace

bool StartsWith(const char16_t* text, const char16_t* prefix) {
  if (!text || !prefix) return false;
  for (size_t i = 0; prefix[i]; ++i)
    if (text[i] != prefix[i]) return false;
  return true;
}

bool EndsWith(const char16_t* text, const char16_t* suffix) {
  return EndsWithImpl<false>(text, suffix);
}

bool EndsWithNoCase(const char16_t* text, const char16_t* suffix) {
  return EndsWithImpl<true>(text, suffix);
}

char16_t* CutAtChar(char16_t* text, char16_t c) {
  if (!text) return nullptr;
  for (char16_t* p = text; *p; ++p) {
    if (*p == c) {
      *p = 0;
      return p;
    }
  }
  return nullptr;
}

size_t CountChar(const char16_t* text, char16_t c) {
  if (!text) return 0;
  size_t count = 0;
  for (const char16_t* p = text; *p; ++p)
    if (*p == c) ++count;
  return count;
}

size_t CommonPrefixLength(const char16_t* a, const char16_t* b) {
  if (!a || !b) return 0;
  size_t n = 0;
  while (a[n] && a[n] == b[n]) ++n;
  return n;
}

bool ReplaceAll(char16_t* text, size_t capacity, const char16_t* find,
                const char16_t* replacement) {
  if (!text || capacity == 0 || !find || !*find) return false;
  const size_t findLength = TextLength(find);
  const size_t replacementLength = TextLength(replacement);
  const size_t length = TextLength(text);
  const std::vector<char16_t> original(text, text + length + 1);
  const char16_t* source = original.data();
  const size_t limit = capacity - 1;
  size_t out = 0;
  bool cut = false;
  auto put = [&](const char16_t* from, size_t n) {
    for (size_t i = 0; i < n; ++i) {
      if (out == limit) {
        cut = true;
        return;
      }
      text[out++] = from[i];
    }
  };
  size_t i = 0;
  while (i < length && !cut) {
    if (length - i >= findLength && StartsWith(source + i, find)) {
      put(replacement, replacementLength);
      i += findLength;
    } else {
      put(source + i, 1);
      ++i;
    }
  }
  text[out] = 0;
  return !cut;
}

void StripFolder(char16_t* path) {
  if (!path) return;
  char16_t* name = FileNamePart(path);
  if (name == path) return;
  size_t i = 0;
  for (; name[i]; ++i) path[i] = name[i];
  path[i] = 0;
}

void StripFileName(char16_t* path) {
  if (!path) return;
  char16_t* slash = LastOf(path, u'\\');
  if (!slash) {
    path[0] = 0;
  } else if (path[0] == u'"') {
    slash[0] = u'"';
    slash[1] = 0;
  } else {
    slash[0] = 0;
  }
}

bool HasExtension(const char16_t* path) {
  if (!path || EndsWith(path, u".")) return false;
  const char16_t* slash = LastOf(path, u'\\');
  const char16_t* name = slash ? slash + 1 : path;
  return CountChar(name, u'.') > 0;
}

void StripExtension(char16_t* path) {
  if (!path) return;
  char16_t* dot = LastOf(FileNamePart(path), u'.');
  if (dot) *dot = 0;
}

char16_t* KeepExtension(char16_t* path) {
  if (!path) return nullptr;
  char16_t* dot = LastOf(path, u'.');
  if (!dot) return nullptr;
  size_t i = 0;
  for (; dot[i]; ++i) path[i] = dot[i];
  path[i] = 0;
  return path;
}

bool ReplaceExtension(const char16_t* extension, char16_t* path, size_t capacity) {
  if (!path || !extension) return false;
  if (EndsWithNoCase(path, extension)) return true;
  const char16_t* dot = LastOf(FileNamePart(path), u'.');
  const size_t stem = dot ? static_cast<size_t>(dot - path) : TextLength(path);
  const bool addDot = extension[0] != u'.';
  const size_t extensionLength = TextLength(extension);
  if (stem + (addDot ? 1 : 0) + extensionLength >= capacity) return false;
  size_t out = stem;
  if (addDot) path[out++] = u'.';
  for (size_t i = 0; i < extensionLength; ++i) path[out++] = extension[i];
  path[out] = 0;
  return true;
}
