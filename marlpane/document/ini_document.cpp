// The document keeps the file as one text and never rebuilds it: lookups
// scan the text, and a replacement swaps the characters of one value.
//
// Replacing values one by one from the top and moving the tail each time
// would cost time quadratic in the file size when the editor saves every
// row. So the key lines are indexed once (an entry table of value positions),
// and a new value that holds no line end is only recorded (the value goes to
// a pool); all recorded values are put in place in one pass before the text
// is read again or saved. A value with CR or LF changes the line structure,
// so it is applied at once, together with everything pending.
#include "marlpane/document/ini_document.h"

#include <climits>
#include <cstring>
#include <memory>
#include <new>

#include "common/plain_file.h"
#include "common/text16.h"
#include "marlpane/document/ini_lines.h"

struct CIniDocument::EntryRecord {
  size_t valueStart;
  size_t valueLength;
  size_t newOffset;  // in the pool, kNoValue when nothing is pending
  size_t newLength;
};

namespace {

constexpr size_t kNoValue = static_cast<size_t>(-1);
constexpr char16_t kCR = 13;
constexpr char16_t kLF = 10;
constexpr char16_t kMark = 0xFEFF;
// GetInt and GetBool accept values of at most this many characters.
constexpr size_t kIntValueLimit = 100;
constexpr size_t kBoolValueLimit = 10;
// "%20d": the width of the number field.
constexpr size_t kIntFieldWidth = 20;
// Pool characters of overwritten values that trigger applying the pending
// replacements early, so repeated replacement cannot grow the pool forever.
constexpr size_t kPoolGarbageLimit = 1u << 16;

bool IsLineEnd(char16_t c) { return c == kCR || c == kLF; }

int HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

bool HasLineEnd(const char16_t* text, size_t length) {
  for (size_t i = 0; i < length; ++i) {
    if (IsLineEnd(text[i])) return true;
  }
  return false;
}

// Copies n characters, cut to the capacity, with a terminator.
void CopyCut(char16_t* out, size_t capacity, const char16_t* source, size_t n) {
  if (!out || capacity == 0) return;
  if (n > capacity - 1) n = capacity - 1;
  if (n) std::memcpy(out, source, n * sizeof(char16_t));
  out[n] = 0;
}

}  // namespace

CIniDocument::CIniDocument() = default;
CIniDocument::~CIniDocument() = default;

CIniDocument::EntryRecord* CIniDocument::Entries() {
  return reinterpret_cast<EntryRecord*>(entries_.At(0));
}

// ---- Loading and saving ----

namespace {

// Bytes read per system call while loading.
constexpr uint32_t kReadBlock = 64 * 1024;
// Characters reserved beyond the file's own, so that a few edits (a tool
// changing or adding one value) fit without moving the text.
constexpr size_t kEditRoom = 4096;

// Reads until n bytes are in or the file ends, a block per call.
size_t ReadFully(CPlainFile& file, uint8_t* out, size_t n) {
  size_t done = 0;
  while (done < n) {
    const size_t want = n - done < kReadBlock ? n - done : kReadBlock;
    const uint32_t got = file.Read(out + done, static_cast<uint32_t>(want));
    if (got == 0) break;
    done += got;
  }
  return done;
}

// The index of the first NUL among n characters, or n.
size_t FirstNul(const char16_t* text, size_t n) {
  size_t i = 0;
  while (i < n && text[i] != 0) ++i;
  return i;
}

}  // namespace

bool CIniDocument::Load(const char16_t* path) {
  CPlainFile file;
  if (!file.OpenRead(path)) return false;
  const uint64_t size = file.FullSize();
  if (size == 0) {
    encoding_ = TextEncoding::kBytes;  // an empty file is 8-bit
    return false;
  }
  if (size > kMaxFileBytes) return false;
  // The encoding depends on every byte (one stray byte makes a file 8-bit),
  // so the whole file is read before any of it is decoded.
  const size_t byteCount = static_cast<size_t>(size);
  std::unique_ptr<uint8_t[]> bytes(new (std::nothrow) uint8_t[byteCount]);
  if (!bytes || ReadFully(file, bytes.get(), byteCount) != byteCount) return false;

  const TextEncoding encoding = DetectTextEncoding(bytes.get(), byteCount);
  const size_t from = EncodingMarkLength(encoding);
  // An odd last byte of UTF-16 is not a character.
  const size_t end = encoding == TextEncoding::kUtf16 ? from + (byteCount - from) / 2 * 2 : byteCount;
  // The text ends at the first NUL: a zero byte, or in UTF-16 a zero unit.
  size_t stop = from;
  if (encoding == TextEncoding::kUtf16) {
    while (stop < end && (bytes[stop] | bytes[stop + 1]) != 0) stop += 2;
  } else {
    const void* nul = std::memchr(bytes.get() + from, 0, end - from);
    stop = nul ? static_cast<size_t>(static_cast<const uint8_t*>(nul) - bytes.get()) : end;
  }
  const size_t capacity = encoding == TextEncoding::kUtf16 ? (stop - from) / 2 : stop - from;
  CTextBuffer loaded;
  if (!loaded.Reserve(capacity + kEditRoom) || !loaded.SetLength(capacity)) return false;
  char16_t* out = loaded.Data();
  const uint8_t* in = bytes.get();
  size_t stored = 0;
  switch (encoding) {
    case TextEncoding::kUtf16:
      // The mark character is dropped wherever it stands.
      for (size_t i = from; i < stop; i += 2) {
        const char16_t c = static_cast<char16_t>(in[i] | (in[i + 1] << 8));
        if (c != kMark) out[stored++] = c;
      }
      break;
    case TextEncoding::kUtf8:
    case TextEncoding::kUtf8Marked:
      stored = DecodeUtf8(in + from, stop - from, out);
      break;
    case TextEncoding::kBytes:
      for (size_t i = from; i < stop; ++i) out[stored++] = in[i];
      break;
  }
  loaded.SetLength(stored);  // only a mark: an empty text

  encoding_ = encoding;
  text_.SwapText(loaded);
  text_.SetCursor(0);
  DropEntryTable();
  stopOffset_ = stop < end ? stop : kNoStop;
  replacedDirectly_ = false;
  if (properties_) DecodeEscapes();
  return true;
}

bool CIniDocument::Parse(const void* bytes, size_t length) {
  const uint8_t* data = static_cast<const uint8_t*>(bytes);
  if (!data) length = 0;
  CTextBuffer parsed;
  const bool unicode = length >= 2 && data[0] == 0xFF && data[1] == 0xFE;
  if (unicode) {
    size_t n = (length - 2) / 2;
    if (parsed.Reserve(n) && parsed.SetLength(n)) {
      char16_t* out = parsed.Data();
      for (size_t i = 0; i < n; ++i) out[i] = static_cast<char16_t>(data[2 + 2 * i] | (data[3 + 2 * i] << 8));
    }
  } else if (parsed.Reserve(length) && parsed.SetLength(length)) {
    char16_t* out = parsed.Data();
    for (size_t i = 0; i < length; ++i) out[i] = data[i];
  }
  const size_t nul = FirstNul(parsed.Text(), parsed.Length());
  stopOffset_ = nul < parsed.Length() ? (unicode ? 2 + 2 * nul : nul) : kNoStop;
  parsed.SetLength(nul);
  text_.SwapText(parsed);
  text_.SetCursor(0);
  DropEntryTable();
  replacedDirectly_ = false;
  return true;
}

// Turns "\u" and up to four hexadecimal digits into the character of that
// value, in one pass. Characters after the digits are kept, and "\u0000" is
// left as written: a NUL would end the text and lose the rest of the file.
void CIniDocument::DecodeEscapes() {
  char16_t* text = text_.Data();
  const size_t length = text_.Length();
  if (!text) return;
  size_t write = 0;
  size_t read = 0;
  while (read < length) {
    if (text[read] == u'\\' && read + 1 < length && text[read + 1] == u'u') {
      unsigned value = 0;
      size_t digits = 0;
      while (digits < 4 && read + 2 + digits < length) {
        int d = HexDigit(text[read + 2 + digits]);
        if (d < 0) break;
        value = value * 16 + static_cast<unsigned>(d);
        ++digits;
      }
      if (digits > 0 && value != 0) {
        text[write++] = static_cast<char16_t>(value);
        read += 2 + digits;
        continue;
      }
    }
    text[write++] = text[read++];
  }
  text_.SetLength(write);
  DropEntryTable();
}

size_t CIniDocument::FirstUnstorable(const char16_t* text, size_t n) const {
  return EscapesOnSave() ? n : ::FirstUnstorable(encoding_, text, n);
}

bool CIniDocument::CanEncodeText() {
  ApplyPending();
  return FirstUnstorable(text_.Text(), text_.Length()) == text_.Length();
}

uint32_t CIniDocument::Save(const char16_t* path) {
  if (StoppedShort()) return 0;
  ApplyPending();
  if (!CanEncodeText()) return 0;
  const char16_t* text = text_.Text();
  const size_t length = text_.Length();
  size_t wide = 0;
  if (EscapesOnSave()) {
    for (size_t i = 0; i < length; ++i) wide += text[i] > 0xFF;
  }
  if (wide == 0) return WriteTextFile(path, encoding_, text, length);

  // Properties mode: characters above 0xFF are written as "\uXXXX".
  static const char16_t kHex[] = u"0123456789ABCDEF";
  CTextBuffer escaped;
  if (!escaped.Reserve(length + 5 * wide) || !escaped.SetLength(length + 5 * wide)) return 0;
  char16_t* out = escaped.Data();
  for (size_t i = 0; i < length; ++i) {
    char16_t c = text[i];
    if (c <= 0xFF) {
      *out++ = c;
      continue;
    }
    *out++ = u'\\';
    *out++ = u'u';
    for (int shift = 12; shift >= 0; shift -= 4) *out++ = kHex[(c >> shift) & 0xF];
  }
  return WriteTextFile(path, encoding_, escaped.Text(), escaped.Length());
}

const char16_t* CIniDocument::Text() {
  ApplyPending();
  return text_.Text();
}

size_t CIniDocument::Length() {
  ApplyPending();
  return text_.Length();
}

// ---- Lookups ----

bool CIniDocument::FindValue(const char16_t* section, const char16_t* key, size_t* start, size_t* length) {
  ApplyPending();
  const char16_t* text = text_.Text();
  size_t bodyStart = 0;
  size_t bodyEnd = text_.Length();
  size_t sectionLength = TextLength(section);
  if (sectionLength > 0) {
    CTextBuffer header;
    if (!header.Append(u'[') || !header.Append(section, sectionLength) || !header.Append(u']')) return false;
    size_t at = text_.Find(header.Text(), header.Length());
    if (at == CTextBuffer::kNotFound) return false;
    bodyStart = at + header.Length();
    size_t next = text_.Find(u"\n[", 2, bodyStart);
    if (next != CTextBuffer::kNotFound) bodyEnd = next;
  }
  size_t keyLength = TextLength(key);
  if (keyLength == 0) return false;

  // The first "key=" that lies wholly within the body.
  size_t from = bodyStart;
  size_t valueStart = CTextBuffer::kNotFound;
  while (true) {
    size_t at = text_.Find(key, keyLength, from);
    if (at == CTextBuffer::kNotFound || at + keyLength >= bodyEnd) return false;
    if (text[at + keyLength] == u'=') {
      valueStart = at + keyLength + 1;
      break;
    }
    from = at + 1;
  }
  size_t valueEnd = valueStart;
  while (valueEnd < bodyEnd && text[valueEnd] != kLF) ++valueEnd;
  if (valueEnd > valueStart && text[valueEnd - 1] == kCR) --valueEnd;
  if (start) *start = valueStart;
  if (length) *length = valueEnd - valueStart;
  return true;
}

bool CIniDocument::GetString(const char16_t* section, const char16_t* key, char16_t* buffer, size_t capacity) {
  size_t start = 0;
  size_t length = 0;
  if (!buffer || !FindValue(section, key, &start, &length) || length >= capacity) return false;
  CopyCut(buffer, capacity, text_.Text() + start, length);
  return true;
}

bool CIniDocument::GetInt(const char16_t* section, const char16_t* key, int* out) {
  size_t start = 0;
  size_t length = 0;
  if (!FindValue(section, key, &start, &length) || length > kIntValueLimit) return false;
  const char16_t* value = text_.Text() + start;
  size_t i = 0;
  while (i < length && (value[i] == u' ' || value[i] == u'\t' || value[i] == kCR || value[i] == kLF ||
                        value[i] == u'\v' || value[i] == u'\f')) {
    ++i;
  }
  const size_t fieldEnd = length - i > kIntFieldWidth ? i + kIntFieldWidth : length;
  bool negative = false;
  if (i < fieldEnd && (value[i] == u'+' || value[i] == u'-')) negative = value[i++] == u'-';
  long long number = 0;
  size_t digits = 0;
  for (; i < fieldEnd && value[i] >= u'0' && value[i] <= u'9'; ++i, ++digits) {
    if (number <= LLONG_MAX / 10) number = number * 10 + (value[i] - u'0');
  }
  if (digits == 0) return false;
  if (negative) number = -number;
  // Out-of-range numbers saturate.
  if (number > INT_MAX) number = INT_MAX;
  if (number < INT_MIN) number = INT_MIN;
  if (out) *out = static_cast<int>(number);
  return true;
}

bool CIniDocument::GetBool(const char16_t* section, const char16_t* key, int* out) {
  size_t start = 0;
  size_t length = 0;
  if (!FindValue(section, key, &start, &length) || length > kBoolValueLimit) return false;
  char16_t first = length ? text_.Text()[start] : 0;
  if (out) *out = (length == 0 || first == u'0' || first == u'N' || first == u'n') ? 0 : 1;
  return true;
}

// ---- Walking the lines ----

bool CIniDocument::ReadKeyLine(size_t* cursor, bool stopAtSection, size_t* keyStart, size_t* keyLength,
                               size_t* valueStart, size_t* valueLength) const {
  const char16_t* text = text_.Text();
  const size_t length = text_.Length();
  IniLine line;
  for (size_t position = *cursor; ReadIniLine(text, length, position, line); position = line.next) {
    if (line.kind == IniLineKind::Section && stopAtSection) {
      *cursor = line.start;
      return false;
    }
    if (line.kind != IniLineKind::Key) continue;
    *keyStart = line.nameStart;
    *keyLength = line.nameLength;
    *valueStart = line.valueStart;
    *valueLength = line.valueLength;
    *cursor = line.next;
    return true;
  }
  if (*cursor < length) *cursor = length;
  return false;
}

bool CIniDocument::NextEntry(char16_t* key, char16_t* value, bool stopAtSection, size_t keyCapacity,
                             size_t valueCapacity) {
  ApplyPending();
  size_t cursor = text_.Cursor();
  size_t keyStart, keyLength, valueStart, valueLength;
  bool found = ReadKeyLine(&cursor, stopAtSection, &keyStart, &keyLength, &valueStart, &valueLength);
  text_.SetCursor(cursor);
  if (!found) return false;
  CopyCut(key, keyCapacity, text_.Text() + keyStart, keyLength);
  CopyCut(value, valueCapacity, text_.Text() + valueStart, valueLength);
  return true;
}

bool CIniDocument::NextSection(char16_t* buffer, size_t capacity) {
  ApplyPending();
  const char16_t* text = text_.Text();
  const size_t length = text_.Length();
  size_t open = text_.Cursor();
  for (;; ++open) {
    open = text_.Find(u'[', open);
    if (open == CTextBuffer::kNotFound) return false;
    if (open == 0 || text[open - 1] == kLF || text[open - 1] == kMark) break;
  }
  size_t close = text_.Find(u']', open + 1);
  if (close == CTextBuffer::kNotFound) return false;
  size_t nameLength = close - open - 1;
  if (nameLength >= capacity || nameLength >= kFieldCapacity) return false;
  CopyCut(buffer, capacity, text + open + 1, nameLength);
  // On to the start of the line after the header.
  size_t next = close;
  while (next < length && !IsLineEnd(text[next])) ++next;
  if (next < length && text[next] == kCR) {
    ++next;
    if (next < length && text[next] == kLF) ++next;
  } else if (next < length) {
    ++next;
  }
  text_.SetCursor(next);
  return true;
}

bool CIniDocument::FindSection(const char16_t* name) {
  ApplyPending();
  CTextBuffer header;
  size_t nameLength = TextLength(name);
  if (!header.Append(u'[') || !header.Append(name, nameLength) || !header.Append(u']')) return false;
  size_t at = text_.Find(header.Text(), header.Length());
  if (at == CTextBuffer::kNotFound) return false;
  text_.SetCursor(at + header.Length());
  return true;
}

// ---- Replacing values ----

void CIniDocument::DropEntryTable() {
  entries_.Clear();
  pool_.Clear();
  haveEntries_ = false;
  pendingCount_ = 0;
  poolGarbage_ = 0;
}

bool CIniDocument::BuildEntryTable() {
  if (haveEntries_) return true;
  entries_.Clear();
  size_t cursor = 0;
  size_t keyStart, keyLength, valueStart, valueLength;
  size_t count = 0;
  while (ReadKeyLine(&cursor, false, &keyStart, &keyLength, &valueStart, &valueLength)) {
    EntryRecord record{valueStart, valueLength, kNoValue, 0};
    if (!entries_.Insert(count * sizeof(EntryRecord), sizeof(EntryRecord), &record)) {
      entries_.Clear();
      return false;
    }
    ++count;
  }
  haveEntries_ = true;
  return true;
}

void CIniDocument::ApplyPending() {
  if (pendingCount_ == 0) return;
  EntryRecord* entries = Entries();
  const size_t count = entries_.Count(sizeof(EntryRecord));
  const char16_t* pool = reinterpret_cast<const char16_t*>(pool_.At(0));
  const char16_t* text = text_.Text();
  const size_t length = text_.Length();

  size_t newLength = length;
  for (size_t i = 0; i < count; ++i) {
    if (entries[i].newOffset != kNoValue) newLength = newLength - entries[i].valueLength + entries[i].newLength;
  }
  CTextBuffer fresh;
  if (fresh.Reserve(newLength) && fresh.SetLength(newLength)) {
    char16_t* out = fresh.Data();
    size_t from = 0;  // next character of the old text to copy
    size_t shift = 0;
    for (size_t i = 0; i < count; ++i) {
      EntryRecord& e = entries[i];
      const size_t newStart = e.valueStart + shift;  // moved by the earlier values (wraps when negative)
      if (e.newOffset == kNoValue) {
        e.valueStart = newStart;
        continue;
      }
      size_t before = e.valueStart - from;
      std::memcpy(out, text + from, before * sizeof(char16_t));
      out += before;
      if (e.newLength) std::memcpy(out, pool + e.newOffset, e.newLength * sizeof(char16_t));
      out += e.newLength;
      from = e.valueStart + e.valueLength;
      shift = shift + e.newLength - e.valueLength;
      e.valueStart = newStart;
      e.valueLength = e.newLength;
      e.newOffset = kNoValue;
      e.newLength = 0;
    }
    std::memcpy(out, text + from, (length - from) * sizeof(char16_t));
    text_.SwapText(fresh);
  } else {
    // Short of memory for a second text: apply in place from the last
    // entry up, so that earlier positions stay valid.
    for (size_t i = count; i-- > 0;) {
      EntryRecord& e = entries[i];
      if (e.newOffset == kNoValue) continue;
      text_.Replace(e.valueStart, e.valueLength, pool + e.newOffset, e.newLength);
      e.newOffset = kNoValue;
    }
    haveEntries_ = false;
    entries_.Clear();
  }
  pool_.Clear();
  pendingCount_ = 0;
  poolGarbage_ = 0;
}

bool CIniDocument::ReplaceNow(size_t entry, const char16_t* value, size_t valueLength) {
  ApplyPending();
  if (!BuildEntryTable()) return false;
  if (entry >= entries_.Count(sizeof(EntryRecord))) return false;
  EntryRecord& e = Entries()[entry];
  bool replaced = text_.Replace(e.valueStart, e.valueLength, value, valueLength);
  DropEntryTable();
  return replaced;
}

bool CIniDocument::EntryValue(size_t entry, std::u16string& out) {
  out.clear();
  ApplyPending();
  if (!BuildEntryTable()) return false;
  if (entry >= entries_.Count(sizeof(EntryRecord))) return false;
  const EntryRecord& e = Entries()[entry];
  out.assign(text_.Text() + e.valueStart, e.valueLength);
  return true;
}

bool CIniDocument::InsertText(size_t position, const char16_t* text, size_t n) {
  ApplyPending();
  if (position > text_.Length() || !text_.Insert(position, text, n)) return false;
  DropEntryTable();
  return true;
}

bool CIniDocument::EraseText(size_t position, size_t n) {
  ApplyPending();
  if (position > text_.Length() || n > text_.Length() - position) return false;
  text_.Erase(position, n);
  DropEntryTable();
  return true;
}

bool CIniDocument::ReplaceValue(size_t entry, const char16_t* value) {
  if (!value) value = u"";
  const size_t valueLength = TextLength(value);
  if (!haveEntries_ && !replacedDirectly_) {
    // The first replacement in a fresh text (a script changing one value)
    // goes in at once: finding its line costs one walk, as the entry table
    // would, and the table with a second text for the pending values would
    // take more memory than the text itself. Later ones use the table.
    size_t cursor = 0;
    size_t keyStart, keyLength, valueStart, oldLength;
    for (size_t i = 0; i <= entry; ++i) {
      if (!ReadKeyLine(&cursor, false, &keyStart, &keyLength, &valueStart, &oldLength)) return false;
    }
    replacedDirectly_ = true;
    return text_.Replace(valueStart, oldLength, value, valueLength);
  }
  if (!BuildEntryTable()) return false;
  if (entry >= entries_.Count(sizeof(EntryRecord))) return false;
  if (HasLineEnd(value, valueLength)) return ReplaceNow(entry, value, valueLength);

  const size_t poolOffset = pool_.Length() / sizeof(char16_t);
  if (valueLength && !pool_.Insert(pool_.Length(), valueLength * sizeof(char16_t), value)) {
    return ReplaceNow(entry, value, valueLength);
  }
  EntryRecord& e = Entries()[entry];
  if (e.newOffset == kNoValue) {
    ++pendingCount_;
  } else {
    poolGarbage_ += e.newLength;
  }
  e.newOffset = poolOffset;
  e.newLength = valueLength;
  if (poolGarbage_ > kPoolGarbageLimit && poolGarbage_ > poolOffset / 2) ApplyPending();
  return true;
}
