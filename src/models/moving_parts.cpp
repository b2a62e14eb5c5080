// PartName and CheckPart. Goes into kestovan.dll and the native tests.
#include "models/moving_parts.h"

#include "diag/log.h"
#include "host/host_calls.h"
#include "models/airspeed.h"

namespace ksv {
namespace {

struct PartBinding {
  SimField<uint32_t> Position;  // where the host reports the part's raw position
  uint32_t SetEvent;            // the event that moves it
};

bool BindPart(PartKind kind, PartBinding* binding) {
  switch (kind) {
    case Flaps: *binding = {simdata::FlapsPosition, FlapsSetEvent}; return true;
    case LandingGear: *binding = {simdata::GearPosition, GearSetEvent}; return true;
    case DiveBrakes: *binding = {simdata::DiveBrakePosition, DiveBrakeSetEvent}; return true;
  }
  return false;
}

}  // namespace

const char* PartName(PartKind kind) {
  switch (kind) {
    case Flaps: return "Flaps";
    case LandingGear: return "Landing Gear";
    case DiveBrakes: return "Dive Brakes";
  }
  return "";
}

void CheckPart(const FailureState& state, PartFault* part) {
  if (state.Enabled == 0 || part == nullptr) return;
  PartBinding binding;
  if (!BindPart(part->Kind, &binding)) return;
  const uint32_t position = ReadSimData(binding.Position);

  if (part->Condition == Broken) {
    if (position != part->BreakPosition) HostSendEvent(binding.SetEvent, part->BreakPosition);
    return;
  }

  const double speed = ReadAirspeed();
  if (speed > part->BreakSpeed && position > part->BreakPercent) {
    LogMessage(
        "KSV013I VCUR(%f) PART(%s) BREAKSPEED(%f) EXCEEDED, PART IS BROKEN, POS(%X), "
        "THIS(%X)\n",
        speed, PartName(part->Kind), part->BreakSpeed, part->BreakPosition, position);
    part->Condition = Broken;
    return;  // driven to BreakPosition from the next call on
  }
  if (speed > part->ActivationSpeed && position > part->ActivationPercent) {
    part->Condition = Jammed;
    if (part->JamPosition == 0) part->JamPosition = position;
    HostShowMessage("The [part] is jammed");
    LogMessage(
        "KSV014I VCUR(%f) PART(%s) ACTIVSPEED(%f) EXCEEDED, PART IS STUCK, POS(%X), "
        "THIS(%X)\n",
        speed, PartName(part->Kind), part->ActivationSpeed, part->JamPosition, position);
  } else if (speed < part->ActivationSpeed) {
    part->Condition = Free;
    part->JamPosition = 0;
  }

  if (part->Condition == Jammed && position != part->JamPosition)
    HostSendEvent(binding.SetEvent, part->JamPosition);
}

}  // namespace ksv
