#pragma once
// Static window layouts: plain constexpr tables from which the forms layer
// builds a window. Every position and size is in twips, relative to the
// container's client area. Controls are listed from the top of the z-order
// down: among controls of one container an earlier one is drawn above a
// later one it overlaps.

#include "fonts.h"
#include "types.h"

#include <span>

namespace forms {

enum class Kind : std::uint8_t { Frame, OptionButton, Label, TextBox, Shape, CommandButton };

// A colour the layout leaves to the runtime's default for the kind.
inline constexpr OleColor kDefaultColor = 0xFFFFFFFFU;

// Flags of a control; anything not set takes the runtime's default.
enum Flag : unsigned {
    Hidden = 1U << 0,        // not visible at design
    Centred = 1U << 1,       // label text centred
    Bordered = 1U << 2,      // label: single flat border line
    Filled = 1U << 3,        // shape: filled solid with its back colour
    NoBorderLine = 1U << 4,  // shape: no border drawn
    ColorSample = 1U << 5,   // label: its BackColor is a colour to pick, kept in any palette
    Editable = 1U << 6,      // text box: one line the user types into
    DefaultButton = 1U << 7, // command button: Enter presses it, unless another
                             // command button has the focus
    CancelButton = 1U << 8   // command button: Escape presses it
};

constexpr bool hasFlag(unsigned flags, Flag flag) {
    return (flags & flag) != 0;
}

struct ControlSpec {
    const char* name;
    Kind kind;
    const char* container; // nullptr: the window's client area
    Integer index;         // member of a control array; -1 when not
    Single left, top, width, height;
    const char* caption; // caption or text, UTF-8
    FontSpec font;
    OleColor backColor; // shape: fill colour
    OleColor foreColor; // text colour; shape: border colour
    unsigned flags;
    Integer tabIndex;    // -1: none
    Integer borderWidth; // shapes, in pixels
};

struct MenuSpec {
    const char* name;
    const char* parent;   // nullptr: the menu bar
    const char* caption;  // "&" marks the access key; "-" is a separator
    const char* shortcut; // portable key text such as "Ctrl+Q", or nullptr
};

// True for a menu entry that is a separator line.
constexpr bool isSeparator(const MenuSpec& entry) {
    return entry.caption[0] == '-' && entry.caption[1] == '\0';
}

enum class BorderStyle : std::uint8_t { Sizable, FixedDialog };

struct WindowSpec {
    const char* name;
    const char* caption;
    Single clientWidth, clientHeight; // below the menu bar
    OleColor backColor;
    BorderStyle border;
    bool keyPreview;
    bool showInTaskbar;
    std::span<const ControlSpec> controls;
    std::span<const MenuSpec> menus;
};

} // namespace forms
