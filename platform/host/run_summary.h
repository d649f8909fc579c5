// The summary tev-host prints when the inputs are done: per input the frames read, the
// processing rate, the time per RunInference call and the alarms, and where the annotated
// video and the snapshots went.
#pragma once

#include "platform/host/input_run.h"

#include <memory>
#include <ostream>
#include <vector>

namespace tevhost {

void PrintSummary(std::ostream& out, const std::vector<std::unique_ptr<InputJob>>& jobs,
                  const std::vector<InputResult>& results, double seconds);

}  // namespace tevhost
