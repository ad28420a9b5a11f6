#include "tools/iniedit/tool_support.h"

#include "common/path_text.h"
#include "common/plain_file.h"
#include "common/text16.h"
#include "marlpane/document/ini_document.h"

namespace {

constexpr size_t kOutputBlock = 1 << 20;

void Print(FILE* stream, const std::string& utf8) { fwrite(utf8.data(), 1, utf8.size(), stream); }

bool HasLineBreak(const Text& text) { return text.find_first_of(u"\r\n") != Text::npos; }

}  // namespace

int Fail(const std::string& message) {
  Warn(message);
  return kFailed;
}

void Warn(const std::string& message) { Print(stderr, "iniedit: " + message + "\n"); }

std::string Escaped(std::u16string_view text) {
  std::string out;
  size_t plain = 0;  // start of the run not yet converted
  auto flush = [&](size_t end) { out += TextToUtf8(text.substr(plain, end - plain)); };
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c >= 0x20) continue;
    flush(i);
    if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
      out += "\\n";
      ++i;
    } else if (c == u'\n') {
      out += "\\n";
    } else if (c == u'\r') {
      out += "\\r";
    } else if (c == u'\t') {
      out += "\\t";
    } else {
      static const char kHex[] = "0123456789ABCDEF";
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 0xF];
    }
    plain = i + 1;
  }
  flush(text.size());
  return out;
}

COutput& COutput::operator<<(std::string_view utf8) {
  buffer_.append(utf8);
  if (buffer_.size() >= kOutputBlock) Flush();
  return *this;
}

COutput& COutput::operator<<(std::u16string_view text) { return *this << std::string_view(TextToUtf8(text)); }

void COutput::Flush() {
  Print(stdout, buffer_);
  buffer_.clear();
  fflush(stdout);
}

int CheckSection(const Text& section) {
  return HasLineBreak(section) ? Fail("the section name holds a line break") : kDone;
}

int CheckKey(const Text& key) {
  if (key.empty()) return Fail("the key is empty");
  return HasLineBreak(key) ? Fail("the key holds a line break") : kDone;
}

int CheckValue(const Text& value) {
  return HasLineBreak(value) ? Fail("the value holds a line break: it would make a new key line") : kDone;
}

int ProbeFile(const Text& path, uint64_t* size) {
  if (path.empty()) return Fail("the file name is empty");
  CPlainFile file;
  if (!file.OpenRead(path.c_str())) return Fail("cannot open " + Escaped(path) + " (missing or unreadable)");
  *size = file.FullSize();
  if (*size > CIniDocument::kMaxFileBytes) {
    return Fail(Escaped(path) + " is too large (" + std::to_string(*size) +
                " bytes): files of up to 2 GiB can be read");
  }
  return kDone;
}

int LoadDocument(CIniDocument& document, const Text& path, LoadFor purpose) {
  uint64_t size = 0;
  if (int failed = ProbeFile(path, &size)) return failed;
  document.SetProperties(EndsWithNoCase(path.c_str(), u".properties"));
  if (size == 0) {
    document.SetUnicode(false);
    document.Parse("", 0);
    return kDone;
  }
  if (!document.Load(path.c_str())) return Fail("cannot read " + Escaped(path));
  return ReportStop(document, path, purpose);
}

int ReportStop(const CIniDocument& document, const Text& path, LoadFor purpose) {
  if (!document.StoppedShort()) return kDone;
  const std::string where = Escaped(path) + " holds a NUL byte at offset " + std::to_string(document.StopOffset());
  if (purpose == LoadFor::Writing) return Fail(where + ": saving would cut the file there, so it is left as it is");
  Warn(where + ": its text stops there");
  return kDone;
}

int SaveDocument(CIniDocument& document, const Text& path, const std::string& encodingProblem) {
  if (!document.CanEncodeText()) return Fail(encodingProblem + " the file's 8-bit encoding cannot store");
  if (document.Save(path.c_str()) != 0) return kDone;
  // An empty text is reported as 0 characters written: see whether the
  // file now holds just that (nothing, or the byte-order mark).
  CPlainFile written;
  if (document.Length() == 0 && written.OpenRead(path.c_str()) &&
      written.FullSize() == EncodingMarkLength(document.Encoding())) {
    return kDone;
  }
  return Fail("cannot write " + Escaped(path));
}
