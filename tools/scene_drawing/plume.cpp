#include "tools/scene_drawing/plume.h"

#include "tools/scene_drawing/blend.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <vector>

namespace tevscene {
namespace {

constexpr int kPuffInterval = 3;  // frames between two puffs
constexpr int kPuffLife = 60;     // frames a puff is seen
constexpr double kRise = 2.2;     // pixels per frame at scale 1
constexpr double kFirstRadius = 8.0;
constexpr double kGrowth = 0.6;    // pixels of radius per frame
constexpr double kDensest = 0.85;  // opacity of a new puff
const cv::Scalar kSmoke(118, 120, 124);

struct Puff {
  cv::Point centre;
  int radius = 0;
  float density = 0.0f;
};

}  // namespace

cv::Rect DrawPlume(cv::Mat& image, cv::Point source, int frames, double scale) {
  std::vector<Puff> puffs;
  cv::Rect reach;
  for (int born = frames - frames % kPuffInterval; born >= 0 && frames - born < kPuffLife;
       born -= kPuffInterval) {
    const int age = frames - born;
    const double drift = scale * (0.15 * age + 5.0 * std::sin(born * 0.7 + age * 0.08));
    Puff puff;
    puff.centre = cv::Point(cvRound(source.x + drift), cvRound(source.y - scale * kRise * age));
    puff.radius = std::max(1, cvRound(scale * (kFirstRadius + kGrowth * age)));
    puff.density = static_cast<float>(kDensest * (1.0 - static_cast<double>(age) / kPuffLife));
    reach |= cv::Rect(puff.centre.x - puff.radius, puff.centre.y - puff.radius, 2 * puff.radius + 1,
                      2 * puff.radius + 1);
    puffs.push_back(puff);
  }
  reach &= cv::Rect(cv::Point(0, 0), image.size());
  if (reach.empty()) {
    return {};
  }
  cv::Mat opacity(reach.size(), CV_32FC1, cv::Scalar(0));
  for (const Puff& puff : puffs) {
    cv::circle(opacity, puff.centre - reach.tl(), puff.radius, cv::Scalar(puff.density),
               cv::FILLED);
  }
  // Soft edges, as smoke has.
  const int soften = std::max(3, cvRound(scale * 9)) | 1;
  cv::GaussianBlur(opacity, opacity, cv::Size(soften, soften), 0);
  BlendColour(image, reach, opacity, kSmoke);
  return reach;
}

}  // namespace tevscene
