// The drawing surface that owner-drawn list items paint on. The core knows only this
// abstract canvas; the window library implements it over its own painter, and tests record
// what was drawn.
#pragma once

#include "platform/System.h"

#include <string_view>

namespace kolva {

/// A rectangle in pixels; Right and Bottom lie just outside it.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    bool operator==(const TRect&) const = default;
};

class TCanvas : public TObject {
public:
    /// Fills Rect with the canvas's current brush.
    virtual void FillRect(const TRect& Rect) = 0;
    /// Draws Text with the current font, its top left corner at (X, Y).
    virtual void TextOut(int X, int Y, std::string_view Text) = 0;
};

} // namespace kolva
