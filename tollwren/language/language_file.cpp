#include "tollwren/language/language_file.h"

#include "tollwren/pad/pad_document.h"

std::u16string ChooseInitialLanguage(bool useSystemLanguage, std::u16string_view systemLanguage,
                                     std::u16string_view defaultLanguage) {
  std::u16string_view chosen = (useSystemLanguage && !systemLanguage.empty()) ? systemLanguage : defaultLanguage;
  std::u16string name(chosen.substr(0, kLanguageNameLimit));
  const size_t end = name.find(u'\0');
  if (end != std::u16string::npos) name.resize(end);
  return name;
}

bool CLanguageFile::Load(CKeyedArchive& archive, const char16_t* archivePath, std::u16string_view name,
                         const CPadDocument& pad, std::u16string_view padFilePath) {
  std::u16string text;
  if (!ReadLanguageEntry(archive, archivePath, name, text)) return false;
  LoadText(std::move(text), name, pad, padFilePath);
  return true;
}

bool CLanguageFile::Pick(CKeyedArchive& archive, const char16_t* archivePath, std::u16string_view languageList,
                         size_t index, const CPadDocument& pad, std::u16string_view padFilePath,
                         std::u16string& pickedName) {
  pickedName = Name();
  std::u16string line;
  if (LanguageListLine(languageList, index, line)) pickedName = line;
  return Load(archive, archivePath, pickedName, pad, padFilePath);
}

void CLanguageFile::LoadBytes(const uint8_t* bytes, size_t size, std::u16string_view name,
                              const CPadDocument& pad, std::u16string_view padFilePath) {
  LoadText(DecodeLanguageBytes(bytes, size), name, pad, padFilePath);
}

void CLanguageFile::LoadText(std::u16string text, std::u16string_view name, const CPadDocument& pad,
                             std::u16string_view padFilePath) {
  CLanguageText filled;
  filled.LoadText(text, pad, padFilePath);
  std::lock_guard<std::mutex> hold(lock_);
  name_.assign(name);
  source_ = std::move(text);
  text_ = std::move(filled);
}

bool CLanguageFile::Refill(const CPadDocument& pad, std::u16string_view padFilePath) {
  std::u16string source;
  {
    std::lock_guard<std::mutex> hold(lock_);
    if (!text_.IsLoaded()) return false;
    source = source_;
  }
  CLanguageText filled;
  filled.LoadText(source, pad, padFilePath);
  std::lock_guard<std::mutex> hold(lock_);
  text_ = std::move(filled);
  return true;
}

bool CLanguageFile::IsLoaded() const {
  std::lock_guard<std::mutex> hold(lock_);
  return text_.IsLoaded();
}

std::u16string CLanguageFile::Name() const {
  std::lock_guard<std::mutex> hold(lock_);
  return name_;
}

bool CLanguageFile::LookUp(std::u16string_view key, std::u16string& value) const {
  std::lock_guard<std::mutex> hold(lock_);
  return text_.LookUp(key, value);
}

std::u16string CLanguageFile::Render(std::u16string_view key, CDownloadFigures& figures) const {
  std::lock_guard<std::mutex> hold(lock_);
  return text_.Render(key, figures);
}

std::u16string CLanguageFile::Caption(std::u16string_view key) const {
  std::u16string value;
  if (key.empty() || !LookUp(key, value)) return std::u16string();
  return ButtonCaption(value);
}

bool CLanguageFile::RightToLeft() const {
  std::lock_guard<std::mutex> hold(lock_);
  return text_.RightToLeft();
}
