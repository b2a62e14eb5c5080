// ResetFailureState. Goes into kestovan.dll and the native tests.
#include "config/failure_state.h"

#include <cstring>

#include "host/host_calls.h"
#include "models/engine_instruments.h"

namespace ksv {

int32_t ResetFailureState(FailureState& state) {
  std::memset(&state, 0, sizeof state);
  state.Airframe = {-1.0, -1.0, -1.0};
  state.EngineCount = ReadSimData(simdata::HostEngineCount);
  state.Limits = {-1.0, -1.0, -1.0, -1.0};
  for (PartFault& part : state.Parts) {
    part.ActivationSpeed = -1.0;
    part.BreakSpeed = -1.0;
  }
  return InitEngineVariables();
}

}  // namespace ksv
