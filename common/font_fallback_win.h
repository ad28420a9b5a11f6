// Fonts that have the glyphs of a text: a base font, and for a text whose
// characters it lacks, a font of the same height, weight and style in a face
// that has them. Faces are judged by their glyphs (GetGlyphIndicesW with
// GGI_MARK_NONEXISTING_GLYPHS), not by their names, so the same choice works
// on Windows and under Wine with whatever faces are installed. Win32 only.
#pragma once

#include <windows.h>

#include <cstddef>
#include <map>
#include <string>
#include <string_view>

class CFontFallback {
 public:
  CFontFallback() = default;
  virtual ~CFontFallback();
  CFontFallback(const CFontFallback&) = delete;
  CFontFallback& operator=(const CFontFallback&) = delete;

  // The font that texts are drawn in when it has their glyphs; not owned,
  // it must outlive its use here. A new base drops the fonts made for the
  // old one (handles returned before become invalid).
  void SetBaseFont(HFONT base);
  HFONT BaseFont() const { return base_; }

  // The font to draw text in on dc: the base font when it has a glyph for
  // every character, else the face with the fewest missing, found first
  // among the faces for the text's script (the system's pick for its
  // character set, then the installed faces that list it), then among every
  // installed face. The choice is kept per set of Unicode blocks (searched
  // again for a text it lacks glyphs of, unless no face had them). dc keeps
  // the font it had. A font other than the base belongs to this object.
  HFONT FontFor(HDC dc, std::u16string_view text);
  // The same on a memory DC of the screen.
  HFONT FontFor(std::u16string_view text);

  // How many characters of text font has no glyph for. Control and format
  // characters and surrogates (which no glyph lookup by unit can judge)
  // do not count.
  static size_t MissingGlyphs(HDC dc, HFONT font, std::u16string_view text);

 private:
  // The face with the fewest missing glyphs; *missing holds the base's
  // count before and the chosen face's after.
  HFONT Search(HDC dc, std::u16string_view text, size_t* missing);
  HFONT FaceFont(const wchar_t* face, BYTE charset);
  void DropFonts();

  HFONT base_ = nullptr;
  LOGFONTW description_ = {};
  HDC memoryDc_ = nullptr;
  std::map<std::wstring, HFONT> faceFonts_;  // owned; by face (and charset)
  struct Choice {
    HFONT font;
    bool complete;  // it had every glyph of the text it was chosen for
  };
  std::map<std::u16string, Choice> chosen_;  // by the blocks of a text
};
