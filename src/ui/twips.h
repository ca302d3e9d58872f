#pragma once

#include <QRect>

// Window geometry is designed in twips; the screen has 15 twips to a pixel.
namespace twips {

constexpr int perPixel = 15;

constexpr int toPixels(int twips) {
    return (twips + perPixel / 2) / perPixel;
}
constexpr int fromPixels(int pixels) {
    return pixels * perPixel;
}
constexpr QRect rect(int left, int top, int width, int height) {
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

} // namespace twips
