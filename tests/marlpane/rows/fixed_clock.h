// A cells host for tests: a fixed local time (2026-12-07 09:51:13) and,
// unless a test says otherwise, the default window lookup.
#pragma once

#include "marlpane/rows/typed_cells.h"

namespace celltest {

class FixedClock : public CTypedCellsHost {
 public:
  void LocalNow(DateTimeFields& now) override {
    now = DateTimeFields();
    now.year = 2026; now.month = 12; now.day = 7;
    now.hour = 9; now.minute = 51; now.second = 13;
  }
};

}  // namespace celltest
