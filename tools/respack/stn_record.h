// The updater's settings record, entry "stn" of its archive: 10708 bytes
// with texts (zero-terminated UTF-16LE), switches (one byte, non-zero is
// on), colours (COLORREF 0x00BBGGRR) and font heights (signed 32-bit), all
// little-endian at fixed offsets.
//
// The packer builds the record from a readable INI source and prints a
// record back as such a source:
//
//   [updater]                    default_language, use_system_language,
//                                show_language_button, show_close_button,
//                                always_on_top
//   [languages]                  language= once per line of the list,
//                                line_end=lf or crlf
//   [title] [status] [news]      show, color (#RRGGBB), font, height,
//                                italic, underline, bold
//   [footer]                     the same without color
//   [bytes]                      OFFSET=HEX: raw bytes written last, for
//                                whatever the keys above cannot express
//
// Printing and building again gives the same bytes for every record of the
// right size: what the keys cannot say (unused bytes, switch bytes other
// than 0 and 1, texts without a terminator...) is printed under [bytes].
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr size_t kStnRecordSize = 10708;

enum class StnFieldKind {
  kText,           // zero-terminated UTF-16LE, at most size / 2 - 1 characters
  kLanguageList,   // the language list, language names joined by LF or CR LF
  kSwitch,         // one byte: 1 for yes, 0 for no
  kColor,          // 32-bit COLORREF, written #RRGGBB in the source
  kHeight,         // 32-bit signed font height; 0 lets the updater use 16
};

struct StnField {
  const char* section;
  const char* key;
  StnFieldKind kind;
  uint32_t offset;
  uint32_t size;   // bytes the field owns in the record
};

// Every field of the record, in the order a printed source lists them.
size_t StnFieldCount();
const StnField& StnFieldAt(size_t index);

// Builds the record from the bytes of a source file: UTF-16LE after a
// byte-order mark FF FE, else UTF-8 when the bytes are valid UTF-8 (an
// EF BB BF mark is skipped), else one character per byte. Keys that are
// missing leave their field zero (texts empty, switches off, colours black).
// Fails with a one-line message ("line N: ...") for an unknown section or
// key, a key given twice, a line that is neither a header nor key=value, and
// a value that is malformed or does not fit its field. Warnings (one line
// each) name settings that build but that the updater cannot use as meant.
bool BuildStnRecord(const uint8_t* source, size_t length, std::vector<uint8_t>* record,
                    std::vector<std::string>* warnings, std::string* error);

// The source (UTF-8, LF line ends) for a record of kStnRecordSize bytes;
// BuildStnRecord of it gives the same bytes.
std::string PrintStnRecord(const uint8_t* record);
