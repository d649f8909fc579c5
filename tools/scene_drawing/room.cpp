#include "tools/scene_drawing/room.h"

#include <opencv2/imgproc.hpp>

namespace tevscene {
namespace {

// BGR colours with red at most 150 or below green: none of them is flame-coloured.
const cv::Scalar kWall(150, 142, 132);
const cv::Scalar kFloor(80, 92, 108);
const cv::Scalar kPlankGap(55, 64, 76);
const cv::Scalar kWindow(238, 226, 205);
const cv::Scalar kFrame(40, 42, 48);
const cv::Scalar kPicture(120, 130, 70);
const cv::Scalar kCabinet(118, 96, 80);

constexpr double kTextureAmplitude = 9.0;
constexpr double kNoiseSigma = 2.0;

// Low-frequency blotches, as on a painted wall filmed by a cheap camera.
cv::Mat Texture(cv::Size size, std::uint64_t seed) {
  cv::Mat coarse(std::max(2, size.height / 24), std::max(2, size.width / 24), CV_32FC1);
  cv::RNG(seed).fill(coarse, cv::RNG::NORMAL, 0.0, kTextureAmplitude);
  cv::Mat texture;
  cv::resize(coarse, texture, size, 0, 0, cv::INTER_CUBIC);
  cv::Mat fine(size, CV_32FC1);
  cv::RNG(seed + 1).fill(fine, cv::RNG::NORMAL, 0.0, kTextureAmplitude / 3);
  texture += fine;
  cv::Mat threeChannels;
  cv::merge(std::vector<cv::Mat>(3, texture), threeChannels);
  return threeChannels;
}

int WindowFrameWidth(cv::Size size) {
  return std::max(1, cvRound(8 * (size.height / 720.0)));
}

}  // namespace

int FloorLine(cv::Size size) {
  return size.height * 7 / 10;
}

cv::Rect WindowRect(cv::Size size) {
  return cv::Rect(size.width / 12, size.height / 10, size.width / 5, size.height * 2 / 5);
}

cv::Rect WindowGlass(cv::Size size) {
  const cv::Rect window = WindowRect(size);
  const int frame = WindowFrameWidth(size);
  return cv::Rect(window.x + frame, window.y + frame, window.width - 2 * frame,
                  window.height - 2 * frame);
}

cv::Mat DrawRoom(cv::Size size, std::uint64_t seed) {
  const int floor = FloorLine(size);
  const double unit = size.height / 720.0;
  cv::Mat room(size, CV_8UC3, kWall);
  room.rowRange(floor, size.height).setTo(kFloor);
  for (int gap = 1; gap < 5; ++gap) {
    const int y = floor + (size.height - floor) * gap * gap / 25;
    cv::line(room, {0, y}, {size.width, y}, kPlankGap, std::max(1, cvRound(2 * unit)));
  }

  const cv::Rect window = WindowRect(size);
  cv::rectangle(room, window, kWindow, cv::FILLED);
  cv::rectangle(room, window, kFrame, WindowFrameWidth(size));
  cv::line(room, {window.x + window.width / 2, window.y},
           {window.x + window.width / 2, window.y + window.height}, kFrame,
           std::max(1, cvRound(6 * unit)));

  const cv::Rect picture(size.width * 3 / 4, size.height / 6, size.width / 8, size.height / 6);
  cv::rectangle(room, picture, kPicture, cv::FILLED);
  cv::rectangle(room, picture, kFrame, std::max(1, cvRound(6 * unit)));

  const cv::Rect cabinet(size.width * 4 / 5, floor - size.height / 6, size.width / 7,
                         size.height / 6 + size.height / 20);
  cv::rectangle(room, cabinet, kCabinet, cv::FILLED);
  cv::rectangle(room, cabinet, kFrame, std::max(1, cvRound(3 * unit)));

  cv::Mat textured;
  room.convertTo(textured, CV_32FC3);
  textured += Texture(size, seed);
  textured.convertTo(room, CV_8UC3);
  return room;
}

void AddCameraNoise(cv::Mat& frame, std::uint64_t seed, int frameIndex) {
  cv::Mat noise(frame.size(), CV_16SC3);
  cv::RNG(seed * 7919 + static_cast<std::uint64_t>(frameIndex) + 1)
      .fill(noise, cv::RNG::NORMAL, 0.0, kNoiseSigma);
  cv::Mat noisy;
  frame.convertTo(noisy, CV_16SC3);
  noisy += noise;
  noisy.convertTo(frame, CV_8UC3);
}

}  // namespace tevscene
