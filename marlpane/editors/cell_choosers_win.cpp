#include "marlpane/editors/cell_choosers_win.h"

#include <commdlg.h>

#include <vector>

#include "common/choosers_win.h"
#include "common/hex_text.h"
#include "common/path_text.h"
#include "common/text16.h"

namespace {

constexpr size_t kPathCapacity = kCellTextCapacity;  // 5000

// The cell text in a path buffer of 5000 characters.
std::vector<char16_t> PathBuffer(const char16_t* text) {
  std::vector<char16_t> buffer(kPathCapacity, 0);
  CopyText(buffer.data(), kPathCapacity, text ? text : u"");
  return buffer;
}

}  // namespace

bool ChooseCellColour(const EditRequest& request, uint32_t* colour) {
  COLORREF picked = ParseColour(request.text);
  if (!ChooseColourDialog(request.owner, &picked)) return false;
  *colour = picked;
  return true;
}

bool ChooseCellFile(const EditRequest& request, bool save, const char16_t* filter,
                    std::u16string& path) {
  std::vector<char16_t> folder = PathBuffer(request.text);
  StripFileName(folder.data());
  std::vector<char16_t> file = PathBuffer(request.text);
  const auto choose = [&] {
    return save ? ChooseSaveFile(request.owner, filter, folder.data(), file.data(), kPathCapacity)
                : ChooseOpenFile(request.owner, filter, folder.data(), file.data(), kPathCapacity);
  };
  bool chosen = choose();
  // The chooser does not open on a name it cannot use; the user still gets
  // one, in the cell's folder.
  if (!chosen && CommDlgExtendedError() != 0) {
    file.assign(kPathCapacity, 0);
    chosen = choose();
  }
  if (!chosen) return false;
  path = file.data();
  return true;
}

bool ChooseCellFolder(const EditRequest& request, std::u16string& folder) {
  std::vector<char16_t> chosen(kPathCapacity, 0);
  if (!ChooseFolder(request.owner, request.text, chosen.data(), kPathCapacity)) return false;
  folder = chosen.data();
  return true;
}

bool ChooseCellFont(const EditRequest& request, FontBlock& font) {
  char16_t face[kFaceNameCapacity] = {};
  CopyText(face, kFaceNameCapacity, font.face);
  int size = font.size;
  int bold = font.bold, italic = font.italic, underline = font.underline, strikeOut = font.strikeOut;
  if (!ChooseFontDialog(request.owner, font.sizeMin, font.sizeMax, face, &size, &bold, &italic,
                        &underline, &strikeOut)) {
    return false;
  }
  CopyText(font.face, kFontFaceCapacity, face);
  font.size = size;
  font.bold = bold ? 1 : 0;
  font.italic = italic ? 1 : 0;
  font.underline = underline ? 1 : 0;
  font.strikeOut = strikeOut ? 1 : 0;
  return true;
}
