// Fuzzes language files: loading with PAD placeholders, looking up keys
// and rendering messages with the download placeholders.
//
// Input: byte 0 gives the length of a key (mod 32) that follows; the rest is
// the language file (UTF-16LE bytes).
#include <cstddef>
#include <cstdint>
#include <string>

#include "tollwren/language/language_text.h"
#include "tollwren/pad/pad_document.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const size_t keyLength = data[0] % 32;
  ++data;
  --size;
  if (keyLength > size) return 0;
  std::u16string key(data, data + keyLength);
  data += keyLength;
  size -= keyLength;

  static const CPadDocument pad = [] {
    CPadDocument doc;
    const std::string text =
        "<Program_Version>2.6</Program_Version><Program_Name>A\nB</Program_Name>"
        "<File_Size_Bytes>2147483647</File_Size_Bytes><Char_Desc_45>d</Char_Desc_45>";
    doc.LoadRemoteBytes(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    return doc;
  }();
  CLanguageText language;
  language.Load(data, size, pad, u"C:\\x\\pad.xml");
  CDownloadFigures figures;
  figures.bytesReceived = 0xFFFFFFFFu;
  figures.fileSize = pad.fileSize;
  const std::u16string rendered = language.Render(key, figures);
  if (rendered.size() > kRenderedTextLimit) __builtin_trap();
  std::u16string value;
  if (language.LookUp(key, value)) {
    if (value.size() > kLanguageValueLimit) __builtin_trap();
    if (value.find(u'\n') != std::u16string::npos) __builtin_trap();
  }
  (void)language.RightToLeft();
  std::u16string name;
  (void)LanguageListLine(language.Text(), keyLength, name);
  if (name.size() > kLanguageNameLimit) __builtin_trap();
  return 0;
}
