#include "marlpane/document/ini_key_lines.h"

#include <map>
#include <string>

#include "marlpane/document/ini_document.h"

namespace {

std::u16string_view Part(const char16_t* text, size_t start, size_t length) {
  return std::u16string_view(text + start, length);
}

// The text's first line end, CR LF when it has none.
std::u16string_view FirstLineEnd(const char16_t* text, size_t length) {
  for (size_t i = 0; i < length; ++i) {
    if (text[i] == u'\n') return u"\n";
    if (text[i] == u'\r') return i + 1 < length && text[i + 1] == u'\n' ? u"\r\n" : u"\r";
  }
  return u"\r\n";
}

// Walks the key lines of a text with the name of the section each stands in.
template <class Visit>
void ForEachKeyLine(const char16_t* text, size_t length, Visit visit) {
  std::u16string_view section;
  size_t entry = 0;
  for (CIniLines lines(text, length); lines.Next();) {
    const IniLine& line = lines.Line();
    if (line.kind == IniLineKind::Section) {
      section = Part(text, line.nameStart, line.nameLength);
    } else if (line.kind == IniLineKind::Key) {
      visit(entry++, section, Part(text, line.nameStart, line.nameLength), line);
    }
  }
}

// The names wanted, by key: a lookup per key line without a copy.
using NamesByKey = std::map<std::u16string, std::vector<size_t>, std::less<>>;

NamesByKey IndexByKey(const std::vector<KeyName>& names) {
  NamesByKey byKey;
  for (size_t i = 0; i < names.size(); ++i) byKey[names[i].key].push_back(i);
  return byKey;
}

}  // namespace

bool NameEntries(const char16_t* text, size_t length, const std::vector<size_t>& entries,
                 std::vector<KeyName>& names) {
  names.assign(entries.size(), KeyName());
  std::map<size_t, std::vector<size_t>> wanted;  // entry -> places in entries
  for (size_t i = 0; i < entries.size(); ++i) wanted[entries[i]].push_back(i);
  size_t named = 0;
  ForEachKeyLine(text, length, [&](size_t entry, std::u16string_view section, std::u16string_view key,
                                   const IniLine&) {
    auto at = wanted.find(entry);
    if (at == wanted.end()) return;
    for (size_t i : at->second) {
      names[i].section.assign(section);
      names[i].key.assign(key);
      ++named;
    }
  });
  if (named != entries.size()) return false;
  // The occurrence: the key lines of the same name before the entry.
  const NamesByKey byKey = IndexByKey(names);
  ForEachKeyLine(text, length, [&](size_t entry, std::u16string_view section, std::u16string_view key,
                                   const IniLine&) {
    auto same = byKey.find(key);
    if (same == byKey.end()) return;
    for (size_t i : same->second) {
      if (entries[i] > entry && names[i].section == section) ++names[i].occurrence;
    }
  });
  return true;
}

void FindKeyLines(CIniDocument& document, const std::vector<KeyName>& names,
                  std::vector<KeyLineSpot>& spots, std::vector<bool>& found) {
  spots.assign(names.size(), KeyLineSpot());
  found.assign(names.size(), false);
  std::vector<size_t> seen(names.size(), 0);  // key lines of each name so far
  const NamesByKey byKey = IndexByKey(names);
  ForEachKeyLine(document.Text(), document.Length(),
                 [&](size_t entry, std::u16string_view section, std::u16string_view key,
                     const IniLine& line) {
                   auto same = byKey.find(key);
                   if (same == byKey.end()) return;
                   for (size_t i : same->second) {
                     if (names[i].section != section || seen[i]++ != names[i].occurrence) continue;
                     spots[i].entry = entry;
                     spots[i].line = line;
                     found[i] = true;
                   }
                 });
}

bool FindKeyLine(CIniDocument& document, std::u16string_view section, std::u16string_view key,
                 KeyLineSpot& spot) {
  const char16_t* text = document.Text();
  bool inSection = section.empty();
  size_t entry = 0;
  for (CIniLines lines(text, document.Length()); lines.Next();) {
    const IniLine& line = lines.Line();
    if (line.kind == IniLineKind::Section) {
      inSection = Part(text, line.nameStart, line.nameLength) == section;
    } else if (line.kind == IniLineKind::Key) {
      if (inSection && Part(text, line.nameStart, line.nameLength) == key) {
        spot.entry = entry;
        spot.line = line;
        return true;
      }
      ++entry;
    }
  }
  return false;
}

AddKeyResult AddKeyLine(CIniDocument& document, std::u16string_view section, std::u16string_view key,
                        std::u16string_view value, bool createSection) {
  const char16_t* text = document.Text();
  const size_t length = document.Length();
  bool found = section.empty();
  bool inSection = found;
  bool haveAnchor = false;
  IniLine anchor;  // the line the new one follows
  for (CIniLines lines(text, length); lines.Next();) {
    const IniLine& line = lines.Line();
    if (line.kind == IniLineKind::Section) {
      if (inSection) break;
      if (Part(text, line.nameStart, line.nameLength) == section) {
        found = inSection = haveAnchor = true;
        anchor = line;
      }
    } else if (line.kind == IniLineKind::Key && inSection) {
      haveAnchor = true;
      anchor = line;
    }
  }
  if (!found && !createSection) return AddKeyResult::NoSection;

  const std::u16string_view fileLineEnd = FirstLineEnd(text, length);
  std::u16string keyLine(key);
  keyLine += u'=';
  keyLine += value;
  std::u16string insert;
  size_t at = 0;
  if (!found) {
    at = length;
    if (length > 0 && text[length - 1] != u'\n' && text[length - 1] != u'\r') insert = fileLineEnd;
    insert += u'[';
    insert += section;
    insert += u']';
    insert += fileLineEnd;
    insert += keyLine;
    insert += fileLineEnd;
  } else if (!haveAnchor) {
    insert = keyLine;  // no key line before the first header: the top of the text
    insert += fileLineEnd;
  } else if (anchor.LineEndLength() > 0) {
    at = anchor.next;
    insert = keyLine;
    insert += Part(text, anchor.end, anchor.LineEndLength());
  } else {
    at = anchor.end;  // the last line of a text without a final line end
    insert = fileLineEnd;
    insert += keyLine;
  }
  if (!document.InsertText(at, insert.data(), insert.size())) return AddKeyResult::Failed;
  return found ? AddKeyResult::Added : AddKeyResult::AddedWithSection;
}

bool DeleteKeyLine(CIniDocument& document, const KeyLineSpot& spot) {
  return document.EraseText(spot.line.start, spot.line.next - spot.line.start);
}
