#include "win32_shape.h"

#include "control.h"
#include "win32_colors.h"

#include <algorithm>

namespace forms::win32 {

namespace {

bool filled(const Control& shape) {
    return (shape.flags() & Filled) != 0;
}

// The border line's width inside the bounds, 0 for none.
int borderWidth(const Control& shape, int width, int height) {
    if ((shape.flags() & NoBorderLine) != 0)
        return 0;
    return std::max(0, std::min({static_cast<int>(shape.borderWidth()), width, height}));
}

void paint(HWND hwnd, const Control& shape) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT r;
    GetClientRect(hwnd, &r);
    const DrawnColors drawn = drawnColors(Kind::Shape, shape.flags(), shape.BackColor(),
                                          shape.ForeColor(), systemPalette());
    if (filled(shape))
        FillRect(dc, &r, brush(drawn.back));
    if (const int b = borderWidth(shape, r.right, r.bottom); b > 0) {
        HBRUSH line = brush(drawn.fore);
        const RECT edges[] = {{0, 0, r.right, b},
                              {0, r.bottom - b, r.right, r.bottom},
                              {0, 0, b, r.bottom},
                              {r.right - b, 0, r.right, r.bottom}};
        for (const RECT& edge : edges)
            FillRect(dc, &edge, line);
    }
    EndPaint(hwnd, &ps);
}

LRESULT CALLBACK shapeProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto* shape = reinterpret_cast<const Control*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    switch (message) {
    case WM_NCHITTEST:
        return HTTRANSPARENT; // the click belongs to what lies beneath
    case WM_ERASEBKGND:
        return 1; // painted whole in WM_PAINT
    case WM_PAINT:
        if (shape) {
            paint(hwnd, *shape);
            return 0;
        }
        break;
    default:
        break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

} // namespace

const wchar_t* shapeClass() {
    static const wchar_t* const name = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = shapeProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = L"VistrumShape";
        RegisterClassExW(&wc);
        return wc.lpszClassName;
    }();
    return name;
}

void shapeRegion(HWND hwnd, const Control& shape, int width, int height, bool redraw) {
    // A filled shape covers its whole window, as a window without a region
    // does. Setting one would cost a change of frame, which Wine answers by
    // erasing every control of the container that waits for painting.
    if (filled(shape))
        return;
    // Only the border line belongs to the shape; none at all when it has no
    // line either.
    HRGN region = CreateRectRgn(0, 0, width, height);
    const int b = borderWidth(shape, width, height);
    HRGN inside = CreateRectRgn(b, b, width - b, height - b);
    CombineRgn(region, region, inside, RGN_DIFF);
    DeleteObject(inside);
    SetWindowRgn(hwnd, region, redraw ? TRUE : FALSE); // the window owns the region now
}

} // namespace forms::win32
