// Synthetic scenes for tests: a camera's view of a wall, and a flame drawn on it.
#pragma once

#include "tools/scene_drawing/flame.h"

#include <opencv2/core.hpp>

namespace tevtest {

inline const cv::Size kFrameSize(480, 360);

// A grey wall with the noise of a camera, different in every frame.
inline cv::Mat Wall(int frame) {
  cv::Mat noise(kFrameSize, CV_16SC3);
  cv::RNG(1000 + frame).fill(noise, cv::RNG::NORMAL, 0, 3);
  cv::Mat wall(kFrameSize, CV_16SC3, cv::Scalar::all(120));
  wall += noise;
  wall.convertTo(wall, CV_8UC3);
  return wall;
}

// The flame the scene generator draws (tools/scene_drawing/flame.h).
using tevscene::DrawFlame;

}  // namespace tevtest
