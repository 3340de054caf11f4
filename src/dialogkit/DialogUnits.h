#pragma once

#include <QRect>
#include <QSize>

class QFont;

namespace lumora::dialogkit {

// The dialog base units of a font and the conversion from dialog units to pixels, as the Win32
// dialog manager does it: a horizontal unit is a quarter of the font's average character width,
// a vertical unit an eighth of its height.
class DialogUnits {
public:
    DialogUnits(int baseX, int baseY);

    // Base units of font: across, the average width of the 52 letters A-Z a-z, rounded the way
    // the dialog manager rounds it; down, the font's height. Both as drawn at 96 dpi and a device
    // pixel ratio of 1, so that the desktop's scale changes the dialog's size and not its layout.
    static DialogUnits fromFont(const QFont& font);

    // number * numerator / denominator with the intermediate product in 64 bits, rounded half away
    // from zero; a zero denominator or a result beyond 32 bits gives -1, as the Win32 MulDiv does.
    static int mulDiv(int number, int numerator, int denominator);

    int baseX() const { return baseX_; }
    int baseY() const { return baseY_; }

    int toPixelsX(int units) const;
    int toPixelsY(int units) const;
    QSize toPixels(int cx, int cy) const;
    // A template rectangle (x, y, cx, cy in dialog units) as pixels. Position and size are converted
    // separately, as the dialog manager does when it creates controls.
    QRect toPixels(int x, int y, int cx, int cy) const;

private:
    int baseX_;
    int baseY_;
};

} // namespace lumora::dialogkit
