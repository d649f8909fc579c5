// Runs a built program the way a user does, and keeps what it printed and its exit status.
#pragma once

#include <nlohmann/json.hpp>
#include <opencv2/core.hpp>

#include <string>
#include <vector>

namespace tevtest {

struct ProgramRun {
  int exitStatus = -1;
  std::string out;
  std::string err;
};

// Runs program with args (no shell) and waits for it.
ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args);

// The lines of text, without their line ends.
std::vector<std::string> Lines(const std::string& text);

// The JSON objects of a JSON Lines file; none if it does not exist.
std::vector<nlohmann::json> ReadJsonLines(const std::string& path);

nlohmann::json ReadJson(const std::string& path);

// A small MJPG .avi of frames of one colour.
void WriteVideo(const std::string& path, cv::Size size, int frames, double fps,
                const cv::Scalar& bgr = cv::Scalar(60, 60, 60));

}  // namespace tevtest
