#include "vt_main.h"

#include "checked.h"
#include "runtime.h"
#include "vt_about.h"
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

// The dialog's outer rectangle is centred on the main window's, wherever
// that stands; nothing keeps it on the screen.
void VtMain::About_Click() {
    const Single mainWidth = m_form.Width();
    const Single aboutWidth = about().form().Width();
    const Single mainLeft = m_form.Left();
    about().form().setLeft(checked(mainWidth / 2 + mainLeft - aboutWidth / 2));

    const Single mainHeight = m_form.Height();
    const Single aboutHeight = about().form().Height();
    const Single mainTop = m_form.Top();
    about().form().setTop(checked(mainHeight / 2 + mainTop - aboutHeight / 2));

    about().form().ShowModal();
}

} // namespace vistrum
