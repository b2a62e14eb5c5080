// CheckAirframe. Goes into kestovan.dll and the native tests.
#include "models/airframe.h"

#include "diag/log.h"
#include "host/host_calls.h"
#include "models/airspeed.h"

namespace ksv {
namespace {

constexpr double LoadFactorScale = 0.0016025641025641025;  // g per raw unit (1/624)
constexpr double PlausibleLoadFactor = 50.0;  // g; above it the reading is taken as faulty

void FailAirframe(const char* pilotMessage) {
  HostShowMessage(pilotMessage);
  WriteSimData(simdata::AirframeFailed, uint16_t{1});
}

}  // namespace

void CheckAirframe(const FailureState& state, const AirframeLimits* limits) {
  if (state.Enabled == 0 || limits == nullptr) return;

  const double g = ReadSimData(simdata::GLoadRaw) * LoadFactorScale;
  if (g > PlausibleLoadFactor) {
    LogMessage("KSV005W GCUR(%f) OUT_OF_RANGE, IGNORING\n", g);
  } else if (g > 0.0 && g > limits->Gmax) {
    LogMessage("KSV006I GMAX(%f) EXCEEDED, GCUR(%f)\n", limits->Gmax, g);
    FailAirframe("Maximum Gs exceeded");
    return;
  } else if (g < 0.0 && g < limits->Gmin) {
    LogMessage("KSV007I GMIN(%f) EXCEEDED, GCUR(%f)\n", limits->Gmin, g);
    FailAirframe("Minimum Gs exceeded");
    return;
  }

  const double speed = ReadAirspeed();
  if (speed > limits->Vmax) {
    LogMessage("KSV008I VMAX(%f) EXCEEDED, VCUR(%f)\n", limits->Vmax, speed);
    FailAirframe("Maximum speed exceeded");
  }
}

}  // namespace ksv
