// The screen's scale on X11: the Xft.dpi resource that desktops put in the root window's
// resource database, read from a real server whose database the test sets.

#include "framework/platform/x11/ScreenScale.h"

#include <gtest/gtest.h>

// Xlib's macros would rewrite names above: it comes last.
#include "tests/x11/X11TestHost.h"

namespace tolvan::test {
namespace {

using VSTGUI::x11::xftDotsPerInch;

TEST(XftDotsPerInch, ReadsTheResourceWhereverItStandsAndIgnoresWhatIsNotANumber)
{
    // As desktops write it: one "name:\tvalue" line among others.
    EXPECT_EQ(xftDotsPerInch("Xcursor.size:\t24\nXft.dpi:\t192\nXft.hinting:\t1\n"), 192.0);
    EXPECT_EQ(xftDotsPerInch("Xft.dpi: 144"), 144.0);
    EXPECT_EQ(xftDotsPerInch("  Xft.dpi :\t120.5 \r\n"), 120.5);
    // The last of several lines counts, as in a resource database.
    EXPECT_EQ(xftDotsPerInch("Xft.dpi:\t96\nXft.dpi:\t192\n"), 192.0);
    // Nothing usable: 0, so that the skin's own size applies.
    for (const char* text : {"", "Xft.hinting:\t1\n", "Xft.dpi:\n", "Xft.dpi:\tlarge\n", "Xft.dpi:\t-96\n",
                             "Xft.dpi:\t0\n", "Xft.dpi:\tnan\n", "Xft.dpi:\tinf\n", "Xft.dpi\t192\n",
                             "Xft.dpix:\t192\n", "Xft.dpi:\t192 dots\n", "Xft.dpi:\t1e999\n"})
        EXPECT_EQ(xftDotsPerInch(text), 0.0) << text;
}

TEST(ScreenScaleFactor, FollowsTheServersXftDotsPerInch)
{
    X11TestHost host;
    struct Case {
        const char* resources;
        double factor;
    };
    for (const Case& c : {Case{"Xft.dpi:\t192\n", 2.0}, Case{"Xft.antialias:\t1\nXft.dpi:\t144\n", 1.5},
                          Case{"Xft.dpi:\t96\n", 1.0}, Case{"Xft.hinting:\t1\n", 1.0}, Case{"", 1.0}}) {
        host.setResources(c.resources);
        EXPECT_EQ(VSTGUI::x11::screenScaleFactor(), c.factor) << c.resources;
    }
}

}  // namespace
}  // namespace tolvan::test
