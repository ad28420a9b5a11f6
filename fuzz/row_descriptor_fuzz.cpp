// Arbitrary row descriptors and stored values through ApplyDescriptor, and
// arbitrary program output through the SELECTEXEC items. Checks that every
// descriptor gives a row type code with its icon, a label no longer than a
// field, and that no parsing reads or writes outside its buffers.
//
// Input: one byte of keyword choice (below the keyword count: that keyword
// and ';' go in front), then the descriptor and the stored value, one
// character per byte, separated by the first NUL byte.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "marlpane/rows/row_builder.h"
#include "marlpane/rows/typed_cells.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

const char16_t* const kKeywordNames[] = {
    u"READONLY", u"TITLE", u"STRING", u"EMAIL", u"STRINGHEX", u"PASSWORD", u"HEXPASSWORD",
    u"MD5PASSWORD", u"FONT", u"COLOR", u"INTEGER", u"REAL", u"SELECTSTRING", u"SELECTINDEX",
    u"SELECTINDEXSTRING", u"SELECTFIRST", u"WINDOW", u"DRIVE", u"MULTILINE", u"FILE",
    u"FILESAVE", u"IMAGEFILE", u"FOLDER", u"TOGGLEINDEX", u"DATE", u"TIME", u"SELECTEXEC",
};

class EchoSources : public CRowSources {
 public:
  std::u16string DriveList(int) override { return u"C: [System];D: (CD);"; }
  std::string ProgramOutput(const std::u16string& program, const std::u16string&) override {
    std::string bytes;
    for (char16_t c : program) bytes.push_back(static_cast<char>(c));
    return bytes;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  std::u16string descriptor;
  const size_t choice = data[0];
  if (choice < sizeof(kKeywordNames) / sizeof(kKeywordNames[0])) {
    descriptor = kKeywordNames[choice];
    descriptor += u';';
  }
  std::u16string stored;
  bool inStored = false;
  for (size_t i = 1; i < size; ++i) {
    if (data[i] == 0 && !inStored) {
      inStored = true;
      continue;
    }
    if (data[i] == 0) continue;
    (inStored ? stored : descriptor).push_back(data[i]);
  }

  CTypedCells cells;
  EchoSources sources;
  const int row = cells.AppendRow();
  RowDisplay display;
  display.label = u"Key:";
  const int32_t code =
      ApplyDescriptor(descriptor.c_str(), stored.c_str(), cells, row, display, sources, true);
  Check(code > 0);
  Check(display.icon == RowTypeIcon(code));
  Check(display.label.size() <= kDescriptorFieldLimit);
  Check(cells.CellText(row, 1).size() < kCellTextCapacity);

  const std::u16string items = ProgramOutputItems(std::string(data, data + size));
  Check(items.size() <= kProgramOutputLimit);
  Check(items.find(u'\n') == std::u16string::npos);
  DecodeHexText(stored.c_str());
  return 0;
}
