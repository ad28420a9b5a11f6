// The standard choosers for colour, file, folder and font cells, owned by
// the editor's main window and started from the cell's value. Each returns
// whether the user confirmed; after a cancel the outputs are unchanged.
// Win32 only.
#pragma once

#include <cstdint>
#include <string>

#include "marlpane/editors/edit_request_win.h"
#include "marlpane/rows/cell_kinds.h"

// Starts at the colour of the cell text ("#RRGGBB", "0xRRGGBB" or
// "RRGGBB"); *colour receives the picked COLORREF.
bool ChooseCellColour(const EditRequest& request, uint32_t* colour);

// The open-file or save-file chooser with filter ("*.db;*.sqlite") as the
// supported files, in the folder of the cell's path with the path as the
// initial name; path receives the chosen one. A cell path the chooser
// refuses to start from (a malformed name) starts it without one.
bool ChooseCellFile(const EditRequest& request, bool save, const char16_t* filter,
                    std::u16string& path);

// The folder chooser starting in the cell's folder.
bool ChooseCellFolder(const EditRequest& request, std::u16string& folder);

// The font chooser preset from the block (face, size, styles, and the size
// limits when sizeMax is not 0), which receives the picked font.
bool ChooseCellFont(const EditRequest& request, FontBlock& font);
