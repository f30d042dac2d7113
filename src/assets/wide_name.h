#pragma once
// Windows only: a UTF-8 name as the wide-character calls take it; empty when it is not
// valid UTF-8 (no file has such a name).
#include <string>

std::wstring wideName(const char* path);
