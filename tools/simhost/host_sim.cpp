// SimulatedHost and the static host routines it puts into its tables. Part of
// the simulated host (simhost.exe and the native tests).
//
// Divisions: the host routines (one per table slot), rendering, the tables
// and SimData, driving the module, observation and recording, and the host's
// file, setting and variable services.
#include "host_sim.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "ini_file.h"
#include "platform/x87.h"

namespace simhost {
namespace {

using namespace ksv;

SimulatedHost* g_current = nullptr;

constexpr uint32_t SimDataBytes = 0x1400;
constexpr uint32_t TableBytes = 0x300;
static_assert(TableBytes >= HostTableMinimumBytes, "every slot fits its table");
static_assert(SimDataBytes >= simdata::BlockMinimumBytes, "every field fits SimData");

constexpr uint16_t X87PrecisionMask = 0x0300;  // PC bits; 00 selects 24-bit

// A host routine always finds a host: the module only calls through tables a
// live SimulatedHost installed.
SimulatedHost& Host() { return *g_current; }

// --- Host routines ----------------------------------------------------------

namespace routine {

int32_t KSV_STDCALL RegisterLinkage(ModuleLinkage* linkage, uint32_t* outSlot) {
  Host().OnCall("RegisterLinkage", {Host().RenderPointer(linkage), Host().RenderPointer(outSlot)});
  Host().OutSlots.push_back(outSlot);
  return 1;
}

int32_t KSV_STDCALL StartupQuery(uint32_t* outA, uint32_t* outB) {
  Host().OnCall("StartupQuery", {Host().RenderPointer(outA), Host().RenderPointer(outB)});
  Host().OutSlots.push_back(outA);
  Host().OutSlots.push_back(outB);
  return 1;
}

int32_t KSV_STDCALL ReadHostSetting(const char* section, const char* key, char* buffer,
                                    uint32_t size) {
  Host().OnCall("ReadHostSetting", {Quote(section), Quote(key), Host().RenderPointer(buffer),
                                    std::to_string(size)});
  return Host().ReadHostSetting(section, key, buffer, size);
}

int32_t KSV_STDCALL ReadFileSetting(const char* section, const char* key, char* buffer,
                                    uint32_t size, const char* path, uint32_t selector) {
  Host().OnCall("ReadFileSetting",
                {Quote(section), Quote(key), Host().RenderPointer(buffer), std::to_string(size),
                 Quote(path), std::to_string(selector)});
  return Host().ReadFileSetting(section, key, buffer, size, path);
}

int32_t KSV_STDCALL ProbeFile(const char* path, uint32_t selector) {
  Host().OnCall("ProbeFile", {Quote(path), std::to_string(selector)});
  return Host().ProbeFile(path);
}

int32_t KSV_STDCALL ComposePath(char* buffer, const char* reserved, const char* folder,
                                const char* name) {
  Host().OnCall("ComposePath", {Host().RenderPointer(buffer), Host().RenderPointer(reserved),
                                Quote(folder), Quote(name)});
  return Host().ComposePath(buffer, folder, name);
}

int32_t KSV_STDCALL AddHandler(uint32_t group, NotificationRoutine handler) {
  Host().NamePointer(reinterpret_cast<const void*>(handler), "handler");
  Host().OnCall("AddHandler", {std::to_string(group),
                               Host().RenderPointer(reinterpret_cast<const void*>(handler))});
  Host().Handlers.emplace_back(group, handler);
  return 1;
}

int32_t KSV_STDCALL RemoveHandler(uint32_t group, NotificationRoutine handler) {
  Host().OnCall("RemoveHandler", {std::to_string(group),
                                  Host().RenderPointer(reinterpret_cast<const void*>(handler))});
  auto& handlers = Host().Handlers;
  for (auto it = handlers.begin(); it != handlers.end(); ++it) {
    if (it->first == group && it->second == handler) {
      handlers.erase(it);
      break;
    }
  }
  return 1;
}

int32_t KSV_STDCALL HostOwnLoadAircraft(const char* path) {
  Host().OnCall("LoadAircraft", {Quote(path)});
  return Host().LoadResult;
}

int32_t KSV_STDCALL RunPrelude() {
  if (Host().RecordPollingCalls) Host().OnCall("RunPrelude", {});
  else Host().Observe();
  return 1;
}

int32_t KSV_STDCALL InitVariable(VariableDescriptor* descriptor) {
  Host().OnCall("InitVariable", {"id=" + Hex(descriptor->Id)});
  Host().InitializedVariables.push_back(descriptor->Id);
  return 1;
}

int32_t KSV_STDCALL ReadVariable(VariableDescriptor* descriptor) {
  if (Host().RecordPollingCalls) Host().OnCall("ReadVariable", {"id=" + Hex(descriptor->Id)});
  else Host().Observe();
  Host().ReadVariable(descriptor);
  return 1;
}

int32_t KSV_STDCALL SendEvent(uint32_t eventId, uint32_t value) {
  Host().OnCall("SendEvent", {Hex(eventId), std::to_string(value)});
  Host().SendEvent(eventId, value);
  return 1;
}

int32_t KSV_STDCALL ShowMessage(const char* text, uint32_t a, uint32_t b, uint32_t c) {
  Host().OnCall("ShowMessage",
                {Quote(text), std::to_string(a), std::to_string(b), std::to_string(c)});
  return 1;
}

}  // namespace routine

template <typename Routine>
void PutRoutine(std::vector<uint8_t>& table, uint32_t slotOffset, Routine routine) {
  static_assert(sizeof routine == 4, "a slot holds one 32-bit routine pointer");
  std::memcpy(table.data() + slotOffset, &routine, sizeof routine);
}

}  // namespace

SimulatedHost* CurrentHost() { return g_current; }

// --- Rendering ----------------------------------------------------------------

std::string Quote(const char* text) {
  if (text == nullptr) return "null";
  std::string out = "\"";
  for (const char* p = text; *p; ++p) {
    if (*p == '\n') out += "\\n";
    else if (*p == '"' || *p == '\\') out += std::string("\\") + *p;
    else out += *p;
  }
  return out + "\"";
}

std::string Unquote(const std::string& rendered) {
  if (rendered.size() < 2 || rendered.front() != '"' || rendered.back() != '"') return rendered;
  std::string text;
  for (size_t i = 1; i + 1 < rendered.size(); ++i) {
    if (rendered[i] == '\\' && i + 2 < rendered.size()) {
      const char escaped = rendered[++i];
      text += escaped == 'n' ? '\n' : escaped;
    } else {
      text += rendered[i];
    }
  }
  return text;
}

std::string Hex(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%X", value);
  return text;
}

std::string RenderRecord(const HostRecord& record) {
  if (record.Kind != RecordKind::Trace) return record.Text + "\n";
  // A trace record is "TRACE " and the module's text, which may hold lines.
  const std::string text = record.Text.substr(6);
  std::string out;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    out += "TRACE " + text.substr(start, end - start) + "\n";
    start = end + 1;
  }
  return out;
}

std::string SimulatedHost::RenderPointer(const void* address) const {
  if (address == nullptr) return "null";
  auto named = pointerNames_.find(address);
  return named != pointerNames_.end() ? named->second : "ptr";
}

void SimulatedHost::NamePointer(const void* address, const std::string& name) {
  pointerNames_[address] = name;
}

// --- Tables and SimData -----------------------------------------------------

SimulatedHost::SimulatedHost() : simData_(SimDataBytes, 0), previous_(g_current) {
  for (auto& table : tables_) table.assign(TableBytes, 0);
  auto& system = tables_[SystemServicesEntry];
  PutRoutine(system, slot::RegisterLinkage, &routine::RegisterLinkage);
  PutRoutine(system, slot::StartupQuery, &routine::StartupQuery);
  PutRoutine(system, slot::ReadHostSetting, &routine::ReadHostSetting);
  PutRoutine(system, slot::ReadFileSetting, &routine::ReadFileSetting);
  PutRoutine(system, slot::ProbeFile, &routine::ProbeFile);
  PutRoutine(system, slot::ComposePath, &routine::ComposePath);
  PutRoutine(tables_[NotificationServicesEntry], slot::AddHandler, &routine::AddHandler);
  PutRoutine(tables_[NotificationServicesEntry], slot::RemoveHandler, &routine::RemoveHandler);
  PutRoutine(tables_[AircraftServicesEntry], slot::LoadAircraft, &routine::HostOwnLoadAircraft);
  PutRoutine(tables_[PreludeServicesEntry], slot::RunPrelude, &routine::RunPrelude);
  PutRoutine(tables_[VariableServicesEntry], slot::InitVariable, &routine::InitVariable);
  PutRoutine(tables_[VariableServicesEntry], slot::ReadVariable, &routine::ReadVariable);
  PutRoutine(tables_[VariableServicesEntry], slot::SendEvent, &routine::SendEvent);
  PutRoutine(tables_[MessageServicesEntry], slot::ShowMessage, &routine::ShowMessage);
  NamePointer(reinterpret_cast<const void*>(&routine::HostOwnLoadAircraft), "HostLoadAircraft");
  observedSlot_ = LoadAircraftSlot();
  g_current = this;
}

SimulatedHost::~SimulatedHost() { g_current = previous_; }

void* SimulatedHost::Table(uint32_t hostModuleId) {
  switch (hostModuleId) {
    case SystemServicesId: return tables_[SystemServicesEntry].data();
    case SimDataId: return simData_.data();
    case NotificationServicesId: return tables_[NotificationServicesEntry].data();
    case AircraftServicesId: return tables_[AircraftServicesEntry].data();
    case PreludeServicesId: return tables_[PreludeServicesEntry].data();
    case VariableServicesId: return tables_[VariableServicesEntry].data();
    case MessageServicesId: return tables_[MessageServicesEntry].data();
  }
  return nullptr;
}

void SimulatedHost::InstallInto(ImportTableEntry* importTable) {
  for (ImportTableEntry* entry = importTable; entry->HostModuleId != 0; ++entry)
    entry->Table = Table(entry->HostModuleId);
}

void SimulatedHost::SetAircraftFolder(const std::string& folder) {
  aircraftRecord_.assign(AircraftFolderOffset + folder.size() + 1, 0);
  std::memcpy(aircraftRecord_.data() + AircraftFolderOffset, folder.c_str(), folder.size());
  Set(simdata::AircraftRecord,
      static_cast<uint32_t>(reinterpret_cast<uintptr_t>(aircraftRecord_.data())));
}

void SimulatedHost::ClearAircraftRecord() { Set(simdata::AircraftRecord, uint32_t{0}); }

double SimulatedHost::Variable(uint32_t id) const {
  auto found = variables_.find(id);
  return found == variables_.end() ? 0.0 : found->second;
}

LoadAircraftRoutine SimulatedHost::LoadAircraftSlot() const {
  LoadAircraftRoutine routine;
  std::memcpy(&routine, tables_[AircraftServicesEntry].data() + slot::LoadAircraft,
              sizeof routine);
  return routine;
}

void SimulatedHost::SetLoadAircraftSlot(LoadAircraftRoutine routine) {
  PutRoutine(tables_[AircraftServicesEntry], slot::LoadAircraft, routine);
  observedSlot_ = routine;
}

LoadAircraftRoutine SimulatedHost::HostLoadAircraft() { return &routine::HostOwnLoadAircraft; }

void SimulatedHost::ClearSlot(uint32_t hostModuleId, uint32_t slotOffset) {
  auto* table = static_cast<uint8_t*>(Table(hostModuleId));
  if (table != nullptr) std::memset(table + slotOffset, 0, 4);
  if (hostModuleId == AircraftServicesId) observedSlot_ = LoadAircraftSlot();
}

// --- Driving the module -----------------------------------------------------

void SimulatedHost::CallModule(const std::function<void()>& call) {
  const uint16_t hostWord = X87ControlWord();
  const uint16_t callWord =
      ReducedX87 ? static_cast<uint16_t>(hostWord & ~X87PrecisionMask) : hostWord;
  SetX87ControlWord(callWord);
  call();
  const uint16_t wordAfter = X87ControlWord();
  SetX87ControlWord(hostWord);
  Observe();
  if (wordAfter != callWord) {
    Record(RecordKind::Warning, "WARNING x87 control word " + Hex(callWord) +
                                    " came back as " + Hex(wordAfter));
  }
}

int32_t SimulatedHost::LoadAircraft(const char* path) {
  int32_t result = 0;
  LoadAircraftRoutine routine = LoadAircraftSlot();
  if (routine == nullptr) return 0;
  CallModule([&] { result = routine(path); });
  return result;
}

void SimulatedHost::Notify(uint32_t code, uint32_t value) {
  const auto handlers = Handlers;  // a handler may remove itself
  for (const auto& handler : handlers) CallModule([&] { handler.second(code, value); });
}

// --- Observation and recording ------------------------------------------------

void SimulatedHost::Record(RecordKind kind, const std::string& text) {
  records_.push_back(HostRecord{kind, Tick, {}, {}, text});
}

void SimulatedHost::Observe() {
  const uint16_t flag = Get(simdata::AirframeFailed);
  if (flag != 0) {
    Record(RecordKind::Flag, "FLAG AirframeFailed=" + std::to_string(flag));
    Set(simdata::AirframeFailed, uint16_t{0});  // consumed: the next write shows again
  }
  const LoadAircraftRoutine slotNow = LoadAircraftSlot();
  if (slotNow != observedSlot_) {
    observedSlot_ = slotNow;
    const void* address = reinterpret_cast<const void*>(slotNow);
    const std::string name = pointerNames_.count(address) ? RenderPointer(address)
                             : slotNow == nullptr         ? "null"
                                                          : "module routine";
    Record(RecordKind::Slot, "SLOT LoadAircraft <- " + name);
  }
}

void SimulatedHost::OnCall(const std::string& routine, std::vector<std::string> args) {
  Observe();
  std::string text = "CALL " + routine + "(";
  for (size_t i = 0; i < args.size(); ++i) text += (i ? ", " : "") + args[i];
  text += ")";
  records_.push_back(HostRecord{RecordKind::Call, Tick, routine, std::move(args), text});
}

void SimulatedHost::RecordTrace(const char* text) {
  Observe();
  Record(RecordKind::Trace, std::string("TRACE ") + text);
}

std::vector<std::string> SimulatedHost::Lines() const {
  std::vector<std::string> lines;
  for (const HostRecord& record : records_) lines.push_back(record.Text);
  return lines;
}

// --- Host services --------------------------------------------------------------

int32_t SimulatedHost::ReadHostSetting(const char* section, const char* key, char* buffer,
                                       uint32_t size) {
  if (!DebugSetting || section == nullptr || key == nullptr || buffer == nullptr || size == 0)
    return 0;
  if (!EqualsIgnoringCase(section, "Kestovan") || !EqualsIgnoringCase(key, "Debug")) return 0;
  const std::string& value = *DebugSetting;
  const size_t length = value.size() < size ? value.size() : size - 1;
  std::memcpy(buffer, value.data(), length);
  buffer[length] = '\0';
  return static_cast<int32_t>(length);
}

bool SimulatedHost::ReadFile(const std::string& path, std::string* contents) const {
  if (MemoryFiles) {
    auto found = MemoryFiles->find(path);
    if (found == MemoryFiles->end()) return false;
    if (contents) *contents = found->second;
    return true;
  }
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  if (contents) {
    std::ostringstream text;
    text << file.rdbuf();
    *contents = text.str();
  }
  return true;
}

int32_t SimulatedHost::ReadFileSetting(const char* section, const char* key, char* buffer,
                                       uint32_t size, const char* path) {
  if (section == nullptr || key == nullptr || buffer == nullptr || size == 0 || path == nullptr)
    return 0;
  std::string contents, value;
  if (!ReadFile(path, &contents) || !FindIniValue(contents, section, key, &value)) return 0;
  const size_t length = value.size() < size ? value.size() : size - 1;
  std::memcpy(buffer, value.data(), length);
  buffer[length] = '\0';
  return static_cast<int32_t>(length);
}

int32_t SimulatedHost::ProbeFile(const char* path) {
  if (path == nullptr || *path == '\0') return -1;
  return ReadFile(path, nullptr) ? 0 : -1;
}

int32_t SimulatedHost::ComposePath(char* buffer, const char* folder, const char* name) {
  if (buffer == nullptr) return 0;
  std::string path = folder ? folder : "";
  if (!path.empty() && path.back() != '\\' && path.back() != '/') path += '\\';
  path += name ? name : "";
  path += ".cfg";
  if (path.size() + 1 > TextBufferBytes) {  // does not fit: refused, empty
    buffer[0] = '\0';
    return 0;
  }
  std::memcpy(buffer, path.c_str(), path.size() + 1);
  return 1;
}

void SimulatedHost::ReadVariable(VariableDescriptor* descriptor) {
  // Copied as bytes: a double returned through the x87 would turn a
  // signalling NaN quiet and raise its flag before the module ever saw it.
  auto found = variables_.find(descriptor->Id);
  if (found == variables_.end()) {
    descriptor->Value = 0.0;
  } else {
    std::memcpy(&descriptor->Value, &found->second, sizeof descriptor->Value);
  }
}

void SimulatedHost::SendEvent(uint32_t eventId, uint32_t value) {
  using namespace hostid;
  if (eventId >= EngineRunEventBase && eventId < EngineRunEventBase + EngineCount) {
    EngineRunState[eventId - EngineRunEventBase] = value != 0 ? 1 : 0;
    return;
  }
  if (!FollowSetEvents) return;
  switch (eventId) {
    case FlapsSetEvent: Set(simdata::FlapsPosition, value); break;
    case GearSetEvent: Set(simdata::GearPosition, value); break;
    case DiveBrakeSetEvent: Set(simdata::DiveBrakePosition, value); break;
  }
}

}  // namespace simhost
