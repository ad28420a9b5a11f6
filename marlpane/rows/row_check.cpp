#include "marlpane/rows/row_check.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <set>
#include <string_view>
#include <utility>

#include "common/date_text.h"
#include "common/text16.h"
#include "marlpane/document/ini_document.h"
#include "marlpane/document/ini_lines.h"
#include "marlpane/rows/cell_kinds.h"
#include "marlpane/rows/descriptor_index.h"
#include "marlpane/rows/number_text.h"
#include "marlpane/rows/row_builder.h"
#include "marlpane/rows/row_saver.h"
#include "marlpane/rows/row_table.h"
#include "marlpane/rows/typed_cells.h"

namespace {

using View = std::u16string_view;

constexpr size_t kTextLimit = CIniDocument::kFieldCapacity - 1;  // keys, values, section names
constexpr size_t kShownLimit = 60;  // characters of a value quoted in a message
constexpr unsigned kCountLimit = 255;  // digits and decimals are kept to 0..255

std::u16string Decimal(long long n) { return Utf8ToText(std::to_string(n)); }

std::u16string RealText(float value) {
  char text[64];
  std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
  return Utf8ToText(text);
}

std::u16string Quoted(View text) {
  std::u16string out = u"\"";
  out += text.substr(0, kShownLimit);
  if (text.size() > kShownLimit) out += u"...";
  return out + u"\"";
}

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool IsHexDigit(char16_t c) {
  return IsDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// Digits from at, advancing it; the count of digits read.
size_t SkipDigits(View text, size_t& at) {
  const size_t from = at;
  while (at < text.size() && IsDigit(text[at])) ++at;
  return at - from;
}

// A number the way the descriptor fields read one, with nothing but blanks
// around it: blanks, a sign, digits (reals: a point, decimals, an exponent).
bool IsNumberText(View text, bool real) {
  size_t at = 0;
  while (at < text.size() && IsBlank(text[at])) ++at;
  if (at < text.size() && (text[at] == u'+' || text[at] == u'-')) ++at;
  size_t digits = SkipDigits(text, at);
  if (real && at < text.size() && text[at] == u'.') digits += SkipDigits(text, ++at);
  if (digits == 0) return false;
  if (real && at < text.size() && (text[at] == u'e' || text[at] == u'E')) {
    ++at;
    if (at < text.size() && (text[at] == u'+' || text[at] == u'-')) ++at;
    if (SkipDigits(text, at) == 0) return false;
  }
  while (at < text.size() && IsBlank(text[at])) ++at;
  return at == text.size();
}

int DaysInMonth(int year, int month) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

// A date "YYYY-MM-DD" or a time "HH:MM:SS" that names a real day or moment;
// its fields go to value.
bool IsCalendarText(View text, bool date, DateTimeFields& value) {
  const std::u16string copy(text);
  char16_t again[kDateTextCapacity];
  if (date) {
    if (!ParseDate(copy.c_str(), value) || FormatDate(value, again, kDateTextCapacity) != copy.size()) return false;
    if (value.month < 1 || value.month > 12 || value.day < 1) return false;
    if (value.day > DaysInMonth(value.year, value.month)) return false;
  } else {
    if (!ParseTime(copy.c_str(), value) || FormatTime(value, again, kDateTextCapacity) != copy.size()) return false;
    if (value.hour > 23 || value.minute > 59 || value.second > 59) return false;
  }
  return copy == again;
}

long long CalendarOrder(const DateTimeFields& v, bool date) {
  return date ? (v.year * 100LL + v.month) * 100 + v.day : (v.hour * 100LL + v.minute) * 100 + v.second;
}

long long WholeNumber(View text) {
  int32_t value = 0;
  ReadWholeNumber(std::u16string(text).c_str(), 20, &value);
  return value;
}

float RealNumber(View text) {
  float value = 0;
  ReadRealNumber(std::u16string(text).c_str(), 20, &value);
  return value;
}

// The fields of a descriptor (or of a stored value), split at every ';'.
class Fields {
 public:
  explicit Fields(View text) : text_(text) {
    for (size_t start = 0;;) {
      const size_t end = std::min(text.find(u';', start), text.size());
      starts_.push_back(start);
      fields_.push_back(text.substr(start, end - start));
      if (end == text.size()) break;
      start = end + 1;
    }
  }
  size_t Count() const { return fields_.size(); }
  View operator[](size_t i) const { return i < fields_.size() ? fields_[i] : View(); }
  // Everything from field i on, ';' included.
  View From(size_t i) const { return i < starts_.size() ? text_.substr(starts_[i]) : View(); }

 private:
  View text_;
  std::vector<View> fields_;
  std::vector<size_t> starts_;
};

// What the choice list makes of an item text cut at ';'.
void CheckItems(View items, std::vector<std::u16string>& out) {
  Fields pieces(items);
  size_t count = pieces.Count();
  while (count > 0 && pieces[count - 1].empty()) --count;  // trailing empty pieces are dropped
  if (count == 0) {
    out.push_back(u"no items: the list is empty");
    return;
  }
  for (size_t i = 0; i < count && i < kChoiceSlotCount; ++i) {
    if (pieces[i].empty()) {
      out.push_back(u"an empty item (number " + Decimal(static_cast<long long>(i)) +
                    u") hides the items after it");
      break;
    }
  }
  for (size_t i = 0; i < count && i < kChoiceSlotCount; ++i) {
    if (pieces[i].size() > kChoiceItemLimit) {
      out.push_back(u"item " + Quoted(pieces[i]) + u" is " + Decimal(static_cast<long long>(pieces[i].size())) +
                    u" characters: the list cuts it at 100");
    }
  }
  if (count > kChoiceSlotCount) {
    out.push_back(Decimal(static_cast<long long>(count)) + u" items: the list drops those after the first 100");
  }
}

// A number field of a descriptor: present and not a number is unreadable.
bool CheckNumberField(View field, const char16_t* name, bool real, std::vector<std::u16string>& out) {
  if (field.empty()) return true;
  if (IsNumberText(field, real)) return true;
  out.push_back(Quoted(field) + u" is not " + (real ? u"a number" : u"a whole number") + u" (" + name +
                u"): it reads as " + (real ? RealText(RealNumber(field)) : Decimal(WholeNumber(field))));
  return false;
}

void CheckCountField(View field, const char16_t* name, std::vector<std::u16string>& out) {
  if (!CheckNumberField(field, name, false, out)) return;
  const long long value = WholeNumber(field);
  if (value < 0 || value > kCountLimit) {
    out.push_back(std::u16string(name) + u" " + Decimal(value) + u" lies outside 0 to 255");
  }
}

// A min and max pair of number fields; hasRange: the values give a range
// (the row ignores bounds that are both 0).
struct RangeFields {
  View min;
  View max;
  const char16_t* minName;
  const char16_t* maxName;
};

void CheckRange(const RangeFields& range, bool real, bool hasRange, std::vector<std::u16string>& out) {
  const bool minRead = CheckNumberField(range.min, range.minName, real, out);
  const bool maxRead = CheckNumberField(range.max, range.maxName, real, out);
  if (!minRead || !maxRead || !hasRange) return;
  const bool reversed = real ? RealNumber(range.min) > RealNumber(range.max) : WholeNumber(range.min) > WholeNumber(range.max);
  if (reversed) {
    out.push_back(u"reversed range: " + std::u16string(range.minName) + u" " + std::u16string(range.min) +
                  u" is above " + range.maxName + u" " + std::u16string(range.max));
  }
}

void CheckCalendarRange(View minField, View maxField, bool date, std::vector<std::u16string>& out) {
  DateTimeFields bounds[2];
  bool present[2] = {false, false};
  const View fields[2] = {minField, maxField};
  const char16_t* const names[2] = {u"min", u"max"};
  for (int i = 0; i < 2; ++i) {
    if (fields[i].empty()) continue;
    present[i] = IsCalendarText(fields[i], date, bounds[i]);
    if (!present[i]) {
      out.push_back(Quoted(fields[i]) + u" is not a " + (date ? u"date YYYY-MM-DD" : u"time HH:MM:SS") + u" (" +
                    names[i] + u")");
    }
  }
  if (present[0] && present[1] && CalendarOrder(bounds[0], date) > CalendarOrder(bounds[1], date)) {
    out.push_back(u"reversed range: min " + std::u16string(minField) + u" is after max " + std::u16string(maxField));
  }
}

bool IsPasswordRow(int32_t code) {
  return code == kRowPassword || code == kRowHexPassword || (code >= kRowSha160Password && code <= kRowMd5Password);
}

// Problems of a descriptor itself (fields after keyword, label and tip).
void CheckDescriptor(int32_t code, View descriptor, std::vector<std::u16string>& out) {
  const Fields f(descriptor);
  if (code == kRowInteger) {
    CheckRange({f[3], f[4], u"min", u"max"}, false, WholeNumber(f[3]) != 0 || WholeNumber(f[4]) != 0, out);
    CheckCountField(f[5], u"digits", out);
  } else if (code == kRowReal) {
    RealBlock bounds;
    bounds.min = RealNumber(f[3]);
    bounds.max = RealNumber(f[4]);
    CheckRange({f[3], f[4], u"min", u"max"}, true, HasBounds(bounds), out);
    CheckCountField(f[5], u"intDigits", out);
    CheckCountField(f[6], u"decimals", out);
  } else if (code == kRowFont) {
    CheckRange({f[3], f[4], u"sizeMin", u"sizeMax"}, false, WholeNumber(f[4]) != 0, out);
  } else if (IsPasswordRow(code)) {
    CheckRange({f[3], f[4], u"minLength", u"maxLength"}, false, WholeNumber(f[4]) != 0, out);
  } else if (code == kRowDate || code == kRowTime) {
    CheckCalendarRange(f[3], f[4], code == kRowDate, out);
  } else if (code == kRowSelectString || code == kRowSelectIndex || code == kRowSelectIndexString) {
    CheckItems(f.From(4), out);
  } else if (code == kRowFile || code == kRowFileSave || code == kRowImageFile) {
    const View filter = f.From(3);
    if (filter.size() >= kFilterCapacity) {
      out.push_back(u"the file filter is " + Decimal(static_cast<long long>(filter.size())) +
                    u" characters: the editor cuts it at 99");
    }
  } else if (code == kRowSelectExec && f[4].empty()) {
    out.push_back(u"no program: a choice list without items");
  }
}

bool IsColourText(View text) {
  size_t at = 0;
  if (text.substr(0, 2) == u"0x") {
    at = 2;
  } else if (!text.empty() && text[0] == u'#') {
    at = 1;
  }
  const size_t digits = text.size() - at;
  if (digits == 0 || digits > 6) return false;
  for (; at < text.size(); ++at) {
    if (!IsHexDigit(text[at])) return false;
  }
  return true;
}

// Problems of a stored value that its row cannot show as stored.
void CheckStored(int32_t code, View descriptor, View stored, const CTypedCells& cells, int row,
                 bool systemSources, std::vector<std::u16string>& out) {
  const std::u16string shown = cells.CellText(row, 1);
  const Fields f(descriptor);
  switch (code) {
    case kRowInteger:
    case kRowReal:
      if (!stored.empty() && !IsNumberText(stored, code == kRowReal)) {
        out.push_back(Quoted(stored) + (code == kRowReal ? u" is not a number" : u" is not a whole number"));
      }
      break;
    case kRowColor:
      if (!stored.empty() && !IsColourText(stored)) {
        out.push_back(Quoted(stored) + u" is not a hexadecimal colour RRGGBB: the row shows " + shown);
      }
      break;
    case kRowDate:
    case kRowTime: {
      DateTimeFields value;
      if (!stored.empty() && !IsCalendarText(stored, code == kRowDate, value)) {
        out.push_back(Quoted(stored) + (code == kRowDate ? u" is not a date YYYY-MM-DD" : u" is not a time HH:MM:SS"));
      }
      break;
    }
    case kRowSelectString:
    case kRowSelectExec: {
      const ChoiceBlock* block = cells.GetChoiceItems(row, 1);
      if (code == kRowSelectExec && (!systemSources || !block)) break;
      if (code == kRowSelectExec && VisibleChoiceCount(*block) == 0) {
        out.push_back(u"the program " + Quoted(f[4]) + u" gave no items");
      } else if (shown != stored) {
        out.push_back(Quoted(stored) + u" is none of the items: the row shows nothing" +
                      (code == kRowSelectString && block ? u", and Save writes " + Quoted(block->Item(0)) : u""));
      }
      break;
    }
    case kRowSelectIndex:
    case kRowSelectIndexString: {
      const ChoiceBlock* block = cells.GetChoiceItems(row, 1);
      const View number = code == kRowSelectIndex ? stored.substr(0, stored.find(u';')) : stored;
      int32_t index = 0;
      if (!ReadWholeNumber(std::u16string(number).c_str(), 20, &index)) {
        if (!stored.empty()) out.push_back(Quoted(stored) + u" does not start with an item number: the row shows item 0");
      } else if (block && (index < 0 || static_cast<size_t>(index) >= VisibleChoiceCount(*block))) {
        out.push_back(u"item number " + Decimal(index) + u" names no item (there are " +
                      Decimal(static_cast<long long>(VisibleChoiceCount(*block))) + u")");
      }
      break;
    }
    case kRowSelectFirst:
      CheckItems(stored, out);
      break;
    case kRowFont: {
      const Fields value(stored);
      if (value[0].size() >= kFontFaceCapacity) {
        out.push_back(u"the font name " + Quoted(value[0]) + u" is cut at 31 characters");
      }
      if (value.Count() > 1) {
        size_t at = 0;
        const View size = value[1];
        if (at < size.size() && (size[0] == u'+' || size[0] == u'-')) ++at;
        if (SkipDigits(size, at) == 0 || at != size.size()) {
          out.push_back(u"the font size " + Quoted(size) + u" is not a whole number: the row shows size 0");
        }
      }
      break;
    }
    case kRowWindow: {
      const Fields value(stored);
      size_t at = 0;
      if (!value[0].empty() && (SkipDigits(value[0], at) == 0 || at != value[0].size())) {
        out.push_back(u"the window handle " + Quoted(value[0]) + u" is not a number");
      }
      for (size_t i = 1; i <= 2; ++i) {
        if (value[i].size() >= kWindowTextCapacity) {
          out.push_back(Quoted(value[i]) + u" is cut at 100 characters");
        }
      }
      break;
    }
    case kRowStringHex:
    case kRowHexPassword: {
      const bool hex = std::all_of(stored.begin(), stored.end(), IsHexDigit);
      if (!hex || stored.size() % 4 != 0) {
        out.push_back(Quoted(stored) + u" is not hexadecimal UTF-16 text (four digits a character): it reads as " +
                      Quoted(DecodeHexText(std::u16string(stored).c_str())));
      }
      break;
    }
    default:
      break;
  }
}

// One key line of the settings file as the row building saw it.
struct Option {
  size_t line = 0;
  size_t keyStart = 0;
  size_t keyLength = 0;
  size_t valueStart = 0;
  size_t valueLength = 0;
  size_t section = 0;  // index into the section names
};

constexpr size_t kNoSection = static_cast<size_t>(-1);

class CRowChecker {
 public:
  CRowChecker(CIniDocument& settings, CIniDocument& types, bool typed)
      : settings_(settings.Text()),
        settingsLength_(settings.Length()),
        typed_(typed),
        types_(typed ? types.Text() : u""),
        typesLength_(typed ? types.Length() : 0),
        descriptors_(View(types_, typesLength_)) {}

  void ReadOptions(CIniDocument& settings);
  void CheckRow(int32_t code, int32_t entry, const CTypedCells& cells, int row, bool systemSources);
  void CheckLeftOut(size_t shownThrough);
  void CheckUnusedDescriptors();
  std::vector<RowProblem> Problems() const;

 private:
  View SettingsPart(size_t start, size_t length) const {
    return View(settings_ + start, std::min(length, kTextLimit));
  }
  size_t TypesLine(size_t offset) const {
    return static_cast<size_t>(std::upper_bound(typesLineStarts_.begin(), typesLineStarts_.end(), offset) -
                               typesLineStarts_.begin());
  }
  void Add(bool inTypes, size_t line, View subject, std::u16string text) {
    std::u16string message(subject);
    if (!message.empty()) message += u": ";
    message += text;
    problems_.insert({{inTypes ? 1 : 0, line}, std::move(message)});
  }

  const char16_t* settings_;
  size_t settingsLength_;
  bool typed_;
  const char16_t* types_;
  size_t typesLength_;
  CDescriptorIndex descriptors_;
  std::vector<Option> options_;  // by entry index, as many as the row table can show
  size_t walked_ = 0;            // the options the row building walked
  size_t firstLeftOutLine_ = 0;  // the line of the first option options_ does not hold
  std::vector<std::u16string> sections_;
  std::vector<size_t> typesLineStarts_;
  std::set<size_t> usedTypesLines_;
  std::set<std::pair<std::pair<int, size_t>, std::u16string>> problems_;
};

void CRowChecker::ReadOptions(CIniDocument& settings) {
  // Each option's section as the row building names it, by entry index:
  // the same walk of the document. Key lines the walk passes over (under a
  // header without ']') have no section.
  std::vector<size_t> sectionOf;
  auto walk = [&](size_t section) {
    if (sectionOf.size() < static_cast<size_t>(kRowTableCapacity)) sectionOf.push_back(section);
    ++walked_;
  };
  std::unique_ptr<char16_t[]> name(new char16_t[CIniDocument::kFieldCapacity]);
  sections_.push_back(u"");
  settings.ResetCursor();
  size_t stoppedAt = 0;
  for (;;) {
    while (settings.NextEntry(nullptr, nullptr, true)) walk(sections_.size() - 1);
    stoppedAt = settings.Cursor();
    if (!settings.NextSection(name.get())) break;
    for (size_t n = CountKeyLines(settings_, settingsLength_, stoppedAt, settings.Cursor()); n > 0; --n) walk(kNoSection);
    sections_.push_back(name.get());
  }

  // Line numbers and whole lengths from the lines themselves; key lines
  // come in entry order.
  size_t keyLines = 0;
  bool stopSeen = false;
  for (CIniLines lines(settings_, settingsLength_); lines.Next();) {
    const IniLine& line = lines.Line();
    if (line.kind == IniLineKind::Section) {
      const bool stops = !stopSeen && line.start >= stoppedAt;
      stopSeen = stopSeen || stops;
      if (stops) {
        Add(false, line.number, u"",
            std::u16string(line.closed ? u"a section name of 5000 characters or more"
                                       : u"a section header without ']' anywhere after it") +
                u": the editor shows no option from here on");
      } else if (!line.closed) {
        Add(false, line.number, u"",
            u"a section header without ']' on its line: the editor takes the lines up to the next ']' for its "
            u"name and shows none of their options");
      }
      continue;
    }
    if (line.kind != IniLineKind::Key) continue;
    const size_t entry = keyLines++;
    if (entry < sectionOf.size()) {
      options_.push_back({line.number, line.nameStart, line.nameLength, line.valueStart, line.valueLength,
                          sectionOf[entry]});
    } else if (entry == sectionOf.size()) {
      firstLeftOutLine_ = line.number;
    }
  }
  if (typed_) {
    for (CIniLines lines(types_, typesLength_); lines.Next();) typesLineStarts_.push_back(lines.Line().start);
  }
}

void CRowChecker::CheckRow(int32_t code, int32_t entry, const CTypedCells& cells, int row, bool systemSources) {
  if (entry < 0 || static_cast<size_t>(entry) >= options_.size()) return;
  const Option& o = options_[static_cast<size_t>(entry)];
  if (o.section == kNoSection) return;
  const View key = SettingsPart(o.keyStart, o.keyLength);
  const View stored = SettingsPart(o.valueStart, o.valueLength);
  std::vector<std::u16string> found;
  if (o.keyLength > kTextLimit) {
    found.push_back(u"the key is " + Decimal(static_cast<long long>(o.keyLength)) +
                    u" characters: the editor cuts it at 4999");
  }
  if (o.valueLength > kTextLimit) {
    found.push_back(u"the value is " + Decimal(static_cast<long long>(o.valueLength)) +
                    u" characters: the editor cuts it at 4999, and Save writes it cut");
  }

  if (typed_) {
    const std::u16string& section = sections_[o.section];
    const std::u16string keyText(key);
    const View descriptor = descriptors_.FindWhole(section.c_str(), keyText.c_str());
    if (!descriptor.data()) {
      found.push_back(u"no descriptor in the type description" +
                      (section.empty() ? std::u16string() : u" under [" + section + u"]") + u": a STRING row");
    } else {
      const size_t typesLine = TypesLine(static_cast<size_t>(descriptor.data() - types_));
      usedTypesLines_.insert(typesLine);
      std::vector<std::u16string> ofDescriptor;
      const View keyword = Fields(descriptor)[0];
      if (keyword.empty()) {
        ofDescriptor.push_back(u"no keyword: a STRING row");
      } else if (KeywordRowType(keyword) < 0) {
        ofDescriptor.push_back(u"unknown keyword " + Quoted(keyword) + u" (keywords are exact and upper case): a STRING row");
      }
      if (descriptor.size() > kDescriptorFieldLimit) {
        ofDescriptor.push_back(u"the descriptor is " + Decimal(static_cast<long long>(descriptor.size())) +
                               u" characters: the editor cuts it at 4999");
      }
      CheckDescriptor(code, descriptor.substr(0, kDescriptorFieldLimit), ofDescriptor);
      for (std::u16string& text : ofDescriptor) Add(true, typesLine, key, std::move(text));
      CheckStored(code, descriptor.substr(0, kDescriptorFieldLimit), stored, cells, row, systemSources, found);
    }
  }

  // What an unchanged Save would write (rows the system fills are written
  // only after an edit).
  std::u16string saved;
  if (found.empty() && !(RowFilledBySystem(code) && !systemSources) &&
      RowSaveText(code, cells, row, std::u16string(stored).c_str(), saved) && saved != stored) {
    found.push_back(u"an unchanged Save writes " + Quoted(saved) + u" in place of " + Quoted(stored));
  }
  for (std::u16string& text : found) Add(false, o.line, key, std::move(text));
}

void CRowChecker::CheckLeftOut(size_t shownThrough) {
  if (shownThrough >= walked_) return;
  const size_t line = shownThrough < options_.size() ? options_[shownThrough].line : firstLeftOutLine_;
  Add(false, line, u"",
      u"the row table is full (22000 rows): this option and the " +
          Decimal(static_cast<long long>(walked_ - shownThrough - 1)) + u" after it are not shown");
}

void CRowChecker::CheckUnusedDescriptors() {
  if (!typed_) return;
  // For each section name its first header; for each (header, key) the
  // first line, to tell repeats from descriptors that have no option.
  std::vector<std::pair<std::u16string, size_t>> headers;  // name, line
  std::set<std::pair<size_t, std::u16string>> keysSeen;    // header line, key
  size_t header = 0;
  bool repeatedHeader = false;
  for (CIniLines lines(types_, typesLength_); lines.Next();) {
    const IniLine& line = lines.Line();
    const View name(types_ + line.nameStart, line.nameLength);
    if (line.kind == IniLineKind::Section) {
      const auto first = std::find_if(headers.begin(), headers.end(), [&](const auto& h) { return h.first == name; });
      repeatedHeader = first != headers.end();
      header = line.number;
      if (repeatedHeader) {
        std::u16string text = u"[";
        text.append(name);
        text += u"] again: the editor reads only the descriptors under line ";
        Add(true, line.number, u"", text + Decimal(static_cast<long long>(first->second)));
      } else {
        headers.emplace_back(name, line.number);
      }
      continue;
    }
    if (line.kind != IniLineKind::Key) continue;
    const bool firstOfKey = keysSeen.insert({header, std::u16string(name)}).second;
    if (usedTypesLines_.count(line.number) || repeatedHeader) continue;
    if (!firstOfKey) {
      Add(true, line.number, name, u"given again in this section: the editor uses the first");
    } else {
      Add(true, line.number, name, u"a descriptor without an option in the settings file");
    }
  }
}

std::vector<RowProblem> CRowChecker::Problems() const {
  std::vector<RowProblem> out;
  for (const auto& problem : problems_) out.push_back({problem.first.first == 1, problem.first.second, problem.second});
  return out;
}

}  // namespace

bool RowFilledBySystem(int32_t code) {
  return code == kRowWindow || code == kRowSelectExec || (code >= kRowDrive && code <= kRowFixedDrive);
}

bool CheckRows(const char16_t* settingsPath, const char16_t* typesPath, CIniDocument& settings,
               CIniDocument& types, CRowSources& sources, const EditorOptions& options,
               bool systemSources, std::vector<RowProblem>& problems) {
  problems.clear();
  CTypedCells cells;
  BuiltRows built;
  if (!BuildRows(settingsPath, typesPath, settings, cells, sources, options, 0, built)) return false;
  const std::u16string path = TypeDescriptionPath(settingsPath, typesPath);
  if (built.descriptorsUsed) types.Load(path.c_str());

  CRowChecker checker(settings, types, built.descriptorsUsed);
  checker.ReadOptions(settings);
  size_t shownThrough = 0;  // entries up to the last one shown
  for (size_t row = 0; row < built.table.size(); ++row) {
    const RowTableEntry& entry = built.table[row];
    if (entry.entryIndex < 0) continue;
    shownThrough = static_cast<size_t>(entry.entryIndex) + 1;
    checker.CheckRow(entry.rowType, entry.entryIndex, cells, static_cast<int>(row), systemSources);
  }
  if (built.table.size() >= static_cast<size_t>(kRowTableCapacity)) checker.CheckLeftOut(shownThrough);
  checker.CheckUnusedDescriptors();
  problems = checker.Problems();
  return true;
}
