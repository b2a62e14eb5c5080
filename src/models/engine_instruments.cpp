// EngineVariables, InitEngineVariables, the four readers and SetEngineRun.
// Goes into kestovan.dll and the native tests.
#include "models/engine_instruments.h"

#include "host/host_calls.h"

namespace ksv {
namespace {

constexpr double RankineOffset = 459.7;             // degrees F = degrees R - 459.7
constexpr double PsfToPsi = 0.006944;               // psi per pound per square foot

// Record groups in EngineVariables.
constexpr uint32_t CylinderHeadGroup = 0;
constexpr uint32_t RadiatorOutletGroup = 4;
constexpr uint32_t OilTempGroup = 8;
constexpr uint32_t OilPressureGroup = 12;

bool IsEngineNumber(uint32_t n) { return n >= 1 && n <= 4; }

// Reads engine n's record of a group; the host value, unconverted.
bool ReadHostValue(uint32_t group, uint32_t n, double* value) {
  if (!IsEngineNumber(n)) return false;
  VariableDescriptor& record = EngineVariables[group + n - 1];
  HostReadVariable(&record);
  *value = record.Value;
  return true;
}

double ReadTemperature(uint32_t group, uint32_t n) {
  double value;
  if (!ReadHostValue(group, n, &value)) return -1.0;
  return value > 0.0 ? value - RankineOffset : value;
}

}  // namespace

// Engine n's block of host ids starts at 0x19F + 39 * (n - 1): cylinder head,
// oil temperature, radiator outlet, oil pressure. The records come in another
// order (cylinder head, radiator outlet, oil temperature, oil pressure).
VariableDescriptor EngineVariables[EngineVariableCount] = {
    {0x19F, {}, 0.0, {}}, {0x1C6, {}, 0.0, {}}, {0x1ED, {}, 0.0, {}}, {0x214, {}, 0.0, {}},
    {0x1A1, {}, 0.0, {}}, {0x1C8, {}, 0.0, {}}, {0x1EF, {}, 0.0, {}}, {0x216, {}, 0.0, {}},
    {0x1A0, {}, 0.0, {}}, {0x1C7, {}, 0.0, {}}, {0x1EE, {}, 0.0, {}}, {0x215, {}, 0.0, {}},
    {0x1A2, {}, 0.0, {}}, {0x1C9, {}, 0.0, {}}, {0x1F0, {}, 0.0, {}}, {0x217, {}, 0.0, {}},
};

int32_t InitEngineVariables() {
  for (VariableDescriptor& record : EngineVariables) HostInitVariable(&record);
  return 1;
}

double ReadCylinderHeadTemp(uint32_t n) { return ReadTemperature(CylinderHeadGroup, n); }

double ReadRadiatorOutletTemp(uint32_t n) {
  return ReadTemperature(RadiatorOutletGroup, n);
}

double ReadOilTemp(uint32_t n) { return ReadTemperature(OilTempGroup, n); }

double ReadOilPressure(uint32_t n) {
  double value;
  if (!ReadHostValue(OilPressureGroup, n, &value)) return -1.0;
  return value > 0.0 ? value * PsfToPsi : value;
}

void SetEngineRun(uint32_t n, int32_t run) {
  if (!IsEngineNumber(n)) return;
  HostSendEvent(EngineRunEventBase + (n - 1), run != 0 ? EngineRunValue : EngineCutValue);
}

}  // namespace ksv
