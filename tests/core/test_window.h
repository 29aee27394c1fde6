#pragma once
// A window of a small layout of its own, for the tests of the forms layer on
// any platform: every kind of control, a control array listed out of index
// order, tab indices that differ from the listing order, overlapping
// controls, menus with shortcuts and a separator.

#include "colors.h"
#include "fonts.h"
#include "layout.h"

namespace test_window {

using namespace forms;

constexpr FontSpec kSmall{"MS Sans Serif", 8.25F, false};
constexpr FontSpec kMedium{"Arial", 9.75F, false};
constexpr FontSpec kLarge{"Arial", 12.0F, true};
constexpr OleColor kDef = kDefaultColor;
constexpr OleColor kRed = rgb(255, 0, 0);
constexpr OleColor kGreen = rgb(0, 255, 0);
constexpr OleColor kBlue = rgb(0, 0, 255);
constexpr OleColor kWhite = rgb(255, 255, 255);
constexpr OleColor kGrey = rgb(192, 192, 192);

// At 15 twips per pixel the client area is 360 x 240 pixels. The "opt"
// array is listed out of index order, and tab indices differ from the
// listing order, so that neither can stand in for the other. lblA overlaps
// lblB at (240..300, 28..48); shpA overlaps shpB at (240..300, 100..140).
// clang-format off
constexpr ControlSpec kControls[] = {
    {"fra", Kind::Frame, nullptr, -1, 120, 120, 2400, 1800, "&Colour", kSmall, kDef, kDef, 0, 0, 0},
    {"opt", Kind::OptionButton, "fra", 2, 120, 1200, 2100, 300, "&Blue", kSmall, kDef, kDef, 0, 5, 0},
    {"opt", Kind::OptionButton, "fra", 0, 120, 240, 2100, 300, "&Red", kSmall, kDef, kDef, 0, 3, 0},
    {"opt", Kind::OptionButton, "fra", 1, 120, 720, 2100, 300, "&Green", kSmall, kDef, kDef, 0, 4, 0},
    {"optX", Kind::OptionButton, nullptr, -1, 120, 2040, 2400, 300, "&Other", kSmall, kDef, kDef, 0, 6, 0},
    {"lblA", Kind::Label, nullptr, -1, 3000, 120, 1500, 600, "Top", kLarge, kRed, kDef, Centred, 7, 0},
    {"lblB", Kind::Label, nullptr, -1, 3600, 420, 1500, 600, "Under", kMedium, kBlue, kWhite, Bordered, 8, 0},
    {"shpA", Kind::Shape, nullptr, -1, 3000, 1200, 1500, 900, nullptr, {}, kGreen, 0, Filled, -1, 1},
    {"shpB", Kind::Shape, nullptr, -1, 3600, 1500, 1500, 900, nullptr, {}, kBlue, 0, Filled | NoBorderLine, -1, 0},
    {"txt", Kind::TextBox, nullptr, -1, 120, 2460, 2400, 600, "first line\r\nsecond line", kSmall, kDef, kDef, 0, 2, 0},
    {"cmd", Kind::CommandButton, nullptr, -1, 3000, 2700, 1200, 420, "&Go", kSmall, kDef, kDef, 0, 1, 0},
    {"lblHidden", Kind::Label, nullptr, -1, 3000, 3195, 1500, 300, "Hidden", kSmall, kDef, kDef, Hidden, 9, 0},
};
constexpr MenuSpec kMenus[] = {
    {"mnuFile", nullptr, "&File", nullptr},
    {"mnuOpen", "mnuFile", "&Open...", "Ctrl+O"},
    {"mnuSep", "mnuFile", "-", nullptr},
    {"mnuExit", "mnuFile", "E&xit", "Ctrl+Q"},
    {"mnuHelp", nullptr, "&Help", nullptr},
    {"mnuContents", "mnuHelp", "&Contents", "F1"},
};
constexpr WindowSpec kWindow{"frmTest", "Test window", 5400, 3600, kGrey, BorderStyle::Sizable, true, true, kControls, kMenus};
// A dialog: two lines to type into, a default button and a cancel button.
constexpr ControlSpec kDialogControls[] = {
    {"txtWidth", Kind::TextBox, nullptr, -1, 120, 120, 1500, 345, "640", kSmall, kDef, kDef, Editable, 0, 0},
    {"txtHeight", Kind::TextBox, nullptr, -1, 120, 600, 1500, 345, "480", kSmall, kDef, kDef, Editable, 1, 0},
    {"cmdOk", Kind::CommandButton, nullptr, -1, 1800, 120, 1200, 375, "OK", kSmall, kDef, kDef, DefaultButton, 2, 0},
    {"cmdCancel", Kind::CommandButton, nullptr, -1, 1800, 600, 1200, 375, "Cancel", kSmall, kDef, kDef, CancelButton, 3, 0},
};
constexpr WindowSpec kDialog{"frmDialog", "Dialog", 3240, 1200, kDef, BorderStyle::FixedDialog, false, false, kDialogControls, {}};
constexpr ControlSpec kOrphan[] = {
    {"orphan", Kind::Label, "nowhere", -1, 0, 0, 600, 300, "", kSmall, kDef, kDef, 0, -1, 0},
};
constexpr WindowSpec kBroken{"frmBroken", "", 3000, 2000, kDef, BorderStyle::Sizable, false, true, kOrphan, {}};
// clang-format on

} // namespace test_window
