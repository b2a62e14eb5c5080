// The host's x87 state across calls into the module: whatever the host left
// in the x87 (control word, exception flags) is what it finds afterwards,
// even when the host hands the module signalling NaNs, which the x87 would
// flag the moment it loaded one.
#include <cstdint>
#include <limits>

#include "module_fixture.h"
#include "platform/x87.h"

namespace {

constexpr uint16_t X87InvalidOperation = 0x0001;  // status and mask bit

uint16_t X87StatusWord() {
  uint16_t word;
  __asm__ __volatile__("fnstsw %0" : "=m"(word));
  return word;
}

void ClearX87Exceptions() { __asm__ __volatile__("fnclex"); }

}  // namespace

TEST_F(ModuleTest, SignallingNaNReadingsLeaveTheX87ExceptionFlagsAlone) {
  StartModule();
  host().Set(ksv::simdata::HostEngineCount, uint16_t{4});
  LoadAircraftWithConfig("C:\\Aircraft\\A", "[Engine]\nFaultTime = 0\n");
  const double signalling = std::numeric_limits<double>::signaling_NaN();
  for (uint32_t id : {0x19Fu, 0x1A0u, 0x1A1u, 0x1C6u, 0x1C7u, 0x1C8u, 0x1EDu, 0x1EEu, 0x1EFu,
                      0x214u, 0x215u, 0x216u})
    host().SetVariable(id, signalling);
  // One engine overheated too, so that its readings reach every test of the
  // model: a hot engine whose other readings are NaN.
  host().SetVariable(0x19F, 412.0 + 459.7);

  for (int pass = 0; pass < 3; ++pass) {
    ClearX87Exceptions();
    host().Tick += 100;
    host().Notify(ksv::MonitorEvent);
    EXPECT_EQ(X87StatusWord() & X87InvalidOperation, 0) << "pass " << pass;
  }
  EXPECT_EQ(State().Engines[0].Condition, ksv::OverHeat);
}
