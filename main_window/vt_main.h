#pragma once
// VtMain, the sizing window: built from its layout (vt_main_layout.cpp), with
// its handlers split by what they do:
//   vt_main.cpp        start-up, shutdown, the About and Exact Size entries
//   presets.cpp        the screen-size presets, Resize and FrameChange, and
//                      the sizes of the Sizes menu and the command line
//   color_ribbon.cpp   the colour ribbon, the readout and Activate
//   panes.cpp          the help and notice panes
// The handlers are written against the forms layer, so each reads like the
// algorithm it implements. State lives in the controls' properties and in
// the two form-level Booleans below.

#include "form.h"

#include <array>
#include <memory>

namespace vistrum {

class VtAbout;
class VtExactSize;

// An outer window size in pixels: a preset's, a menu entry's, or one typed in.
struct OuterSize {
    forms::Integer width;
    forms::Integer height;
    friend bool operator==(const OuterSize&, const OuterSize&) = default;
};
// Index by index these agree with the preset buttons' captions; indices 6 to
// 11 are 0 to 5 at double width (two screens side by side).
inline constexpr std::array<OuterSize, 12> kPresetSizes{{
    {640, 480},
    {800, 600},
    {1024, 768},
    {1152, 870},
    {1280, 1024},
    {1600, 1200},
    {1280, 480},
    {1600, 600},
    {2048, 768},
    {2304, 870},
    {2560, 1024},
    {3200, 1200},
}};

// The entries of the Sizes menu, by name, in menu order: today's common
// desktop sizes, none of them a preset.
struct MenuSize {
    const char* entry;
    OuterSize size;
};
inline constexpr std::array<MenuSize, 13> kMenuSizes{{
    {"Size1280x720", {1280, 720}},
    {"Size1280x800", {1280, 800}},
    {"Size1366x768", {1366, 768}},
    {"Size1440x900", {1440, 900}},
    {"Size1536x864", {1536, 864}},
    {"Size1600x900", {1600, 900}},
    {"Size1680x1050", {1680, 1050}},
    {"Size1920x1080", {1920, 1080}},
    {"Size1920x1200", {1920, 1200}},
    {"Size2560x1080", {2560, 1080}},
    {"Size2560x1440", {2560, 1440}},
    {"Size3440x1440", {3440, 1440}},
    {"Size3840x2160", {3840, 2160}},
}};

class VtMain {
public:
    VtMain();
    ~VtMain();
    VtMain(const VtMain&) = delete;
    VtMain& operator=(const VtMain&) = delete;

    // Shows the window: Load, the first Resize and the first Activate.
    void Show();
    // The size the first Activate gives the window instead of "640 X 480"
    // (from the command line); call before Show.
    void setStartSize(OuterSize size) { m_startSize = size; }

    forms::Form& form() { return m_form; }
    VtAbout* aboutIfCreated() const { return m_about.get(); }
    VtExactSize* exactSizeIfCreated() const { return m_exactSize.get(); }

    // Form-level variables, in this order.
    bool PresetSizing = false; // the next change of size comes from a preset
    bool Activated = false;    // the first activation has happened

private:
    void wireHandlers();

    void Form_Load();
    void Form_Resize();
    void Form_FrameChange();
    void Form_Activate();
    void Form_Click();
    void Form_KeyDown(int keyCode, int shift);
    void ScrSizeOpt_Click(forms::Integer index);
    void SizeMenu_Click(forms::Integer index);
    void ColorBox_Click(forms::Integer index);
    void Text1_Click();
    void Text2_Click();
    void Help_Click();
    void ShareWare_Click();
    void About_Click();
    void Exact_Click();
    void Exit_Click();

    void ShowBackColor();
    void CentreFrame();
    void LayOutTaskBar();
    void CentreDialog(forms::Form& dialog);
    void ChooseSize(OuterSize size);
    void SizeWindow(OuterSize size);
    void openPane(forms::Control& pane, forms::Control& other);
    void markSwatch(forms::Integer index, bool marked);

    forms::Control& ScrSizeOpt(forms::Integer index) const;
    forms::Control& ColorBox(forms::Integer index) const;
    VtAbout& about();
    VtExactSize& exactSize();

    forms::Form m_form;
    forms::Control& Text1;
    forms::Control& Text2;
    forms::Control& Frame1;
    forms::Control& CustomOpt;
    forms::Control& Shape1;
    forms::Control& CurBackColor;
    forms::Control& CurScrSize;
    forms::Control& Start;
    forms::Control& W95StartBar;
    std::unique_ptr<VtAbout> m_about;         // made on first use, then only hidden
    std::unique_ptr<VtExactSize> m_exactSize; // likewise
    OuterSize m_startSize = kPresetSizes[0];
};

} // namespace vistrum
