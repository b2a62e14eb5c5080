// SimulatedHost: the host's side of the module interface, written once for
// both simhost.exe (with the real kestovan.dll) and the native unit tests
// (linked with the module's sources). It implements the six routine tables and
// the SimData block, answers every operation the module uses, reacts to events
// as a host would, and records every host call, trace line, flag write and
// slot change in the order they happened.
#pragma once

#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "host/host_interface.h"

namespace simhost {

// The host's variable and event ids that the module uses, as the host knows
// them (kept apart from the module's own headers, so that a wrong id on
// either side shows).
namespace hostid {
constexpr uint32_t EngineCount = 4;                // engines the ids cover
constexpr uint32_t EngineVariableBase = 0x19F;     // engine 1's cylinder head temperature
constexpr uint32_t EngineVariableStride = 39;      // from one engine's block to the next
constexpr uint32_t OilTempOffset = 1;              // within an engine's block
constexpr uint32_t RadiatorOutletOffset = 2;
constexpr uint32_t OilPressureOffset = 3;
constexpr uint32_t EngineVariablesPerBlock = 4;    // ids of one block the module reads
constexpr uint32_t EngineRunEventBase = 0x1017F;   // engine n: base + (n - 1)
constexpr uint32_t FlapsSetEvent = 0x100A2;
constexpr uint32_t GearSetEvent = 0x100A4;
constexpr uint32_t DiveBrakeSetEvent = 0x100FA;
}  // namespace hostid

enum class RecordKind {
  Call,     // a host routine the module called; Routine and Args are set
  Trace,    // a line the module wrote to the debugger channel
  Flag,     // the module wrote AirframeFailed
  Slot,     // the module changed the LoadAircraft slot
  Warning,  // the module broke a rule of the boundary (e.g. left the x87 changed)
};

struct HostRecord {
  RecordKind Kind;
  uint32_t Tick;                  // the host's tick count when it happened
  std::string Routine;            // for a Call: the operation's name
  std::vector<std::string> Args;  // for a Call: each argument, rendered
  std::string Text;               // the whole record as one line
};

class SimulatedHost {
 public:
  // The newest SimulatedHost is the one the host routines serve.
  SimulatedHost();
  ~SimulatedHost();
  SimulatedHost(const SimulatedHost&) = delete;
  SimulatedHost& operator=(const SimulatedHost&) = delete;

  // Writes the address of each requested table into a module's ImportTable,
  // by HostModuleId, until the terminator.
  void InstallInto(ksv::ImportTableEntry* importTable);
  // A table by HostModuleId (SimData included); null for an unknown id.
  void* Table(uint32_t hostModuleId);

  template <typename T>
  T Get(ksv::SimField<T> field) const {
    T value;
    std::memcpy(&value, simData_.data() + field.Offset, sizeof value);
    return value;
  }
  template <typename T>
  void Set(ksv::SimField<T> field, T value) {
    std::memcpy(simData_.data() + field.Offset, &value, sizeof value);
  }

  // The host's current aircraft record: a folder, or none (a null pointer).
  void SetAircraftFolder(const std::string& folder);
  void ClearAircraftRecord();

  // Engine variables in host units, by variable id; 0.0 until set.
  void SetVariable(uint32_t id, double value) { variables_[id] = value; }
  double Variable(uint32_t id) const;

  // Driving the module. Each goes through CallModule.
  int32_t LoadAircraft(const char* path);  // through whatever sits in the slot
  void Notify(uint32_t code, uint32_t value = 0);  // to every registered handler
  void CallModule(const std::function<void()>& call);

  // Notes what the module changed since the last look (AirframeFailed, the
  // LoadAircraft slot); done at every host call and after every module call.
  void Observe();
  void RecordTrace(const char* text);
  void ClearRecords() { records_.clear(); }
  const std::vector<HostRecord>& Records() const { return records_; }
  // Every record's Text, in order.
  std::vector<std::string> Lines() const;
  // Gives a pointer a name in rendered arguments.
  void NamePointer(const void* address, const std::string& name);

  // The LoadAircraft slot as it stands, and the host's own routine for it.
  ksv::LoadAircraftRoutine LoadAircraftSlot() const;
  void SetLoadAircraftSlot(ksv::LoadAircraftRoutine routine);
  static ksv::LoadAircraftRoutine HostLoadAircraft();
  // Empties a routine slot, or a whole table in a module's ImportTable, to
  // play a careless host.
  void ClearSlot(uint32_t hostModuleId, uint32_t slotOffset);

  // Registered notification handlers, in order.
  std::vector<std::pair<uint32_t, ksv::NotificationRoutine>> Handlers;

  // --- How the host behaves; tests and simhost.exe set these. ---
  std::optional<std::string> DebugSetting;  // host setting Kestovan/Debug; none: no value
  int32_t LoadResult = 1;                   // what the host's own load routine returns
  uint32_t Tick = 0;                        // the virtual tick count
  bool ReducedX87 = false;                  // 24-bit x87 precision in every module call
  bool FollowSetEvents = true;              // a part set-event moves the part
  bool RecordPollingCalls = true;           // record RunPrelude and ReadVariable too
  // Files by path; when unset, the real file system.
  std::optional<std::map<std::string, std::string>> MemoryFiles;

  // What the host saw of the engines: 1 running, 0 cut, -1 never told.
  int EngineRunState[4] = {-1, -1, -1, -1};
  // Variable ids in the order InitVariable saw them.
  std::vector<uint32_t> InitializedVariables;
  // The out-slots the module handed over at start-up.
  std::vector<uint32_t*> OutSlots;

  // --- The host operations, called from the static host routines. ---
  void OnCall(const std::string& routine, std::vector<std::string> args);
  int32_t ReadHostSetting(const char* section, const char* key, char* buffer,
                          uint32_t size);
  int32_t ReadFileSetting(const char* section, const char* key, char* buffer,
                          uint32_t size, const char* path);
  int32_t ProbeFile(const char* path);
  int32_t ComposePath(char* buffer, const char* folder, const char* name);
  void ReadVariable(ksv::VariableDescriptor* descriptor);
  void SendEvent(uint32_t eventId, uint32_t value);
  bool ReadFile(const std::string& path, std::string* contents) const;

  std::string RenderPointer(const void* address) const;

 private:
  void Record(RecordKind kind, const std::string& text);

  // Routine tables, indexed as ksv::ImportEntry (the SimData entry unused).
  std::vector<uint8_t> tables_[ksv::ImportEntryCount];
  std::vector<uint8_t> simData_;
  std::vector<char> aircraftRecord_;
  std::map<uint32_t, double> variables_;
  std::map<const void*, std::string> pointerNames_;
  std::vector<HostRecord> records_;
  ksv::LoadAircraftRoutine observedSlot_ = nullptr;
  SimulatedHost* previous_ = nullptr;
};

// The host the static host routines serve; null when none exists.
SimulatedHost* CurrentHost();

// Renders a text argument as a quoted C string ("null" for a null pointer).
std::string Quote(const char* text);
// The text a Quote rendering stands for; any other rendering unchanged.
std::string Unquote(const std::string& rendered);
std::string Hex(uint32_t value);

// One record for people to read: one line, or one line per trace line, each
// ending in a newline.
std::string RenderRecord(const HostRecord& record);

}  // namespace simhost
