#include "platform/host/live_source.h"

#include "platform/host/capture_frames.h"
#include "platform/host/scaler_watch.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>

namespace tevhost {
namespace {

using Clock = std::chrono::steady_clock;

constexpr double kFirstRetrySeconds = 1.0;
constexpr double kLongestRetrySeconds = 30.0;
// Frames waiting for a busy detector; older ones are dropped, as a live view does.
constexpr int kQueuedFrames = 2;
// How long a source that is going waits for its reader to leave a read before leaving it
// behind: Ctrl-C must end a run within 2 s.
constexpr std::chrono::milliseconds kReaderExitWait{500};
// How often a waiting Read looks at the run's stop flag.
constexpr std::chrono::milliseconds kStopPoll{100};

std::atomic<int> readersRunning{0};

// A frame, or a change of the link, in the order the reader met them.
struct Item {
  std::optional<SourceFrame> frame;
  LinkChange change;
};

// What the reading thread and the source share; it outlives whichever ends last.
class Shared {
 public:
  explicit Shared(double fallbackFps) : _fps(fallbackFps) {}

  void PushFrame(SourceFrame frame) {
    {
      std::lock_guard<std::mutex> lock(_mutex);
      if (std::count_if(_items.begin(), _items.end(), [](const Item& i) { return i.frame; }) >=
          kQueuedFrames) {
        _items.erase(std::find_if(_items.begin(), _items.end(),
                                  [](const Item& item) { return item.frame.has_value(); }));
        ++_droppedFrames;
      }
      _items.push_back({std::move(frame), {}});
    }
    _changed.notify_all();
  }

  void PushChange(const LinkChange& change) {
    {
      std::lock_guard<std::mutex> lock(_mutex);
      _items.push_back({std::nullopt, change});
      _reconnects += change.lost ? 0 : 1;
    }
    _changed.notify_all();
  }

  // The reader is done; endNote says why, when it ended early.
  void End(const std::string& endNote) {
    {
      std::lock_guard<std::mutex> lock(_mutex);
      _ended = true;
      _endNote = endNote;
    }
    _changed.notify_all();
  }

  // Waits seconds, or less when the source is going: then false.
  bool Wait(double seconds) {
    std::unique_lock<std::mutex> lock(_mutex);
    return !_changed.wait_for(lock, std::chrono::duration<double>(seconds),
                              [this] { return _stopping; });
  }

  bool Stopping() {
    std::lock_guard<std::mutex> lock(_mutex);
    return _stopping;
  }

  // The next item; none when the reader ended and all were taken, or stop was set.
  std::optional<Item> Take(const std::atomic<bool>* stop) {
    const auto stopped = [stop] { return stop != nullptr && stop->load(); };
    std::unique_lock<std::mutex> lock(_mutex);
    while (_items.empty() && !_ended && !stopped()) {
      _changed.wait_for(lock, kStopPoll);
    }
    if (stopped() || _items.empty()) {
      return std::nullopt;
    }
    Item item = std::move(_items.front());
    _items.pop_front();
    return item;
  }

  // Tells the reader to end and waits a little for it; false when it is still in a read.
  bool StopReader() {
    std::unique_lock<std::mutex> lock(_mutex);
    _stopping = true;
    _changed.notify_all();
    return _changed.wait_for(lock, kReaderExitWait, [this] { return _ended; });
  }

  void SetFps(double fps) {
    std::lock_guard<std::mutex> lock(_mutex);
    _fps = fps;
  }
  double Fps() {
    std::lock_guard<std::mutex> lock(_mutex);
    return _fps;
  }
  long Reconnects() {
    std::lock_guard<std::mutex> lock(_mutex);
    return _reconnects;
  }
  long DroppedFrames() {
    std::lock_guard<std::mutex> lock(_mutex);
    return _droppedFrames;
  }
  std::string EndNote() {
    std::lock_guard<std::mutex> lock(_mutex);
    return _endNote;
  }

 private:
  std::mutex _mutex;
  std::condition_variable _changed;
  std::deque<Item> _items;
  bool _stopping = false;
  bool _ended = false;
  std::string _endNote;
  double _fps;
  long _reconnects = 0;
  long _droppedFrames = 0;
};

// The reading thread: reads frames while the link holds, and opens it again when it does not.
class LinkReader {
 public:
  LinkReader(std::shared_ptr<Shared> shared, LiveInput input, bool reconnect, double fallbackFps,
             Clock::time_point start)
      : _shared(std::move(shared)),
        _input(std::move(input)),
        _reconnect(reconnect),
        _fallbackFps(fallbackFps),
        _start(start) {}

  // Never throws: what OpenCV throws ends the input with a note, not the process.
  void Run(cv::VideoCapture capture) {
    try {
      ReadUntilStopped(std::move(capture));
    } catch (const std::exception& error) {
      _shared->End(std::string("reading the input failed: ") + error.what());
    } catch (...) {
      _shared->End("reading the input failed with an exception that is not a std::exception");
    }
  }

 private:
  void ReadUntilStopped(cv::VideoCapture capture) {
    WatchScalerFailures();
    if (capture.isOpened()) {
      Adopt(capture);
    }
    while (!_shared->Stopping()) {
      if (!capture.isOpened() && !Open(capture)) {
        if (!WaitBeforeRetry()) {
          break;
        }
        continue;
      }
      cv::Mat read;
      const bool gotFrame = capture.read(read) && !read.empty();
      const bool sizeChanged = TakeScalerFailure();
      if (gotFrame && !sizeChanged) {
        Deliver(read);
        continue;
      }
      capture.release();
      // A file behind a URL ends where it said it would: that is its end, not a drop.
      if (_announcedFrames > 0 && _framesThisLink >= _announcedFrames) {
        break;
      }
      if (!_reconnect) {
        _shared->End("the stream ended after " + std::to_string(_frames) + " frames");
        return;
      }
      GoDown(sizeChanged ? "the frame size changed; opening the stream again to read it"
                         : "the stream stopped sending (it ended, dropped or timed out)");
      // Opened again at once for a new size, unless the opening before gave no frame either:
      // a scaler that fails on every frame must not make a loop that hammers the camera.
      const bool reopenAtOnce = sizeChanged && _framesThisLink > 0;
      if (!reopenAtOnce && !WaitBeforeRetry()) {
        break;
      }
    }
    _shared->End("");
  }

  double NowMs() const {
    return std::chrono::duration<double, std::milli>(Clock::now() - _start).count();
  }

  bool Open(cv::VideoCapture& capture) {
    capture = _input.open();
    if (!capture.isOpened()) {
      GoDown(_input.cannotOpen);
      return false;
    }
    Adopt(capture);
    return true;
  }

  // A newly opened capture: its rate, and its length if it has one.
  void Adopt(const cv::VideoCapture& capture) {
    _shared->SetFps(RateOf(capture, _fallbackFps));
    _announcedFrames = static_cast<long>(capture.get(cv::CAP_PROP_FRAME_COUNT));
    _framesThisLink = 0;
  }

  // The outage lasts from the first failure to the next frame.
  void GoDown(const std::string& cause) {
    if (!_downSinceMs) {
      _downSinceMs = NowMs();
      _shared->PushChange({true, *_downSinceMs, cause, 0.0});
    }
  }

  void Deliver(const cv::Mat& read) {
    const double nowMs = NowMs();
    if (_downSinceMs) {
      _shared->PushChange({false, nowMs, "", (nowMs - *_downSinceMs) / 1000.0});
      _downSinceMs.reset();
    }
    _retrySeconds = kFirstRetrySeconds;
    ++_framesThisLink;
    ++_frames;
    _shared->PushFrame({ToBgr(read), nowMs});
  }

  bool WaitBeforeRetry() {
    const double seconds = _retrySeconds;
    _retrySeconds = std::min(_retrySeconds * 2.0, kLongestRetrySeconds);
    return _shared->Wait(seconds);
  }

  std::shared_ptr<Shared> _shared;
  LiveInput _input;
  bool _reconnect;
  double _fallbackFps;
  Clock::time_point _start;
  std::optional<double> _downSinceMs;
  double _retrySeconds = kFirstRetrySeconds;
  long _announcedFrames = 0;
  long _framesThisLink = 0;
  long _frames = 0;
};

class LiveSource : public FrameSource {
 public:
  LiveSource(LiveInput input, cv::VideoCapture opened, double fallbackFps,
             const LiveOptions& options)
      : _shared(std::make_shared<Shared>(fallbackFps)), _options(options) {
    ++readersRunning;
    _reader = std::thread([reader = LinkReader(_shared, std::move(input), options.reconnect,
                                               fallbackFps, Clock::now()),
                           capture = std::move(opened)]() mutable {
      reader.Run(std::move(capture));
      --readersRunning;
    });
  }

  ~LiveSource() override {
    // A reader still inside a read owns what it uses; it ends on its own within the
    // read's time-out.
    if (_shared->StopReader()) {
      _reader.join();
    } else {
      _reader.detach();
    }
  }

  bool Read(SourceFrame& frame) override {
    while (std::optional<Item> item = _shared->Take(_options.stop)) {
      if (item->frame) {
        frame = std::move(*item->frame);
        return true;
      }
      if (_options.onLinkChange) {
        _options.onLinkChange(item->change);
      }
    }
    return false;
  }

  std::string EndNote() const override { return _shared->EndNote(); }
  double FramesPerSecond() const override { return _shared->Fps(); }
  long Reconnects() const override { return _shared->Reconnects(); }
  long DroppedFrames() const override { return _shared->DroppedFrames(); }

 private:
  std::shared_ptr<Shared> _shared;
  LiveOptions _options;
  std::thread _reader;
};

}  // namespace

std::unique_ptr<FrameSource> StartLiveSource(LiveInput input, cv::VideoCapture opened,
                                             double fallbackFps, const LiveOptions& options) {
  return std::make_unique<LiveSource>(std::move(input), std::move(opened), fallbackFps, options);
}

int LiveReadersRunning() {
  return readersRunning.load();
}

}  // namespace tevhost
