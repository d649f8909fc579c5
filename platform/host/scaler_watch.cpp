#include "platform/host/scaler_watch.h"

extern "C" {
#include <libavutil/log.h>
}

#include <cstdarg>
#include <cstring>
#include <mutex>

namespace tevhost {
namespace {

thread_local bool scalerFailed = false;

extern "C" void NoteScalerFailures(void* object, int level, const char* format, va_list args) {
  const AVClass* const* classOf = static_cast<const AVClass* const*>(object);
  if (classOf != nullptr && *classOf != nullptr && level <= AV_LOG_ERROR &&
      std::strcmp((*classOf)->class_name, "SWScaler") == 0) {
    scalerFailed = true;  // handled by opening the stream again: not worth a line a frame
    return;
  }
  av_log_default_callback(object, level, format, args);
}

}  // namespace

void WatchScalerFailures() {
  static std::once_flag installed;
  std::call_once(installed, [] { av_log_set_callback(NoteScalerFailures); });
}

bool TakeScalerFailure() {
  const bool failed = scalerFailed;
  scalerFailed = false;
  return failed;
}

}  // namespace tevhost
