#include "tollwren/app/font_spec_win.h"

#include "common/text16.h"

CFontSpec::CFontSpec() {
  static const char16_t kDefaultFace[] = u"Courier New";
  for (int i = 0; kDefaultFace[i]; ++i) face_[i] = kDefaultFace[i];
}

CFontSpec::~CFontSpec() {
  if (font_) DeleteObject(font_);
}

bool CFontSpec::Create(const char16_t* face, int fontHeight) {
  if (font_) {
    DeleteObject(font_);
    font_ = nullptr;
  }
  int i = 0;
  for (; face && face[i] && i < kFaceCapacity - 1; ++i) face_[i] = face[i];
  face_[i] = 0;
  height = fontHeight;
  font_ = CreateFontW(height, width, escapement, orientation, weight, italic, underline, strikeOut, charset,
                      outputPrecision, clipPrecision, quality, pitchAndFamily, AsWide(face_));
  return font_ != nullptr;
}
