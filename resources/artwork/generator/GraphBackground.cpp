#include "resources/artwork/generator/GraphBackground.h"

namespace tolvan::artwork {

void drawGraphBackground(Canvas& image)
{
    const double w = image.width();
    const double h = image.height();
    const Box all = image.bounds();
    // The margin carries the view's scale labels: dark, but lighter than the plot so the
    // plot reads as a screen set into it.
    image.fill(all, shape::rect(0, 0, w, h), verticalGradient(0, h, rgb(24, 29, 36), rgb(18, 22, 27)));
    // Inner shadow along the top and left edges of the recess.
    image.fill(all, shape::rect(0, 0, w, 3), rgb(0, 0, 0), 0.35);
    image.fill(all, shape::rect(0, 0, 2, h), rgb(0, 0, 0), 0.25);

    const Box plot = kPlotArea;
    image.fill(plot, shape::rect(plot.left, plot.top, plot.right, plot.bottom),
               verticalGradient(plot.top, plot.bottom, rgb(8, 13, 19), rgb(13, 20, 29)));
    // A faint glow towards the middle of the screen, as on a lit display.
    const double cx = (plot.left + plot.right) * 0.5;
    const double cy = (plot.top + plot.bottom) * 0.5;
    image.fill(plot, shape::soft(shape::roundedRect(cx - 120, cy - 30, cx + 120, cy + 30, 30), 40.0), rgb(30, 50, 66),
               0.35);
}

}  // namespace tolvan::artwork
