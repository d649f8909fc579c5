#include "tests/host/program_run.h"

#include "tests/support/read_file.h"

#include <opencv2/videoio.hpp>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <stdexcept>

namespace tevtest {
namespace {

// A file for one output stream of the child, removed with the object.
class CaptureFile {
 public:
  CaptureFile() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tev-program-XXXXXX").string();
    _fd = mkstemp(pattern.data());
    if (_fd < 0) {
      throw std::runtime_error("cannot create a temporary file");
    }
    _path = pattern;
  }
  ~CaptureFile() {
    close(_fd);
    std::remove(_path.c_str());
  }
  CaptureFile(const CaptureFile&) = delete;
  CaptureFile& operator=(const CaptureFile&) = delete;

  int Fd() const { return _fd; }
  std::string Text() const { return ReadFile(_path); }

 private:
  int _fd = -1;
  std::string _path;
};

}  // namespace

ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args) {
  CaptureFile out;
  CaptureFile err;
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& arg : args) {
    argv.push_back(const_cast<char*>(arg.c_str()));
  }
  argv.push_back(nullptr);

  const pid_t child = fork();
  if (child < 0) {
    throw std::runtime_error("cannot fork");
  }
  if (child == 0) {
    const int input = open("/dev/null", O_RDONLY);
    dup2(input, STDIN_FILENO);
    dup2(out.Fd(), STDOUT_FILENO);
    dup2(err.Fd(), STDERR_FILENO);
    // OpenCV's gPhoto2 backend looks for USB cameras whenever no other backend opens a
    // file, and libgphoto2 leaks what it finds, which fails the leak-checked builds.
    setenv("OPENCV_VIDEOIO_PRIORITY_GPHOTO2", "0", 1);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ProgramRun run;
  run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  run.out = out.Text();
  run.err = err.Text();
  return run;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    lines.push_back(line);
  }
  return lines;
}

std::vector<nlohmann::json> ReadJsonLines(const std::string& path) {
  std::vector<nlohmann::json> objects;
  if (!std::filesystem::exists(path)) {
    return objects;
  }
  for (const std::string& line : Lines(ReadFile(path))) {
    objects.push_back(nlohmann::json::parse(line));
  }
  return objects;
}

nlohmann::json ReadJson(const std::string& path) {
  return nlohmann::json::parse(ReadFile(path));
}

void WriteVideo(const std::string& path, cv::Size size, int frames, double fps,
                const cv::Scalar& bgr) {
  cv::VideoWriter writer(path, cv::VideoWriter::fourcc('M', 'J', 'P', 'G'), fps, size);
  if (!writer.isOpened()) {
    throw std::runtime_error("cannot write " + path);
  }
  const cv::Mat frame(size, CV_8UC3, bgr);
  for (int index = 0; index < frames; ++index) {
    writer.write(frame);
  }
}

}  // namespace tevtest
