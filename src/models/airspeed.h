// The current airspeed in the host's airspeed unit, as the airframe monitor
// and the jam and break model both judge it.
#pragma once

#include "host/host_calls.h"

namespace ksv {

constexpr double AirspeedScale = 0.0078125;  // speed unit per raw unit (exactly 1/128)

// SimData AirspeedRaw, unsigned, times 1/128: a raw value of 2^31 or more is
// a large positive speed, never a negative one.
inline double ReadAirspeed() { return ReadSimData(simdata::AirspeedRaw) * AirspeedScale; }

}  // namespace ksv
