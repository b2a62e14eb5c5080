// Engine instruments and run control: the module's only access to the
// engines. Holds the 16 host variable descriptors (cylinder head, radiator
// outlet and oil temperature and oil pressure of engines 1 to 4), reads them
// in degrees Fahrenheit and psi, and runs or cuts an engine through the host's
// run-control events.
#pragma once

#include <cstdint>

#include "host/host_interface.h"

namespace ksv {

constexpr uint32_t EngineVariableCount = 16;

// In record order: cylinder head 1-4, radiator outlet 1-4, oil temperature
// 1-4, oil pressure 1-4. Each stays at one address for the module's life.
extern VariableDescriptor EngineVariables[EngineVariableCount];

constexpr uint32_t EngineRunEventBase = 0x1017F;  // engine n: base + (n - 1)
constexpr uint32_t EngineRunValue = 16383;        // lets the engine run
constexpr uint32_t EngineCutValue = 0;            // cuts it

// Engine numbers run from 1 to 4.
inline bool IsEngineNumber(uint32_t n) { return n >= 1 && n <= 4; }

// Hands all 16 descriptors to the host's InitVariable, in record order.
// Always returns 1.
int32_t InitEngineVariables();

// Record groups in EngineVariables, one per quantity.
enum EngineQuantity : uint32_t {
  CylinderHeadTempGroup = 0,
  RadiatorOutletTempGroup = 4,
  OilTempGroup = 8,
  OilPressureGroup = 12,
};

constexpr double RankineOffset = 459.7;  // degrees F = degrees R - 459.7
constexpr double PsfToPsi = 0.006944;    // psi per pound per square foot

// Has the host read engine n's record of a group and gives its value in host
// units. Returns 0, with no host call, for n outside 1..4.
int32_t ReadEngineVariable(EngineQuantity group, uint32_t n, double* hostValue);

// Engine n's reading (n in 1..4; any other n returns -1.0 without a host
// call). A positive host value is converted (Rankine to Fahrenheit: minus
// 459.7; pounds per square foot to psi: times 0.006944); any other value is
// returned unchanged.
//
// The readers are always inlined: on i386 a double returned from a function
// travels through the x87, and loading a signalling NaN from the host there
// would raise an x87 exception in the host's floating-point state.
[[gnu::always_inline]] inline double ReadTemperature(EngineQuantity group, uint32_t n) {
  double value;
  if (!ReadEngineVariable(group, n, &value)) return -1.0;
  return value > 0.0 ? value - RankineOffset : value;
}

[[gnu::always_inline]] inline double ReadCylinderHeadTemp(uint32_t n) {
  return ReadTemperature(CylinderHeadTempGroup, n);
}
[[gnu::always_inline]] inline double ReadRadiatorOutletTemp(uint32_t n) {
  return ReadTemperature(RadiatorOutletTempGroup, n);
}
[[gnu::always_inline]] inline double ReadOilTemp(uint32_t n) {
  return ReadTemperature(OilTempGroup, n);
}
[[gnu::always_inline]] inline double ReadOilPressure(uint32_t n) {
  double value;
  if (!ReadEngineVariable(OilPressureGroup, n, &value)) return -1.0;
  return value > 0.0 ? value * PsfToPsi : value;
}

// Sends engine n's run event: 16383 when `run` is nonzero, else 0. Nothing
// for n outside 1..4.
void SetEngineRun(uint32_t n, int32_t run);

}  // namespace ksv
