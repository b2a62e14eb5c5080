// One wrapper per host operation: find the routine in its table slot, skip the
// call when the table or slot is empty, otherwise call it with the arguments
// the host expects. Goes into kestovan.dll and the native tests.
#include "host/host_calls.h"

namespace ksv {
namespace {

template <typename Routine>
Routine SystemRoutine(uint32_t slotOffset) {
  return HostRoutine<Routine>(HostTable(SystemServicesEntry), slotOffset);
}

template <typename Routine>
Routine VariableRoutineAt(uint32_t slotOffset) {
  return HostRoutine<Routine>(HostTable(VariableServicesEntry), slotOffset);
}

}  // namespace

const char* HostAircraftFolder() {
  const uint32_t record = ReadSimData(simdata::AircraftRecord);
  if (record == 0) return nullptr;
  return reinterpret_cast<const char*>(static_cast<uintptr_t>(record)) +
         AircraftFolderOffset;
}

void HostRegisterLinkage(ModuleLinkage* linkage, uint32_t* outSlot) {
  if (auto routine = SystemRoutine<RegisterLinkageRoutine>(slot::RegisterLinkage))
    routine(linkage, outSlot);
}

void HostStartupQuery(uint32_t* outA, uint32_t* outB) {
  if (auto routine = SystemRoutine<StartupQueryRoutine>(slot::StartupQuery))
    routine(outA, outB);
}

int32_t HostReadHostSetting(const char* section, const char* key, char* buffer,
                            uint32_t size) {
  auto routine = SystemRoutine<ReadHostSettingRoutine>(slot::ReadHostSetting);
  return routine ? routine(section, key, buffer, size) : 0;
}

int32_t HostReadFileSetting(const char* section, const char* key, char* buffer,
                            uint32_t size, const char* path) {
  auto routine = SystemRoutine<ReadFileSettingRoutine>(slot::ReadFileSetting);
  return routine ? routine(section, key, buffer, size, path, FileSelector) : 0;
}

int32_t HostProbeFile(const char* path) {
  auto routine = SystemRoutine<ProbeFileRoutine>(slot::ProbeFile);
  return routine ? routine(path, FileSelector) : -1;
}

void HostComposePath(char* buffer, const char* folder, const char* name) {
  if (auto routine = SystemRoutine<ComposePathRoutine>(slot::ComposePath))
    routine(buffer, nullptr, folder, name);
}

void HostAddHandler(NotificationRoutine handler) {
  if (auto routine = HostRoutine<HandlerRegistrationRoutine>(
          HostTable(NotificationServicesEntry), slot::AddHandler))
    routine(NotificationGroup, handler);
}

void HostRemoveHandler(NotificationRoutine handler) {
  if (auto routine = HostRoutine<HandlerRegistrationRoutine>(
          HostTable(NotificationServicesEntry), slot::RemoveHandler))
    routine(NotificationGroup, handler);
}

void HostRunPrelude() {
  if (auto routine = HostRoutine<RunPreludeRoutine>(HostTable(PreludeServicesEntry),
                                                    slot::RunPrelude))
    routine();
}

void HostInitVariable(VariableDescriptor* descriptor) {
  if (auto routine = VariableRoutineAt<VariableRoutine>(slot::InitVariable))
    routine(descriptor);
}

void HostReadVariable(VariableDescriptor* descriptor) {
  if (auto routine = VariableRoutineAt<VariableRoutine>(slot::ReadVariable))
    routine(descriptor);
}

void HostSendEvent(uint32_t eventId, uint32_t value) {
  if (auto routine = VariableRoutineAt<SendEventRoutine>(slot::SendEvent))
    routine(eventId, value);
}

void HostShowMessage(const char* text) {
  if (auto routine = HostRoutine<ShowMessageRoutine>(HostTable(MessageServicesEntry),
                                                     slot::ShowMessage))
    routine(text, MessageKind, MessageDuration, MessageFlags);
}

}  // namespace ksv
