#include "platform/tevlib/call_record.h"

#include <atomic>
#include <deque>
#include <mutex>
#include <utility>

namespace tevlib {
namespace {

struct CallRecord {
  std::mutex mutex;
  std::deque<RecordedCall> calls;
};

CallRecord& TheRecord() {
  static CallRecord record;
  return record;
}

std::atomic<bool> recording{false};

}  // namespace

void SetCallRecording(bool on) {
  recording.store(on, std::memory_order_release);
}

bool CallRecordingOn() {
  return recording.load(std::memory_order_acquire);
}

void Record(RecordedCall call) {
  if (!CallRecordingOn()) {
    return;
  }
  CallRecord& record = TheRecord();
  std::lock_guard<std::mutex> lock(record.mutex);
  if (record.calls.size() == kRecordCapacity) {
    record.calls.pop_front();
  }
  record.calls.push_back(std::move(call));
}

std::vector<RecordedCall> RecordedCalls() {
  CallRecord& record = TheRecord();
  std::lock_guard<std::mutex> lock(record.mutex);
  return {record.calls.begin(), record.calls.end()};
}

std::vector<RecordedCall> RecordedCalls(CallKind kind) {
  std::vector<RecordedCall> selected;
  for (RecordedCall& call : RecordedCalls()) {
    if (call.kind == kind) {
      selected.push_back(std::move(call));
    }
  }
  return selected;
}

void ClearRecordedCalls() {
  CallRecord& record = TheRecord();
  std::lock_guard<std::mutex> lock(record.mutex);
  record.calls.clear();
}

}  // namespace tevlib
