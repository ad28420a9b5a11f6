#include "marlpane/app/list_place_win.h"

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "marlpane/list/typed_list_view.h"
#include "marlpane/rows/row_builder.h"

ListPlace TakeListPlace(CTypedListView& list, const BuiltRows& rows) {
  ListPlace place;
  place.selected = list.SelectedRow();
  place.top = ListView_GetTopIndex(list.Window());
  if (place.selected < 0 || static_cast<size_t>(place.selected) >= rows.table.size()) return place;
  const int32_t entry = rows.table[static_cast<size_t>(place.selected)].entryIndex;
  std::vector<KeyName> names;
  const std::u16string_view text = rows.lines.Text();
  if (entry >= 0 && NameEntries(text.data(), text.size(), {static_cast<size_t>(entry)}, names)) {
    place.named = true;
    place.name = names[0];
  }
  return place;
}

void RestoreListPlace(CTypedListView& list, const BuiltRows& rows, CIniDocument& document,
                      const ListPlace& place) {
  int row = place.selected;
  std::vector<KeyLineSpot> spots;
  std::vector<bool> found;
  if (place.named) {
    FindKeyLines(document, {place.name}, spots, found);
    if (found[0]) {
      for (size_t i = 0; i < rows.table.size(); ++i) {
        if (rows.table[i].entryIndex == static_cast<int32_t>(spots[0].entry)) row = static_cast<int>(i);
      }
    }
  }
  const HWND control = list.Window();
  if (row >= list.ItemCount()) row = list.ItemCount() - 1;
  if (row >= 0) list.SelectRow(row);
  // The selected option stays where it was on the screen, also when lines
  // above it came or went.
  int top = place.top;
  if (row >= 0 && place.selected >= 0) top += row - place.selected;
  RECT item = {};
  if (!ListView_GetItemRect(control, 0, &item, LVIR_BOUNDS)) return;
  const int rowHeight = item.bottom - item.top;
  ListView_Scroll(control, 0, (top - ListView_GetTopIndex(control)) * rowHeight);
}
