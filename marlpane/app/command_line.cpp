#include "marlpane/app/command_line.h"

#include "common/switch_text.h"
#include "common/text16.h"

namespace {

bool IsArgumentBlank(char16_t c) { return c == u' ' || c == u'\t'; }

bool HoldsChar(const char16_t* text, char16_t c) {
  for (; text && *text; ++text)
    if (*text == c) return true;
  return false;
}

// Stores value as the path, or an empty path when it does not fit.
void SetPath(char16_t* path, const char16_t* value) {
  if (!CopyText(path, kPathCapacity, value)) path[0] = 0;
}

// Applies a path switch. The value is read into a buffer one character
// larger than the path's, so a value that fills it was too long.
void ApplyPathSwitch(const char16_t* commandLine, const char16_t* switchText, char16_t* path) {
  char16_t value[kPathCapacity + 1];
  if (GetSwitchText(commandLine, switchText, value, kPathCapacity + 1)) SetPath(path, value);
}

}  // namespace

bool FirstArgument(const char16_t* commandLine, std::u16string& argument) {
  argument.clear();
  if (!commandLine) return false;
  const char16_t* s = commandLine;
  // The program name: quoted up to the next double quote, else up to a blank;
  // no escapes.
  if (*s == u'"') {
    ++s;
    while (*s && *s != u'"') ++s;
    if (*s) ++s;
  } else {
    while (*s && !IsArgumentBlank(*s)) ++s;
  }
  while (IsArgumentBlank(*s)) ++s;
  if (!*s) return false;
  // One argument. quotes counts the double quotes that open and close
  // groups: odd inside a group; a third double quote in a row is a literal.
  int quotes = 0;
  size_t backslashes = 0;
  while (*s && !(IsArgumentBlank(*s) && quotes == 0)) {
    if (*s == u'\\') {
      argument.push_back(*s++);
      ++backslashes;
      continue;
    }
    if (*s != u'"') {
      argument.push_back(*s++);
      backslashes = 0;
      continue;
    }
    // 2n backslashes and a double quote: n backslashes, the quote groups;
    // 2n+1 backslashes: n backslashes and a literal double quote.
    argument.resize(argument.size() - backslashes / 2);
    if (backslashes % 2 == 0) {
      ++quotes;
    } else {
      argument.back() = u'"';
    }
    ++s;
    backslashes = 0;
    while (*s == u'"') {
      if (++quotes == 3) {
        argument.push_back(u'"');
        quotes = 0;
      }
      ++s;
    }
    if (quotes == 2) quotes = 0;
  }
  return true;
}

void ApplyCommandLine(const char16_t* commandLine, EditorState& state, EditorOptions& options) {
  if (!commandLine) return;
  if (!HoldsChar(commandLine, u'/')) {
    std::u16string argument;
    if (FirstArgument(commandLine, argument)) SetPath(state.settingsPath, argument.c_str());
  }
  ApplyPathSwitch(commandLine, u"/PROPERTIES:", state.settingsPath);
  ApplyPathSwitch(commandLine, u"/INI:", state.settingsPath);
  ApplyPathSwitch(commandLine, u"/ITP:", state.typeDescriptionPath);
  uint32_t window = 0;
  if (GetSwitchNumber(commandLine, u"/NOTIFY:", u" \t\r", &window)) state.notifyWindow = window;
  char16_t unused[1];  // only whether the switch is there counts
  if (GetSwitchText(commandLine, u"/NODETECT", unused, 1)) {
    state.noDetect = true;
    options.autoDetectRowTypes = 0;
  }
}
