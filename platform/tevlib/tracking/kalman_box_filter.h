// The motion model of one track: a constant-velocity Kalman filter on the box's centre,
// aspect ratio (width / height) and height, with their velocities. Noise is proportional to
// the box's height (1/20 of it for positions, 1/160 for velocities), so that large and small
// boxes are followed alike; the aspect ratio is taken to change very little.
#pragma once

#include <opencv2/core.hpp>

namespace tevlib {

class KalmanBoxFilter {
 public:
  // Starts at box, still.
  explicit KalmanBoxFilter(const cv::Rect2f& box);

  // Moves the estimate on by one frame. A track that is not being seen keeps its height.
  void Predict(bool heightMoves);

  // Corrects the estimate with a measured box.
  void Update(const cv::Rect2f& box);

  // The estimated box.
  cv::Rect2f Box() const;

 private:
  static constexpr int kSize = 8;  // cx, cy, aspect, h, then their velocities

  // Plain arrays: the filter runs for every track on every frame, also in debug builds.
  double _mean[kSize] = {};
  double _covariance[kSize][kSize] = {};
};

}  // namespace tevlib
