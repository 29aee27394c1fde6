#pragma once
// The colours a control is drawn in, worked out from the colours its
// properties hold and the palette the desktop gives. Both backends draw with
// these, so that text reads alike on both:
//
// - A text colour is kept where it reads at 4.5 : 1 or better (WCAG 2's
//   contrast ratio) against the background it is drawn on. Where it does
//   not, the system's text colour for that background takes over: the pair
//   of a system background (button text on the button face), otherwise the
//   first of the system's text colours that reads, and black or white as the
//   last resort. A colour property itself never changes.
// - While the system asks for high contrast, controls draw with its colour
//   pairs: fixed backgrounds take the system background of their kind and
//   text takes its pair. A colour sample (a swatch the user picks) keeps its
//   colour, and its text follows the rule above.

#include "layout.h"
#include "types.h"

namespace forms {

struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// WCAG 2.x: the contrast of two colours, from 1 (the same) to 21 (black and
// white), and the least contrast at which text counts as readable (level AA).
double contrastRatio(Rgb first, Rgb second);
inline constexpr double kReadableContrast = 4.5;

// The system's colours as a backend reads them.
class SystemPalette {
public:
    virtual ~SystemPalette() = default;
    // One of the system colours isSystemColorKnown() names.
    virtual Rgb systemColor(unsigned number) const = 0;
    // True while the user has asked the system for high contrast.
    virtual bool highContrast() const = 0;
};

Rgb resolve(OleColor color, const SystemPalette& palette);

// The background a kind of control has when its layout gives none.
OleColor defaultBackColor(Kind kind);

struct DrawnColors {
    OleColor back; // a shape's fill
    OleColor fore; // text; a shape's border
    friend bool operator==(const DrawnColors&, const DrawnColors&) = default;
};

// What a control of this kind and these layout flags, holding back and fore,
// is drawn in: explicit colours or system colours, for the backend to resolve.
DrawnColors drawnColors(Kind kind, unsigned flags, OleColor back, OleColor fore,
                        const SystemPalette& palette);

} // namespace forms
