// Runs tevfiresmoke in pipelines made from a gst-launch description: appsrc elements feed
// synthetic BGR frames, appsink elements keep what comes out, and the bus messages are
// collected.
#pragma once

#include <gst/gst.h>
#include <nlohmann/json.hpp>
#include <opencv2/core.hpp>

#include <ostream>
#include <string>
#include <vector>

namespace tevgsttest {

using nlohmann::json;

// Pipeline description parts: an appsrc named name for BGR frames of size at rate frames a
// second, and an appsink named name that keeps everything for Pipeline::Output.
std::string AppSource(const std::string& name, cv::Size size, int rate);
std::string AppSink(const std::string& name);

// One camera's branch: an appsrc "<name>-in" for BGR frames of size at 10 frames a second, a
// tevfiresmoke named name with the given properties, and an appsink "<name>-out".
std::string ElementBranch(const std::string& name, cv::Size size, const std::string& properties);

// A region-of-interest meta as the tests compare them.
struct Region {
  std::string type;
  cv::Rect box;
  double confidence = 0.0;

  bool operator==(const Region& other) const {
    return type == other.type && box == other.box && confidence == other.confidence;
  }
};
void PrintTo(const Region& region, std::ostream* out);

struct OutputBuffer {
  std::vector<Region> regions;
  cv::Mat image;  // a copy of the pixels
};

// An error or warning message.
struct Notice {
  std::string source;  // the element's name
  GQuark domain = 0;
  int code = 0;
  std::string text;
  std::string debug;
};

class Pipeline {
 public:
  // Throws std::runtime_error when the description does not parse.
  explicit Pipeline(const std::string& description);
  ~Pipeline();
  Pipeline(const Pipeline&) = delete;
  Pipeline& operator=(const Pipeline&) = delete;

  GstStateChangeReturn Play();
  // A frame to the appsrc named source, stamped pts (GST_CLOCK_TIME_NONE: no stamp).
  void Push(const std::string& source, const cv::Mat& frame, GstClockTime pts);
  void EndStream(const std::string& source);
  // A flushing seek of the whole pipeline to position; false when it is refused.
  bool Seek(GstClockTime position);
  // Collects the bus messages until the end of the stream or an error. Fails the test when
  // nothing comes for a long while, instead of hanging.
  void RunToEnd();
  // Collects the bus messages already posted.
  void Collect();
  // Takes the pipeline back to READY, as an application stopping it without an end of stream
  // does, and collects the messages posted meanwhile.
  void StopToReady();
  // Plays the pipeline of ElementBranch branches and pushes frames copies of frame to each in
  // turn, stamped 100 ms apart, then ends their streams and runs to the end.
  void RunBranches(const std::vector<std::string>& branches, const cv::Mat& frame, int frames);
  // The next buffer the appsink named sink receives; throws when none comes for a long while.
  OutputBuffer Next(const std::string& sink) const;
  // Everything the appsink named sink received, in order.
  std::vector<OutputBuffer> Output(const std::string& sink) const;

  // Element messages as {"source": element, "name": structure name, field: value...}.
  const std::vector<json>& ElementMessages() const { return _elementMessages; }
  const std::vector<Notice>& Errors() const { return _errors; }
  const std::vector<Notice>& Warnings() const { return _warnings; }

 private:
  // Keeps message; true when it ends the run.
  bool Keep(GstMessage* message);
  GstElement* Element(const std::string& name) const;

  GstElement* _pipeline = nullptr;
  std::vector<json> _elementMessages;
  std::vector<Notice> _errors;
  std::vector<Notice> _warnings;
};

}  // namespace tevgsttest
