// marlpane.exe: the settings editor. The start fills the process-wide state
// (own path, archive key, editor options, command line, common controls);
// then the main dialog does the rest until it closes.
#include <windows.h>

#include "marlpane/app/editor_dialog_win.h"
#include "marlpane/app/startup_win.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  StartEditor(instance);
  return static_cast<int>(RunMainDialog(instance));
}
