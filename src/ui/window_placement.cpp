#include "ui/window_placement.h"

#include <algorithm>
#include <cmath>

namespace kestrel::ui {
namespace {

constexpr double kTwipsPerInch = 1440.0;

double Sane(double dotsPerInch) {
    return std::clamp(dotsPerInch, 1.0, kTwipsPerInch);
}

TwipPoint Centred(const PlacementInput& in) {
    const TwipRect& area = in.workArea.width > 0 ? in.workArea : in.screen;
    // A window larger than the area still keeps its title bar on the screen.
    return {area.left + std::max((area.width - in.windowWidth) / 2, 0),
            area.top + std::max((area.height - in.windowHeight) / 2, 0)};
}

}  // namespace

int PixelsToTwips(int pixels, double dotsPerInch) {
    return static_cast<int>(std::lround(pixels * kTwipsPerInch / Sane(dotsPerInch)));
}

int TwipsToPixels(int twips, double dotsPerInch) {
    return static_cast<int>(std::lround(twips * Sane(dotsPerInch) / kTwipsPerInch));
}

TwipPoint PlaceMainWindow(const PlacementInput& in) {
    const int right = in.screen.width - in.windowWidth - in.pixelWidth;
    const int bottom = in.screen.height - in.windowHeight - in.pixelHeight;
    switch (in.startLocation) {
        case 0: {
            const bool fits = in.savedLeft >= 0 && in.savedTop >= 0 &&
                              in.savedLeft < in.screen.width - in.windowWidth &&
                              in.savedTop < in.screen.height - in.windowHeight;
            return fits ? TwipPoint{in.savedLeft, in.savedTop} : Centred(in);
        }
        case 1:
            return Centred(in);
        case 2:
            return {0, 0};
        case 3:
            return {right, bottom};
        case 4:
            return {0, bottom};
        case 5:
            return {right, 0};
        default:
            return {in.currentLeft, in.currentTop};
    }
}

bool DisplayWarningDue(int startLocation, const TwipRect& screen, int minimumWidth,
                       int minimumHeight, bool warningDisabled) {
    return startLocation == 0 && !warningDisabled &&
           (screen.width < minimumWidth || screen.height < minimumHeight);
}

}  // namespace kestrel::ui
