#include "marlpane/rows/change_history.h"

#include "marlpane/rows/key_line_text.h"
#include "marlpane/rows/row_builder.h"
#include "marlpane/rows/row_saver.h"

void CChangeHistory::Attach(const BuiltRows* rows, CTypedCells* cells) {
  rows_ = rows;
  cells_ = cells;
  Clear();
}

void CChangeHistory::Clear() {
  originals_.clear();
  steps_.clear();
  done_ = 0;
  pendingRow_ = -1;
}

std::u16string CChangeHistory::CurrentText(int row) const {
  return rows_ && cells_ ? RowValueTextNow(*rows_, *cells_, row) : std::u16string();
}

void CChangeHistory::BeginChange(int row) {
  pendingRow_ = -1;
  if (!cells_ || !cells_->SaveCell(row, 1, pendingBefore_)) return;
  pendingRow_ = row;
  pendingText_ = CurrentText(row);
  if (originals_.find(row) == originals_.end()) {
    Original& original = originals_[row];
    original.cell = pendingBefore_;
    original.text = pendingText_;
  }
}

bool CChangeHistory::EndChange() {
  const int row = pendingRow_;
  pendingRow_ = -1;
  if (row < 0 || CurrentText(row) == pendingText_) return false;
  Step step;
  step.row = row;
  step.before = pendingBefore_;
  cells_->SaveCell(row, 1, step.after);
  steps_.resize(done_);
  steps_.push_back(std::move(step));
  done_ = steps_.size();
  Recheck(row);
  return true;
}

void CChangeHistory::Recheck(int row) {
  auto original = originals_.find(row);
  if (original != originals_.end()) original->second.changed = CurrentText(row) != original->second.text;
}

int CChangeHistory::PutBack(int row, const CTypedCells::SavedCell& cell) {
  if (!cells_ || !cells_->RestoreCell(row, 1, cell)) return -1;
  Recheck(row);
  return row;
}

int CChangeHistory::Undo() {
  if (!CanUndo()) return -1;
  const Step& step = steps_[--done_];
  return PutBack(step.row, step.before);
}

int CChangeHistory::Redo() {
  if (!CanRedo()) return -1;
  const Step& step = steps_[done_++];
  return PutBack(step.row, step.after);
}

bool CChangeHistory::RevertRow(int row) {
  auto original = originals_.find(row);
  if (original == originals_.end() || !original->second.changed) return false;
  BeginChange(row);
  cells_->RestoreCell(row, 1, original->second.cell);
  return EndChange();
}

bool CChangeHistory::IsChanged(int row) const {
  auto original = originals_.find(row);
  return original != originals_.end() && original->second.changed;
}

bool CChangeHistory::AnyChanged() const {
  for (const auto& original : originals_) {
    if (original.second.changed) return true;
  }
  return false;
}

std::vector<int> CChangeHistory::ChangedRows() const {
  std::vector<int> rows;
  for (const auto& original : originals_) {
    if (original.second.changed) rows.push_back(original.first);
  }
  return rows;
}

std::u16string CChangeHistory::ValueText(int row) const {
  if (!IsChanged(row)) {
    if (!rows_ || row < 0) return {};
    return std::u16string(TrimBlanks(rows_->lines.Value(static_cast<size_t>(row))));
  }
  return CurrentText(row);
}

std::u16string CChangeHistory::LineText(int row) const {
  if (!rows_ || row < 0 || static_cast<size_t>(row) >= rows_->lines.RowCount()) return {};
  const size_t r = static_cast<size_t>(row);
  const std::u16string_view key = rows_->lines.Key(r);
  if (key.empty() && rows_->lines.Value(r).empty()) return {};
  const std::u16string_view stored = rows_->lines.Value(r);
  std::u16string line(key);
  line += u'=';
  if (!IsChanged(row)) return line += stored;
  const std::u16string_view value = TrimBlanks(stored);
  const size_t lead = static_cast<size_t>(value.data() - stored.data());
  line += stored.substr(0, lead);
  line += CurrentText(row);
  line += stored.substr(lead + value.size());
  return line;
}
