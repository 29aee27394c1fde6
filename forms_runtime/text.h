#pragma once
// Text as the forms layer and its handlers speak it: UTF-8, joined and
// compared as a whole. Each backend converts at its own edge (Qt to QString,
// Win32 to UTF-16), so nothing above the layer sees a platform's string.

#include <string>
#include <string_view>

namespace forms {

class String {
public:
    String() = default;
    // Implicit, so that handlers pass literals as they are: control("Text1").
    String(const char* utf8)
        : m_utf8(utf8 ? utf8 : "") {}
    String(std::string utf8)
        : m_utf8(std::move(utf8)) {}
    String(std::string_view utf8)
        : m_utf8(utf8) {}

    const std::string& utf8() const { return m_utf8; }
    const char* c_str() const { return m_utf8.c_str(); }
    bool empty() const { return m_utf8.empty(); }

    String& operator+=(const String& more) {
        m_utf8 += more.m_utf8;
        return *this;
    }
    friend String operator+(String left, const String& right) { return left += right; }
    friend bool operator==(const String&, const String&) = default;
    friend bool operator==(const String& text, const char* utf8) { return text.m_utf8 == utf8; }

private:
    std::string m_utf8;
};

// A whole number as decimal text.
inline String number(long long value) {
    return String(std::to_string(value));
}

} // namespace forms
