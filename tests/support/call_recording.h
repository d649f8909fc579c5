// Turns the stand-in library's call record on while the object lives, and off again after,
// as the library ships: fixtures that read what the library was asked hold one.
#pragma once

#include "platform/tevlib/call_record.h"

namespace tevtest {

class CallRecording {
 public:
  CallRecording() { tevlib::SetCallRecording(true); }
  ~CallRecording() { tevlib::SetCallRecording(false); }
  CallRecording(const CallRecording&) = delete;
  CallRecording& operator=(const CallRecording&) = delete;
};

}  // namespace tevtest
