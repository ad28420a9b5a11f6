// The editor's own keys. The modal dialog's message loop hands keys to the
// focused control, so they are taken before it (a message filter hook) and
// turned into commands posted to the dialog: Ctrl+F, F3 and Shift+F3 for
// find, Enter, Shift+Enter and Escape inside the find field, F2 to edit,
// Ctrl+Z and Ctrl+Y to undo and redo, Ctrl+S to save, and the menu key or
// Shift+F10 for the row menu. Keys are left alone while the dialog is
// disabled (an editor is open) or belong to another window.
#pragma once

#include <windows.h>

// The find field is known by its control ID (IDC_FIND_FIELD).
void InstallEditorKeys(HWND dialog);
void RemoveEditorKeys();
