// One INI or .properties file held as a single UTF-16 text. Values are read
// by section and key or walked line by line, and replaced in place by entry
// index (the ordinal of a key line); every other character of the file is
// written back exactly as it was read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "common/grow_buffer.h"
#include "common/text_buffer.h"
#include "common/text_encoding.h"

class CIniDocument {
 public:
  // Keys, values and section names are handed out in buffers of this many
  // characters (4999 plus the terminator); longer ones are cut.
  static constexpr size_t kFieldCapacity = 5000;
  // Files of more bytes are not loaded: the text could not hold them.
  static constexpr uint64_t kMaxFileBytes = 0x7FFFFFFF;

  CIniDocument();
  virtual ~CIniDocument();
  CIniDocument(const CIniDocument&) = delete;
  CIniDocument& operator=(const CIniDocument&) = delete;

  // Reads the file into the text in the encoding its bytes show (see
  // DetectTextEncoding: UTF-16LE after FF FE, UTF-8 after EF BB BF or when
  // valid UTF-8 beyond ASCII, else 8-bit), keeping every CR. False for a missing, unreadable or empty file
  // and for one larger than kMaxFileBytes (the text stays as it was).
  // Properties mode decodes "\u" escapes. The text ends at a NUL character
  // (see StoppedShort).
  bool Load(const char16_t* path);
  // Fills the text from memory: UTF-16LE after a leading FF FE, else one
  // character per byte. Does not change the unicode flag. Always true.
  bool Parse(const void* bytes, size_t length);
  // Writes the text in the document's encoding, behind the mark it was
  // loaded with (properties mode escapes characters above 0xFF unless the
  // file is UTF-8). Returns the number of characters written; 0 is
  // failure, and then the file is untouched. Refuses (0) a text that the
  // 8-bit encoding cannot hold (see CanEncodeText) and a text that stopped
  // short of its file.
  uint32_t Save(const char16_t* path);
  // True when the loaded file (or parsed block) held a NUL character: the
  // text ends before it, so everything from there on is not in the text,
  // and Save refuses, since it would cut the file at that point.
  bool StoppedShort() const { return stopOffset_ != kNoStop; }
  // The byte offset of that NUL in the file (or block); 0 when the text did
  // not stop short.
  uint64_t StopOffset() const { return StoppedShort() ? stopOffset_ : 0; }
  // False when the text holds a character that Save could not store (see
  // FirstUnstorable).
  bool CanEncodeText();
  // The index of the first character of text that the document's encoding
  // cannot store, n when it stores them all: an 8-bit file outside
  // properties mode stores 0-255, UTF-8 everything but unpaired surrogates.
  size_t FirstUnstorable(const char16_t* text, size_t n) const;

  // Position and length in Text() of the value of key in section (empty
  // section: the whole text). Matches the first "key=" in the section body,
  // which may be the tail of a longer key.
  bool FindValue(const char16_t* section, const char16_t* key, size_t* start, size_t* length);
  // The value copied with a terminator; false when not found or when it
  // does not fit capacity.
  bool GetString(const char16_t* section, const char16_t* key, char16_t* buffer, size_t capacity);
  // Leading spaces, an optional sign and up to 20 characters of digits.
  bool GetInt(const char16_t* section, const char16_t* key, int* out);
  // 0 for an empty value or one starting with '0', 'N' or 'n'; 1 otherwise.
  bool GetBool(const char16_t* section, const char16_t* key, int* out);

  void ResetCursor() { text_.SetCursor(0); }
  size_t Cursor() const { return text_.Cursor(); }
  void SetCursor(size_t cursor) { text_.SetCursor(cursor); }
  // Key and value of the next key line from the cursor (cut to fit the
  // buffers; either may be null). With stopAtSection, a section header line
  // rewinds the cursor to its start and ends the walk (false).
  bool NextEntry(char16_t* key, char16_t* value, bool stopAtSection = false,
                 size_t keyCapacity = kFieldCapacity, size_t valueCapacity = kFieldCapacity);
  // Name of the next section header from the cursor; the cursor moves to
  // the line after it.
  bool NextSection(char16_t* buffer, size_t capacity = kFieldCapacity);
  // True when "[name]" occurs in the text; the cursor moves behind it.
  bool FindSection(const char16_t* name);

  // Replaces the value of key line `entry` (0-based). False when there is
  // no such line; the cursor is left as it was.
  bool ReplaceValue(size_t entry, const char16_t* value);
  // Inserts or removes characters of the text (whole lines, for tools that
  // add and delete key lines); every entry index after them may change.
  bool InsertText(size_t position, const char16_t* text, size_t n);
  bool EraseText(size_t position, size_t n);
  // The value of key line `entry` as it stands now (pending replacements
  // included). False, out empty, when there is no such line.
  bool EntryValue(size_t entry, std::u16string& out);

  // UTF-16LE; SetUnicode(false) makes the document 8-bit.
  bool IsUnicode() const { return encoding_ == TextEncoding::kUtf16; }
  void SetUnicode(bool unicode) { encoding_ = unicode ? TextEncoding::kUtf16 : TextEncoding::kBytes; }
  TextEncoding Encoding() const { return encoding_; }
  void SetEncoding(TextEncoding encoding) { encoding_ = encoding; }
  bool IsProperties() const { return properties_ != 0; }
  void SetProperties(bool properties) { properties_ = properties ? 1 : 0; }

  // The whole text with every replacement made.
  const char16_t* Text();
  size_t Length();

 private:
  struct EntryRecord;
  // Line scanning shared by the walk and the entry table.
  bool ReadKeyLine(size_t* cursor, bool stopAtSection, size_t* keyStart, size_t* keyLength,
                   size_t* valueStart, size_t* valueLength) const;
  void DecodeEscapes();
  bool BuildEntryTable();
  void DropEntryTable();
  void ApplyPending();
  bool ReplaceNow(size_t entry, const char16_t* value, size_t valueLength);
  EntryRecord* Entries();
  bool EscapesOnSave() const { return properties_ && !IsUtf8(encoding_); }

  static constexpr uint64_t kNoStop = static_cast<uint64_t>(-1);

  TextEncoding encoding_ = TextEncoding::kUtf16;
  int32_t properties_ = 0;
  CTextBuffer text_;
  uint64_t stopOffset_ = kNoStop;  // byte offset of the NUL that ended the text

  // Replacements are collected and applied in one pass before the text is
  // read again; see ini_document.cpp.
  CGrowBuffer entries_;   // EntryRecord per key line, built on demand
  bool haveEntries_ = false;
  CGrowBuffer pool_;      // new values, UTF-16, one after the other
  size_t pendingCount_ = 0;
  size_t poolGarbage_ = 0;  // characters of values replaced again
  bool replacedDirectly_ = false;  // the first replacement went in at once
};
