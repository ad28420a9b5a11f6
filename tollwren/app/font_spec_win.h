// The parameters of one CreateFontW call and the font they made.
#pragma once

#include <windows.h>

#include <cstdint>

class CFontSpec {
 public:
  static constexpr int kFaceCapacity = 32;

  CFontSpec();
  virtual ~CFontSpec();
  CFontSpec(const CFontSpec&) = delete;
  CFontSpec& operator=(const CFontSpec&) = delete;

  // Deletes the font held, copies at most 31 characters of face, keeps
  // height and creates the font from every field. True when one was made.
  bool Create(const char16_t* face, int fontHeight);
  HFONT Handle() const { return font_; }
  const char16_t* Face() const { return face_; }

  int height = 12;
  int width = 0;
  int escapement = 0;
  int orientation = 0;
  int weight = FW_NORMAL;
  uint8_t italic = 0;
  uint8_t underline = 0;
  uint8_t strikeOut = 0;
  uint8_t charset = DEFAULT_CHARSET;
  uint8_t outputPrecision = 0;
  uint8_t clipPrecision = 0;
  uint8_t quality = 0;
  uint8_t pitchAndFamily = 0;

 private:
  char16_t face_[kFaceCapacity] = {};
  HFONT font_ = nullptr;
};
