// A warning beacon on the wall: an amber dome that blinks, bright and haloed when lit,
// dull when not. Flame-coloured and changing, but in place.
#pragma once

#include <opencv2/core.hpp>

namespace tevscene {

// Draws the beacon centred at centre with the dome's radius; lit or not. Returns the box
// of the dome and, when lit, its glow.
cv::Rect DrawBeacon(cv::Mat& image, cv::Point centre, int radius, bool lit);

}  // namespace tevscene
