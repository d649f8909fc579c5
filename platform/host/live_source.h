// A camera or a network stream as a FrameSource. A thread of its own reads it, so that the
// run never waits on the network for longer than it chooses: frames are timed by the clock
// when they arrive, and while the detector is busy only the newest few wait for it. When the
// link drops (or a camera is unplugged, or the stream changes its frame size) it is opened
// again with back-off, and the loss and the return reach the reader of the frames.
#pragma once

#include "platform/host/frame_source.h"

#include <opencv2/videoio.hpp>

#include <functional>
#include <memory>
#include <string>

namespace tevhost {

struct LiveInput {
  std::function<cv::VideoCapture()> open;
  std::string cannotOpen;  // why an opening failed, as the user reads it
};

// With options.reconnect, opened first is handed in closed and opened on the reading thread;
// without, it must be open already.
std::unique_ptr<FrameSource> StartLiveSource(LiveInput input, cv::VideoCapture opened,
                                             double fallbackFps, const LiveOptions& options);

// How many reading threads are still inside a read, left behind by sources destroyed while
// they waited on the network. A program must not run its exit handlers under them.
int LiveReadersRunning();

}  // namespace tevhost
