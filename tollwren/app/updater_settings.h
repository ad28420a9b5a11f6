// The updater settings record: archive entry "stn", exactly 10708 bytes of
// fixed fields (zero-terminated UTF-16LE texts, one-byte switches,
// little-endian COLORREF colours and font heights). Read once at startup.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

constexpr size_t kSettingsRecordSize = 10708;
constexpr size_t kLanguageListLimit = 5000;  // characters, terminator included
constexpr size_t kFontFaceLimit = 40;        // characters of a face field, terminator included

// One text drawn by the window: title, status line, news line or footer.
struct CTextStyle {
  bool show = false;
  uint32_t color = 0;     // COLORREF 0x00BBGGRR; the footer has none
  std::u16string face;    // empty: "sans"
  int32_t height = 0;     // CreateFontW height; 0: 16
  bool italic = false;
  bool underline = false;
  bool bold = false;
};

class CUpdaterSettings {
 public:
  virtual ~CUpdaterSettings() = default;

  // Takes the fields from the bytes of a record; false (nothing changes)
  // unless there are exactly kSettingsRecordSize of them.
  bool Read(const uint8_t* bytes, size_t size);

  std::u16string defaultLanguage;
  std::u16string languageList;  // names separated by LF (CR allowed)
  bool showLanguageButton = false;
  bool showCloseButton = false;
  bool useSystemLanguage = false;
  bool alwaysOnTop = false;
  CTextStyle title;
  CTextStyle status;
  CTextStyle news;
  CTextStyle footer;
};
