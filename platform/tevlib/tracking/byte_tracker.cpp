#include "platform/tevlib/tracking/byte_tracker.h"

#include "platform/tevlib/tracking/linear_assignment.h"

#include <algorithm>

namespace tevlib {
namespace {

constexpr double kDuplicateThreshold = 0.15;  // cost 1 - IoU below which two tracks are one

double IouCost(const cv::Rect2f& a, const cv::Rect2f& b) {
  const float intersection = (a & b).area();
  const float joined = a.area() + b.area() - intersection;
  return joined > 0 ? 1.0 - intersection / joined : 1.0;
}

}  // namespace

std::vector<int> ByteTracker::Update(const std::vector<TrackInput>& detections) {
  ++_frame;
  std::vector<int> ids(detections.size(), 0);

  std::vector<int> strong;
  std::vector<int> weak;
  for (int d = 0; d < static_cast<int>(detections.size()); ++d) {
    (detections[d].score >= kTrackThreshold ? strong : weak).push_back(d);
  }

  std::vector<int> pool;  // confirmed tracks, tracked or lost
  std::vector<int> unconfirmed;
  for (int t = 0; t < static_cast<int>(_tracks.size()); ++t) {
    Track& track = _tracks[t];
    if (track.confirmed) {
      track.filter.Predict(track.state == State::Tracked);
      pool.push_back(t);
    } else {
      unconfirmed.push_back(t);
    }
  }

  Associate(pool, strong, detections, kMatchThreshold, ids);

  std::vector<int> stillTracked;
  for (int t : pool) {
    if (_tracks[t].state == State::Tracked) {
      stillTracked.push_back(t);
    }
  }
  Associate(stillTracked, weak, detections, kSecondMatchThreshold, ids);
  for (int t : stillTracked) {
    _tracks[t].state = State::Lost;
  }

  std::vector<int> left = strong;
  left.insert(left.end(), weak.begin(), weak.end());
  Associate(unconfirmed, left, detections, kUnconfirmedThreshold, ids);
  for (int t : unconfirmed) {
    _tracks[t].state = State::Removed;
  }

  for (int d : left) {
    StartTrack(detections[d]);
    ids[d] = _lastId;
  }

  for (Track& track : _tracks) {
    if (track.state == State::Lost && _frame - track.lastSeenFrame > kMaxLostFrames) {
      track.state = State::Removed;
    }
  }
  DropDuplicates();
  _tracks.erase(std::remove_if(_tracks.begin(), _tracks.end(),
                               [](const Track& track) { return track.state == State::Removed; }),
                _tracks.end());
  return ids;
}

void ByteTracker::Associate(std::vector<int>& tracks, std::vector<int>& detectionIndices,
                            const std::vector<TrackInput>& detections, double limit,
                            std::vector<int>& ids) {
  if (tracks.empty() || detectionIndices.empty()) {
    return;
  }
  cv::Mat_<double> cost(static_cast<int>(tracks.size()), static_cast<int>(detectionIndices.size()));
  for (int r = 0; r < cost.rows; ++r) {
    const Track& track = _tracks[tracks[r]];
    const cv::Rect2f box = track.filter.Box();
    for (int c = 0; c < cost.cols; ++c) {
      const TrackInput& detection = detections[detectionIndices[c]];
      cost(r, c) = detection.classId == track.classId ? IouCost(box, detection.box) : 1.0;
    }
  }
  const Assignment assignment = AssignWithLimit(cost, limit);

  for (const auto& [r, c] : assignment.matches) {
    Track& track = _tracks[tracks[r]];
    const int d = detectionIndices[c];
    track.filter.Update(detections[d].box);
    track.state = State::Tracked;
    track.confirmed = true;
    track.lastSeenFrame = _frame;
    ids[d] = track.id;
  }

  std::vector<int> leftTracks;
  for (int r : assignment.unmatchedRows) {
    leftTracks.push_back(tracks[r]);
  }
  std::vector<int> leftDetections;
  for (int c : assignment.unmatchedColumns) {
    leftDetections.push_back(detectionIndices[c]);
  }
  tracks = std::move(leftTracks);
  detectionIndices = std::move(leftDetections);
}

void ByteTracker::StartTrack(const TrackInput& detection) {
  Track track{++_lastId, detection.classId, KalmanBoxFilter(detection.box)};
  track.confirmed = _frame == 1;
  track.lastSeenFrame = _frame;
  _tracks.push_back(track);
}

void ByteTracker::DropDuplicates() {
  for (Track& lost : _tracks) {
    if (lost.state != State::Lost) {
      continue;
    }
    for (const Track& tracked : _tracks) {
      if (tracked.state == State::Tracked && tracked.classId == lost.classId &&
          IouCost(tracked.filter.Box(), lost.filter.Box()) < kDuplicateThreshold) {
        lost.state = State::Removed;
        break;
      }
    }
  }
}

}  // namespace tevlib
