#pragma once
// The scale the X server's users ask of user interfaces: the Xft.dpi resource that desktops
// set in the root window's RESOURCE_MANAGER property (96 dots per inch is the skin's own
// size, 192 twice that). It is read afresh at each question, so that a change made in the
// desktop's settings reaches the next editor that opens.

#include <string_view>

namespace VSTGUI::x11 {

// The Xft.dpi value in the text of a resource database ("name:\tvalue" lines); 0 when it
// holds none or no positive finite number.
double xftDotsPerInch(std::string_view resources);

// [UI thread] The screen's Xft.dpi over 96; 1.0 when the server cannot be reached or sets
// no Xft.dpi.
double screenScaleFactor();

}  // namespace VSTGUI::x11
