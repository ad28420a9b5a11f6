#include "tollwren/app/command_line.h"

#include <string_view>

#include "common/switch_text.h"

CUpdaterCommandLine ParseUpdaterCommandLine(const char16_t* commandLine) {
  CUpdaterCommandLine parsed;
  if (!commandLine) return parsed;
  parsed.hidden = std::u16string_view(commandLine).find(u"/HIDE") != std::u16string_view::npos;
  parsed.silent = std::u16string_view(commandLine).find(u"/SILENT") != std::u16string_view::npos;
  uint32_t window = 0;
  if (GetSwitchNumber(commandLine, u"/NOTIFY:", u" \t\r", &window)) parsed.notifyWindow = window;
  return parsed;
}
