#include "platform/tevlib/call_record.h"

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

}  // namespace

void Record(RecordedCall call) {
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
