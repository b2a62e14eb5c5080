// FailureState: the one module-wide record of the current aircraft's limits
// and of the running state of its failure models, with its sub-records, and
// ResetFailureState, which takes it back to its reset values at every
// accepted aircraft load.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/host_interface.h"

namespace ksv {

enum EngineCondition : uint32_t { Normal = 0, OverHeat = 1, Seized = 2 };
enum PartCondition : uint32_t { Free = 0, Jammed = 1, Broken = 2 };
enum PartKind : uint32_t { Flaps = 1, LandingGear = 2, DiveBrakes = 3 };

constexpr uint32_t MaxEngines = 4;
constexpr uint32_t PartCount = 3;  // flaps, landing gear, dive brakes

struct AirframeLimits {
  double Gmax;  // g, highest load factor the airframe takes
  double Gmin;  // g, lowest (most negative) load factor it takes
  double Vmax;  // host airspeed unit, highest airspeed it takes
};

struct EngineFault {
  int32_t ShutDown;           // 1 while the overheat model holds the engine cut
  EngineCondition Condition;  // Normal, OverHeat or Seized
  uint32_t FaultCounter;      // cut/restart toggles since the last reset
  uint32_t FaultCountLimit;   // the engine seizes once FaultCounter exceeds it
  uint32_t ConditionSince;    // tick count (ms) of the overheat's start or last toggle
  uint32_t FaultTimeMs;       // ms between toggles
};

struct EngineLimits {
  double CylinderHeadTempLimit;    // degrees F
  double RadiatorOutletTempLimit;  // degrees F
  double OilTempLimit;             // degrees F
  double OilPressureLimit;         // psi; read and traced, never compared
};

struct PartFault {
  PartKind Kind;               // 0 after a reset, then Flaps, LandingGear or DiveBrakes
  PartCondition Condition;     // Free, Jammed or Broken
  double ActivationSpeed;      // host airspeed unit; above it a deployed part jams
  uint32_t ActivationPercent;  // raw host position threshold for jamming (not a percentage)
  double BreakSpeed;           // host airspeed unit; above it a deployed part breaks
  uint32_t BreakPercent;       // raw host position threshold for breaking
  uint32_t BreakPosition;      // raw position a broken part is held at
  uint32_t JamPosition;        // raw position captured at the jam; 0: none captured
};

struct FailureState {
  int32_t Enabled;                      // 1 once a configuration file was read
  uint32_t EngineCount;                 // HostEngineCount, zero-extended
  char ConfigPath[TextBufferBytes];     // the configuration file's path as composed
  AirframeLimits Airframe;
  EngineFault Engines[MaxEngines];      // element 0 is engine 1
  EngineLimits Limits;                  // common to all engines
  PartFault Parts[PartCount];           // flaps, landing gear, dive brakes
};

// The record's fields in their order.
static_assert(offsetof(FailureState, Enabled) == 0, "Enabled first");
static_assert(offsetof(FailureState, EngineCount) > offsetof(FailureState, Enabled), "");
static_assert(offsetof(FailureState, ConfigPath) > offsetof(FailureState, EngineCount), "");
static_assert(offsetof(FailureState, Airframe) > offsetof(FailureState, ConfigPath), "");
static_assert(offsetof(FailureState, Engines) > offsetof(FailureState, Airframe), "");
static_assert(offsetof(FailureState, Limits) > offsetof(FailureState, Engines), "");
static_assert(offsetof(FailureState, Parts) > offsetof(FailureState, Limits), "");
static_assert(sizeof(EngineFault) == 24, "six 32-bit fields");
static_assert(sizeof(EngineCondition) == 4 && sizeof(PartCondition) == 4 &&
                  sizeof(PartKind) == 4,
              "each enumeration is stored in 32 bits");

// Zero-fills the record, sets every 64-bit real to -1.0, takes EngineCount
// from the host and initialises the engine variables with the host again.
// Returns InitEngineVariables' result.
int32_t ResetFailureState(FailureState& state);

}  // namespace ksv
