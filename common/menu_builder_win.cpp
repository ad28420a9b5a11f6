#include "common/menu_builder_win.h"

#include "common/text16.h"

CMenuBuilder::~CMenuBuilder() { CMenuBuilder::Reset(); }

void CMenuBuilder::Reset() {
  if (menu_ && owned_ && IsMenu(menu_)) DestroyMenu(menu_);
  menu_ = nullptr;
  owned_ = 0;
  nextPosition_ = 0;
}

bool CMenuBuilder::EnsureMenu() {
  if (!menu_) {
    menu_ = CreateMenu();
    if (menu_) owned_ = 1;
  }
  return menu_ != nullptr;
}

bool CMenuBuilder::EnsurePopupMenu() {
  if (!menu_) {
    menu_ = CreatePopupMenu();
    if (menu_) owned_ = 1;
  }
  return menu_ != nullptr;
}

bool CMenuBuilder::AttachSystemMenu(HWND window) {
  HMENU system = GetSystemMenu(window, FALSE);
  if (!system) return false;
  Reset();
  menu_ = system;
  return true;
}

bool CMenuBuilder::AppendItem(UINT commandId, const char16_t* text) {
  if (!InsertItem(commandId, nextPosition_, text, true, false, false, false, nullptr, nullptr,
                  false)) {
    return false;
  }
  ++nextPosition_;
  return true;
}

bool CMenuBuilder::AppendSeparator() {
  if (!InsertItem(0, nextPosition_, nullptr, true, false, false, false, nullptr, nullptr, false)) {
    return false;
  }
  ++nextPosition_;
  return true;
}

bool CMenuBuilder::InsertItem(UINT commandId, UINT position, const char16_t* text, bool enabled,
                              bool highlighted, bool isDefault, bool checkMarks,
                              HBITMAP checkedBitmap, HBITMAP uncheckedBitmap, bool checked) {
  if (!EnsureMenu()) return false;
  MENUITEMINFOW item = {};
  item.cbSize = sizeof(item);
  if (text) {
    item.fMask = MIIM_STATE | MIIM_ID | MIIM_STRING;
    item.wID = commandId;
    item.dwTypeData = const_cast<wchar_t*>(AsWide(text));
    item.cch = static_cast<UINT>(TextLength(text));
    if (!enabled) item.fState |= MFS_GRAYED | MFS_DISABLED;
    if (highlighted) item.fState |= MFS_HILITE;
    if (isDefault) item.fState |= MFS_DEFAULT;
    if (checkMarks || checkedBitmap || uncheckedBitmap) {
      item.fMask |= MIIM_CHECKMARKS;
      item.hbmpChecked = checkedBitmap;
      item.hbmpUnchecked = uncheckedBitmap;
      if (checked) item.fState |= MFS_CHECKED;
    }
  } else {
    item.fMask = MIIM_TYPE;
    item.fType = MFT_SEPARATOR;
  }
  return InsertMenuItemW(menu_, position, TRUE, &item) != 0;
}
