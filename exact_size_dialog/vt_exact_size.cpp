#include "vt_exact_size.h"

#include "colors.h"
#include "typed_size.h"

#include <array>

namespace vistrum {

using namespace forms;

namespace {

constexpr FontSpec kSans825{"MS Sans Serif", 8.25F, false};
constexpr OleColor kDef = kDefaultColor;

// Two rows of a label and a box to type in, a message across the dialog
// (two lines), and OK and Cancel at the bottom right; in tab order. Listed
// from the top of the z-order down: nothing overlaps.
// clang-format off
constexpr std::array<ControlSpec, 7> kControls{{
    {"Label1", Kind::Label, nullptr, -1, 240, 300, 1815, 255, "Width in pixels:", kSans825, kDef, kDef, 0, 0, 0},
    {"WidthTxt", Kind::TextBox, nullptr, -1, 2160, 240, 1200, 345, "", kSans825, kDef, kDef, Editable, 1, 0},
    {"Label2", Kind::Label, nullptr, -1, 240, 780, 1815, 255, "Height in pixels:", kSans825, kDef, kDef, 0, 2, 0},
    {"HeightTxt", Kind::TextBox, nullptr, -1, 2160, 720, 1200, 345, "", kSans825, kDef, kDef, Editable, 3, 0},
    {"MessageLbl", Kind::Label, nullptr, -1, 240, 1200, 3120, 480, "", kSans825, kDef, kDef, 0, 4, 0},
    {"OkCmd", Kind::CommandButton, nullptr, -1, 1200, 1800, 975, 375, "OK", kSans825, kDef, kDef, DefaultButton, 5, 0},
    {"CancelCmd", Kind::CommandButton, nullptr, -1, 2385, 1800, 975, 375, "Cancel", kSans825, kDef, kDef, CancelButton, 6, 0},
}};
// clang-format on

constexpr WindowSpec kLayout{
    "VtExactSize", "Exact Size", 3600,      2295, kButtonFace, BorderStyle::FixedDialog,
    false,         false,        kControls, {},
};

} // namespace

VtExactSize::VtExactSize()
    : m_form(kLayout)
    , WidthTxt(m_form.control("WidthTxt"))
    , HeightTxt(m_form.control("HeightTxt"))
    , MessageLbl(m_form.control("MessageLbl")) {
    // A box to type in is named by its label, not by the number in it.
    WidthTxt.setAccessibleName("Width in pixels");
    HeightTxt.setAccessibleName("Height in pixels");
    m_form.control("OkCmd").Click = [this] { OkCmd_Click(); };
    m_form.control("CancelCmd").Click = [this] { CancelCmd_Click(); };
}

void VtExactSize::Prepare(int width, int height) {
    m_chosen.reset();
    WidthTxt.setText(number(width));
    HeightTxt.setText(number(height));
    MessageLbl.setCaption("");
    WidthTxt.SetFocus();
}

void VtExactSize::OkCmd_Click() {
    int width = 0;
    int height = 0;
    if (!Read(WidthTxt, "width", width) || !Read(HeightTxt, "height", height))
        return;
    m_chosen = ExactSize{width, height};
    m_form.Hide();
}

void VtExactSize::CancelCmd_Click() {
    m_form.Hide();
}

// A value that cannot be taken is named in the message and selected, so
// that the user types it anew.
bool VtExactSize::Read(Control& box, const char* what, int& pixels) {
    const TypedPixels typed = readPixels(box.Text().utf8());
    if (typed.problem == TypedPixels::None) {
        pixels = typed.pixels;
        return true;
    }
    if (typed.problem == TypedPixels::NotWhole)
        MessageLbl.setCaption(String("The ") + what + " must be a whole number of pixels.");
    else
        MessageLbl.setCaption(String("The ") + what + " must be from " + kPixelsRange + " pixels.");
    box.SetFocus();
    return false;
}

} // namespace vistrum
