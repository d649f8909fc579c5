// Notices when FFmpeg's scaler fails to convert a decoded frame. OpenCV 4.6 keeps the scaler
// of a stream's first frame size: when a stream changes size mid-way it fails on every frame
// and the capture goes on returning the last good one, a frozen picture. Its log line is the
// only sign. The watch hooks FFmpeg's log (once per process) and marks the thread whose read
// failed; the stream is then opened again, at its new size.
#pragma once

namespace tevhost {

// Installs the hook; later calls do nothing. Other FFmpeg messages go on as before.
void WatchScalerFailures();

// Whether the scaler failed on this thread since the last call, and clears the mark.
bool TakeScalerFailure();

}  // namespace tevhost
