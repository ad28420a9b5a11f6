#include "common/choosers_win.h"

#include <commdlg.h>

#include <string>

#include "common/path_text.h"
#include "common/text16.h"

namespace {

constexpr DWORD kOpenFlags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST |
                             OFN_FILEMUSTEXIST;  // 0x180C
constexpr DWORD kSaveFlags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_NOCHANGEDIR |
                             OFN_CREATEPROMPT;  // 0x200E
constexpr DWORD kFolderFlags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST;  // 0x80C

ChooserWords gWords;

// "Supported Files" + patterns, then "All Files" + "*.*", as the chooser's
// double-NUL-terminated filter list.
std::u16string MakeFilter(const char16_t* patterns) {
  std::u16string filter;
  if (patterns && *patterns) {
    filter += gWords.supportedFiles;
    filter += u'\0';
    filter += patterns;
    filter += u'\0';
  }
  filter += gWords.allFiles;
  filter += u'\0';
  filter += u"*.*";
  filter += u'\0';
  filter += u'\0';
  return filter;
}

OPENFILENAMEW MakeFileRequest(HWND owner, const std::u16string& filter,
                              const char16_t* initialFolder, char16_t* file, size_t capacity,
                              DWORD flags) {
  OPENFILENAMEW request = {};
  request.lStructSize = sizeof request;
  request.hwndOwner = owner;
  request.lpstrFilter = AsWide(filter.c_str());
  request.nFilterIndex = 1;
  request.lpstrFile = AsWide(file);
  request.nMaxFile = static_cast<DWORD>(capacity > 0xFFFF ? 0xFFFF : capacity);
  request.lpstrInitialDir = initialFolder && *initialFolder ? AsWide(initialFolder) : nullptr;
  request.Flags = flags;
  return request;
}

}  // namespace

void SetChooserWords(const ChooserWords& words) { gWords = words; }

bool ChooseOpenFile(HWND owner, const char16_t* patterns, const char16_t* initialFolder,
                    char16_t* file, size_t capacity) {
  if (!file || capacity == 0) return false;
  const std::u16string filter = MakeFilter(patterns);
  OPENFILENAMEW request = MakeFileRequest(owner, filter, initialFolder, file, capacity, kOpenFlags);
  return GetOpenFileNameW(&request) != FALSE;
}

bool ChooseSaveFile(HWND owner, const char16_t* patterns, const char16_t* initialFolder,
                    char16_t* file, size_t capacity) {
  if (!file || capacity == 0) return false;
  const std::u16string filter = MakeFilter(patterns);
  OPENFILENAMEW request = MakeFileRequest(owner, filter, initialFolder, file, capacity, kSaveFlags);
  if (!GetSaveFileNameW(&request)) return false;
  if (patterns && *patterns && !HasExtension(file)) {
    std::u16string first(patterns);
    first.push_back(0);
    CutAtChar(&first[0], u';');
    if (KeepExtension(&first[0])) ReplaceExtension(first.c_str(), file, capacity);
  }
  return true;
}

bool ChooseFolder(HWND owner, const char16_t* initialFolder, char16_t* out, size_t capacity) {
  if (!out || capacity == 0) return false;
  std::u16string filter = gWords.allFolders;
  filter += u'\0';
  filter += u"*.";
  filter += u'\0';
  filter += u'\0';
  char16_t file[kChooseFolderBuffer] = {};
  CopyText(file, kChooseFolderBuffer, gWords.folderName.c_str());
  OPENFILENAMEW request =
      MakeFileRequest(owner, filter, initialFolder, file, kChooseFolderBuffer, kFolderFlags);
  request.lpstrTitle = AsWide(gWords.chooseFolder.c_str());
  if (!GetOpenFileNameW(&request)) return false;
  StripFileName(file);
  size_t n = TextLength(file);
  if (n > capacity - 1) n = capacity - 1;
  for (size_t i = 0; i < n; ++i) out[i] = file[i];
  out[n] = 0;
  return true;
}

bool ChooseFontDialog(HWND owner, int minimumSize, int maximumSize, char16_t* faceName,
                      int* size, int* bold, int* italic, int* underline, int* strikeout) {
  LOGFONTW font = {};
  if (faceName) {
    for (size_t i = 0; i + 1 < kFaceNameCapacity && faceName[i]; ++i)
      font.lfFaceName[i] = static_cast<wchar_t>(faceName[i]);
  }
  font.lfWeight = bold && *bold ? FW_BOLD : FW_NORMAL;
  font.lfItalic = italic && *italic ? 1 : 0;
  font.lfUnderline = underline && *underline ? 1 : 0;
  font.lfStrikeOut = strikeout && *strikeout ? 1 : 0;
  font.lfCharSet = DEFAULT_CHARSET;
  const int points = size ? *size : 0;
  if (points > 0) {
    // The chooser starts from the font's height, so the size must be there
    // too, in pixels of the screen.
    HDC screen = GetDC(nullptr);
    font.lfHeight = -MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
  }

  CHOOSEFONTW request = {};
  request.lStructSize = sizeof request;
  request.hwndOwner = owner;
  request.lpLogFont = &font;
  request.iPointSize = points * 10;
  request.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_NOSCRIPTSEL;  // 0x800041
  if (maximumSize > 0) {
    request.Flags |= CF_LIMITSIZE;  // 0x802041
    request.nSizeMin = minimumSize;
    request.nSizeMax = maximumSize;
  }
  if (!ChooseFontW(&request)) return false;

  if (faceName) {
    size_t i = 0;
    for (; i + 1 < kFaceNameCapacity && font.lfFaceName[i]; ++i)
      faceName[i] = static_cast<char16_t>(font.lfFaceName[i]);
    faceName[i] = 0;
  }
  if (size) *size = request.iPointSize / 10;
  if (bold) *bold = font.lfWeight > FW_NORMAL ? 1 : 0;
  if (italic) *italic = font.lfItalic ? 1 : 0;
  if (underline) *underline = font.lfUnderline ? 1 : 0;
  if (strikeout) *strikeout = font.lfStrikeOut ? 1 : 0;
  return true;
}

bool ChooseColourDialog(HWND owner, COLORREF* colour) {
  COLORREF custom[16] = {};
  CHOOSECOLORW request = {};
  request.lStructSize = sizeof request;
  request.hwndOwner = owner;
  request.rgbResult = colour ? *colour : 0;
  request.lpCustColors = custom;
  request.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ANYCOLOR;  // 0x103
  if (!ChooseColorW(&request)) return false;
  if (colour) *colour = request.rgbResult;
  return true;
}
