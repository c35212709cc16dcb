#pragma once

// Where the main window opens, worked out in twips (1440 per inch) as the
// stored window position is kept. No Qt here: the window converts screen
// pixels to twips and back around these functions.
namespace kestrel::ui {

/// The main window's design size; a smaller screen gets the display warning.
inline constexpr int kDesignWidthTwips = 14250;
inline constexpr int kDesignHeightTwips = 10920;

/// Screen pixels to twips at `dotsPerInch`, rounded; TwipsToPixels is its
/// inverse, so a position saved in twips and read back lands on the pixel it
/// was saved from at any resolution (also where 1440 is no multiple of it).
int PixelsToTwips(int pixels, double dotsPerInch);
int TwipsToPixels(int twips, double dotsPerInch);

struct TwipRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct PlacementInput {
    int startLocation = 0;  // 0 saved, 1 centre, 2..5 the corners
    TwipRect screen;
    /// The screen without its panels; the whole screen when not known.
    TwipRect workArea;
    int windowWidth = 0;
    int windowHeight = 0;
    /// Twips per screen pixel, across and down.
    int pixelWidth = 15;
    int pixelHeight = 15;
    /// "Window Position X"/"Y"; -1 when never saved.
    int savedLeft = -1;
    int savedTop = -1;
    /// Where the window stands now, kept for an unknown start location.
    int currentLeft = 0;
    int currentTop = 0;
};

struct TwipPoint {
    int left = 0;
    int top = 0;
};

TwipPoint PlaceMainWindow(const PlacementInput& input);

/// Only the "last saved position" start warns, and only when the screen is
/// narrower or lower than the window can be made (`minimumWidth` and
/// `minimumHeight`, its frame included).
bool DisplayWarningDue(int startLocation, const TwipRect& screen, int minimumWidth,
                       int minimumHeight, bool warningDisabled);

}  // namespace kestrel::ui
