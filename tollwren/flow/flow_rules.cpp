#include "tollwren/flow/flow_rules.h"

namespace {

char16_t Lower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }

bool EqualsNoCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

bool HasEnding(std::u16string_view name, std::u16string_view ending) {
  return name.size() > ending.size() && EqualsNoCase(name.substr(name.size() - ending.size()), ending);
}

std::u16string Quoted(std::u16string_view text) { return u"\"" + std::u16string(text) + u"\""; }

bool IsDeviceName(std::u16string_view stem) {
  for (std::u16string_view device : {u"con", u"prn", u"aux", u"nul"}) {
    if (EqualsNoCase(stem, device)) return true;
  }
  if (stem.size() == 4 && (EqualsNoCase(stem.substr(0, 3), u"com") || EqualsNoCase(stem.substr(0, 3), u"lpt"))) {
    return stem[3] >= u'1' && stem[3] <= u'9';
  }
  return false;
}

}  // namespace

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

bool IsInstallerFileName(std::u16string_view name) {
  if (!HasEnding(name, u".exe") && !HasEnding(name, u".msi") && !HasEnding(name, u".zip")) return false;
  return !IsDeviceName(name.substr(0, name.find(u'.')));
}

namespace {
constexpr char16_t kPrivateFolderPrefix[] = u"tollwren-";
constexpr char16_t kHexDigits[] = u"0123456789abcdef";
}  // namespace

std::u16string PrivateFolderName(const uint8_t (&random)[kPrivateFolderRandomBytes]) {
  std::u16string name = kPrivateFolderPrefix;
  for (uint8_t byte : random) {
    name.push_back(kHexDigits[byte >> 4]);
    name.push_back(kHexDigits[byte & 15]);
  }
  return name;
}

bool IsPrivateFolderName(std::u16string_view name) {
  const std::u16string_view prefix = kPrivateFolderPrefix;
  if (name.size() != prefix.size() + 2 * kPrivateFolderRandomBytes || name.substr(0, prefix.size()) != prefix) {
    return false;
  }
  for (char16_t c : name.substr(prefix.size())) {
    if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f'))) return false;
  }
  return true;
}

CInstallerCommand InstallerCommand(std::u16string_view path, std::u16string_view arguments,
                                   std::u16string_view systemFolder, std::u16string_view windowsFolder) {
  CInstallerCommand command;
  std::u16string switches;
  if (HasEnding(path, u".exe")) {
    command.application = path;
  } else if (HasEnding(path, u".msi")) {
    command.application = JoinPath(systemFolder, u"msiexec.exe");
    switches = u" /i " + Quoted(path);
    command.holdUntilEnd = true;
  } else if (HasEnding(path, u".zip")) {
    command.application = JoinPath(windowsFolder, u"explorer.exe");
    command.commandLine = Quoted(command.application) + u" " + Quoted(path);
    command.holdUntilEnd = true;
    return command;
  } else {
    return command;
  }
  command.commandLine = Quoted(command.application) + switches;
  if (!arguments.empty()) command.commandLine += u" " + std::u16string(arguments);
  return command;
}
