#include "tollwren/flow/flow_rules.h"

int ProgressPercent(uint32_t received, uint32_t expected) {
  if (expected == 0) return 0;
  const uint64_t percent = static_cast<uint64_t>(received) * 100 / expected;
  return percent > 100 ? 100 : static_cast<int>(percent);
}

std::u16string JoinPath(std::u16string_view folder, std::u16string_view name) {
  if (name.empty()) return std::u16string();
  std::u16string path(folder);
  if (!path.empty() && path.back() != u'\\' && path.back() != u'/') path.push_back(u'\\');
  path.append(name);
  return path;
}
