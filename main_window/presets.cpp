// The screen-size presets, the Resize handler, and the other ways a size is
// chosen: the Sizes menu, the exact size typed in and the command line.

#include "vt_main.h"

#include "checked.h"
#include "conversions.h"
#include "runtime_error.h"
#include "screen.h"

#include <algorithm>

namespace vistrum {

using namespace forms;

void VtMain::ScrSizeOpt_Click(Integer index) {
    CustomOpt.setEnabled(false);
    if (index < 0 || index >= static_cast<Integer>(kPresetSizes.size()))
        raiseError(ErrorCode::InvalidCall, "preset " + number(index));
    SizeWindow(kPresetSizes[static_cast<size_t>(index)]);
}

void VtMain::SizeMenu_Click(Integer index) {
    if (index < 0 || index >= static_cast<Integer>(kMenuSizes.size()))
        raiseError(ErrorCode::InvalidCall, "menu size " + number(index));
    ChooseSize(kMenuSizes[static_cast<size_t>(index)].size);
}

// A size chosen other than by a preset button acts as a preset does. Where
// it is one of the twelve, that button is selected and its Click sizes the
// window; otherwise Custom Size is selected, and available, before the
// window takes the size.
void VtMain::ChooseSize(OuterSize size) {
    const auto preset = std::find(kPresetSizes.begin(), kPresetSizes.end(), size);
    if (preset != kPresetSizes.end()) {
        ScrSizeOpt(static_cast<Integer>(preset - kPresetSizes.begin())).setValue(true);
        return;
    }
    CustomOpt.setEnabled(true);
    CustomOpt.setValue(true);
    SizeWindow(size);
}

// Each assignment that changes the size runs Resize inside it; the flag tells
// that Resize to move the window instead of choosing Custom Size.
void VtMain::SizeWindow(OuterSize size) {
    PresetSizing = true;
    m_form.setWidth(checked(static_cast<Single>(size.width) * Screen().TwipsPerPixelX()));
    PresetSizing = true;
    m_form.setHeight(checked(static_cast<Single>(size.height) * Screen().TwipsPerPixelY()));

    // An assignment that changed nothing ran no Resize to clear the flag; left
    // set, it would make the next border drag jump to the quarter position.
    PresetSizing = false;
}

void VtMain::Form_Resize() {
    Text1.setVisible(false);
    Text2.setVisible(false);

    const Single width = checked(m_form.Width() / Screen().TwipsPerPixelX());
    const Single height = checked(m_form.Height() / Screen().TwipsPerPixelY());
    CurScrSize.setCaption("Current screen size = " + Str(width) + " X " + Str(height));

    CentreFrame();

    if (PresetSizing) {
        // The quarter position leaves three quarters of the free space below
        // and to the right; a window larger than the screen moves off it by a
        // quarter of the excess. The screen is the monitor the window is on.
        m_form.setLeft(checked(Screen().Left() + Screen().Width() / 4 - m_form.Width() / 4));
        m_form.setTop(checked(Screen().Top() + Screen().Height() / 4 - m_form.Height() / 4));
    } else {
        CustomOpt.setEnabled(true);
        CustomOpt.setValue(true);
    }
    PresetSizing = false;

    LayOutTaskBar();
}

// The window kept its outer size but got another frame (a monitor of
// another scale): the size, the readout and the chosen size stand, and what
// hangs on the client area is laid out again for the one it has now.
void VtMain::Form_FrameChange() {
    Text1.setVisible(false);
    Text2.setVisible(false);
    CentreFrame();
    LayOutTaskBar();
}

void VtMain::CentreFrame() {
    Frame1.setLeft(checked(m_form.ScaleWidth() / 2 - Frame1.Width() / 2));
    Frame1.setTop(checked(m_form.ScaleHeight() / 2 - Frame1.Height() / 2));
}

// The task bar is 24 pixels high along the bottom of the client area, with
// the Start label at its left end.
void VtMain::LayOutTaskBar() {
    W95StartBar.setHeight(checked(Screen().TwipsPerPixelY() * 24));
    W95StartBar.setTop(checked(m_form.ScaleHeight() - W95StartBar.Height()));
    W95StartBar.setLeft(0);
    W95StartBar.setWidth(m_form.Width()); // the outer width; the overhang is clipped

    Start.setHeight(W95StartBar.Height());
    Start.setTop(W95StartBar.Top());
    Start.setLeft(0);
}

} // namespace vistrum
