#include "vt_about.h"

#include "colors.h"
#include "vistrum_version.h"

#include <array>

namespace vistrum {

using namespace forms;

namespace {

constexpr OleColor kNavy = 0x00800000U;
constexpr OleColor kLightGrey = 0x00C0C0C0U;
constexpr FontSpec kDialogFont{"MS Sans Serif", 8.25F, true};
constexpr FontSpec kArial825{"Arial", 8.25F, false};
constexpr FontSpec kArialBold24{"Arial", 24.0F, true};

// Joins two texts at compile time, so that the layout stays a constant table.
template<std::size_t N, std::size_t M>
constexpr std::array<char, N + M - 1> join(const char (&first)[N], const char (&second)[M]) {
    std::array<char, N + M - 1> joined{};
    for (std::size_t i = 0; i + 1 < N; ++i)
        joined[i] = first[i];
    for (std::size_t i = 0; i < M; ++i)
        joined[N - 1 + i] = second[i];
    return joined;
}

constexpr auto kVersionLine = join("Version ", version::display);
constexpr char kAuthorsLine[] = "Written by the Vistrum developers";

// Listed from the top of the z-order down: where Label3 and Label2 overlap
// by one pixel, Label3 is drawn above. OK is the only control that takes the
// focus, so it holds it while the dialog is shown, and Enter and Space press
// it; it is also the cancel button, so that Escape closes the dialog as it
// closes any other.
constexpr std::array<ControlSpec, 4> kControls{{
    {"Command1", Kind::CommandButton, nullptr, -1, 1320, 1440, 975, 495, "OK", kDialogFont,
     kDefaultColor, kDefaultColor, CancelButton, 2, 0},
    {"Label3", Kind::Label, nullptr, -1, 240, 1080, 3105, 255, kAuthorsLine, kArial825, kLightGrey,
     kWindowText, Centred, 3, 0},
    {"Label2", Kind::Label, nullptr, -1, 240, 840, 3105, 255, kVersionLine.data(), kArial825,
     kLightGrey, kWindowText, Centred, 1, 0},
    {"Label1", Kind::Label, nullptr, -1, 240, 120, 3105, 615, "Vistrum ", kArialBold24, kLightGrey,
     kNavy, Centred, 0, 0},
}};

} // namespace

constexpr WindowSpec kVtAboutLayout{
    "VtAbout", "", 3495, 2040, kButtonFace, BorderStyle::FixedDialog, false, false, kControls, {},
};

VtAbout::VtAbout()
    : m_form(kVtAboutLayout) {
    m_form.control("Command1").Click = [this] { Command1_Click(); };
}

void VtAbout::Command1_Click() {
    m_form.Hide();
}

} // namespace vistrum
