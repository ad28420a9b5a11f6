#include "marlpane/editors/number_editors_win.h"

#include <climits>
#include <cmath>

#include "common/text16.h"
#include "common/window_lookup_win.h"
#include "marlpane/editors/popup_editor_win.h"
#include "marlpane/rows/number_text.h"

namespace {

constexpr int kBarHeight = 15;
constexpr int kNumberEntryCapacity = 50;  // 49 characters are read
constexpr DWORD kNumberEditStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL;
constexpr DWORD kBarStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | SBS_HORZ;

int ToInt(double value) {
  if (value >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (value <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(value);  // toward zero
}

// A number editor: the box, and the bar over lo..hi when there are bounds.
class CNumberEditor : public CPopupEditor {
 protected:
  // The starting text of the box, the bar's range and position.
  virtual void Start(char16_t* text, size_t capacity) = 0;
  virtual bool Bounded() = 0;
  virtual void BarRange(int* lo, int* hi) = 0;
  virtual int BarPosition() = 0;
  // The bar moved to position.
  virtual void Moved(int position) = 0;
  // The entry read on OK.
  virtual void Read(const char16_t* entry) = 0;

  bool CreateControls(HWND, int width, int height) override {
    char16_t text[kNumberEntryCapacity * 8] = {};
    Start(text, sizeof text / sizeof *text);
    edit_ = CreateControl(L"EDIT", AsWide(text), kNumberEditStyle, 0, 0, width,
                          height > kBarHeight ? height - kBarHeight : 0);
    if (!edit_) return false;
    UseGuiFont(edit_);
    CaretToEnd(edit_);
    focus_ = edit_;
    if (!Bounded()) return true;
    bar_ = CreateControl(L"SCROLLBAR", nullptr, kBarStyle, 0, height - kBarHeight, width, kBarHeight);
    if (!bar_) return false;
    int lo = 0, hi = 0;
    BarRange(&lo, &hi);
    SendMessageW(bar_, SBM_SETRANGE, static_cast<WPARAM>(lo), static_cast<LPARAM>(hi));
    SetScrollPos(bar_, SB_CTL, BarPosition(), TRUE);
    return true;
  }

  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
    if (message != WM_HSCROLL || !bar_ || reinterpret_cast<HWND>(lParam) != bar_) return false;
    int lo = 0, hi = 0;
    BarRange(&lo, &hi);
    StepScrollBar(bar_, wParam, SB_CTL, lo, hi);
    const int position = GetScrollPos(bar_, SB_CTL);
    Moved(position);
    char16_t text[kNumberEntryCapacity];
    FormatWholeNumber(position, 0, text, kNumberEntryCapacity);
    SetWindowTextW(edit_, AsWide(text));
    *result = 0;
    return true;
  }

  bool Accept() override {
    wchar_t entry[kNumberEntryCapacity] = {};
    GetWindowTextW(edit_, entry, kNumberEntryCapacity);
    Read(AsText(entry));
    return true;
  }

 private:
  HWND edit_ = nullptr;
  HWND bar_ = nullptr;
};

class CIntegerEditor : public CNumberEditor {
 public:
  explicit CIntegerEditor(IntegerBlock& block) : block_(block) {}

 protected:
  void Start(char16_t* text, size_t capacity) override {
    FormatWholeNumber(block_.value, 0, text, capacity);
  }
  bool Bounded() override { return HasBounds(block_); }
  void BarRange(int* lo, int* hi) override {
    *lo = block_.min;
    *hi = block_.max;
  }
  int BarPosition() override { return block_.value; }
  void Moved(int position) override { block_.value = position; }
  void Read(const char16_t* entry) override { ReadWholeNumber(entry, 20, &block_.value); }

 private:
  IntegerBlock& block_;
};

class CRealEditor : public CNumberEditor {
 public:
  explicit CRealEditor(RealBlock& block) : block_(block) {}

 protected:
  void Start(char16_t* text, size_t capacity) override {
    FormatRealNumber(block_.value, 0, 4, text, capacity);
  }
  bool Bounded() override { return HasBounds(block_); }
  void BarRange(int* lo, int* hi) override { RealBarRange(block_, lo, hi); }
  int BarPosition() override { return RoundHalfAway(block_.value); }
  void Moved(int position) override { block_.value = static_cast<float>(position); }
  void Read(const char16_t* entry) override { ReadRealNumber(entry, 20, &block_.value); }

 private:
  RealBlock& block_;
};

}  // namespace

void RealBarRange(const RealBlock& block, int* lo, int* hi) {
  const double min = block.min;
  const double max = block.max;
  *lo = ToInt(min > 0 ? min + 0.999999 : min - 0.000001);
  *hi = ToInt(max > 0 ? max + 0.000001 : max - 0.999999);
}

int RoundHalfAway(float value) {
  const double v = value;
  return ToInt(v >= 0 ? std::floor(v + 0.5) : std::ceil(v - 0.5));
}

namespace {

// The editor works on a copy; only a committed entry reaches the block.
template <typename Editor, typename Block>
bool EditNumber(const EditRequest& request, Block& block) {
  Block working = block;
  Editor editor(working);
  if (!editor.Run(request, WS_EX_CONTROLPARENT | WS_EX_STATICEDGE, CellHeight(request) + kBarHeight)) {
    return false;
  }
  block.value = working.value;
  return true;
}

}  // namespace

bool EditIntegerValue(const EditRequest& request, IntegerBlock& block) {
  return EditNumber<CIntegerEditor>(request, block);
}

bool EditRealValue(const EditRequest& request, RealBlock& block) {
  return EditNumber<CRealEditor>(request, block);
}
