// The module's side of the host boundary: typed access to the tables that the
// host wrote into ImportTable, one wrapper per host operation the module uses,
// and reads and writes of SimData fields. Goes into kestovan.dll and the native
// tests.
//
// A host table still 0 in ImportTable, or a routine slot that holds 0, is
// never called through: the wrapper skips the call and gives the result a
// missing operation stands for (noted on each wrapper). A null SimData block
// reads as zero and ignores writes. A careless host therefore loses the
// module's service, never its own process.
#pragma once

#include <cstdint>
#include <cstring>

#include "host/host_interface.h"

// The exported import table, defined by the shell.
extern "C" ksv::ImportTableEntry ImportTable[ksv::ImportTableLength];

namespace ksv {

inline void* HostTable(ImportEntry entry) { return ImportTable[entry].Table; }

// The routine pointer in `slotOffset` of a host table; null when the table or
// the slot is empty.
template <typename Routine>
Routine HostRoutine(const void* table, uint32_t slotOffset) {
  Routine routine = nullptr;
  if (table != nullptr) {
    std::memcpy(&routine, static_cast<const char*>(table) + slotOffset,
                sizeof routine);
  }
  return routine;
}

template <typename T>
T ReadSimData(SimField<T> field) {
  T value{};
  if (const void* block = HostTable(SimDataEntry)) {
    std::memcpy(&value, static_cast<const char*>(block) + field.Offset, sizeof value);
  }
  return value;
}

template <typename T>
void WriteSimData(SimField<T> field, T value) {
  if (void* block = HostTable(SimDataEntry)) {
    std::memcpy(static_cast<char*>(block) + field.Offset, &value, sizeof value);
  }
}

// The folder text of the host's current aircraft record, or null when the
// host holds no record.
const char* HostAircraftFolder();

// SystemServices. Skipped calls: ReadHostSetting, ReadFileSetting 0 (no
// value), ProbeFile -1 (no file); the others return nothing the module uses.
void HostRegisterLinkage(ModuleLinkage* linkage, uint32_t* outSlot);
void HostStartupQuery(uint32_t* outA, uint32_t* outB);
int32_t HostReadHostSetting(const char* section, const char* key, char* buffer,
                            uint32_t size);
int32_t HostReadFileSetting(const char* section, const char* key, char* buffer,
                            uint32_t size, const char* path);
int32_t HostProbeFile(const char* path);
void HostComposePath(char* buffer, const char* folder, const char* name);

// NotificationServices, PreludeServices.
void HostAddHandler(NotificationRoutine handler);
void HostRemoveHandler(NotificationRoutine handler);
void HostRunPrelude();

// VariableServices.
void HostInitVariable(VariableDescriptor* descriptor);
void HostReadVariable(VariableDescriptor* descriptor);
void HostSendEvent(uint32_t eventId, uint32_t value);

// MessageServices: a pilot message, with the arguments every one carries.
void HostShowMessage(const char* text);

}  // namespace ksv
