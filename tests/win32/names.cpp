// vistrum_names: the name every control of both windows has for a screen
// reader on Windows, as the system's default accessibility proxy reports
// it, against the name the forms layer gives it (the one Linux shows over
// AT-SPI). Builds the windows in this process with the program's own
// backend and reads each control's accName through oleacc here: across
// processes Wine's oleacc answers E_NOINTERFACE. Where the backend hands the
// system a name of its own (Dynamic Annotation, which Wine does not
// implement), the name handed over is what is compared, with the system's
// answer shown. Prints one line per control; exit status 1 on any mismatch.

#include "application.h"
#include "control.h"
#include "runtime.h"
#include "vistrum_version.h"
#include "vt_about.h"
#include "vt_main.h"
#include "win32_controls.h"
#include "win32_text.h"

#include <oleacc.h>

#include <cstdio>
#include <memory>
#include <string>

namespace {

// The client object's name as the proxy gives it, or the failing HRESULT.
std::wstring proxyName(HWND hwnd, HRESULT& result) {
    IAccessible* object = nullptr;
    result = AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                        reinterpret_cast<void**>(&object));
    if (FAILED(result))
        return {};
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    result = object->get_accName(self, &name);
    std::wstring text = name ? std::wstring(name, SysStringLen(name)) : std::wstring();
    SysFreeString(name);
    object->Release();
    return text;
}

// UTF-8, with line breaks shown as \n so that each control keeps one line.
std::string utf8(std::wstring text) {
    for (std::size_t at = 0; (at = text.find(L'\n', at)) != std::wstring::npos;)
        text.replace(at, 1, L"\\n");
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                        nullptr, nullptr);
    return out;
}

int check(forms::Form& form) {
    int misses = 0;
    for (const auto& control : form.controls()) {
        if (control->kind() == forms::Kind::Shape)
            continue; // draws no text, takes no focus: not in the accessible tree
        const auto& peer = static_cast<forms::win32::Win32Control&>(control->peer());
        const std::wstring wanted = forms::win32::wide(control->accessibleName());
        HRESULT read = S_OK;
        const std::wstring proxy = proxyName(peer.hwnd(), read);
        const forms::String* handed = peer.annotation();
        const std::wstring got = handed ? forms::win32::wide(*handed) : proxy;
        const bool ok = got == wanted;
        misses += ok ? 0 : 1;
        char how[64] = "window text";
        if (handed)
            std::snprintf(how, sizeof how, "annotated, answer 0x%08lx",
                          static_cast<unsigned long>(peer.annotationResult()));
        std::printf("%s | %s | %s | proxy: %s (0x%08lx) | %s\n", ok ? "ok" : "MISS",
                    control->displayName().utf8().c_str(), utf8(got).c_str(), utf8(proxy).c_str(),
                    static_cast<unsigned long>(read), how);
    }
    return misses;
}

} // namespace

int main(int argc, char* argv[]) {
    forms::Application app(argc, argv,
                           {vistrum::version::productName, vistrum::version::full,
                            vistrum::version::appId, "vistrum"});
    int misses = 0;
    forms::Runtime::get().raise([&misses] {
        vistrum::VtMain main;
        vistrum::VtAbout about;
        misses = check(main.form()) + check(about.form());
    });
    std::printf("%d mismatches\n", misses);
    return misses == 0 && !forms::Runtime::get().ended() ? 0 : 1;
}
