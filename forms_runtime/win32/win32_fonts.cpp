#include "win32_fonts.h"

#include "backend.h"
#include "win32_text.h"

#include <array>
#include <cmath>
#include <map>
#include <string>
#include <tuple>

namespace forms::win32 {

namespace {

// Faces of the same design and metrics, best first: the TrueType successor
// of the old screen face, Arial's metric twin, and what Wine and every
// Windows carry.
constexpr std::array<const wchar_t*, 4> kStandIns{L"Microsoft Sans Serif", L"Arial",
                                                  L"Liberation Sans", L"Tahoma"};

HFONT create(const wchar_t* face, int height, bool bold) {
    LOGFONTW lf{};
    lf.lfHeight = -height; // negative: the character height, not the cell
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH | FF_SWISS;
    wcsncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    return CreateFontIndirectW(&lf);
}

// True when the font mapper gave the face asked for at the height asked for,
// not another face or the nearest size of a bitmap face.
bool exact(HFONT font, const wchar_t* face, int height) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    wchar_t got[LF_FACESIZE]{};
    GetTextFaceW(dc, LF_FACESIZE, got);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return _wcsicmp(got, face) == 0 && metrics.tmHeight - metrics.tmInternalLeading == height;
}

HFONT resolve(const std::wstring& face, int height, bool bold) {
    if (HFONT f = create(face.c_str(), height, bold); f && exact(f, face.c_str(), height))
        return f;
    else if (f)
        DeleteObject(f);
    for (const wchar_t* standIn : kStandIns) {
        HFONT f = create(standIn, height, bold);
        if (f && exact(f, standIn, height))
            return f;
        if (f)
            DeleteObject(f);
    }
    // Whatever the mapper makes of the face: better than no text.
    return create(face.c_str(), height, bold);
}

} // namespace

int pixelHeight(Single points, double dpi) {
    return static_cast<int>(std::lround(static_cast<double>(points) * dpi / 72.0));
}

HFONT font(const FontSpec& wanted) {
    if (!wanted.face)
        return nullptr;
    const int height = pixelHeight(wanted.points, platform().logicalDpiY());
    using Key = std::tuple<std::string, int, bool>;
    static std::map<Key, HFONT> fonts;
    const Key key{wanted.face, height, wanted.bold};
    auto it = fonts.find(key);
    if (it == fonts.end())
        it = fonts.emplace(key, resolve(wide(wanted.face), height, wanted.bold)).first;
    return it->second;
}

} // namespace forms::win32
