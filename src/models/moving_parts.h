// The moving-part jam and break model for the flaps, the landing gear and the
// dive brakes. A part out beyond ActivationPercent above ActivationSpeed jams
// where it stands; out beyond BreakPercent above BreakSpeed it breaks and is
// held at BreakPosition until the next aircraft load. The model holds a part
// by sending its set-event whenever the host reports another position.
#pragma once

#include <cstdint>

#include "config/failure_state.h"

namespace ksv {

constexpr uint32_t FlapsSetEvent = 0x100A2;
constexpr uint32_t GearSetEvent = 0x100A4;
constexpr uint32_t DiveBrakeSetEvent = 0x100FA;

// The display name of a part kind ("Flaps", "Landing Gear", "Dive Brakes");
// an empty text for any other value.
const char* PartName(PartKind kind);

// One call for one part record. Does nothing while `state.Enabled` is 0,
// without a record, or for a Kind outside 1..3.
void CheckPart(const FailureState& state, PartFault* part);

}  // namespace ksv
