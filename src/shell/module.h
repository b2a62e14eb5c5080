// The module's face towards the host and the platform loader: the two
// exported records, the process-attach entry, start-up and shutdown, the
// aircraft-load hook and the notification handler that runs the failure
// models in their fixed order.
#pragma once

#include <cstdint>

#include "config/failure_state.h"
#include "host/host_interface.h"

// The two exported records: ImportTable (ordinal 1) and Linkage (ordinal 2).
extern "C" ksv::ImportTableEntry ImportTable[ksv::ImportTableLength];
extern "C" ksv::ModuleLinkage Linkage;

namespace ksv {

constexpr uint32_t ProcessDetach = 0;
constexpr uint32_t ProcessAttach = 1;

// The one failure state record, all zero until the first configuration load.
extern FailureState ModuleFailureState;

// The host's own aircraft-load routine as found at ModuleInit; null before.
extern LoadAircraftRoutine SavedLoadAircraft;

// Whether ModuleInit has run. A shutdown without a start-up has no routine of
// the host's to give back: writing the empty saved one would take the host's
// own routine from its slot.
extern bool ModuleStarted;

// The platform loader's entry: on attach runs the host version gate (0 makes
// the platform refuse the library) and switches off thread notifications.
int32_t ModuleEntry(void* module, uint32_t reason, void* reserved);

void KSV_STDCALL ModuleInit();
void KSV_STDCALL ModuleDeinit();
int32_t KSV_STDCALL AircraftLoadHook(const char* path);
void KSV_STDCALL NotificationHandler(uint32_t code, uint32_t value);

}  // namespace ksv
