// Builds a menu item by item: a menu of its own (created on first use and
// destroyed with the builder) or a window's system menu (items go on top of
// the system's own; the menu is never destroyed by the builder). Win32 only.
#pragma once

#include <windows.h>

class CMenuBuilder {
 public:
  CMenuBuilder() = default;
  virtual ~CMenuBuilder();
  CMenuBuilder(const CMenuBuilder&) = delete;
  CMenuBuilder& operator=(const CMenuBuilder&) = delete;

  // Destroys a menu the builder created (when it is still a menu) and
  // forgets any menu held.
  virtual void Reset();
  // Creates a menu when none is held. True when a menu is held afterwards.
  virtual bool EnsureMenu();
  // Makes a popup menu (for TrackPopupMenu) when none is held.
  bool EnsurePopupMenu();

  // Holds the window's system menu, not owned; the next item goes to the top.
  bool AttachSystemMenu(HWND window);

  // An enabled item at the next position; advances it.
  bool AppendItem(UINT commandId, const char16_t* text);
  // A separator at the next position; advances it.
  bool AppendSeparator();
  // An item at position (by position): with text an item with id, text and
  // state; any of the three check-mark arguments non-zero also sets the
  // check-mark bitmaps (and the checked state when checked). Without text a
  // separator.
  bool InsertItem(UINT commandId, UINT position, const char16_t* text, bool enabled,
                  bool highlighted, bool isDefault, bool checkMarks, HBITMAP checkedBitmap,
                  HBITMAP uncheckedBitmap, bool checked);

  HMENU Menu() const { return menu_; }
  bool Owned() const { return owned_ != 0; }
  UINT NextPosition() const { return nextPosition_; }

 private:
  HMENU menu_ = nullptr;
  int owned_ = 0;
  UINT nextPosition_ = 0;
};
