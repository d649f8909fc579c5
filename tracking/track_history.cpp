// Per-track history and votes of the follow stage.
//
// Input: each detection that passed the follow stage's gates (track id, class, box, score,
// mean V of its box), and once per follow frame the ids seen in it. Keeps in _trackHistory
// a sliding window of the last VOTE_WINDOW detections of every track with its vote
// counters, and answers whether a track has collected enough votes. Reports a confirmed
// detection by moving it into the output and marking the detection state positive.
#include "detector/TEVCustomFS.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>

namespace {

// Drops the oldest entry of a record's window. The counters go down step by step, never
// below 0, and are never recounted from the histories.
template <typename Record>
void DropOldestEntry(Record& record) {
  record.bboxHistory.pop_front();
  if (!record.highConfHistory.empty()) {
    if (record.highConfHistory.front() == 1) {
      record.highConfVotes = std::max<std::int32_t>(record.highConfVotes - 1, 0);
    }
    record.highConfHistory.pop_front();
  }
  if (!record.vMeanHistory.empty()) {
    record.vMeanHistory.pop_front();
  }
  record.totalVotes = std::max<std::int32_t>(record.totalVotes - 1, 0);
}

}  // namespace

void TEVCustomFS::UpdateTrackHistory(int trackId, int classId, const cv::Rect& box,
                                     float confidence, double vMean) {
  const bool high = confidence >= HIGH_CONF_THRESHOLD;  // false for NaN
  const auto [found, added] = _trackHistory.try_emplace(trackId);
  TrackRecord& record = found->second;
  if (added) {
    record.trackId = trackId;
    record.classId = classId;
  }
  record.bboxHistory.push_back(box);
  record.highConfHistory.push_back(high ? 1 : 0);
  record.vMeanHistory.push_back(vMean);
  if (high) {
    ++record.highConfVotes;
  }
  ++record.totalVotes;
  ++record.age;
  record.missedFrames = 0;
  while (record.bboxHistory.size() > static_cast<std::size_t>(VOTE_WINDOW)) {
    DropOldestEntry(record);
  }
  if (record.highConfVotes >= VOTE_THRESHOLD) {
    record.confirmed = true;
  }
}

void TEVCustomFS::AgeTracks(const std::unordered_set<int>& seenTrackIds) {
  // The tracker forgets a lost track after about this long, so its id does not come back;
  // erasing the record keeps the table bounded while an area is held for hours.
  const int maxMissedFrames = 2 * VOTE_WINDOW;
  for (auto entry = _trackHistory.begin(); entry != _trackHistory.end();) {
    TrackRecord& record = entry->second;
    if (seenTrackIds.count(entry->first) != 0) {
      ++entry;
      continue;
    }
    if (++record.missedFrames > maxMissedFrames) {
      entry = _trackHistory.erase(entry);
      continue;
    }
    ++record.age;
    // Only a full window gives up an entry, so a missed track keeps the rest of its votes.
    if (record.bboxHistory.size() >= static_cast<std::size_t>(VOTE_WINDOW)) {
      DropOldestEntry(record);
    }
    ++entry;
  }
}

bool TEVCustomFS::IsTrackConfirmed(int trackId) const {
  const auto found = _trackHistory.find(trackId);
  return found != _trackHistory.end() && found->second.highConfVotes >= VOTE_THRESHOLD;
}

bool TEVCustomFS::IsTrackLowConfirmed(int trackId) const {
  const auto found = _trackHistory.find(trackId);
  return found != _trackHistory.end() && found->second.totalVotes >= LOW_VOTE_THRESHOLD;
}

void TEVCustomFS::AddConfirmedDetection(KESTROVIA::Object& detection,
                                        std::vector<KESTROVIA::Object>& output) {
  // A confirmed detection must pass the host's score gate, whatever its own score.
  if (_detectionScoreThreshold > detection.confidence) {
    detection.confidence = _detectionScoreThreshold;
  }
  output.push_back(std::move(detection));
  UpdatePositiveDetection();
}
