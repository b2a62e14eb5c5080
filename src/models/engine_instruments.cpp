// EngineVariables, InitEngineVariables, the readers' host access and
// SetEngineRun.
// Goes into kestovan.dll and the native tests.
#include "models/engine_instruments.h"

#include "host/host_calls.h"

namespace ksv {
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

int32_t ReadEngineVariable(EngineQuantity group, uint32_t n, double* hostValue) {
  if (!IsEngineNumber(n)) return 0;
  VariableDescriptor& record = EngineVariables[group + n - 1];
  HostReadVariable(&record);
  *hostValue = record.Value;
  return 1;
}

void SetEngineRun(uint32_t n, int32_t run) {
  if (!IsEngineNumber(n)) return;
  HostSendEvent(EngineRunEventBase + (n - 1), run != 0 ? EngineRunValue : EngineCutValue);
}

}  // namespace ksv
