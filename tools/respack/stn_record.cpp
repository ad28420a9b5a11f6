#include "tools/respack/stn_record.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "common/text16.h"
#include "marlpane/document/ini_document.h"

namespace {

using Kind = StnFieldKind;

// Texts of 40 characters hold 39 and the terminator; the language list,
// 10001 bytes, holds 4999 so that its terminator never reaches the language
// button switch at 10165.
const StnField kFields[] = {
    {"updater", "default_language", Kind::kText, 84, 80},
    {"updater", "use_system_language", Kind::kSwitch, 10706, 1},
    {"updater", "show_language_button", Kind::kSwitch, 10165, 1},
    {"updater", "show_close_button", Kind::kSwitch, 10705, 1},
    {"updater", "always_on_top", Kind::kSwitch, 10707, 1},
    {"languages", "language", Kind::kLanguageList, 164, 10001},
    {"title", "show", Kind::kSwitch, 10273, 1},
    {"title", "color", Kind::kColor, 10274, 4},
    {"title", "font", Kind::kText, 10294, 80},
    {"title", "height", Kind::kHeight, 10374, 4},
    {"title", "italic", Kind::kSwitch, 10378, 1},
    {"title", "underline", Kind::kSwitch, 10379, 1},
    {"title", "bold", Kind::kSwitch, 10380, 1},
    {"status", "show", Kind::kSwitch, 10381, 1},
    {"status", "color", Kind::kColor, 10382, 4},
    {"status", "font", Kind::kText, 10402, 80},
    {"status", "height", Kind::kHeight, 10482, 4},
    {"status", "italic", Kind::kSwitch, 10486, 1},
    {"status", "underline", Kind::kSwitch, 10487, 1},
    {"status", "bold", Kind::kSwitch, 10488, 1},
    {"news", "show", Kind::kSwitch, 10489, 1},
    {"news", "color", Kind::kColor, 10490, 4},
    {"news", "font", Kind::kText, 10510, 80},
    {"news", "height", Kind::kHeight, 10590, 4},
    {"news", "italic", Kind::kSwitch, 10594, 1},
    {"news", "underline", Kind::kSwitch, 10595, 1},
    {"news", "bold", Kind::kSwitch, 10596, 1},
    {"footer", "show", Kind::kSwitch, 10597, 1},
    {"footer", "font", Kind::kText, 10618, 80},
    {"footer", "height", Kind::kHeight, 10698, 4},
    {"footer", "italic", Kind::kSwitch, 10702, 1},
    {"footer", "underline", Kind::kSwitch, 10703, 1},
    {"footer", "bold", Kind::kSwitch, 10704, 1},
};
constexpr size_t kFieldCount = sizeof kFields / sizeof kFields[0];

const char* const kSectionComments[][2] = {
    {"updater", "; Language at startup, and the window's buttons."},
    {"languages", "; The language menu, one language= line per entry (line i is command 200 + i);\n"
                  "; each name needs NAME.lng and NAME.bmp in the archive."},
    {"title", "; Each text: show=yes|no, color=#RRGGBB, font (empty: sans),\n"
              "; height (0: 16), italic, underline, bold."},
    {"footer", "; The footer has no colour of its own."},
};

constexpr char kBytesSection[] = "bytes";
constexpr size_t kMaxPatchLine = 32;       // bytes per printed [bytes] line
constexpr size_t kLanguageNameLimit = 39;  // the updater cuts longer names
constexpr size_t kEntryNameLimit = 39;     // of the archive
constexpr size_t kFontFaceLimit = 31;      // the updater's font face copy
constexpr size_t kPickableLanguages = 100; // commands 200 to 299

uint32_t Capacity(const StnField& field) { return field.size / 2 - 1; }

struct FieldValue {
  std::u16string text;
  uint32_t number = 0;
};

struct Patch {
  uint32_t offset = 0;
  std::vector<uint8_t> bytes;
};

// The record as the source says it.
struct StnSource {
  std::vector<FieldValue> values = std::vector<FieldValue>(kFieldCount);
  std::vector<std::u16string> languages;
  bool crlf = false;
  std::vector<Patch> patches;   // applied in order after the fields
};

// ---- Record bytes ----

void PutText(uint8_t* record, const StnField& field, const std::u16string& text) {
  const size_t n = std::min<size_t>(text.size(), Capacity(field));
  for (size_t i = 0; i < n; ++i) {
    record[field.offset + 2 * i] = uint8_t(text[i] & 0xFF);
    record[field.offset + 2 * i + 1] = uint8_t(text[i] >> 8);
  }
}

std::u16string GetText(const uint8_t* record, const StnField& field) {
  std::u16string text;
  for (size_t i = 0; i < Capacity(field); ++i) {
    const char16_t c = char16_t(record[field.offset + 2 * i] | (record[field.offset + 2 * i + 1] << 8));
    if (c == 0) break;
    text.push_back(c);
  }
  return text;
}

void PutDword(uint8_t* record, uint32_t offset, uint32_t value) {
  for (int i = 0; i < 4; ++i) record[offset + i] = uint8_t(value >> (8 * i));
}

uint32_t GetDword(const uint8_t* record, uint32_t offset) {
  uint32_t value = 0;
  for (int i = 0; i < 4; ++i) value |= uint32_t(record[offset + i]) << (8 * i);
  return value;
}

std::u16string JoinLanguages(const StnSource& source) {
  std::u16string list;
  for (size_t i = 0; i < source.languages.size(); ++i) {
    if (i > 0) list += source.crlf ? u"\r\n" : u"\n";
    list += source.languages[i];
  }
  return list;
}

std::vector<uint8_t> Encode(const StnSource& source) {
  std::vector<uint8_t> record(kStnRecordSize, 0);
  for (size_t i = 0; i < kFieldCount; ++i) {
    const StnField& field = kFields[i];
    const FieldValue& value = source.values[i];
    switch (field.kind) {
      case Kind::kText: PutText(record.data(), field, value.text); break;
      case Kind::kLanguageList: PutText(record.data(), field, JoinLanguages(source)); break;
      case Kind::kSwitch: record[field.offset] = value.number ? 1 : 0; break;
      case Kind::kColor:
      case Kind::kHeight: PutDword(record.data(), field.offset, value.number); break;
    }
  }
  for (const Patch& patch : source.patches) {
    std::copy(patch.bytes.begin(), patch.bytes.end(), record.begin() + patch.offset);
  }
  return record;
}

// A text as a source line can carry it: no control characters, no blanks
// at either end (the reader trims them). What this drops comes back through
// [bytes].
std::u16string Printable(std::u16string_view text) {
  std::u16string out;
  for (char16_t c : text) {
    if (c >= 0x20) out.push_back(c);
  }
  const auto blank = [](char16_t c) { return c == u' ' || c == u'\t'; };
  size_t first = 0;
  while (first < out.size() && blank(out[first])) ++first;
  size_t last = out.size();
  while (last > first && blank(out[last - 1])) --last;
  return out.substr(first, last - first);
}

StnSource Decode(const uint8_t* record) {
  StnSource source;
  for (size_t i = 0; i < kFieldCount; ++i) {
    const StnField& field = kFields[i];
    FieldValue& value = source.values[i];
    switch (field.kind) {
      case Kind::kText: value.text = Printable(GetText(record, field)); break;
      case Kind::kLanguageList: {
        std::u16string list = GetText(record, field);
        const size_t lfs = size_t(std::count(list.begin(), list.end(), u'\n'));
        const size_t crs = size_t(std::count(list.begin(), list.end(), u'\r'));
        bool crlf = lfs > 0 && crs == lfs;
        for (size_t k = 0; crlf && k < list.size(); ++k) {
          if (list[k] == u'\n' && (k == 0 || list[k - 1] != u'\r')) crlf = false;
        }
        source.crlf = crlf;
        if (list.empty()) break;
        size_t start = 0;
        for (;;) {
          const size_t end = list.find(u'\n', start);
          source.languages.push_back(
              Printable(std::u16string_view(list).substr(start, end == std::u16string::npos ? end : end - start)));
          if (end == std::u16string::npos) break;
          start = end + 1;
        }
        break;
      }
      case Kind::kSwitch: value.number = record[field.offset] != 0 ? 1 : 0; break;
      case Kind::kColor: value.number = GetDword(record, field.offset) & 0xFFFFFF; break;
      case Kind::kHeight: value.number = GetDword(record, field.offset); break;
    }
  }
  // Whatever the values above do not rebuild is kept as raw bytes.
  const std::vector<uint8_t> rebuilt = Encode(source);
  size_t at = 0;
  while (at < kStnRecordSize) {
    if (rebuilt[at] == record[at]) {
      ++at;
      continue;
    }
    Patch patch;
    patch.offset = uint32_t(at);
    while (at < kStnRecordSize && rebuilt[at] != record[at] && patch.bytes.size() < kMaxPatchLine) {
      patch.bytes.push_back(record[at++]);
    }
    source.patches.push_back(std::move(patch));
  }
  return source;
}

// ---- Reading the source ----

bool SameName(std::u16string_view text, const char* name) {
  const size_t n = std::strlen(name);
  if (text.size() != n) return false;
  for (size_t i = 0; i < n; ++i) {
    char16_t c = text[i];
    if (c >= u'A' && c <= u'Z') c = char16_t(c - u'A' + u'a');
    if (c != char16_t(static_cast<unsigned char>(name[i]))) return false;
  }
  return true;
}

std::u16string Trimmed(std::u16string_view text) {
  const auto blank = [](char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; };
  size_t first = 0;
  while (first < text.size() && blank(text[first])) ++first;
  size_t last = text.size();
  while (last > first && blank(text[last - 1])) --last;
  return std::u16string(text.substr(first, last - first));
}

std::string Quoted(std::u16string_view text) {
  if (text.size() > 60) return "'" + TextToUtf8(text.substr(0, 57)) + "...'";
  return "'" + TextToUtf8(text) + "'";
}

bool ParseSwitch(std::u16string_view text, uint32_t* value) {
  static const char* const kYes[] = {"yes", "true", "on", "1"};
  static const char* const kNo[] = {"no", "false", "off", "0"};
  for (const char* word : kYes) {
    if (SameName(text, word)) return *value = 1, true;
  }
  for (const char* word : kNo) {
    if (SameName(text, word)) return *value = 0, true;
  }
  return false;
}

int HexValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// #RRGGBB, 0xRRGGBB or RRGGBB to 0x00BBGGRR.
bool ParseColor(std::u16string_view text, uint32_t* value) {
  if (!text.empty() && text[0] == u'#') {
    text.remove_prefix(1);
  } else if (text.size() > 2 && text[0] == u'0' && (text[1] == u'x' || text[1] == u'X')) {
    text.remove_prefix(2);
  }
  if (text.size() != 6) return false;
  uint32_t rgb = 0;
  for (char16_t c : text) {
    const int digit = HexValue(c);
    if (digit < 0) return false;
    rgb = (rgb << 4) | uint32_t(digit);
  }
  *value = ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
  return true;
}

bool ParseHeight(std::u16string_view text, uint32_t* value) {
  bool negative = false;
  if (!text.empty() && (text[0] == u'-' || text[0] == u'+')) {
    negative = text[0] == u'-';
    text.remove_prefix(1);
  }
  if (text.empty() || text.size() > 10) return false;
  int64_t number = 0;
  for (char16_t c : text) {
    if (c < u'0' || c > u'9') return false;
    number = number * 10 + (c - u'0');
  }
  if (negative) number = -number;
  if (number < INT32_MIN || number > INT32_MAX) return false;
  *value = uint32_t(int32_t(number));
  return true;
}

bool ParseOffset(std::u16string_view text, uint32_t* value) {
  if (text.empty() || text.size() > 5) return false;
  uint32_t number = 0;
  for (char16_t c : text) {
    if (c < u'0' || c > u'9') return false;
    number = number * 10 + uint32_t(c - u'0');
  }
  *value = number;
  return number < kStnRecordSize;
}

// Hexadecimal digit pairs, blanks allowed between the pairs.
bool ParseBytes(std::u16string_view text, std::vector<uint8_t>* bytes) {
  bytes->clear();
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == u' ' || text[i] == u'\t') {
      ++i;
      continue;
    }
    if (i + 1 >= text.size()) return false;
    const int high = HexValue(text[i]);
    const int low = HexValue(text[i + 1]);
    if (high < 0 || low < 0) return false;
    bytes->push_back(uint8_t(high * 16 + low));
    i += 2;
  }
  return !bytes->empty();
}

// The source bytes as the INI document reads them; UTF-8 goes in as
// UTF-16LE so that non-ASCII names keep their characters.
bool LoadDocument(const uint8_t* bytes, size_t length, CIniDocument* document, std::string* error) {
  const bool utf16 = length >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE;
  if (!utf16) {
    if (std::find(bytes, bytes + length, uint8_t(0)) != bytes + length) {
      *error = "the source holds a zero byte; write it as UTF-8, or as UTF-16LE with the byte-order mark FF FE";
      return false;
    }
    std::string_view text(reinterpret_cast<const char*>(bytes), length);
    if (text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    const std::u16string wide = Utf8ToText(text);
    if (TextToUtf8(wide) == text) {
      std::vector<uint8_t> converted = {0xFF, 0xFE};
      for (char16_t c : wide) {
        converted.push_back(uint8_t(c & 0xFF));
        converted.push_back(uint8_t(c >> 8));
      }
      return document->Parse(converted.data(), converted.size());
    }
    return document->Parse(bytes, length);
  }
  document->Parse(bytes, length);
  if (document->Length() != (length - 2) / 2) {
    *error = "the source holds a zero character";
    return false;
  }
  return true;
}

size_t LineAt(const char16_t* text, size_t position) {
  size_t line = 1;
  for (size_t i = 0; i < position; ++i) {
    if (text[i] == u'\n') ++line;
  }
  return line;
}

std::string AtLine(size_t line, const std::string& message) {
  return "line " + std::to_string(line) + ": " + message;
}

// Every line the document reader would pass over in silence: a header
// with blanks before it, a line without "=", an unclosed header.
bool CheckLines(CIniDocument& document, std::string* error) {
  const char16_t* text = document.Text();
  const size_t length = document.Length();
  size_t start = 0;
  size_t line = 1;
  while (start < length) {
    size_t end = start;
    while (end < length && text[end] != u'\n' && text[end] != u'\r') ++end;
    const std::u16string content = Trimmed(std::u16string_view(text + start, end - start));
    const bool header = !content.empty() && content[0] == u'[';
    if (content.empty() || content[0] == u';' || content[0] == u'#') {
      // blank or comment
    } else if (header && (text[start] != u'[' || content.back() != u']')) {
      *error = AtLine(line, Quoted(content) + " is not a section header: write [name] alone at the start of its line");
      return false;
    } else if (!header && content.find(u'=') == std::u16string::npos) {
      *error = AtLine(line, Quoted(content) + " is neither a [section] nor key=value");
      return false;
    }
    if (end < length && text[end] == u'\r' && end + 1 < length && text[end + 1] == u'\n') ++end;
    if (end < length && text[end] == u'\n') ++line;
    start = end + 1;
  }
  return true;
}

class SourceReader {
 public:
  SourceReader(CIniDocument& document, StnSource* source, std::vector<std::string>* warnings)
      : document_(document), source_(source), warnings_(warnings),
        key_(CIniDocument::kFieldCapacity), value_(CIniDocument::kFieldCapacity),
        name_(CIniDocument::kFieldCapacity) {}

  bool Read(std::string* error) {
    document_.ResetCursor();
    if (document_.NextEntry(key_.data(), value_.data(), true)) {
      *error = AtLine(Line(), "key " + Quoted(Trimmed(key_.data())) + " stands before any [section]");
      return false;
    }
    while (document_.Cursor() < document_.Length()) {
      const size_t at = document_.Cursor();
      if (!document_.NextSection(name_.data(), name_.size())) {
        *error = AtLine(LineAt(document_.Text(), at), "cannot read this section header");
        return false;
      }
      const std::u16string header = u"[" + std::u16string(name_.data()) + u"]";
      if (std::u16string_view(document_.Text() + at, document_.Length() - at).substr(0, header.size()) !=
          header) {
        *error = AtLine(LineAt(document_.Text(), at), "cannot read this section header");
        return false;
      }
      const std::u16string section = Trimmed(name_.data());
      const size_t headerLine = LineAt(document_.Text(), at);
      if (SameName(section, kBytesSection)) {
        if (!ReadBytes(error)) return false;
        continue;
      }
      bool known = false;
      for (const StnField& field : kFields) known = known || SameName(section, field.section);
      if (!known) {
        *error = AtLine(headerLine, "unknown section [" + TextToUtf8(section) + "]");
        return false;
      }
      if (!ReadSection(section, error)) return false;
    }
    return true;
  }

 private:
  // The line of the entry just read.
  size_t Line() const {
    const char16_t* text = document_.Text();
    size_t position = document_.Cursor();
    if (position > 0 && text[position - 1] == u'\n') --position;
    if (position > 0 && text[position - 1] == u'\r') --position;
    return LineAt(text, position);
  }

  bool ReadSection(const std::u16string& section, std::string* error) {
    while (document_.NextEntry(key_.data(), value_.data(), true)) {
      const std::u16string key = Trimmed(key_.data());
      const std::u16string value = Trimmed(value_.data());
      const std::string where = "[" + TextToUtf8(section) + "] " + TextToUtf8(key);
      if (SameName(section, "languages") && SameName(key, "line_end")) {
        if (SameName(value, "lf")) {
          source_->crlf = false;
        } else if (SameName(value, "crlf")) {
          source_->crlf = true;
        } else {
          *error = AtLine(Line(), where + ": " + Quoted(value) + " is neither lf nor crlf");
          return false;
        }
        if (!FirstTime(section, key, where, error)) return false;
        continue;
      }
      size_t index = kFieldCount;
      for (size_t i = 0; i < kFieldCount; ++i) {
        if (SameName(section, kFields[i].section) && SameName(key, kFields[i].key)) index = i;
      }
      if (index == kFieldCount) {
        *error = AtLine(Line(), "unknown key " + Quoted(key) + " in [" + TextToUtf8(section) + "]");
        return false;
      }
      const StnField& field = kFields[index];
      if (field.kind != Kind::kLanguageList && !FirstTime(section, key, where, error)) return false;
      if (!ReadValue(field, source_->values[index], value, where, error)) return false;
    }
    return true;
  }

  bool FirstTime(const std::u16string& section, const std::u16string& key, const std::string& where,
                 std::string* error) {
    std::u16string id = section + u"]" + key;
    for (char16_t& c : id) {
      if (c >= u'A' && c <= u'Z') c = char16_t(c - u'A' + u'a');
    }
    if (std::find(seen_.begin(), seen_.end(), id) != seen_.end()) {
      *error = AtLine(Line(), where + " is given twice");
      return false;
    }
    seen_.push_back(id);
    return true;
  }

  bool ReadValue(const StnField& field, FieldValue& target, const std::u16string& value, const std::string& where,
                 std::string* error) {
    const size_t line = Line();
    switch (field.kind) {
      case Kind::kText:
        if (value.size() > Capacity(field)) {
          *error = AtLine(line, where + ": " + Quoted(value) + " has " + std::to_string(value.size()) +
                                    " characters; the field holds " + std::to_string(Capacity(field)));
          return false;
        }
        target.text = value;
        if (std::strcmp(field.key, "font") == 0 && value.size() > kFontFaceLimit) {
          warnings_->push_back(AtLine(line, where + ": the updater uses only the first " +
                                                std::to_string(kFontFaceLimit) + " characters of " +
                                                Quoted(value)));
        }
        return true;
      case Kind::kLanguageList:
        source_->languages.push_back(value);
        return true;
      case Kind::kSwitch:
        if (!ParseSwitch(value, &target.number)) {
          *error = AtLine(line, where + ": " + Quoted(value) + " is neither yes nor no");
          return false;
        }
        return true;
      case Kind::kColor:
        if (!ParseColor(value, &target.number)) {
          *error = AtLine(line, where + ": " + Quoted(value) + " is not a colour; write #RRGGBB");
          return false;
        }
        return true;
      case Kind::kHeight:
        if (!ParseHeight(value, &target.number)) {
          *error = AtLine(line, where + ": " + Quoted(value) + " is not a whole number of 32 bits");
          return false;
        }
        return true;
    }
    return false;
  }

  bool ReadBytes(std::string* error) {
    while (document_.NextEntry(key_.data(), value_.data(), true)) {
      const std::u16string key = Trimmed(key_.data());
      const std::u16string value = Trimmed(value_.data());
      Patch patch;
      if (!ParseOffset(key, &patch.offset)) {
        *error = AtLine(Line(), "[bytes]: " + Quoted(key) + " is not an offset from 0 to " +
                                    std::to_string(kStnRecordSize - 1));
        return false;
      }
      if (!ParseBytes(value, &patch.bytes)) {
        *error = AtLine(Line(), "[bytes] " + TextToUtf8(key) + ": " + Quoted(value) +
                                    " is not a row of hexadecimal byte pairs");
        return false;
      }
      if (patch.offset + patch.bytes.size() > kStnRecordSize) {
        *error = AtLine(Line(), "[bytes] " + TextToUtf8(key) + ": " + std::to_string(patch.bytes.size()) +
                                    " bytes run past the end of the record");
        return false;
      }
      for (const Patch& earlier : source_->patches) {
        if (patch.offset < earlier.offset + earlier.bytes.size() &&
            earlier.offset < patch.offset + patch.bytes.size()) {
          *error = AtLine(Line(), "[bytes] " + TextToUtf8(key) + " overlaps the bytes at " +
                                      std::to_string(earlier.offset));
          return false;
        }
      }
      source_->patches.push_back(std::move(patch));
    }
    return true;
  }

  CIniDocument& document_;
  StnSource* source_;
  std::vector<std::string>* warnings_;
  std::vector<char16_t> key_;
  std::vector<char16_t> value_;
  std::vector<char16_t> name_;
  std::vector<std::u16string> seen_;
};

// Settings that build but that the updater cannot use as meant.
void CheckLanguages(const StnSource& source, std::vector<std::string>* warnings) {
  if (source.languages.size() > kPickableLanguages) {
    warnings->push_back("the language menu offers " + std::to_string(source.languages.size()) +
                        " lines; only the first " + std::to_string(kPickableLanguages) + " can be picked");
  }
  const std::u16string& fallback = source.values[0].text;
  if (!source.languages.empty() && !fallback.empty() &&
      std::find(source.languages.begin(), source.languages.end(), fallback) == source.languages.end()) {
    warnings->push_back("the default language " + Quoted(fallback) + " is not in the language list");
  }
  std::vector<std::u16string> names = source.languages;
  names.push_back(fallback);
  for (const std::u16string& name : names) {
    if (name.size() > kLanguageNameLimit) {
      warnings->push_back("language " + Quoted(name) + " is cut to " + std::to_string(kLanguageNameLimit) +
                          " characters when picked");
    } else if (name.size() + 4 > kEntryNameLimit) {
      warnings->push_back("language " + Quoted(name) + ": the entry names " + Quoted(name + u".lng") +
                          " and .bmp are longer than an archive allows (" + std::to_string(kEntryNameLimit) + ")");
    }
    if (std::any_of(name.begin(), name.end(), [](char16_t c) { return c > 0xFF; })) {
      warnings->push_back("language " + Quoted(name) +
                          ": archive entry names hold only 8-bit characters, so its files cannot be packed");
    }
  }
}

std::string PrintValue(const StnField& field, const FieldValue& value) {
  switch (field.kind) {
    case Kind::kText: return TextToUtf8(value.text);
    case Kind::kSwitch: return value.number ? "yes" : "no";
    case Kind::kColor: {
      static const char kDigits[] = "0123456789ABCDEF";
      const uint32_t rgb = ((value.number & 0xFF) << 16) | (value.number & 0xFF00) | ((value.number >> 16) & 0xFF);
      std::string text = "#";
      for (int shift = 20; shift >= 0; shift -= 4) text.push_back(kDigits[(rgb >> shift) & 0xF]);
      return text;
    }
    case Kind::kHeight: return std::to_string(int32_t(value.number));
    case Kind::kLanguageList: break;
  }
  return std::string();
}

}  // namespace

size_t StnFieldCount() { return kFieldCount; }

const StnField& StnFieldAt(size_t index) { return kFields[index]; }

bool BuildStnRecord(const uint8_t* source, size_t length, std::vector<uint8_t>* record,
                    std::vector<std::string>* warnings, std::string* error) {
  warnings->clear();
  static const uint8_t kNothing = 0;
  if (!source) source = &kNothing, length = 0;
  CIniDocument document;
  if (!LoadDocument(source, length, &document, error) || !CheckLines(document, error)) return false;
  StnSource parsed;
  SourceReader reader(document, &parsed, warnings);
  if (!reader.Read(error)) return false;
  const std::u16string list = JoinLanguages(parsed);
  const auto isList = [](const StnField& field) { return field.kind == Kind::kLanguageList; };
  const size_t listCapacity = Capacity(*std::find_if(std::begin(kFields), std::end(kFields), isList));
  if (list.size() > listCapacity) {
    *error = "the language list has " + std::to_string(list.size()) + " characters; the record holds " +
             std::to_string(listCapacity);
    return false;
  }
  CheckLanguages(parsed, warnings);
  *record = Encode(parsed);
  return true;
}

std::string PrintStnRecord(const uint8_t* record) {
  const StnSource source = Decode(record);
  std::string out =
      "; Updater settings record, the \"stn\" entry of tollwren's archive.\n"
      "; Build it with: respack stn THIS_FILE stn.bin\n";
  const char* section = "";
  for (size_t i = 0; i < kFieldCount; ++i) {
    const StnField& field = kFields[i];
    if (std::strcmp(section, field.section) != 0) {
      section = field.section;
      out += "\n";
      for (const auto& comment : kSectionComments) {
        if (std::strcmp(comment[0], section) == 0) out += std::string(comment[1]) + "\n";
      }
      out += "[" + std::string(section) + "]\n";
    }
    if (field.kind == Kind::kLanguageList) {
      out += std::string("line_end=") + (source.crlf ? "crlf" : "lf") + "\n";
      for (const std::u16string& name : source.languages) out += "language=" + TextToUtf8(name) + "\n";
      continue;
    }
    out += std::string(field.key) + "=" + PrintValue(field, source.values[i]) + "\n";
  }
  if (!source.patches.empty()) {
    out += "\n; Bytes the keys above do not express, written last: OFFSET=HEX.\n[bytes]\n";
    static const char kDigits[] = "0123456789ABCDEF";
    for (const Patch& patch : source.patches) {
      out += std::to_string(patch.offset) + "=";
      for (uint8_t byte : patch.bytes) {
        out.push_back(kDigits[byte >> 4]);
        out.push_back(kDigits[byte & 0xF]);
      }
      out += "\n";
    }
  }
  return out;
}
