#include "win32_text.h"

#include "win32_api.h"

namespace forms::win32 {

// Invalid UTF-8 turns into U+FFFD rather than failing: the texts come from
// the program's own layouts and handlers.
std::wstring wide(const String& text) {
    const std::string& in = text.utf8();
    if (in.empty())
        return {};
    const int size = static_cast<int>(in.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, in.data(), size, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, in.data(), size, out.data(), length);
    return out;
}

String utf8(const wchar_t* text) {
    if (!text || !*text)
        return {};
    const int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), length, nullptr, nullptr);
    out.pop_back(); // the terminating NUL
    return String(std::move(out));
}

} // namespace forms::win32
