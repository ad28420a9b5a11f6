#include "marlpane/rows/typed_cells.h"

#include <algorithm>
#include <type_traits>
#include <utility>

#include "common/hex_text.h"
#include "common/path_text.h"
#include "common/text16.h"
#include "marlpane/rows/number_text.h"

namespace {

// Copies text into out, cut to capacity - 1 characters; null gives empty.
void CopyCut(char16_t* out, size_t capacity, const char16_t* text) {
  if (!out || capacity == 0) return;
  size_t n = 0;
  if (text) {
    for (; text[n] && n + 1 < capacity; ++n) out[n] = text[n];
  }
  out[n] = 0;
}

std::u16string_view View(const char16_t* text) {
  return text ? std::u16string_view(text, TextLength(text)) : std::u16string_view();
}

// The first characters of a cell text that a number is read from.
std::u16string NumberPart(const std::u16string& text) {
  return text.substr(0, kNumberReadCapacity - 1);
}

uint8_t ToByte(int value) { return static_cast<uint8_t>(std::clamp(value, 0, 255)); }

CTypedCellsHost& DefaultHost() {
  static CTypedCellsHost host;
  return host;
}

}  // namespace

CTypedCellsHost::~CTypedCellsHost() = default;
void CTypedCellsHost::CellTextChanged(int, int, const char16_t*) {}
void CTypedCellsHost::CellColoursChanged(int, int, uint32_t, uint32_t) {}
void CTypedCellsHost::CellKindSet(int, int, CellKind) {}

CTypedCells::CTypedCells(CTypedCellsHost* host) : host_(host ? host : &DefaultHost()) {}

CTypedCells::~CTypedCells() = default;

int CTypedCells::AppendRow() {
  rows_.emplace_back();
  return RowCount() - 1;
}

bool CTypedCells::InsertRow(int row) {
  if (row < 0 || row > RowCount()) return false;
  rows_.insert(rows_.begin() + row, Row());
  return true;
}

bool CTypedCells::DeleteRow(int row) {
  if (row < 0 || row >= RowCount()) return false;
  rows_.erase(rows_.begin() + row);
  return true;
}

void CTypedCells::DeleteAllRows() { rows_.clear(); }

bool CTypedCells::CellExists(int row, int column) const {
  return row >= 0 && row < RowCount() && column >= 0 && column < kCellColumnCount;
}

CTypedCells::Cell* CTypedCells::CellAt(int row, int column) {
  if (!CellExists(row, column)) return nullptr;
  Row& cells = rows_[static_cast<size_t>(row)];
  if (cells.size() <= static_cast<size_t>(column)) cells.resize(static_cast<size_t>(column) + 1);
  return &cells[static_cast<size_t>(column)];
}

const CTypedCells::Cell* CTypedCells::FindCell(int row, int column) const {
  if (!CellExists(row, column)) return nullptr;
  const Row& cells = rows_[static_cast<size_t>(row)];
  if (cells.size() <= static_cast<size_t>(column)) return nullptr;
  return &cells[static_cast<size_t>(column)];
}

void CTypedCells::StoreText(int row, int column, Cell& cell, std::u16string_view text) {
  cell.text.assign(text.substr(0, kCellTextCapacity - 1));
  cell.edited = true;
  host_->CellTextChanged(row, column, cell.text.c_str());
}

bool CTypedCells::SetCellText(int row, int column, const char16_t* text) {
  Cell* cell = CellAt(row, column);
  if (!cell) return false;
  StoreText(row, column, *cell, View(text));
  return true;
}

bool CTypedCells::GetCellText(int row, int column, char16_t* out, size_t capacity) const {
  CopyCut(out, capacity, nullptr);
  if (!CellExists(row, column)) return false;
  if (const Cell* cell = FindCell(row, column)) CopyCut(out, capacity, cell->text.c_str());
  return true;
}

bool CTypedCells::CellEdited(int row, int column) const {
  const Cell* cell = FindCell(row, column);
  return cell && cell->edited;
}

void CTypedCells::ForgetEdits() {
  for (Row& row : rows_) {
    for (Cell& cell : row) cell.edited = false;
  }
}

namespace {

template <class B>
std::unique_ptr<B> CloneBlock(const std::unique_ptr<B>& block) {
  return block ? std::make_unique<B>(*block) : nullptr;
}

}  // namespace

struct CTypedCells::SavedCell::Data {
  Cell cell;
};

void CTypedCells::CopyCell(const Cell& from, Cell& to) {
  to.kind = from.kind;
  to.edited = from.edited;
  to.textColour = from.textColour;
  to.backColour = from.backColour;
  to.text = from.text;
  to.block = std::visit(
      [](const auto& block) -> Block {
        if constexpr (std::is_same_v<std::decay_t<decltype(block)>, std::monostate>) {
          return std::monostate();
        } else {
          return CloneBlock(block);
        }
      },
      from.block);
}

CTypedCells::SavedCell::SavedCell() = default;
CTypedCells::SavedCell::~SavedCell() = default;

CTypedCells::SavedCell::SavedCell(const SavedCell& other) { *this = other; }

CTypedCells::SavedCell& CTypedCells::SavedCell::operator=(const SavedCell& other) {
  if (this == &other) return *this;
  if (!other.data_) {
    data_.reset();
    return *this;
  }
  if (!data_) data_ = std::make_unique<Data>();
  CopyCell(other.data_->cell, data_->cell);
  return *this;
}

bool CTypedCells::SaveCell(int row, int column, SavedCell& out) const {
  if (!CellExists(row, column)) return false;
  if (!out.data_) out.data_ = std::make_unique<SavedCell::Data>();
  if (const Cell* cell = FindCell(row, column)) {
    CopyCell(*cell, out.data_->cell);
  } else {
    out.data_->cell = Cell();
  }
  return true;
}

bool CTypedCells::RestoreCell(int row, int column, const SavedCell& saved) {
  Cell* cell = CellAt(row, column);
  if (!cell || !saved.data_) return false;
  CopyCell(saved.data_->cell, *cell);
  cell->edited = true;
  host_->CellColoursChanged(row, column, cell->textColour, cell->backColour);
  host_->CellTextChanged(row, column, cell->text.c_str());
  return true;
}

std::u16string_view CTypedCells::CellTextView(int row, int column) const {
  const Cell* cell = FindCell(row, column);
  return cell ? std::u16string_view(cell->text) : std::u16string_view();
}

std::u16string CTypedCells::CellText(int row, int column) const {
  const Cell* cell = FindCell(row, column);
  return cell ? cell->text : std::u16string();
}

bool CTypedCells::SetCellColours(int row, int column, uint32_t textColour, uint32_t backColour) {
  Cell* cell = CellAt(row, column);
  if (!cell) return false;
  cell->textColour = textColour;
  cell->backColour = backColour;
  host_->CellColoursChanged(row, column, textColour, backColour);
  return true;
}

bool CTypedCells::GetCellColours(int row, int column, uint32_t* textColour,
                                 uint32_t* backColour) const {
  if (!CellExists(row, column)) return false;
  const Cell* cell = FindCell(row, column);
  if (textColour) *textColour = cell ? cell->textColour : 0;
  if (backColour) *backColour = cell ? cell->backColour : 0;
  return true;
}

CellKind CTypedCells::GetCellKind(int row, int column) const {
  const Cell* cell = FindCell(row, column);
  return cell ? cell->kind : CellKind::Untyped;
}

// ---- kinds and their blocks ------------------------------------------------

bool CTypedCells::SetPlainKind(int row, int column, CellKind kind) {
  Cell* cell = CellAt(row, column);
  if (!cell) return false;
  cell->kind = kind;
  cell->block = std::monostate();
  host_->CellKindSet(row, column, kind);
  return true;
}

template <class B>
B* CTypedCells::SetBlockKind(int row, int column, CellKind kind) {
  Cell* cell = CellAt(row, column);
  if (!cell) return nullptr;
  B* block;
  if (auto* present = std::get_if<std::unique_ptr<B>>(&cell->block)) {
    block = present->get();
    *block = B();  // same layout: overwritten in place
  } else {
    auto fresh = std::make_unique<B>();
    block = fresh.get();
    cell->block = std::move(fresh);
  }
  cell->kind = kind;
  host_->CellKindSet(row, column, kind);
  return block;
}

template <class B>
const B* CTypedCells::BlockOf(int row, int column, CellKind kind, CellKind other) const {
  const Cell* cell = FindCell(row, column);
  if (!cell || (cell->kind != kind && cell->kind != other)) return nullptr;
  const auto* present = std::get_if<std::unique_ptr<B>>(&cell->block);
  return present ? present->get() : nullptr;
}

template <class B>
B* CTypedCells::BlockOf(int row, int column, CellKind kind, CellKind other) {
  return const_cast<B*>(std::as_const(*this).template BlockOf<B>(row, column, kind, other));
}

IntegerBlock* CTypedCells::GetIntegerBlock(int row, int column) {
  return BlockOf<IntegerBlock>(row, column, CellKind::Integer, CellKind::Integer);
}
RealBlock* CTypedCells::GetRealBlock(int row, int column) {
  return BlockOf<RealBlock>(row, column, CellKind::Real, CellKind::Real);
}
FilterBlock* CTypedCells::GetFilterBlock(int row, int column) {
  return BlockOf<FilterBlock>(row, column, CellKind::OpenFile, CellKind::SaveFile);
}
ChoiceBlock* CTypedCells::GetChoiceBlock(int row, int column) {
  return BlockOf<ChoiceBlock>(row, column, CellKind::Choice, CellKind::Choice);
}
PasswordBlock* CTypedCells::GetPasswordBlock(int row, int column) {
  return BlockOf<PasswordBlock>(row, column, CellKind::Password, CellKind::Password);
}
ToggleBlock* CTypedCells::GetToggleBlock(int row, int column) {
  return BlockOf<ToggleBlock>(row, column, CellKind::Toggle, CellKind::Toggle);
}
DateTimeBlock* CTypedCells::GetDateTimeBlock(int row, int column) {
  return BlockOf<DateTimeBlock>(row, column, CellKind::Date, CellKind::Time);
}
const DateTimeBlock* CTypedCells::GetDateTimeBlock(int row, int column) const {
  return BlockOf<DateTimeBlock>(row, column, CellKind::Date, CellKind::Time);
}
FontBlock* CTypedCells::GetFontBlock(int row, int column) {
  return BlockOf<FontBlock>(row, column, CellKind::Font, CellKind::Font);
}
WindowBlock* CTypedCells::GetWindowBlock(int row, int column) {
  return BlockOf<WindowBlock>(row, column, CellKind::Window, CellKind::Window);
}

bool CTypedCells::SetReadOnly(int row, int column) {
  return SetPlainKind(row, column, CellKind::ReadOnly);
}
bool CTypedCells::SetColorKind(int row, int column) {
  return SetPlainKind(row, column, CellKind::Color);
}
bool CTypedCells::SetFolderKind(int row, int column) {
  return SetPlainKind(row, column, CellKind::Folder);
}
bool CTypedCells::SetTextKind(int row, int column) {
  return SetPlainKind(row, column, CellKind::Text);
}
bool CTypedCells::SetMultiLineKind(int row, int column) {
  return SetPlainKind(row, column, CellKind::MultiLine);
}

// ---- colours -------------------------------------------------------------

bool CTypedCells::SetColor(int row, int column, uint32_t colour) {
  if (GetCellKind(row, column) != CellKind::Color) return false;
  Cell* cell = CellAt(row, column);
  colour &= 0x00FFFFFF;
  const unsigned red = colour & 0xFF;
  const unsigned green = (colour >> 8) & 0xFF;
  const unsigned blue = (colour >> 16) & 0xFF;
  // "00RRGGBB" with its first digit dropped and its second made the "#".
  char16_t digits[kDwordHexCapacity];
  DwordToHex((red << 16) | (green << 8) | blue, digits, kDwordHexCapacity);
  digits[1] = u'#';
  StoreText(row, column, *cell, std::u16string_view(digits + 1, 7));
  const uint32_t textColour = red + green + blue < kDarkColourSumLimit ? kWhite : kAlmostBlack;
  const uint32_t backColour = colour == 0 ? kAlmostBlack : colour;
  cell->textColour = textColour;
  cell->backColour = backColour;
  host_->CellColoursChanged(row, column, textColour, backColour);
  return true;
}

bool CTypedCells::SetColorText(int row, int column, const char16_t* text) {
  if (GetCellKind(row, column) != CellKind::Color) return false;
  return SetColor(row, column, ParseColour(text));
}

// ---- files -----------------------------------------------------------------

bool CTypedCells::SetOpenFileKind(int row, int column, const char16_t* filter) {
  FilterBlock* block = SetBlockKind<FilterBlock>(row, column, CellKind::OpenFile);
  if (!block) return false;
  CopyCut(block->filter, kFilterCapacity, filter);
  return true;
}

bool CTypedCells::SetSaveFileKind(int row, int column, const char16_t* filter) {
  FilterBlock* block = SetBlockKind<FilterBlock>(row, column, CellKind::SaveFile);
  if (!block) return false;
  CopyCut(block->filter, kFilterCapacity, filter);
  return true;
}

// ---- choices ---------------------------------------------------------------

bool CTypedCells::SetChoiceKind(int row, int column, bool sorted) {
  ChoiceBlock* block = SetBlockKind<ChoiceBlock>(row, column, CellKind::Choice);
  if (!block) return false;
  block->sorted = sorted ? 1 : 0;
  return true;
}

bool CTypedCells::FillChoices(int row, int column, const char16_t* text, char16_t delimiter) {
  ChoiceBlock* block = GetChoiceBlock(row, column);
  if (!block) return false;
  block->items.clear();
  if (!text) return true;
  const std::u16string_view all = View(text);
  size_t start = 0;
  while (block->items.size() < kChoiceSlotCount && start < all.size()) {
    size_t end = delimiter != 0 ? all.find(delimiter, start) : std::u16string_view::npos;
    if (end == std::u16string_view::npos) end = all.size();
    // Longer pieces are cut to 100 characters.
    block->items.emplace_back(all.substr(start, std::min(end - start, kChoiceItemLimit)));
    start = end + 1;
  }
  while (!block->items.empty() && block->items.back().empty()) block->items.pop_back();
  return true;
}

void CTypedCells::ShowChoice(int row, int column, ChoiceBlock& block, size_t index) {
  block.current = static_cast<uint16_t>(index);
  StoreText(row, column, *CellAt(row, column), View(block.Item(index)));
}

bool CTypedCells::SelectChoiceByText(int row, int column, const char16_t* text) {
  ChoiceBlock* block = GetChoiceBlock(row, column);
  if (!block) return false;
  const std::u16string_view wanted = View(text);
  for (size_t i = 0; i < kChoiceSlotCount; ++i) {
    if (View(block->Item(i)) == wanted) {
      ShowChoice(row, column, *block, i);
      return true;
    }
  }
  return false;
}

bool CTypedCells::SelectChoiceByIndex(int row, int column, int index) {
  ChoiceBlock* block = GetChoiceBlock(row, column);
  if (!block || index < 0 || index >= static_cast<int>(kChoiceSlotCount)) return false;
  ShowChoice(row, column, *block, static_cast<size_t>(index));
  return true;
}

bool CTypedCells::SelectChoiceByPrefix(int row, int column, const char16_t* text) {
  ChoiceBlock* block = GetChoiceBlock(row, column);
  if (!block) return false;
  const char16_t* wanted = text ? text : u"";
  size_t best = 0;
  size_t bestCount = 0;
  const size_t visible = VisibleChoiceCount(*block);
  for (size_t i = 0; i < visible; ++i) {
    const size_t count = CommonPrefixLength(wanted, block->Item(i));
    if (count > bestCount) {
      best = i;
      bestCount = count;
    }
  }
  ShowChoice(row, column, *block, best);
  return true;
}

int CTypedCells::GetChoiceText(int row, int column, char16_t* out, size_t capacity) const {
  CopyCut(out, capacity, nullptr);
  const ChoiceBlock* block = GetChoiceItems(row, column);
  if (!block) return -1;
  CopyCut(out, capacity, block->Item(block->current));
  return block->current;
}

int CTypedCells::GetChoiceIndex(int row, int column) const {
  const ChoiceBlock* block = GetChoiceItems(row, column);
  return block ? block->current : 0;
}

const ChoiceBlock* CTypedCells::GetChoiceItems(int row, int column) const {
  return BlockOf<ChoiceBlock>(row, column, CellKind::Choice, CellKind::Choice);
}

// ---- passwords -------------------------------------------------------------

bool CTypedCells::SetPasswordKind(int row, int column, int32_t minLength, int32_t maxLength,
                                  const char16_t* text) {
  PasswordBlock* block = SetBlockKind<PasswordBlock>(row, column, CellKind::Password);
  if (!block) return false;
  block->minLength = minLength;
  block->maxLength = maxLength;
  block->text.assign(View(text).substr(0, kPasswordLimit));
  StoreText(row, column, *CellAt(row, column), kPasswordMask);
  return true;
}

const char16_t* CTypedCells::GetPasswordText(int row, int column) const {
  const PasswordBlock* block =
      BlockOf<PasswordBlock>(row, column, CellKind::Password, CellKind::Password);
  return block ? block->text.c_str() : nullptr;
}

bool CTypedCells::SetPasswordText(int row, int column, const char16_t* text) {
  PasswordBlock* block = GetPasswordBlock(row, column);
  if (!block) return false;
  block->text.assign(View(text).substr(0, kPasswordLimit));
  if (Cell* cell = CellAt(row, column)) cell->edited = true;
  return true;
}

// ---- whole numbers -----------------------------------------------------------

bool CTypedCells::SetIntegerKind(int row, int column, int32_t min, int32_t max, int digits) {
  IntegerBlock* block = SetBlockKind<IntegerBlock>(row, column, CellKind::Integer);
  if (!block) return false;
  block->min = min;
  block->max = max;
  block->digits = ToByte(digits);
  return true;
}

void CTypedCells::ShowInteger(int row, int column, IntegerBlock& block) {
  if (HasBounds(block)) {
    // Raised to min first, then lowered to max: max wins when min > max.
    if (block.value < block.min) block.value = block.min;
    if (block.value > block.max) block.value = block.max;
  }
  char16_t text[300];  // up to 255 digits and a sign
  const size_t n = FormatWholeNumber(block.value, block.digits, text, sizeof text / sizeof *text);
  StoreText(row, column, *CellAt(row, column), std::u16string_view(text, n));
}

bool CTypedCells::LoadIntegerValue(int row, int column) {
  IntegerBlock* block = GetIntegerBlock(row, column);
  if (!block) return false;
  return ReadWholeNumber(NumberPart(CellText(row, column)).c_str(), 20, &block->value);
}

bool CTypedCells::SetIntegerValue(int row, int column, int32_t value) {
  IntegerBlock* block = GetIntegerBlock(row, column);
  if (!block) return false;
  block->value = value;
  ShowInteger(row, column, *block);
  return true;
}

bool CTypedCells::EnterIntegerText(int row, int column, const char16_t* text) {
  IntegerBlock* block = GetIntegerBlock(row, column);
  if (!block) return false;
  ReadWholeNumber(NumberPart(std::u16string(View(text))).c_str(), 20, &block->value);
  ShowInteger(row, column, *block);
  return true;
}

bool CTypedCells::ApplyIntegerValue(int row, int column) {
  IntegerBlock* block = GetIntegerBlock(row, column);
  if (!block) return false;
  ShowInteger(row, column, *block);
  return true;
}

// ---- reals -------------------------------------------------------------------

bool CTypedCells::SetRealKind(int row, int column, float min, float max, int intDigits,
                              int decimals) {
  RealBlock* block = SetBlockKind<RealBlock>(row, column, CellKind::Real);
  if (!block) return false;
  block->min = min;
  block->max = max;
  block->intDigits = ToByte(intDigits);
  block->decimals = ToByte(decimals);
  if (block->decimals == 0) block->decimals = kDefaultRealDecimals;
  return true;
}

void CTypedCells::ShowReal(int row, int column, RealBlock& block) {
  if (HasBounds(block)) {
    if (block.value < block.min) block.value = block.min;
    if (block.value > block.max) block.value = block.max;
  }
  char16_t text[1024];
  const size_t n = FormatRealNumber(block.value, block.intDigits, block.decimals, text,
                                    sizeof text / sizeof *text);
  StoreText(row, column, *CellAt(row, column), std::u16string_view(text, n));
}

bool CTypedCells::LoadRealValue(int row, int column) {
  RealBlock* block = GetRealBlock(row, column);
  if (!block) return false;
  return ReadRealNumber(NumberPart(CellText(row, column)).c_str(), 0, &block->value);
}

bool CTypedCells::SetRealValue(int row, int column, float value) {
  RealBlock* block = GetRealBlock(row, column);
  if (!block) return false;
  block->value = value;
  ShowReal(row, column, *block);
  return true;
}

bool CTypedCells::EnterRealText(int row, int column, const char16_t* text) {
  RealBlock* block = GetRealBlock(row, column);
  if (!block) return false;
  ReadRealNumber(NumberPart(std::u16string(View(text))).c_str(), 20, &block->value);
  ShowReal(row, column, *block);
  return true;
}

bool CTypedCells::ApplyRealValue(int row, int column) {
  RealBlock* block = GetRealBlock(row, column);
  if (!block) return false;
  ShowReal(row, column, *block);
  return true;
}

// ---- toggles -----------------------------------------------------------------

bool CTypedCells::SetToggleKind(int row, int column, const char16_t* offLabel,
                                const char16_t* onLabel) {
  ToggleBlock* block = SetBlockKind<ToggleBlock>(row, column, CellKind::Toggle);
  if (!block) return false;
  block->offLabel.assign(View(offLabel ? offLabel : u"No").substr(0, kToggleLabelLimit));
  block->onLabel.assign(View(onLabel ? onLabel : u"Yes").substr(0, kToggleLabelLimit));
  return true;
}

bool CTypedCells::SetToggleState(int row, int column, bool on) {
  ToggleBlock* block = GetToggleBlock(row, column);
  if (!block) return false;
  block->on = on ? 1 : 0;
  StoreText(row, column, *CellAt(row, column), on ? block->onLabel : block->offLabel);
  return true;
}

bool CTypedCells::GetToggleState(int row, int column) const {
  const ToggleBlock* block = BlockOf<ToggleBlock>(row, column, CellKind::Toggle, CellKind::Toggle);
  return block && block->on != 0;
}

bool CTypedCells::FlipToggle(int row, int column) {
  ToggleBlock* block = GetToggleBlock(row, column);
  return block && SetToggleState(row, column, block->on == 0);
}

// ---- dates and times ---------------------------------------------------------

bool CTypedCells::SetDateKind(int row, int column, const DateTimeFields& min,
                              const DateTimeFields& max) {
  DateTimeBlock* block = SetBlockKind<DateTimeBlock>(row, column, CellKind::Date);
  if (!block) return false;
  host_->LocalNow(block->current);
  block->min = min;
  block->max = max;
  return true;
}

bool CTypedCells::SetDateText(int row, int column, const char16_t* text) {
  if (GetCellKind(row, column) != CellKind::Date) return false;
  DateTimeFields value;
  if (!ParseDate(text, value)) return false;
  return SetDateValue(row, column, value);
}

bool CTypedCells::SetDateValue(int row, int column, const DateTimeFields& value) {
  if (GetCellKind(row, column) != CellKind::Date) return false;
  DateTimeBlock* block = GetDateTimeBlock(row, column);
  block->current = value;
  char16_t text[kDateTextCapacity];
  const size_t n = FormatDate(value, text, kDateTextCapacity);
  StoreText(row, column, *CellAt(row, column), std::u16string_view(text, n));
  return true;
}

namespace {
void MoveToTimeDate(DateTimeFields& time) {
  time.year = kTimeDateYear;
  time.month = kTimeDateMonth;
  time.day = kTimeDateDay;
}
}  // namespace

bool CTypedCells::SetTimeKind(int row, int column, const DateTimeFields& min,
                              const DateTimeFields& max) {
  DateTimeBlock* block = SetBlockKind<DateTimeBlock>(row, column, CellKind::Time);
  if (!block) return false;
  host_->LocalNow(block->current);
  MoveToTimeDate(block->current);
  block->min = min;
  block->max = max;
  return true;
}

bool CTypedCells::SetTimeText(int row, int column, const char16_t* text) {
  if (GetCellKind(row, column) != CellKind::Time) return false;
  DateTimeFields value;
  if (!ParseTime(text, value)) return false;
  return SetTimeValue(row, column, value);
}

bool CTypedCells::SetTimeValue(int row, int column, const DateTimeFields& value) {
  if (GetCellKind(row, column) != CellKind::Time) return false;
  DateTimeBlock* block = GetDateTimeBlock(row, column);
  block->current = value;
  MoveToTimeDate(block->current);
  char16_t text[kDateTextCapacity];
  const size_t n = FormatTime(value, text, kDateTextCapacity);
  StoreText(row, column, *CellAt(row, column), std::u16string_view(text, n));
  return true;
}

// ---- multi-line values -------------------------------------------------------

bool CTypedCells::SetMultiLineText(int row, int column, const char16_t* text) {
  if (GetCellKind(row, column) != CellKind::MultiLine) return false;
  std::u16string shown(View(text));
  std::replace(shown.begin(), shown.end(), u'\n', kLineBreakMarker);
  StoreText(row, column, *CellAt(row, column), shown);
  return true;
}

bool CTypedCells::GetMultiLineText(int row, int column, char16_t* out, size_t capacity) const {
  CopyCut(out, capacity, nullptr);
  if (GetCellKind(row, column) != CellKind::MultiLine) return false;
  std::u16string value = CellText(row, column);
  std::replace(value.begin(), value.end(), kLineBreakMarker, u'\n');
  CopyCut(out, capacity, value.c_str());
  return true;
}

// ---- fonts -------------------------------------------------------------------

bool CTypedCells::SetFontKind(int row, int column, int32_t sizeMin, int32_t sizeMax) {
  FontBlock* block = SetBlockKind<FontBlock>(row, column, CellKind::Font);
  if (!block) return false;
  block->sizeMin = sizeMin;
  block->sizeMax = sizeMax;
  return true;
}

bool CTypedCells::SetFont(int row, int column, const char16_t* face, int32_t size, bool bold,
                          bool italic, bool underline, bool strikeOut) {
  FontBlock* block = GetFontBlock(row, column);
  if (!block) return false;
  CopyCut(block->face, kFontFaceCapacity, face);
  block->size = size;
  block->bold = bold ? 1 : 0;
  block->italic = italic ? 1 : 0;
  block->underline = underline ? 1 : 0;
  block->strikeOut = strikeOut ? 1 : 0;
  char16_t number[kNumberReadCapacity];
  FormatWholeNumber(size, 0, number, kNumberReadCapacity);
  std::u16string shown(View(block->face));
  shown += u", ";
  shown += number;
  StoreText(row, column, *CellAt(row, column), shown);
  return true;
}

bool CTypedCells::GetFont(int row, int column, FontBlock& out) const {
  const FontBlock* block = BlockOf<FontBlock>(row, column, CellKind::Font, CellKind::Font);
  if (!block) return false;
  out = *block;
  return true;
}

// ---- windows -----------------------------------------------------------------

bool CTypedCells::SetWindowKind(int row, int column, bool visibleTitledOnly, bool sorted) {
  WindowBlock* block = SetBlockKind<WindowBlock>(row, column, CellKind::Window);
  if (!block) return false;
  block->visibleTitledOnly = visibleTitledOnly ? 1 : 0;
  block->sorted = sorted ? 1 : 0;
  return true;
}

bool CTypedCells::SetWindow(int row, int column, uintptr_t window, const char16_t* title,
                            const char16_t* className) {
  WindowBlock* block = GetWindowBlock(row, column);
  if (!block) return false;
  block->window = window;
  CopyCut(block->title, kWindowTextCapacity, title);
  CopyCut(block->className, kWindowTextCapacity, className);
  CellAt(row, column)->edited = true;  // also when no window is found
  std::u16string found(kCellTextCapacity, u'\0');
  if (host_->LookUpWindow(block->window, block->title, block->className, found.data(),
                          found.size()) != 0) {
    found.resize(TextLength(found.c_str()));
    StoreText(row, column, *CellAt(row, column), found);
  }
  return true;
}

bool CTypedCells::GetWindow(int row, int column, uintptr_t* window, char16_t* title,
                            size_t titleCapacity, char16_t* className,
                            size_t classCapacity) const {
  const WindowBlock* block = BlockOf<WindowBlock>(row, column, CellKind::Window, CellKind::Window);
  if (!block) return false;
  if (window) *window = block->window;
  CopyCut(title, titleCapacity, block->title);
  CopyCut(className, classCapacity, block->className);
  return true;
}
