#include "marlpane/rows/descriptor_index.h"

#include "marlpane/rows/row_builder.h"

std::u16string_view CDescriptorIndex::FindWhole(const char16_t* section, const char16_t* key) {
  if (!key || !key[0]) return {};
  const Body& body = BodyOf(section && section[0] ? section : u"");
  const auto found = body.find(std::u16string_view(key));
  return found == body.end() ? std::u16string_view() : found->second;
}

bool CDescriptorIndex::Find(const char16_t* section, const char16_t* key, std::u16string& out) {
  const std::u16string_view whole = FindWhole(section, key);
  out.assign(whole.substr(0, kDescriptorFieldLimit));
  return whole.data() != nullptr;
}

const CDescriptorIndex::Body& CDescriptorIndex::BodyOf(const char16_t* section) {
  const auto known = bodies_.find(section);
  if (known != bodies_.end()) return known->second;
  Body& body = bodies_[section];
  size_t start = 0;
  size_t end = text_.size();
  if (section[0]) {
    const std::u16string header = u"[" + std::u16string(section) + u"]";
    const size_t at = text_.find(header);
    if (at == std::u16string_view::npos) return body;
    start = at + header.size();
    const size_t next = text_.find(u"\n[", start);
    if (next != std::u16string_view::npos) end = next;
  }
  // Every line that starts inside the body; its key is the text before
  // its first '=', and the first line of a key wins.
  for (size_t line = start; line < end;) {
    size_t lineEnd = line;
    while (lineEnd < end && text_[lineEnd] != u'\n') ++lineEnd;
    if (line == 0 || text_[line - 1] == u'\n') {
      const size_t equals = text_.find(u'=', line);
      if (equals < lineEnd && equals > line) {
        size_t valueEnd = lineEnd;
        if (valueEnd > equals + 1 && text_[valueEnd - 1] == u'\r') --valueEnd;
        body.emplace(text_.substr(line, equals - line), text_.substr(equals + 1, valueEnd - equals - 1));
      }
    }
    line = lineEnd + 1;
  }
  return body;
}
