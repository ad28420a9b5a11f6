// The about box (dialog 109): a caption and a centred, read-only body text
// on white, closed by OK or Cancel.
#pragma once

#include <windows.h>

#include <string>

// Modal over owner. The body is shown in a font of the character set of
// its script.
void ShowAboutBox(HWND owner, const std::u16string& title, const std::u16string& body);

// A menu text as a caption: "&&" becomes "&", a single "&" (a menu's
// mnemonic mark) goes.
std::u16string WithoutMnemonic(const std::u16string& text);
