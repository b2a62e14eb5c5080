// The airframe limit monitor: on every monitor notification, the load factor
// against Gmax and Gmin and the airspeed against Vmax. It keeps no state: a
// violation is reported again on every notification while it lasts.
#pragma once

#include "config/failure_state.h"

namespace ksv {

// Reports at most one violation, the load factor first: trace line, pilot
// message, then a store of 1 into SimData AirframeFailed. Does nothing while
// `state.Enabled` is 0 or without `limits`.
void CheckAirframe(const FailureState& state, const AirframeLimits* limits);

}  // namespace ksv
