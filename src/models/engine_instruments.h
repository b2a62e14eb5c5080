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

// Hands all 16 descriptors to the host's InitVariable, in record order.
// Always returns 1.
int32_t InitEngineVariables();

// Engine n's reading (n in 1..4; any other n returns -1.0 without a host
// call). A positive host value is converted (Rankine to Fahrenheit: minus
// 459.7; pounds per square foot to psi: times 0.006944); any other value is
// returned unchanged.
double ReadCylinderHeadTemp(uint32_t n);
double ReadRadiatorOutletTemp(uint32_t n);
double ReadOilTemp(uint32_t n);
double ReadOilPressure(uint32_t n);

// Sends engine n's run event: 16383 when `run` is nonzero, else 0. Nothing
// for n outside 1..4.
void SetEngineRun(uint32_t n, int32_t run);

}  // namespace ksv
