#include "tools/scene_drawing/screen.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>

namespace tevscene {
namespace {

const cv::Scalar kBezel(25, 25, 28);
const cv::Scalar kPalette[] = {{30, 140, 250}, {40, 40, 220},   {60, 220, 250}, {200, 120, 40},
                               {80, 180, 60},  {230, 230, 230}, {40, 40, 40},   {120, 60, 170}};
constexpr int kShotFrames = 15;  // a cut every 0.6 s at 25 frames per second

}  // namespace

cv::Rect DrawScreen(cv::Mat& image, const cv::Rect& screen, int frame, std::uint64_t seed) {
  const cv::Rect inFrame = screen & cv::Rect(cv::Point(0, 0), image.size());
  if (inFrame.empty()) {
    return {};
  }
  const int bezel = std::max(2, screen.height / 14);
  const cv::Rect panel(bezel, bezel, screen.width - 2 * bezel, screen.height - 2 * bezel);
  cv::Mat picture(screen.size(), CV_8UC3, kBezel);
  cv::Mat shown = picture(panel);

  const int shot = frame / kShotFrames;
  cv::RNG rng(seed * 131 + static_cast<std::uint64_t>(shot) * 7 + 3);
  const int paletteSize = static_cast<int>(std::size(kPalette));
  shown.setTo(kPalette[rng.uniform(0, paletteSize)]);
  for (int shape = rng.uniform(2, 6); shape > 0; --shape) {
    const cv::Point corner(rng.uniform(0, panel.width), rng.uniform(0, panel.height));
    const cv::Size size(rng.uniform(panel.width / 6, panel.width / 2 + 1),
                        rng.uniform(panel.height / 6, panel.height / 2 + 1));
    cv::rectangle(shown, cv::Rect(corner, size), kPalette[rng.uniform(0, paletteSize)], cv::FILLED);
  }
  // The panel's flicker, different in every frame.
  const double brightness =
      0.8 + 0.2 * cv::RNG(seed * 977 + static_cast<std::uint64_t>(frame)).uniform(0.0, 1.0);
  shown.convertTo(shown, -1, brightness);
  picture(inFrame - screen.tl()).copyTo(image(inFrame));
  return inFrame;
}

}  // namespace tevscene
