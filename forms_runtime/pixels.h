#pragma once
// Sizes, places and margins in device pixels: what the platform reports of a
// window and what the layer asks of it.

namespace forms {

struct PixelSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const PixelSize&, const PixelSize&) = default;
};

struct PixelPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const PixelPoint&, const PixelPoint&) = default;
};

struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    PixelSize size() const { return {width, height}; }
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// How far a window's outer rectangle reaches beyond an inner one: the
// frame around the client area, or invisible borders around the frame.
struct PixelMargins {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    friend bool operator==(const PixelMargins&, const PixelMargins&) = default;
};

} // namespace forms
