// ByteTrack for one camera: gives each detection of a frame the id of the track it belongs
// to. Boxes are in one fixed coordinate system (the caller's whole frame).
//
// The algorithm as published: each track has a Kalman filter (kalman_box_filter.h); a frame
// first matches the tracked and lost tracks to the detections scoring at least
// kTrackThreshold by IoU (cost 1 - IoU, at most kMatchThreshold), then the tracked tracks left
// over to the weaker detections (at most kSecondMatchThreshold), then the unconfirmed tracks
// (started last frame) to the detections left over (at most kUnconfirmedThreshold), each
// stage an optimal assignment (linear_assignment.h). A track not matched becomes lost and is
// removed kMaxLostFrames frames after it was last seen; an unconfirmed track not matched is
// removed at once; a track started in the tracker's first frame is confirmed.
//
// Our choices:
// - Every detection gets an id, weak ones too: a detection that matches no track starts a
//   new one (unconfirmed), and unconfirmed tracks may be confirmed by weak detections as well
//   as strong ones, so weak detections keep reaching the caller with stable ids.
// - A detection and a track of different classes never match, so that fire and smoke in
//   one place keep apart.
// - Ids start at 1, are unique within the tracker and never reused.
// - Memory is bounded: removed tracks are forgotten at once (implementations that keep a
//   list of removed tracks grow it without limit), and a lost track that overlaps a
//   tracked one of its class by IoU above 0.85 is dropped as its duplicate.
#pragma once

#include "platform/tevlib/tracking/kalman_box_filter.h"

#include <opencv2/core.hpp>

#include <cstddef>
#include <vector>

namespace tevlib {

struct TrackInput {
  cv::Rect2f box;
  float score = 0.0f;
  int classId = 0;
};

class ByteTracker {
 public:
  static constexpr float kTrackThreshold = 0.5f;
  static constexpr double kMatchThreshold = 0.8;
  static constexpr double kSecondMatchThreshold = 0.5;
  static constexpr double kUnconfirmedThreshold = 0.7;
  static constexpr int kMaxLostFrames = 30;

  // One frame: returns the track id of each detection, in the order given.
  std::vector<int> Update(const std::vector<TrackInput>& detections);

  // Tracks held in memory (tracked, unconfirmed and lost).
  std::size_t HeldTracks() const { return _tracks.size(); }

 private:
  enum class State { Tracked, Lost, Removed };

  struct Track {
    int id = 0;
    int classId = 0;
    KalmanBoxFilter filter;
    State state = State::Tracked;
    bool confirmed = false;  // lost tracks are always confirmed
    int lastSeenFrame = 0;
  };

  // Matches tracks (indices into _tracks) to detections (indices into detections) and
  // updates the matched tracks; the unmatched of both are left in the two lists.
  void Associate(std::vector<int>& tracks, std::vector<int>& detectionIndices,
                 const std::vector<TrackInput>& detections, double limit, std::vector<int>& ids);
  void StartTrack(const TrackInput& detection);
  void DropDuplicates();

  std::vector<Track> _tracks;
  int _frame = 0;
  int _lastId = 0;
};

}  // namespace tevlib
