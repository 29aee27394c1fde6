// The help and notice panes: opened from the Help menu centred on the size
// frame, closed by almost anything else.

#include "vt_main.h"

#include "checked.h"

namespace vistrum {

using namespace forms;

// Centres the pane on Frame1 (which Resize keeps centred in the client area)
// and closes the other pane.
void VtMain::openPane(Control& pane, Control& other) {
    pane.setLeft(checked(Frame1.Width() / 2 + Frame1.Left() - pane.Width() / 2));
    pane.setTop(checked(Frame1.Height() / 2 + Frame1.Top() - pane.Height() / 2));
    pane.setVisible(true);
    other.setVisible(false);
}

void VtMain::Help_Click() {
    openPane(Text2, Text1);
}

void VtMain::ShareWare_Click() {
    openPane(Text1, Text2);
}

void VtMain::Form_Click() {
    Text1.setVisible(false);
    Text2.setVisible(false);
}

void VtMain::Form_KeyDown(int, int) {
    Text1.setVisible(false);
    Text2.setVisible(false);
}

void VtMain::Text1_Click() {
    Text1.setVisible(false);
}

void VtMain::Text2_Click() {
    Text2.setVisible(false);
}

} // namespace vistrum
