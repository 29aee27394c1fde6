#include "vt_main_layout.h"

#include "colors.h"

namespace vistrum {

using namespace forms;

constexpr std::array<Swatch, 24> kSwatches{{
    // Row 1: pale tints.
    {0x00FFFFFF, 0x00000000},
    {0x00E0E0E0, 0x00000000},
    {0x00C0C0FF, 0x00000000},
    {0x00C0E0FF, 0x00000000},
    {0x00C0FFFF, 0x00000000},
    {0x00C0FFC0, 0x00000000},
    {0x00FFFFC0, 0x00000000},
    {0x00FFC0C0, 0x00000000},
    // Row 2: medium tints.
    {0x00C0C0C0, 0x00000000},
    {0x00404040, 0x00E0E0E0},
    {0x008080FF, 0x00000000},
    {0x0080C0FF, 0x00000000},
    {0x0080FFFF, 0x00000000},
    {0x0080FF80, 0x00000000},
    {0x00FFFF80, 0x00000000},
    {0x00FF8080, 0x00000000},
    // Row 3: full colours.
    {0x00808080, 0x00000000},
    {0x00000000, 0x00E0E0E0},
    {0x000000FF, 0x00000000},
    {0x000080FF, 0x00000000},
    {0x0000FFFF, 0x00000000},
    {0x0000FF00, 0x00000000},
    {0x00FFFF00, 0x00000000},
    {0x00FF0000, 0x00000000},
}};

constexpr std::array<const char*, 12> kPresetCaptions{
    "640 X 480",  "800 X 600",  "1024 X 768", "1152 X 870", "1280 X 1024", "1600 X 1200",
    "1280 X 480", "1600 X 600", "2048 X 768", "2304 X 870", "2560 X 1024", "3200 X 1200",
};

constexpr char kHelpText[] =
    "Select an option button to instantly set \"Vistrum\" to the screen size shown.\r\n"
    "\r\n"
    "Or use the mouse to resize \"Vistrum\" to a custom size by dragging any border.\r\n"
    "\r\n"
    "Change the background color by clicking a color you like in the color selection "
    "ribbon.\r\n";

constexpr char kNoticeText[] =
    "Vistrum is shareware.\r\n"
    "\r\n"
    "You may try it free of charge for 30 days. If you keep using it after that, please "
    "register your copy: send the registration fee of 15 dollars together with this "
    "notice, filled in below.\r\n"
    "\r\n"
    "Registered users are told of every new version.\r\n"
    "\r\n"
    "You may copy and pass on this program freely, provided it is unchanged and no fee is "
    "asked for it.\r\n"
    "\r\n"
    "Name:   ________________________\r\n"
    "Street: ________________________\r\n"
    "Town:   ________________________";

namespace {

constexpr OleColor kNavy = 0x00800000U;
constexpr OleColor kLightGrey = 0x00C0C0C0U;
constexpr OleColor kWhite = 0x00FFFFFFU;

constexpr FontSpec kSansBold825{"MS Sans Serif", 8.25F, true};
constexpr FontSpec kSans975{"MS Sans Serif", 9.75F, false};
constexpr FontSpec kSansBold975{"MS Sans Serif", 9.75F, true};
constexpr FontSpec kSansBold135{"MS Sans Serif", 13.5F, true};
constexpr FontSpec kArial825{"Arial", 8.25F, false};
constexpr FontSpec kNoFont{};

// Two columns of six, 360 twips apart vertically; the right column holds the
// same heights at double width.
constexpr Single presetLeft(int i) {
    return i < 6 ? 360 : 1800;
}
constexpr Single presetTop(int i) {
    return static_cast<Single>(360 + 360 * (i % 6));
}

// Three rows of eight at a pitch of 240 twips: neighbouring 255-twip swatches
// overlap by one pixel, so their borders coincide.
constexpr Single swatchLeft(int i) {
    return static_cast<Single>(600 + 240 * (i % 8));
}
constexpr Single swatchTop(int i) {
    return static_cast<Single>(3240 + 240 * (i / 8));
}

constexpr int kControlCount = 45;

// Evaluated at compile time: listing more controls than kControlCount
// writes past the array, and listing fewer leaves an empty entry; either
// stops the build.
constexpr std::array<ControlSpec, kControlCount> makeControls() {
    std::array<ControlSpec, kControlCount> c{};
    std::size_t n = 0;
    // name, kind, container, index, left, top, width, height, caption, font,
    // back colour, fore colour, flags, tab index, border width
    c[n++] = {"Text2",   Kind::TextBox, nullptr,    -1,    4800,   120, 3975, 4695,
              kHelpText, kSansBold135,  kLightGrey, kNavy, Hidden, 41,  0};
    c[n++] = {"Text1",     Kind::TextBox, nullptr,    -1,    3720,   120, 4095, 4575,
              kNoticeText, kSans975,      kLightGrey, kNavy, Hidden, 40,  0};
    c[n++] = {"Frame1",      Kind::Frame,  nullptr,       -1,    120, 120, 3375, 4455,
              "Screen Size", kSansBold825, kDefaultColor, kNavy, 0,   0,   0};
    c[n++] = {
        "CustomOpt", Kind::OptionButton, "Frame1",      -1, 1080, 2520, 1215, 210, "Custom Size",
        kArial825,   kDefaultColor,      kDefaultColor, 0,  13,   0};
    for (int i = 11; i >= 0; --i)
        c[n++] = {"ScrSizeOpt",
                  Kind::OptionButton,
                  "Frame1",
                  static_cast<Integer>(i),
                  presetLeft(i),
                  presetTop(i),
                  1215,
                  255,
                  kPresetCaptions[i],
                  kArial825,
                  kDefaultColor,
                  kDefaultColor,
                  0,
                  static_cast<Integer>(1 + i),
                  0};
    c[n++] = {"Shape1", Kind::Shape, "Frame1",      -1,     600,    2880, 255, 255,
              nullptr,  kNoFont,     kDefaultColor, kWhite, Hidden, -1,   2};
    c[n++] = {"CurBackColor", Kind::Label,  "Frame1",      -1,    120,     4080, 3015, 255,
              "CurBackColor", kSansBold825, kDefaultColor, kNavy, Centred, 39,   0};
    for (int i = 23; i >= 0; --i)
        c[n++] = {"ColorBox",
                  Kind::Label,
                  "Frame1",
                  static_cast<Integer>(i),
                  swatchLeft(i),
                  swatchTop(i),
                  255,
                  255,
                  "",
                  kSansBold825,
                  kSwatches[i].back,
                  kSwatches[i].mark,
                  Centred | Bordered | ColorSample,
                  static_cast<Integer>(15 + i),
                  0};
    c[n++] = {"CurScrSize", Kind::Label,  "Frame1",      -1,    120,     2880, 3015, 255,
              "CurScrSize", kSansBold825, kDefaultColor, kNavy, Centred, 14,   0};
    c[n++] = {"Start",      Kind::Label,        nullptr, -1,      240, 4680, 735, 255, "Start",
              kSansBold975, rgb(112, 112, 128), kWhite,  Centred, 42,  0};
    c[n++] = {"W95StartBar", Kind::Shape, nullptr,     -1,          0,      4680, 4575, 255,
              nullptr,       kNoFont,     0x00808080U, kWindowText, Filled, -1,   1};
    if (n != c.size())
        throw "the layout lists fewer controls than kControlCount";
    return c;
}

constexpr std::array<ControlSpec, kControlCount> kControls = makeControls();

// The Sizes menu holds the entries of kMenuSizes (vt_main.h) under the same
// names, in three groups: the sizes below 1920 wide, 1920 wide, and wider.
constexpr std::array<MenuSpec, 25> kMenus{{
    {"File", nullptr, "&File", nullptr},
    {"Exit", "File", "E&xit", "Ctrl+Q"},
    {"Sizes", nullptr, "&Sizes", nullptr},
    {"Size1280x720", "Sizes", "1280 X 720", nullptr},
    {"Size1280x800", "Sizes", "1280 X 800", nullptr},
    {"Size1366x768", "Sizes", "1366 X 768", nullptr},
    {"Size1440x900", "Sizes", "1440 X 900", nullptr},
    {"Size1536x864", "Sizes", "1536 X 864", nullptr},
    {"Size1600x900", "Sizes", "1600 X 900", nullptr},
    {"Size1680x1050", "Sizes", "1680 X 1050", nullptr},
    {"SizesBar1", "Sizes", "-", nullptr},
    {"Size1920x1080", "Sizes", "1920 X 1080", nullptr},
    {"Size1920x1200", "Sizes", "1920 X 1200", nullptr},
    {"SizesBar2", "Sizes", "-", nullptr},
    {"Size2560x1080", "Sizes", "2560 X 1080", nullptr},
    {"Size2560x1440", "Sizes", "2560 X 1440", nullptr},
    {"Size3440x1440", "Sizes", "3440 X 1440", nullptr},
    {"Size3840x2160", "Sizes", "3840 X 2160", nullptr},
    {"SizesBar3", "Sizes", "-", nullptr},
    {"Exact", "Sizes", "&Exact Size...", "Ctrl+E"},
    {"Hel", nullptr, "&Help", nullptr},
    {"Help", "Hel", "Vistrum &Help", "F1"},
    {"ShareWare", "Hel", "&ShareWare", nullptr},
    {"Bar", "Hel", "-", nullptr},
    {"About", "Hel", "&About Vistrum", nullptr},
}};

} // namespace

constexpr WindowSpec kVtMainLayout{
    "VtMain", "Vistrum V2.1", 9270,      4965,   kButtonFace, BorderStyle::Sizable,
    true,     true,           kControls, kMenus,
};

} // namespace vistrum
