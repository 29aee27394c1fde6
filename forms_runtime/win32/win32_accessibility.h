#pragma once
// Names for assistive technology where the system's accessibility proxy
// would read another. The proxy names a button or a label by its window
// text and a text box by the label before it; a control whose name is not
// what it shows (a swatch named by its colour, a pane by its text) is given
// its name through Dynamic Annotation (oleacc's IAccPropServices), which
// the proxy reports instead.

#include "win32_api.h"

#include <string>

namespace forms::win32 {

// Starts COM on the program's thread; the annotations need it. Made first in
// the program, ended last.
class AccessibilityServices {
public:
    AccessibilityServices();
    ~AccessibilityServices();
    AccessibilityServices(const AccessibilityServices&) = delete;
    AccessibilityServices& operator=(const AccessibilityServices&) = delete;
};

// Gives hwnd the accessible name `name` (PROPID_ACC_NAME of its client
// object); returns the system's answer. A system without the service (as
// Wine, which answers E_NOTIMPL) leaves the proxy's own name in place.
HRESULT annotateName(HWND hwnd, const std::wstring& name);

} // namespace forms::win32
