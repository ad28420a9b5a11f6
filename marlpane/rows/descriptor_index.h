// The row descriptors of a type description text, found the way the row
// building looks them up. The descriptor of key is the value of the first
// line of the section body (the whole text for an empty section) that
// starts with "key=". The body of section S runs from the first "[S]" in
// the text to the next line that starts with '['. Unlike a plain search
// for "key=" this never takes the tail of a longer key ("UserName=" for
// "Name") or a "key=" inside another line. Each section body is scanned
// once, so that building many rows does not search the text once per option.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

class CDescriptorIndex {
 public:
  // text must outlive the index.
  explicit CDescriptorIndex(std::u16string_view text) : text_(text) {}

  // The descriptor, cut at kDescriptorFieldLimit characters, into out;
  // false (out empty) when there is none.
  bool Find(const char16_t* section, const char16_t* key, std::u16string& out);
  // The whole descriptor as it stands in the text (empty data when none).
  std::u16string_view FindWhole(const char16_t* section, const char16_t* key);

 private:
  using Body = std::unordered_map<std::u16string_view, std::u16string_view>;
  const Body& BodyOf(const char16_t* section);

  std::u16string_view text_;
  std::unordered_map<std::u16string, Body> bodies_;
};
