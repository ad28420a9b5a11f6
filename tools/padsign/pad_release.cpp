#include "tools/padsign/pad_release.h"

#include <algorithm>

#include "tollwren/pad/pad_document.h"
#include "tollwren/pad/version_number.h"

namespace {

constexpr uint64_t kBytesPerKilobyte = 1024;
constexpr uint64_t kBytesPerMegabyte = 1024 * 1024;

const char kSizeBytesTag[] = "File_Size_Bytes";
const char kSizeKTag[] = "File_Size_K";
const char kSizeMbTag[] = "File_Size_MB";
const char kSha256Tag[] = "File_SHA256";
const char kFileInfoTag[] = "File_Info";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }

enum class ElementForm { kMissing, kPair, kEmpty, kUnclosed };

// The first element of a tag in the forms the updater or a PAD editor
// writes: "<Tag>value</Tag>" (value between), or "<Tag/>" / "<Tag />" (empty).
// A start tag with attributes is skipped, as the updater's search skips it.
struct CPadElement {
  ElementForm form = ElementForm::kMissing;
  size_t begin = 0;       // at "<"
  size_t end = 0;         // after the closing ">"
  size_t valueBegin = 0;  // kPair only
  size_t valueEnd = 0;
};

CPadElement FindFirstElement(const std::string& doc, const std::string& tag) {
  CPadElement element;
  const std::string open = "<" + tag;
  const std::string close = "</" + tag + ">";
  size_t from = 0;
  while (true) {
    const size_t at = doc.find(open, from);
    if (at == std::string::npos) return element;
    size_t p = at + open.size();
    if (p < doc.size() && doc[p] == '>') {
      element.begin = at;
      element.valueBegin = p + 1;
      const size_t closeAt = doc.find(close, element.valueBegin);
      if (closeAt == std::string::npos) {
        element.form = ElementForm::kUnclosed;
        return element;
      }
      element.form = ElementForm::kPair;
      element.valueEnd = closeAt;
      element.end = closeAt + close.size();
      return element;
    }
    while (p < doc.size() && (IsBlank(doc[p]) || IsLineBreak(doc[p]))) ++p;
    if (doc.compare(p, 2, "/>") == 0) {
      element.form = ElementForm::kEmpty;
      element.begin = at;
      element.end = p + 2;
      return element;
    }
    from = at + 1;
  }
}

std::string ElementText(const std::string& tag, const std::string& value) {
  return "<" + tag + ">" + value + "</" + tag + ">";
}

// Gives the first element of tag the value. False with a reason when the
// element is unclosed or its value holds markup; true and nothing changed
// when the tag is missing (*found false).
bool SetFirstElement(std::string& doc, const std::string& tag, const std::string& value, bool* found,
                     std::string* error) {
  const CPadElement element = FindFirstElement(doc, tag);
  *found = element.form != ElementForm::kMissing;
  switch (element.form) {
    case ElementForm::kMissing:
      return true;
    case ElementForm::kUnclosed:
      *error = "the first <" + tag + "> has no </" + tag + "> after it";
      return false;
    case ElementForm::kEmpty:
      doc.replace(element.begin, element.end - element.begin, ElementText(tag, value));
      return true;
    case ElementForm::kPair:
      if (doc.find('<', element.valueBegin) < element.valueEnd) {
        *error = "the value of the first <" + tag + "> holds markup; the updater would read all of it";
        return false;
      }
      doc.replace(element.valueBegin, element.valueEnd - element.valueBegin, value);
      return true;
  }
  return false;
}

// The line ending that starts at position at ("\r\n", "\n" or "\r"), or empty.
std::string LineEndingAt(const std::string& doc, size_t at) {
  if (at >= doc.size()) return std::string();
  if (doc.compare(at, 2, "\r\n") == 0) return "\r\n";
  if (IsLineBreak(doc[at])) return std::string(1, doc[at]);
  return std::string();
}

// Inserts text at position at. When only blanks stand between at and the end
// of its line, the text goes on a new line of its own after at, indented with
// indent and ended like the line; otherwise it goes directly at at.
void InsertAsLine(std::string& doc, size_t at, const std::string& indent, bool ownLine,
                  const std::string& text) {
  size_t lineEnd = at;
  while (lineEnd < doc.size() && IsBlank(doc[lineEnd])) ++lineEnd;
  const std::string ending = LineEndingAt(doc, lineEnd);
  if (ownLine && !ending.empty()) {
    doc.insert(lineEnd, ending + indent + text);
  } else {
    doc.insert(at, text);
  }
}

// Adds File_SHA256 right after the (first) File_Size_Bytes element.
void InsertDigestAfterSize(std::string& doc, const std::string& element) {
  const CPadElement size = FindFirstElement(doc, kSizeBytesTag);
  size_t lineStart = size.begin;
  while (lineStart > 0 && !IsLineBreak(doc[lineStart - 1])) --lineStart;
  bool indentOnly = true;
  for (size_t i = lineStart; i < size.begin; ++i) indentOnly = indentOnly && IsBlank(doc[i]);
  InsertAsLine(doc, size.end, doc.substr(lineStart, size.begin - lineStart), indentOnly, element);
}

// Adds File_Size_Bytes as the first child of File_Info, indented like the
// line that follows <File_Info>.
void InsertSizeIntoFileInfo(std::string& doc, size_t afterFileInfoTag, const std::string& element) {
  size_t p = afterFileInfoTag;
  while (p < doc.size() && IsBlank(doc[p])) ++p;
  const bool ownLine = !LineEndingAt(doc, p).empty();
  // The indentation of the next line that holds something.
  size_t indentBegin = p;
  while (p < doc.size() && (IsBlank(doc[p]) || IsLineBreak(doc[p]))) {
    if (IsLineBreak(doc[p])) indentBegin = p + 1;
    ++p;
  }
  InsertAsLine(doc, afterFileInfoTag, doc.substr(indentBegin, p - indentBegin), ownLine, element);
}

bool FieldOf(const std::u16string& doc, const char16_t* tag, size_t limit, std::u16string* value) {
  return ExtractPadField(doc, tag, limit, *value);
}

bool IsBlankText(const std::u16string& text) {
  for (char16_t c : text) {
    if (c != u' ' && c != u'\t' && c != u'\r' && c != u'\n') return false;
  }
  return true;
}

}  // namespace

std::u16string PadAsUpdaterText(const std::string& pad) {
  return ReadPadText(reinterpret_cast<const uint8_t*>(pad.data()), pad.size());
}

std::string SizeInKilobytes(uint64_t bytes) { return std::to_string(bytes / kBytesPerKilobyte); }

std::string SizeInMegabytes(uint64_t bytes) {
  const uint64_t hundredths = (bytes * 100 + kBytesPerMegabyte / 2) / kBytesPerMegabyte;
  const uint64_t fraction = hundredths % 100;
  return std::to_string(hundredths / 100) + (fraction < 10 ? ".0" : ".") + std::to_string(fraction);
}

std::string PadUsabilityProblem(const std::string& pad) {
  if (pad.find('\0') != std::string::npos) {
    return "holds a zero byte; the updater reads a PAD only up to its first zero byte";
  }
  if (pad.size() > kPadReleaseByteLimit) {
    return "has " + std::to_string(pad.size()) + " bytes; the updater fetches at most " +
           std::to_string(kPadReleaseByteLimit);
  }
  if (const char* problem = FetchedPadProblem(reinterpret_cast<const uint8_t*>(pad.data()), pad.size())) {
    return std::string(problem) + "; the updater would refuse it";
  }
  const std::u16string text = PadAsUpdaterText(pad);
  std::u16string version;
  if (!FieldOf(text, u"Program_Version", kPadShortLimit, &version)) {
    return "has no <Program_Version>...</Program_Version> of at most " + std::to_string(kPadShortLimit) +
           " characters; the updater would not store it";
  }
  if (!IsVersionText(version)) {
    return "has a Program_Version that is no version number (numbers separated by full stops, then perhaps a "
           "pre-release suffix); the updater would not install from it";
  }
  std::u16string url;
  if (!FieldOf(text, u"Application_XML_File_URL", kPadLongLimit, &url) || IsBlankText(url)) {
    return "has no <Application_XML_File_URL> with an address of at most " + std::to_string(kPadLongLimit) +
           " characters; the updater would not store it";
  }
  return std::string();
}

bool RewritePadForRelease(const std::string& pad, uint64_t installerSize, const std::string& sha256Hex,
                          std::string* out, std::string* error) {
  const CPadElement fileInfo = FindFirstElement(pad, kFileInfoTag);
  if (fileInfo.form != ElementForm::kPair) {
    *error = "has no <File_Info>...</File_Info>";
    return false;
  }
  std::string doc = pad;
  bool found = false;
  const std::string sizeText = std::to_string(installerSize);
  if (!SetFirstElement(doc, kSizeBytesTag, sizeText, &found, error)) return false;
  if (!found) InsertSizeIntoFileInfo(doc, fileInfo.valueBegin, ElementText(kSizeBytesTag, sizeText));

  if (!SetFirstElement(doc, kSha256Tag, sha256Hex, &found, error)) return false;
  if (!found) InsertDigestAfterSize(doc, ElementText(kSha256Tag, sha256Hex));

  if (!SetFirstElement(doc, kSizeKTag, SizeInKilobytes(installerSize), &found, error)) return false;
  if (!SetFirstElement(doc, kSizeMbTag, SizeInMegabytes(installerSize), &found, error)) return false;
  // What is signed is what the updater reads: the released document, read
  // as the updater will read it.
  const std::string problem = PadUsabilityProblem(doc);
  if (!problem.empty()) {
    *error = "released it " + problem;
    return false;
  }
  *out = std::move(doc);
  return true;
}
