// Which texts may be handed to the browser as a web page to open.
#pragma once

#include <string_view>

// An address that starts with "http://" or "https://" (any letter case),
// names something after it, and holds no white space, control character or
// double quote, so that it reaches the browser as one address and never as
// a program, a local or network path, or further arguments.
bool IsWebAddress(std::u16string_view address);
