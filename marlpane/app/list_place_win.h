// Where the user is in the option list, kept across loading the rows
// again: the selected row by the name of its key line (so that it stays on
// its option when another program added or removed lines above it), and
// the row at the top of the view.
#pragma once

#include "marlpane/document/ini_key_lines.h"

class CIniDocument;
class CTypedListView;
struct BuiltRows;

struct ListPlace {
  int selected = -1;
  int top = 0;
  bool named = false;  // the selected row has a key line, named by name
  KeyName name;
};

ListPlace TakeListPlace(CTypedListView& list, const BuiltRows& rows);
// After the rows were built again from document: selects the row of the
// same key line (or, without one, the row of the same number) and scrolls
// the list so that it stands where it stood.
void RestoreListPlace(CTypedListView& list, const BuiltRows& rows, CIniDocument& document,
                      const ListPlace& place);
