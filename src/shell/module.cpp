// The exported records, ModuleEntry, ModuleInit, ModuleDeinit,
// AircraftLoadHook and NotificationHandler. Goes into kestovan.dll and the
// native tests.
#include "shell/module.h"

#include "config/aircraft_config.h"
#include "diag/log.h"
#include "diag/version_gate.h"
#include "host/host_calls.h"
#include "models/airframe.h"
#include "models/engine_overheat.h"
#include "models/moving_parts.h"
#include "platform/platform.h"

#include <cstring>

extern "C" {

ksv::ImportTableEntry ImportTable[ksv::ImportTableLength] = {
    {ksv::SystemServicesId, nullptr},       {ksv::SimDataId, nullptr},
    {ksv::NotificationServicesId, nullptr}, {ksv::AircraftServicesId, nullptr},
    {ksv::PreludeServicesId, nullptr},      {ksv::VariableServicesId, nullptr},
    {ksv::MessageServicesId, nullptr},      {0, nullptr},
};

ksv::ModuleLinkage Linkage = {
    ksv::KestovanModuleId, ksv::ModuleInit, ksv::ModuleDeinit, {0, 0, 0, 0, 0}};

}  // extern "C"

namespace ksv {

FailureState ModuleFailureState;
LoadAircraftRoutine SavedLoadAircraft = nullptr;
bool ModuleStarted = false;

namespace {

constexpr uint32_t RequiredMajor = 7;
constexpr uint32_t RequiredMinor = 50;

// Out-slots handed to the host at start-up; their meaning is the host's.
uint32_t LinkageOut;
uint32_t StartupOutA;
uint32_t StartupOutB;

bool EqualsIgnoringAsciiCase(const char* a, const char* b) {
  for (;; ++a, ++b) {
    char x = *a, y = *b;
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != y) return false;
    if (x == '\0') return true;
  }
}

// Applies the host setting Debug (section Kestovan) to the trace switch; no
// value leaves the switch as it is.
void ApplyDebugSetting() {
  char value[TextBufferBytes] = {};
  if (HostReadHostSetting("Kestovan", "Debug", value, sizeof value) <= 0) return;
  value[sizeof value - 1] = '\0';
  DebugLogging = EqualsIgnoringAsciiCase(value, "TRUE") || EqualsIgnoringAsciiCase(value, "1");
}

void* LoadAircraftSlot() {
  void* table = HostTable(AircraftServicesEntry);
  return table ? static_cast<char*>(table) + slot::LoadAircraft : nullptr;
}

void RunFailureModels(FailureState& state) {
  CheckAirframe(state, &state.Airframe);
  if (state.EngineCount >= 1 && state.EngineCount <= MaxEngines) {
    for (uint32_t n = state.EngineCount; n >= 1; --n) CheckEngine(state, n, &state.Engines[n - 1]);
  }
  for (PartFault& part : state.Parts) CheckPart(state, &part);
}

}  // namespace

int32_t ModuleEntry(void* module, uint32_t reason, void* /*reserved*/) {
  if (reason == ProcessDetach) return 1;
  if (reason == ProcessAttach && !CheckHostVersion(RequiredMajor, RequiredMinor)) return 0;
  platform::DisableThreadNotifications(module);
  return 1;
}

void KSV_STDCALL ModuleInit() {
  ModuleStarted = true;
  HostRegisterLinkage(&Linkage, &LinkageOut);
  HostStartupQuery(&StartupOutA, &StartupOutB);
  ApplyDebugSetting();
  LogMessage("KSV000I MODULEINIT\n");
  HostAddHandler(NotificationHandler);

  if (void* slotAddress = LoadAircraftSlot()) {
    LoadAircraftRoutine found;
    std::memcpy(&found, slotAddress, sizeof found);
    // A second start-up without a shutdown finds the hook already in place;
    // saving it would make the hook forward to itself.
    if (found != AircraftLoadHook) SavedLoadAircraft = found;
    LoadAircraftRoutine hook = AircraftLoadHook;
    std::memcpy(slotAddress, &hook, sizeof hook);
  }
}

void KSV_STDCALL ModuleDeinit() {
  LogMessage("KSV001I MODULEDEINIT\n");
  HostRemoveHandler(NotificationHandler);
  void* slotAddress = LoadAircraftSlot();
  if (slotAddress == nullptr || !ModuleStarted) return;
  std::memcpy(slotAddress, &SavedLoadAircraft, sizeof SavedLoadAircraft);
}

int32_t KSV_STDCALL AircraftLoadHook(const char* path) {
  if (SavedLoadAircraft == nullptr) return 0;
  LogMessage("KSV002I LOAD(%s)\n", path ? path : "");
  const int32_t result = SavedLoadAircraft(path);
  if (result == 1) LoadAircraftConfig(ModuleFailureState);
  return result;
}

void KSV_STDCALL NotificationHandler(uint32_t code, uint32_t /*value*/) {
  if (ReadSimData(simdata::SuspendFlag) != 0) return;
  HostRunPrelude();
  if (code != MonitorEvent || ModuleFailureState.Enabled == 0) return;
  RunFailureModels(ModuleFailureState);
}

}  // namespace ksv
