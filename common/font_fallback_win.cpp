#include "common/font_fallback_win.h"

#include <algorithm>
#include <vector>

#include "common/script_charset.h"
#include "common/text16.h"

namespace {

constexpr WORD kNoGlyph = 0xFFFF;

// Characters drawn without a glyph of their own, or that a lookup by code
// unit cannot judge.
bool IsJudged(char16_t c) {
  if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) return false;
  if (c >= 0xD800 && c <= 0xDFFF) return false;
  if ((c >= 0x200B && c <= 0x200F) || (c >= 0x2028 && c <= 0x202E) || (c >= 0x2060 && c <= 0x206F)) {
    return false;
  }
  return c != 0xFEFF;
}

// Scripts whose letters are shaped by their neighbours and read right to
// left: a raster font, one 8-bit code page of fixed bitmaps, draws none of
// them, whatever its glyph lookup (by code page) says.
bool NeedsShaping(char16_t c) {
  return (c >= 0x0590 && c <= 0x08FF) || (c >= 0xFB1D && c <= 0xFDFF) || (c >= 0xFE70 && c <= 0xFEFE);
}

bool IsRasterFont(HDC dc) {
  TEXTMETRICW metrics = {};
  return GetTextMetricsW(dc, &metrics) && !(metrics.tmPitchAndFamily & (TMPF_VECTOR | TMPF_TRUETYPE));
}

bool IsAscii(std::u16string_view text) {
  return std::all_of(text.begin(), text.end(), [](char16_t c) { return c < 0x80; });
}

// The 128-character blocks of the text's characters beyond ASCII, sorted:
// texts of the same scripts share one choice.
std::u16string BlocksOf(std::u16string_view text) {
  std::u16string blocks;
  for (char16_t c : text) {
    if (c >= 0x80 && IsJudged(c)) blocks += static_cast<char16_t>(c >> 7);
  }
  std::sort(blocks.begin(), blocks.end());
  blocks.erase(std::unique(blocks.begin(), blocks.end()), blocks.end());
  return blocks;
}

struct InstalledFace {
  std::wstring name;
  bool hasCharset;  // lists the charset asked for
};

struct FaceSearch {
  BYTE charset;
  std::vector<InstalledFace> faces;
};

int CALLBACK CollectFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD type, LPARAM parameter) {
  auto* search = reinterpret_cast<FaceSearch*>(parameter);
  // Raster faces come in a few sizes only; vertical (@) and symbol faces
  // map letters to pictures.
  if ((type & RASTER_FONTTYPE) || font->lfFaceName[0] == L'@' || font->lfCharSet == SYMBOL_CHARSET) {
    return 1;
  }
  const std::wstring name = font->lfFaceName;
  auto known = std::find_if(search->faces.begin(), search->faces.end(),
                            [&](const InstalledFace& face) { return face.name == name; });
  const bool listed = font->lfCharSet == search->charset;
  if (known == search->faces.end()) {
    search->faces.push_back({name, listed});
  } else if (listed) {
    known->hasCharset = true;
  }
  return 1;
}

// Every scalable face, those that list charset first, each group in the
// system's order.
std::vector<std::wstring> InstalledFaces(HDC dc, BYTE charset) {
  FaceSearch search{charset, {}};
  LOGFONTW all = {};
  all.lfCharSet = DEFAULT_CHARSET;
  EnumFontFamiliesExW(dc, &all, CollectFace, reinterpret_cast<LPARAM>(&search), 0);
  std::stable_partition(search.faces.begin(), search.faces.end(),
                        [](const InstalledFace& face) { return face.hasCharset; });
  std::vector<std::wstring> names;
  for (const InstalledFace& face : search.faces) names.push_back(face.name);
  return names;
}

}  // namespace

CFontFallback::~CFontFallback() {
  DropFonts();
  if (memoryDc_) DeleteDC(memoryDc_);
}

void CFontFallback::DropFonts() {
  for (auto& font : faceFonts_) DeleteObject(font.second);
  faceFonts_.clear();
  chosen_.clear();
}

void CFontFallback::SetBaseFont(HFONT base) {
  if (base == base_) return;
  DropFonts();
  base_ = base;
  description_ = LOGFONTW{};
  if (base_) GetObjectW(base_, sizeof description_, &description_);
}

size_t CFontFallback::MissingGlyphs(HDC dc, HFONT font, std::u16string_view text) {
  if (!dc || !font || text.empty()) return 0;
  std::vector<WORD> glyphs(text.size());
  HGDIOBJ previous = SelectObject(dc, font);
  const DWORD done = GetGlyphIndicesW(dc, AsWide(text.data()), static_cast<int>(text.size()),
                                      glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS);
  const bool raster = IsRasterFont(dc);
  SelectObject(dc, previous);
  if (done == GDI_ERROR) return 0;  // cannot tell: the font stays
  size_t missing = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    missing += (glyphs[i] == kNoGlyph || (raster && NeedsShaping(text[i]))) && IsJudged(text[i]);
  }
  return missing;
}

HFONT CFontFallback::FontFor(HDC dc, std::u16string_view text) {
  if (!base_ || !dc || IsAscii(text)) return base_;
  const size_t baseMissing = MissingGlyphs(dc, base_, text);
  if (baseMissing == 0) return base_;
  const std::u16string blocks = BlocksOf(text);
  auto known = chosen_.find(blocks);
  // A choice that had every glyph of its text may lack one of this text;
  // one that already lacked some was the best of every face.
  if (known != chosen_.end() &&
      (!known->second.complete || MissingGlyphs(dc, known->second.font, text) == 0)) {
    return known->second.font;
  }
  size_t missing = baseMissing;
  HFONT found = Search(dc, text, &missing);
  chosen_[blocks] = Choice{found, missing == 0};
  // The faces tried and not chosen go again.
  for (auto font = faceFonts_.begin(); font != faceFonts_.end();) {
    const bool used = std::any_of(chosen_.begin(), chosen_.end(),
                                  [&](const auto& choice) { return choice.second.font == font->second; });
    if (used) {
      ++font;
    } else {
      DeleteObject(font->second);
      font = faceFonts_.erase(font);
    }
  }
  return found;
}

HFONT CFontFallback::FontFor(std::u16string_view text) {
  if (!memoryDc_) memoryDc_ = CreateCompatibleDC(nullptr);
  return FontFor(memoryDc_, text);
}

HFONT CFontFallback::FaceFont(const wchar_t* face, BYTE charset) {
  std::wstring key = face;
  key += L'/';
  key += std::to_wstring(charset);
  auto known = faceFonts_.find(key);
  if (known != faceFonts_.end()) return known->second;
  LOGFONTW description = description_;
  description.lfCharSet = charset;
  lstrcpynW(description.lfFaceName, face, LF_FACESIZE);
  HFONT font = CreateFontIndirectW(&description);
  if (font) faceFonts_.emplace(std::move(key), font);
  return font;
}

HFONT CFontFallback::Search(HDC dc, std::u16string_view text, size_t* missing) {
  HFONT best = base_;
  size_t& fewest = *missing;
  const auto consider = [&](HFONT font) {
    if (!font) return false;
    const size_t missing = MissingGlyphs(dc, font, text);
    if (missing < fewest) {
      best = font;
      fewest = missing;
    }
    return missing == 0;
  };
  // The system's own pick for the script: the base face asked for in the
  // script's character set lets the font mapper choose.
  const BYTE charset = CharsetForText(text);
  if (charset != kDefaultCharset && consider(FaceFont(description_.lfFaceName, charset))) return best;
  for (const std::wstring& face : InstalledFaces(dc, charset)) {
    if (consider(FaceFont(face.c_str(), DEFAULT_CHARSET))) break;
  }
  return best;
}
