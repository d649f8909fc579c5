// The input size an ONNX model declares: height and width of its first input [N, C, H, W]
// that is not one of its weights (older files list the weights among the inputs). OpenCV 4.6
// does not tell it, so the file's protobuf encoding is read here, seeking past the weights
// instead of reading them.
#pragma once

#include <opencv2/core.hpp>

#include <filesystem>

namespace tevlib {

// Empty when the input's height or width is symbolic or missing, or the file cannot be read.
cv::Size DeclaredInputSize(const std::filesystem::path& model);

}  // namespace tevlib
