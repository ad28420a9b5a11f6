#include "marlpane/editors/date_time_editor_win.h"

#include <commctrl.h>

#include <algorithm>

#include "common/date_text_win.h"
#include "marlpane/editors/popup_editor_win.h"

namespace {

constexpr int kPickerMinimumHeight = 25;
constexpr DWORD kPickerStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP;

DateTimeFields OnTimeDay(DateTimeFields time) {
  time.year = kTimeDateYear;
  time.month = kTimeDateMonth;
  time.day = kTimeDateDay;
  time.dayOfWeek = 0;
  return time;
}

class CDateTimeEditor : public CPopupEditor {
 public:
  CDateTimeEditor(DateTimeBlock& block, bool time) : block_(block), time_(time) {}

 protected:
  bool CreateControls(HWND, int width, int height) override {
    picker_ = CreateControl(DATETIMEPICK_CLASSW, nullptr, kPickerStyle | (time_ ? DTS_TIMEFORMAT : 0),
                            0, 0, width, height);
    if (!picker_) return false;
    SYSTEMTIME range[2] = {};
    DWORD flags = 0;
    if (time_) {
      StoreDateTimeFields(OnTimeDay(block_.min), range[0]);
      StoreDateTimeFields(OnTimeDay(block_.max), range[1]);
      if (HasTimeBound(block_.min)) flags |= GDTR_MIN;
      if (HasTimeBound(block_.max)) flags |= GDTR_MAX;
    } else {
      StoreDateTimeFields(block_.min, range[0]);
      StoreDateTimeFields(block_.max, range[1]);
      if (HasDateBound(block_.min)) flags |= GDTR_MIN;
      if (HasDateBound(block_.max)) flags |= GDTR_MAX;
    }
    if (flags) SendMessageW(picker_, DTM_SETRANGE, flags, reinterpret_cast<LPARAM>(range));
    SYSTEMTIME current = {};
    StoreDateTimeFields(time_ ? OnTimeDay(block_.current) : block_.current, current);
    SendMessageW(picker_, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&current));
    focus_ = picker_;
    return true;
  }

  // The drop-down calendar while it is open (some pickers keep it, hidden,
  // while it is closed).
  HWND OpenCalendar() const {
    HWND calendar = reinterpret_cast<HWND>(SendMessageW(picker_, DTM_GETMONTHCAL, 0, 0));
    return calendar && IsWindowVisible(calendar) ? calendar : nullptr;
  }

  // The calendar takes the activation while it is open.
  bool LeavingCommits() override { return !OpenCalendar(); }

  // The open calendar has the keyboard but ignores Escape and Enter: they
  // close it, and the popup stays with the date picked so far.
  bool Intercept(const MSG& message) override {
    if (message.message != WM_KEYDOWN || (message.wParam != VK_ESCAPE && message.wParam != VK_RETURN)) {
      return false;
    }
    HWND calendar = OpenCalendar();
    if (!calendar || message.hwnd == picker_) return false;
    SendMessageW(picker_, DTM_CLOSEMONTHCAL, 0, 0);
    if (IsWindowVisible(calendar)) ShowWindow(calendar, SW_HIDE);
    SetFocus(picker_);
    return true;
  }

  bool Accept() override {
    SYSTEMTIME picked = {};
    if (SendMessageW(picker_, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&picked)) == GDT_VALID) {
      block_.current = time_ ? OnTimeDay(ToDateTimeFields(picked)) : ToDateTimeFields(picked);
    }
    return true;
  }

 private:
  DateTimeBlock& block_;
  bool time_;
  HWND picker_ = nullptr;
};

bool EditDateTime(const EditRequest& request, DateTimeBlock& block, bool time) {
  DateTimeBlock working = block;
  CDateTimeEditor editor(working, time);
  if (!editor.Run(request, WS_EX_CONTROLPARENT, std::max(CellHeight(request), kPickerMinimumHeight))) {
    return false;
  }
  block.current = working.current;
  return true;
}

}  // namespace

bool EditDateValue(const EditRequest& request, DateTimeBlock& block) {
  return EditDateTime(request, block, false);
}

bool EditTimeValue(const EditRequest& request, DateTimeBlock& block) {
  return EditDateTime(request, block, true);
}
