// The colour ribbon, the colour readout and the window's Activate.

#include "vt_main.h"

#include "checked.h"
#include "colors.h"
#include "conversions.h"
#include "vt_main_layout.h"

namespace vistrum {

using namespace forms;

namespace {

const String kMark = "\u00D7"; // ×

String describeColor(OleColor color) {
    return "red " + number(color & 0xFFU) + ", green " + number((color >> 8) & 0xFFU) + ", blue " +
           number((color >> 16) & 0xFFU);
}

} // namespace

// Sets a swatch's mark and tells assistive technology its colour and state.
void VtMain::markSwatch(Integer index, bool marked) {
    Control& swatch = ColorBox(index);
    swatch.setCaption(marked ? kMark : String());
    swatch.setAccessibleName(describeColor(swatch.BackColor()) + (marked ? ", selected" : ""));
}

void VtMain::ColorBox_Click(Integer index) {
    for (Integer k = 0; k <= 23; k = nextCounter(k))
        markSwatch(k, false);
    markSwatch(index, true);
    Shape1.setLeft(ColorBox(index).Left());
    Shape1.setTop(ColorBox(index).Top());
    Shape1.setVisible(true);
    m_form.setBackColor(ColorBox(index).BackColor());
    ShowBackColor();
}

void VtMain::Form_Activate() {
    // "640 X 480", whose Click sets the size, unless the command line asked
    // for another.
    if (!Activated)
        ChooseSize(m_startSize);
    Activated = true;

    // Re-marks the swatch of the window's colour; clears none.
    for (Integer k = 0; k <= 23; k = nextCounter(k)) {
        if (m_form.BackColor() == ColorBox(k).BackColor()) {
            markSwatch(k, true);
            Shape1.setLeft(ColorBox(k).Left());
            Shape1.setTop(ColorBox(k).Top());
            Shape1.setVisible(true);
        }
    }
    ShowBackColor();
}

// The readout shows the colour value as stored, blue byte first, always in
// eight digits; a system colour reads 800000nn.
void VtMain::ShowBackColor() {
    const Long color = static_cast<Long>(m_form.BackColor());
    const String digits = Right("00000000" + Hex(color), 8);
    CurBackColor.setCaption("Color = " + digits + " Hex");
}

} // namespace vistrum
