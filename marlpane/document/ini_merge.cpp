#include "marlpane/document/ini_merge.h"

#include <utility>

#include "marlpane/document/ini_document.h"

namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

// The value without its blanks, and the blanks before and after it.
struct Layout {
  std::u16string_view lead, value, trail;
};

Layout Split(std::u16string_view text) {
  size_t first = 0;
  size_t last = text.size();
  while (first < last && IsBlank(text[first])) ++first;
  while (last > first && IsBlank(text[last - 1])) --last;
  return {text.substr(0, first), text.substr(first, last - first), text.substr(last)};
}

std::u16string Between(const Layout& layout, const std::u16string& value) {
  std::u16string out(layout.lead);
  out += value;
  out += layout.trail;
  return out;
}

}  // namespace

CKeyMerge::CKeyMerge(CIniDocument& file, std::vector<KeyEdit> edits)
    : file_(file), edits_(std::move(edits)) {
  std::vector<KeyName> names;
  names.reserve(edits_.size());
  for (const KeyEdit& edit : edits_) names.push_back(edit.name);
  FindKeyLines(file_, names, spots_, found_);
  conflicting_.assign(edits_.size(), false);
  const char16_t* text = file_.Text();
  for (size_t i = 0; i < edits_.size(); ++i) {
    if (!found_[i]) continue;
    const IniLine& line = spots_[i].line;
    const std::u16string_view now = Split({text + line.valueStart, line.valueLength}).value;
    if (now == Split(edits_[i].loaded).value || now == edits_[i].value) continue;
    conflicting_[i] = true;
    conflicts_.push_back({i, std::u16string(now)});
  }
}

bool CKeyMerge::Apply(bool keepMine) {
  // Values first, by entry index (the lines stay where they are), then the
  // keys to add back, each of which moves the lines after it.
  std::vector<std::pair<size_t, std::u16string>> values;
  const char16_t* text = file_.Text();
  for (size_t i = 0; i < edits_.size(); ++i) {
    if (!found_[i] || (conflicting_[i] && !keepMine)) continue;
    const IniLine& line = spots_[i].line;
    const Layout now = Split({text + line.valueStart, line.valueLength});
    if (now.value == edits_[i].value) continue;
    values.emplace_back(spots_[i].entry, Between(now, edits_[i].value));
  }
  for (const auto& value : values) {
    if (!file_.ReplaceValue(value.first, value.second.c_str())) return false;
  }
  for (size_t i = 0; i < edits_.size(); ++i) {
    if (found_[i]) continue;
    const KeyEdit& edit = edits_[i];
    const std::u16string value = Between(Split(edit.loaded), edit.value);
    AddKeyResult added = AddKeyLine(file_, edit.name.section, edit.name.key, value,
                                    !file_.IsProperties());
    // A properties file gains no sections: the key goes with the keys
    // before the first header.
    if (added == AddKeyResult::NoSection) added = AddKeyLine(file_, u"", edit.name.key, value);
    if (added == AddKeyResult::Failed) return false;
  }
  return true;
}
