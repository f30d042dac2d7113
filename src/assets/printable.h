#pragma once
#include <string>

// text as it may be printed on a terminal: control bytes, DEL, C1 controls and bytes that
// are not UTF-8 become \xNN; valid UTF-8 letters stay as they are. A path holding an
// escape sequence cannot recolour or move the user's terminal this way.
std::string printable(const std::string& text);
