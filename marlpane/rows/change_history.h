// What the user changed in this session, row by row: each row's value as
// loaded (kept the first time the row is about to change, so that loading
// pays nothing), the steps for undo and redo, and which rows now differ from
// their loaded value. A row counts as changed when the text Save would write
// for it differs from the text of its loaded value.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "marlpane/rows/typed_cells.h"

struct BuiltRows;

class CChangeHistory {
 public:
  CChangeHistory() = default;
  virtual ~CChangeHistory() = default;

  // Starts over on freshly built rows; both must outlive the history.
  void Attach(const BuiltRows* rows, CTypedCells* cells);
  void Clear();

  // Call before the row's value may change, and EndChange after: a change
  // of value becomes one undo step (and drops the steps that were undone).
  // True from EndChange when the value changed.
  void BeginChange(int row);
  bool EndChange();

  bool CanUndo() const { return done_ > 0; }
  bool CanRedo() const { return done_ < steps_.size(); }
  // Puts back the value before the last step (Undo) or after the next one
  // (Redo); returns its row, -1 when there is none.
  int Undo();
  int Redo();
  // Puts the row back to its loaded value, as one step; false when the row
  // is not changed.
  bool RevertRow(int row);

  bool IsChanged(int row) const;
  bool AnyChanged() const;
  // The changed rows in list order.
  std::vector<int> ChangedRows() const;

  // The text the row's value is saved as (the loaded value's text for a
  // row that is not changed); empty for rows without a value.
  std::u16string ValueText(int row) const;
  // The row's line as Save would write it: "key=value" with the key and
  // the blanks around the value as written in the file.
  std::u16string LineText(int row) const;

 private:
  struct Original {
    CTypedCells::SavedCell cell;
    std::u16string text;
    bool changed = false;
  };
  struct Step {
    int row = -1;
    CTypedCells::SavedCell before;
    CTypedCells::SavedCell after;
  };
  std::u16string CurrentText(int row) const;
  void Recheck(int row);
  int PutBack(int row, const CTypedCells::SavedCell& cell);

  const BuiltRows* rows_ = nullptr;
  CTypedCells* cells_ = nullptr;
  std::map<int, Original> originals_;
  std::vector<Step> steps_;
  size_t done_ = 0;  // steps_[0, done_) are in effect
  int pendingRow_ = -1;
  CTypedCells::SavedCell pendingBefore_;
  std::u16string pendingText_;
};
