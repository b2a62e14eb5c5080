// The engine overheat model: one engine at a time, on every monitor
// notification. A hot engine overheats; while it stays hot it is cut and
// restarted every FaultTimeMs, and once its toggles since the aircraft load
// exceed FaultCountLimit it seizes and stays cut until the next load.
#pragma once

#include <cstdint>

#include "config/failure_state.h"

namespace ksv {

// One pass for engine `n` (1..4) and its record `engine`. Does nothing while
// `state.Enabled` is 0, without a record or for another n.
void CheckEngine(const FailureState& state, uint32_t n, EngineFault* engine);

}  // namespace ksv
