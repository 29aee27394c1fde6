#include "win32_accessibility.h"

// The GUIDs oleacc.h declares (IID_IAccPropServices, CLSID_AccPropServices,
// PROPID_ACC_NAME) are defined in this file.
#include <initguid.h>

#include <oleacc.h>

namespace forms::win32 {

namespace {

// Made on the first annotation, released before COM ends.
IAccPropServices* g_services = nullptr;
HRESULT g_servicesResult = S_FALSE; // S_FALSE: not asked for yet
bool g_comStarted = false;

IAccPropServices* services() {
    if (g_servicesResult == S_FALSE)
        g_servicesResult =
            CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                             IID_IAccPropServices, reinterpret_cast<void**>(&g_services));
    return g_services;
}

} // namespace

AccessibilityServices::AccessibilityServices() {
    g_comStarted = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
}

AccessibilityServices::~AccessibilityServices() {
    if (g_services)
        g_services->Release();
    g_services = nullptr;
    g_servicesResult = S_FALSE;
    if (g_comStarted)
        CoUninitialize();
}

HRESULT annotateName(HWND hwnd, const std::wstring& name) {
    IAccPropServices* s = services();
    if (!s)
        return g_servicesResult;
    return s->SetHwndPropStr(hwnd, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, PROPID_ACC_NAME,
                             name.c_str());
}

} // namespace forms::win32
