// CheckEngine. Goes into kestovan.dll and the native tests.
//
// Hot means at least one reading strictly above its limit; cool means every
// reading strictly below its limit. A reading equal to its limit is neither,
// and a reading that is not a number fails both comparisons, so it never makes
// an engine hot and never holds back the return to Normal.
#include "models/engine_overheat.h"

#include "diag/log.h"
#include "host/host_calls.h"
#include "models/engine_instruments.h"
#include "platform/platform.h"

namespace ksv {
namespace {

struct EngineReadings {
  double CylinderHead;    // degrees F
  double RadiatorOutlet;  // degrees F
  double Oil;             // degrees F
};

bool IsHot(const EngineReadings& r, const EngineLimits& limits) {
  return r.CylinderHead > limits.CylinderHeadTempLimit ||
         r.RadiatorOutlet > limits.RadiatorOutletTempLimit || r.Oil > limits.OilTempLimit;
}

bool IsCool(const EngineReadings& r, const EngineLimits& limits) {
  return !(r.CylinderHead >= limits.CylinderHeadTempLimit ||
           r.RadiatorOutlet >= limits.RadiatorOutletTempLimit ||
           r.Oil >= limits.OilTempLimit);
}

// Cuts or restarts the overheated engine. Returns true when the toggle seized
// it.
bool Toggle(uint32_t n, EngineFault& engine, uint32_t now) {
  engine.ConditionSince = now;
  engine.ShutDown = engine.ShutDown == 0 ? 1 : 0;
  LogMessage("KSV009I ENGINE(%d) TICKLIMIT(%d) EXPIRED, SHUTDOWN= %s\n",
             static_cast<int>(n), static_cast<int>(engine.FaultTimeMs),
             engine.ShutDown == 1 ? "TRUE" : "FALSE");
  engine.FaultCounter += 1;
  if (engine.FaultCounter <= engine.FaultCountLimit) return false;
  LogMessage("KSV010I ENGINE(%d) FAULTCOUNTLIMIT(%d) EXCEEDED, ENGINE IS BROKEN\n",
             static_cast<int>(n), static_cast<int>(engine.FaultCountLimit));
  HostShowMessage("Your engine has seized");
  engine.Condition = Seized;
  return true;
}

}  // namespace

void CheckEngine(const FailureState& state, uint32_t n, EngineFault* engine) {
  if (state.Enabled == 0 || engine == nullptr || !IsEngineNumber(n)) return;

  if (engine->Condition == Seized) {
    SetEngineRun(n, 0);
    return;
  }

  const EngineReadings readings{ReadCylinderHeadTemp(n), ReadRadiatorOutletTemp(n),
                                ReadOilTemp(n)};

  if (engine->Condition != OverHeat) {
    if (!IsHot(readings, state.Limits)) return;
    LogMessage("KSV012I ENGINE(%d) IS IN OVER_HEAT\n", static_cast<int>(n));
    HostShowMessage("Your engine is overheating");
    engine->Condition = OverHeat;
    engine->ConditionSince = platform::TickCount();
    return;
  }

  const uint32_t now = platform::TickCount();
  if (now - engine->ConditionSince > engine->FaultTimeMs && Toggle(n, *engine, now)) return;

  if (engine->ShutDown == 1) {
    SetEngineRun(n, 0);
    return;
  }
  SetEngineRun(n, 1);
  if (IsCool(readings, state.Limits)) {
    LogMessage("KSV011I RESETTING ENGINE(%d) STATE TO NORMAL\n", static_cast<int>(n));
    engine->Condition = Normal;
  }
}

}  // namespace ksv
