#pragma once
// forms::String (UTF-8) to and from the UTF-16 text of the Win32 API.

#include "text.h"

#include <string>

namespace forms::win32 {

std::wstring wide(const String& text);
String utf8(const wchar_t* text);

} // namespace forms::win32
