// What Save writes back for each row of the option list: by the row type
// the row was loaded with, the text that replaces the value on the row's
// key line, or nothing, so that the line keeps the value it was loaded with.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "marlpane/document/ini_merge.h"
#include "marlpane/rows/row_table.h"

class CIniDocument;
class CTypedCells;
struct BuiltRows;

// The flag text for on in the style of stored: "1"/"0", "yes"/"no",
// "true"/"false", "on"/"off", "y"/"n" and "t"/"f", each in the case of
// stored (all lower, all upper or capitalised); "1"/"0" when stored shows
// no such style.
std::u16string FlagTextLike(const char16_t* stored, bool on);

// The UTF-16LE bytes of text as upper-case hexadecimal, two digits per byte
// in byte order ("H" -> "4800").
std::u16string EncodeHexText(const char16_t* text);

// The root of the drive a drive item names ("D: (CD)" -> "D:\").
std::u16string DriveItemRoot(const char16_t* item);

// The save text of row (its value cell is column 1) into out. stored is the
// value on the row's line as loaded (the flag style of toggles comes from
// it). False when Save leaves the line as it is: read-only and title rows,
// and rows whose form is written only after an edit when the value cell
// was not edited.
bool RowSaveText(int32_t rowType, const CTypedCells& cells, int row, const char16_t* stored,
                 std::u16string& out);

// The text the row's value would be saved as once edited: RowSaveText as
// if the value cell had been edited (false for read-only and title rows and
// when the value gives no text). A MULTILINE value's line breaks become
// separator. Two values of a row that give the same text are the same value.
bool RowValueText(int32_t rowType, const CTypedCells& cells, int row, const char16_t* stored,
                  const std::u16string& separator, std::u16string& out);

// The text the row's value is saved as now, worked out as RowValueText with
// the row's loaded value and line separator; empty for rows without a value.
std::u16string RowValueTextNow(const BuiltRows& rows, const CTypedCells& cells, int row);

// False for the row types whose value Save writes in a form of its own
// (hexadecimal, a digest) that any typed character fits: STRINGHEX,
// HEXPASSWORD and the digest passwords. Every other row writes what was
// typed into it.
bool RowWritesTypedText(int32_t rowType);

// Puts the value of every changed row into settings on its key line, then
// saves settings to path. changedRows lists the rows changed in this session;
// null takes the rows whose value cell was edited since loading. Every other
// line keeps its bytes. The blanks around the value on the line stay around
// the new value. Returns the document's Save result: 0 when nothing was
// written.
uint32_t SaveRows(const BuiltRows& rows, const CTypedCells& cells, CIniDocument& settings,
                  const char16_t* path, const std::vector<int>* changedRows = nullptr);

// The changed rows as edits of their key lines, for writing them into the
// file as another program has changed it: each named (section, key as
// written, which of that name) in the text the rows were loaded from, with
// its value as loaded and the text Save writes for it. Rows that give no
// text or their loaded value are left out; editRows gets the row of each
// edit. False when the rows do not match their text.
bool RowKeyEdits(const BuiltRows& rows, const CTypedCells& cells, const std::vector<int>& changedRows,
                 std::vector<KeyEdit>& edits, std::vector<int>& editRows);
