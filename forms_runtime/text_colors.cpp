#include "text_colors.h"

#include "colors.h"

#include <array>
#include <cmath>
#include <optional>

namespace forms {

namespace {

constexpr OleColor kBlack = 0x00000000U;
constexpr OleColor kWhite = 0x00FFFFFFU;

bool isSystem(OleColor color) {
    return (color & kSystemColorFlag) != 0;
}

// WCAG 2.x relative luminance: each sRGB channel linearised, then weighted.
double luminance(Rgb c) {
    auto linear = [](int channel) {
        const double v = channel / 255.0;
        return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(c.red) + 0.7152 * linear(c.green) + 0.0722 * linear(c.blue);
}

// The text colour the system pairs with one of its backgrounds.
std::optional<OleColor> pairedText(OleColor back) {
    switch (back) {
    case kWindowBackground:
        return kWindowText;
    case kButtonFace:
        return kButtonText;
    case kHighlight:
        return kHighlightText;
    default:
        return std::nullopt;
    }
}

OleColor readableText(OleColor back, OleColor fore, const SystemPalette& palette) {
    const Rgb background = resolve(back, palette);
    auto reads = [&](OleColor text) {
        return contrastRatio(resolve(text, palette), background) >= kReadableContrast;
    };
    if (reads(fore))
        return fore;
    if (const auto paired = pairedText(back); paired && reads(*paired))
        return *paired;
    for (const OleColor text : {kWindowText, kButtonText, kHighlightText})
        if (reads(text))
            return text;
    // One of the two reaches at least 4.58 : 1 against any colour.
    return contrastRatio(resolve(kBlack, palette), background) >=
                   contrastRatio(resolve(kWhite, palette), background)
               ? kBlack
               : kWhite;
}

} // namespace

double contrastRatio(Rgb first, Rgb second) {
    const double a = luminance(first);
    const double b = luminance(second);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

Rgb resolve(OleColor color, const SystemPalette& palette) {
    if (isSystem(color))
        return palette.systemColor(color & 0xFFU);
    return {static_cast<int>(color & 0xFFU), static_cast<int>((color >> 8) & 0xFFU),
            static_cast<int>((color >> 16) & 0xFFU)};
}

OleColor defaultBackColor(Kind kind) {
    return kind == Kind::TextBox ? kWindowBackground : kButtonFace;
}

DrawnColors drawnColors(Kind kind, unsigned flags, OleColor back, OleColor fore,
                        const SystemPalette& palette) {
    if (kind == Kind::Shape) {
        // No text: under high contrast a fixed fill becomes the face and a
        // fixed border the text colour, as the system draws its own lines.
        if (!palette.highContrast())
            return {back, fore};
        return {isSystem(back) ? back : kButtonFace, isSystem(fore) ? fore : kWindowText};
    }
    if (palette.highContrast()) {
        if (!isSystem(back) && !hasFlag(flags, ColorSample))
            back = defaultBackColor(kind);
        if (const auto paired = pairedText(back))
            return {back, *paired};
    }
    return {back, readableText(back, fore, palette)};
}

} // namespace forms
