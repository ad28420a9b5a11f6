#include "marlpane/editors/list_editors_win.h"

#include <string>

#include "common/block_list.h"
#include "common/text16.h"
#include "common/window_lookup_win.h"
#include "marlpane/editors/popup_editor_win.h"

namespace {

constexpr int kListRoom = 200;  // pixels below the closed box for the list
constexpr DWORD kComboStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;

// The windows the window popup lists: filled at every opening, freed at exit.
CBlockList gListedWindows;

// A drop-down list popup. The list is open from the start; when it closes
// the edit ends: committed when an item was picked or the user went
// elsewhere, cancelled by Escape.
class CComboEditor : public CPopupEditor {
 protected:
  // Adds the items (CB_ADDSTRING with their data) and selects one.
  virtual void Fill(HWND combo) = 0;
  virtual void Picked(LRESULT data) = 0;

  bool CreateControls(HWND, int width, int height) override {
    combo_ = CreateControl(L"COMBOBOX", nullptr, kComboStyle | (sorted_ ? CBS_SORT : 0), 0, 0, width,
                           height + kListRoom);
    if (!combo_) return false;
    Fill(combo_);
    // One font for the box and its list: one that has every item's glyphs.
    UseFontFor(combo_, items_);
    focus_ = combo_;
    return true;
  }
  void Shown() override {
    // The popup ends where the closed box ends: a strip of it below the box
    // would lie over the top of the dropped list.
    RECT box = {};
    RECT popup = {};
    GetWindowRect(combo_, &box);
    GetWindowRect(Popup(), &popup);
    if (box.bottom > popup.top && box.bottom < popup.bottom) {
      SetWindowPos(Popup(), nullptr, 0, 0, popup.right - popup.left, box.bottom - popup.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    SendMessageW(combo_, CB_SHOWDROPDOWN, TRUE, 0);
  }

  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT*) override {
    if (message != WM_COMMAND || reinterpret_cast<HWND>(lParam) != combo_) return false;
    switch (HIWORD(wParam)) {
      case CBN_SELCHANGE:
        // Moves by keyboard in the open list; a click elsewhere makes the
        // list take back its starting item, but the user went to this one.
        keyed_ = SendMessageW(combo_, CB_GETCURSEL, 0, 0);
        break;
      case CBN_SELENDOK:
        listEnd_ = End::Picked;
        break;
      case CBN_SELENDCANCEL:
        listEnd_ = GetKeyState(VK_ESCAPE) < 0 ? End::Escaped : End::Left;
        break;
      case CBN_CLOSEUP:
        if (listEnd_ == End::Left && keyed_ != CB_ERR) SendMessageW(combo_, CB_SETCURSEL, keyed_, 0);
        PostCommand(listEnd_ == End::Escaped ? kCancelCommand : kOkCommand);
        break;
      default:
        break;
    }
    return false;
  }

  bool Accept() override {
    const LRESULT selected = SendMessageW(combo_, CB_GETCURSEL, 0, 0);
    const LRESULT data = selected == CB_ERR ? CB_ERR : SendMessageW(combo_, CB_GETITEMDATA, selected, 0);
    Picked(data);
    return true;
  }

  // Selects the item whose data is wanted, else the first one shown.
  static void SelectData(HWND combo, LRESULT wanted) {
    const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    LRESULT index = 0;
    for (LRESULT i = 0; i < count; ++i) {
      if (SendMessageW(combo, CB_GETITEMDATA, i, 0) == wanted) {
        index = i;
        break;
      }
    }
    SendMessageW(combo, CB_SETCURSEL, index, 0);
  }
  void Add(HWND combo, const char16_t* text, LRESULT data) {
    const LRESULT index = SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(AsWide(text)));
    if (index >= 0) SendMessageW(combo, CB_SETITEMDATA, index, data);
    items_ += text;
  }

  bool sorted_ = false;

 private:
  enum class End { None, Picked, Escaped, Left };
  HWND combo_ = nullptr;
  std::u16string items_;  // every item's text, one after the other
  End listEnd_ = End::None;
  LRESULT keyed_ = CB_ERR;
};

class CChoiceEditor : public CComboEditor {
 public:
  CChoiceEditor(const ChoiceBlock& block, int* slot) : block_(block), slot_(slot) {
    sorted_ = block.sorted != 0;
  }

 protected:
  void Fill(HWND combo) override {
    const size_t visible = VisibleChoiceCount(block_);
    for (size_t i = 0; i < visible && i < kChoiceSlotCount; ++i) {
      Add(combo, block_.Item(i), static_cast<LRESULT>(i));
    }
    SelectData(combo, block_.current);
  }
  void Picked(LRESULT data) override { *slot_ = data < 0 ? 0 : static_cast<int>(data); }

 private:
  const ChoiceBlock& block_;
  int* slot_;
};

class CWindowEditor : public CComboEditor {
 public:
  explicit CWindowEditor(WindowBlock& block) : block_(block) { sorted_ = block.sorted != 0; }

 protected:
  void Fill(HWND combo) override {
    if (block_.visibleTitledOnly) {
      ListTitledWindows(gListedWindows);
    } else {
      ListTopWindows(gListedWindows);
    }
    HWND stored = FindWindowSmart(reinterpret_cast<HWND>(block_.window), block_.title,
                                  block_.className);
    LRESULT storedData = -1;
    HWND self = GetAncestor(combo, GA_ROOT);
    for (uint32_t i = 0; i < gListedWindows.Count(); ++i) {
      HWND window = ListedWindow(gListedWindows, i);
      if (!window || window == self) continue;
      wchar_t title[kCellTextCapacity] = {};
      GetWindowTextW(window, title, static_cast<int>(kCellTextCapacity));
      Add(combo, AsText(title), static_cast<LRESULT>(i));
      if (window == stored) storedData = static_cast<LRESULT>(i);
    }
    SelectData(combo, storedData);
  }
  void Picked(LRESULT data) override {
    HWND window = data < 0 ? nullptr : ListedWindow(gListedWindows, static_cast<uint32_t>(data));
    if (!window || !IsWindow(window)) return;
    wchar_t title[kWindowTextCapacity] = {};
    wchar_t className[kWindowTextCapacity] = {};
    GetWindowTextW(window, title, static_cast<int>(kWindowTextCapacity));
    GetClassNameW(window, className, static_cast<int>(kWindowTextCapacity));
    block_.window = reinterpret_cast<uintptr_t>(window);
    CopyText(block_.title, kWindowTextCapacity, AsText(title));
    CopyText(block_.className, kWindowTextCapacity, AsText(className));
  }

 private:
  WindowBlock& block_;
};

constexpr int kComboPopupExtraHeight = 10;

}  // namespace

bool EditChoiceValue(const EditRequest& request, const ChoiceBlock& block, int* slot) {
  int picked = block.current;
  CChoiceEditor editor(block, &picked);
  if (!editor.Run(request, WS_EX_CONTROLPARENT, CellHeight(request) + kComboPopupExtraHeight)) {
    return false;
  }
  *slot = picked;
  return true;
}

bool EditWindowValue(const EditRequest& request, WindowBlock& block) {
  WindowBlock working = block;
  CWindowEditor editor(working);
  if (!editor.Run(request, WS_EX_CONTROLPARENT, CellHeight(request) + kComboPopupExtraHeight)) {
    return false;
  }
  block = working;
  return true;
}
