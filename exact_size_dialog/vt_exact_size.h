#pragma once
// VtExactSize, the modal Exact Size dialog: the window's outer width and
// height in whole pixels, OK (Enter) and Cancel (Escape). OK takes a size
// only when both values are whole numbers within the limits (typed_size.h);
// otherwise a message in the dialog says what is wrong, and the dialog stays.
// It sizes nothing itself: the main window reads the size chosen once the
// dialog has closed. One instance for the whole run, made on first use.

#include "form.h"

#include <optional>

namespace vistrum {

struct ExactSize {
    int width;
    int height;
};

class VtExactSize {
public:
    VtExactSize();
    VtExactSize(const VtExactSize&) = delete;
    VtExactSize& operator=(const VtExactSize&) = delete;

    forms::Form& form() { return m_form; }

    // Fills the dialog in for its next showing: the size given, no message,
    // the width selected to be typed over.
    void Prepare(int width, int height);
    // The size chosen with OK at the last showing; nothing when the dialog
    // was cancelled or closed.
    std::optional<ExactSize> chosen() const { return m_chosen; }

private:
    void OkCmd_Click();
    void CancelCmd_Click();
    bool Read(forms::Control& box, const char* what, int& pixels);

    forms::Form m_form;
    forms::Control& WidthTxt;
    forms::Control& HeightTxt;
    forms::Control& MessageLbl;
    std::optional<ExactSize> m_chosen;
};

} // namespace vistrum
