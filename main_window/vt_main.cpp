#include "vt_main.h"

#include "checked.h"
#include "runtime.h"
#include "screen.h"
#include "vt_about.h"
#include "vt_exact_size.h"
#include "vt_main_layout.h"

namespace vistrum {

using namespace forms;

VtMain::VtMain()
    : m_form(kVtMainLayout)
    , Text1(m_form.control("Text1"))
    , Text2(m_form.control("Text2"))
    , Frame1(m_form.control("Frame1"))
    , CustomOpt(m_form.control("CustomOpt"))
    , Shape1(m_form.control("Shape1"))
    , CurBackColor(m_form.control("CurBackColor"))
    , CurScrSize(m_form.control("CurScrSize"))
    , Start(m_form.control("Start"))
    , W95StartBar(m_form.control("W95StartBar")) {
    m_form.setEndsProgramOnClose(true);
    wireHandlers();
    for (Integer k = 0; k < static_cast<Integer>(kSwatches.size()); ++k)
        markSwatch(k, false);
}

VtMain::~VtMain() = default;

void VtMain::wireHandlers() {
    m_form.Load = [this] { Form_Load(); };
    m_form.Resize = [this] { Form_Resize(); };
    m_form.FrameChange = [this] { Form_FrameChange(); };
    m_form.Activate = [this] { Form_Activate(); };
    m_form.Click = [this] { Form_Click(); };
    m_form.KeyDown = [this](int keyCode, int shift) { Form_KeyDown(keyCode, shift); };
    for (Control* option : m_form.array("ScrSizeOpt"))
        option->Click = [this, i = option->Index()] { ScrSizeOpt_Click(i); };
    for (Control* swatch : m_form.array("ColorBox"))
        swatch->Click = [this, i = swatch->Index()] { ColorBox_Click(i); };
    Text1.Click = [this] { Text1_Click(); };
    Text2.Click = [this] { Text2_Click(); };
    m_form.menu("Help").Click = [this] { Help_Click(); };
    m_form.menu("ShareWare").Click = [this] { ShareWare_Click(); };
    m_form.menu("About").Click = [this] { About_Click(); };
    m_form.menu("Exit").Click = [this] { Exit_Click(); };
    m_form.menu("Exact").Click = [this] { Exact_Click(); };
    for (Integer i = 0; i < static_cast<Integer>(kMenuSizes.size()); ++i)
        m_form.menu(kMenuSizes[static_cast<size_t>(i)].entry).Click = [this, i] {
            SizeMenu_Click(i);
        };
}

void VtMain::Show() {
    m_form.Show();
}

Control& VtMain::ScrSizeOpt(Integer index) const {
    return m_form.control("ScrSizeOpt", index);
}

Control& VtMain::ColorBox(Integer index) const {
    return m_form.control("ColorBox", index);
}

void VtMain::Form_Load() {
    Activated = false;
}

void VtMain::Exit_Click() {
    Runtime::get().End(0);
}

VtAbout& VtMain::about() {
    if (!m_about)
        m_about = std::make_unique<VtAbout>();
    return *m_about;
}

VtExactSize& VtMain::exactSize() {
    if (!m_exactSize)
        m_exactSize = std::make_unique<VtExactSize>();
    return *m_exactSize;
}

// The dialog's outer rectangle is centred on the main window's, wherever
// that stands; nothing keeps it on the screen.
void VtMain::CentreDialog(Form& dialog) {
    const Single mainWidth = m_form.Width();
    const Single dialogWidth = dialog.Width();
    const Single mainLeft = m_form.Left();
    dialog.setLeft(checked(mainWidth / 2 + mainLeft - dialogWidth / 2));

    const Single mainHeight = m_form.Height();
    const Single dialogHeight = dialog.Height();
    const Single mainTop = m_form.Top();
    dialog.setTop(checked(mainHeight / 2 + mainTop - dialogHeight / 2));
}

void VtMain::About_Click() {
    CentreDialog(about().form());
    about().form().ShowModal();
}

// Filled in with the size the window has; the size chosen with OK is taken
// as a menu size is, once the dialog has closed.
void VtMain::Exact_Click() {
    exactSize().Prepare(pixelsX(m_form.Width()), pixelsY(m_form.Height()));
    CentreDialog(exactSize().form());
    exactSize().form().ShowModal();
    if (const std::optional<ExactSize> size = exactSize().chosen())
        ChooseSize({static_cast<Integer>(size->width), static_cast<Integer>(size->height)});
}

} // namespace vistrum
