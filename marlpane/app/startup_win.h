// The editor's start on Windows: filling the process-wide state from the
// executable, its archive and the command line, choosing the settings file,
// and the notifications posted to the window named by "/NOTIFY:".
#pragma once

#include <windows.h>

#include "marlpane/app/editor_state.h"

// Posted (never sent) to the notification window; wParam is one of the
// codes below.
constexpr UINT kEditorNotifyMessage = WM_APP + 7;
constexpr WPARAM kNotifyStarted = 300;    // lParam: the editor's main window
constexpr WPARAM kNotifySaved = 317;      // posted just before closing
constexpr WPARAM kNotifyCancelled = 319;  // posted just before closing
constexpr WPARAM kNotifyClosing = 390;    // after every way of closing

// Everything the program entry does before the main dialog runs: keeps the
// instance, takes the program path and folder, sets the default settings
// path, gives the archive the editor's key, reads the editor options,
// chooses the language (the option Language, else the user's interface
// language, else English), applies the command line (GetCommandLineW) and
// initialises the common controls.
void StartEditor(HINSTANCE instance);

// Picks the settings file among the settings path, the same name with
// ".INI" and with ".properties" (a file counts when it can be opened without
// access rights). The settings path keeps the last name tried.
void ChooseSettingsFile(EditorState& state = gEditorState);

// Posts the notification message with code and lParam to the notification
// window, when one is set. The result of the post is ignored.
void PostNotification(WPARAM code, LPARAM lParam = 0);
