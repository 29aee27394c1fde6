#pragma once
// VtAbout, the modal About box: the product name, a version line, an
// authors' line and OK. One instance for the whole run, made on first use
// and afterwards only hidden and shown again.

#include "form.h"

namespace vistrum {

extern const forms::WindowSpec kVtAboutLayout;

class VtAbout {
public:
    VtAbout();
    VtAbout(const VtAbout&) = delete;
    VtAbout& operator=(const VtAbout&) = delete;

    forms::Form& form() { return m_form; }

private:
    void Command1_Click();

    forms::Form m_form;
};

} // namespace vistrum
