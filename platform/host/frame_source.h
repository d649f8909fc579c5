// The frames of one input, as 8-bit BGR: a video file, an image folder (sorted by name), a
// camera index or a stream URL - whatever cv::VideoCapture opens. Cameras and streams are
// live: read on a thread of their own, timed by the clock, and opened again when they drop.
#pragma once

#include <opencv2/core.hpp>

#include <atomic>
#include <functional>
#include <memory>
#include <string>

namespace tevhost {

// A frame and when it was taken, in milliseconds from the start of the input: the frame's
// place times the frame rate for files and folders, the clock for live sources.
struct SourceFrame {
  cv::Mat image;
  double timestampMs = 0.0;
};

// A live source going down or coming back, on the clock of its frames.
struct LinkChange {
  bool lost = false;  // false: restored
  double timestampMs = 0.0;
  std::string cause;           // lost: why
  double outageSeconds = 0.0;  // restored: how long it was down
};

struct LiveOptions {
  // Open a camera or stream again when it drops or cannot be opened, waiting 1 s, then 2, 4...
  // up to 30 s between attempts; without, a drop ends the input and a failed opening throws.
  bool reconnect = true;
  // Set when the run must end: a live source stops waiting for frames.
  const std::atomic<bool>* stop = nullptr;
  // Called by Read, on the reading thread, for each loss and restoration on the way.
  std::function<void(const LinkChange&)> onLinkChange;
};

class FrameSource {
 public:
  virtual ~FrameSource() = default;

  // The next frame, or false at the end of the input (or, live, once stop is set). A frame
  // that cannot be read or decoded ends a file or folder; EndNote then says so.
  virtual bool Read(SourceFrame& frame) = 0;
  // Why the input ended early, or empty when it ended normally (or has not ended).
  virtual std::string EndNote() const = 0;
  // What the user should know from the opening, such as files of a folder passed over;
  // empty when nothing.
  virtual std::string OpeningNote() const { return ""; }
  // The rate files are timed at and videos written at: the source's own, or the fallback
  // given at opening. A live source knows it once it has given its first frame.
  virtual double FramesPerSecond() const = 0;
  // How many times a live source came back after it was lost.
  virtual long Reconnects() const { return 0; }
  // How many frames of a live source were dropped because the reader of the frames was busy.
  virtual long DroppedFrames() const { return 0; }
};

// Whether input names a camera or a stream rather than a file or folder.
bool IsLiveInput(const std::string& input);

// Opens input: digits are a camera index, text with "://" a stream URL, a folder an image
// folder, anything else a file. fallbackFps times sources that report no rate. Throws
// HostFailure (Input) when a file or folder cannot be opened, or a live source without
// reconnect; a live source with reconnect is opened on its own thread, and retried.
std::unique_ptr<FrameSource> OpenFrameSource(const std::string& input, double fallbackFps,
                                             const LiveOptions& live = {});

// Throws HostFailure (Input), as OpenFrameSource would, when a file or folder cannot be read;
// keeps nothing open. Live inputs are not tried: they may come up later.
void CheckInput(const std::string& input, double fallbackFps);

}  // namespace tevhost
