// The room of the synthetic scenes: a textured wall with a window and a picture above a
// plank floor, in cool and neutral colours that no fire model should take for flame, and
// the noise of a camera on top.
#pragma once

#include <opencv2/core.hpp>

#include <cstdint>

namespace tevscene {

// The empty room at the given size; the seed chooses its texture.
cv::Mat DrawRoom(cv::Size size, std::uint64_t seed);

// The height of the floor line: people and things stand below it.
int FloorLine(cv::Size size);

// The window in the wall, its frame included.
cv::Rect WindowRect(cv::Size size);
// The glass of the window, inside its frame.
cv::Rect WindowGlass(cv::Size size);

// Adds a camera's sensor noise, different in every frame and the same for the same seed.
void AddCameraNoise(cv::Mat& frame, std::uint64_t seed, int frameIndex);

}  // namespace tevscene
