// The host simulator's module interface as data: the calling convention of
// every routine that crosses the host boundary, the import-table module ids,
// the slot offsets of each host table, the SimData fields and the variable
// descriptor. Shared by kestovan.dll, simhost.exe and the native tests; it
// holds declarations only, so that both sides of the boundary agree on one
// layout.
#pragma once

#include <cstddef>
#include <cstdint>

// Every routine the host calls and every host routine uses the stdcall
// convention: the callee pops its arguments. On 32-bit x86 a mismatch
// corrupts the stack silently, so no host-facing routine type goes without it.
#define KSV_STDCALL __attribute__((stdcall))

namespace ksv {

static_assert(sizeof(void*) == 4, "the host interface is 32-bit only");

// ---------------------------------------------------------------------------
// Import table: the seven host tables the module asks for, in entry order.

enum ImportEntry : uint32_t {
  SystemServicesEntry = 0,
  SimDataEntry = 1,
  NotificationServicesEntry = 2,
  AircraftServicesEntry = 3,
  PreludeServicesEntry = 4,
  VariableServicesEntry = 5,
  MessageServicesEntry = 6,
  ImportEntryCount = 7,  // the eighth entry is the terminator
};

constexpr uint32_t SystemServicesId = 0x01;
constexpr uint32_t SimDataId = 0x02;
constexpr uint32_t NotificationServicesId = 0x04;
constexpr uint32_t AircraftServicesId = 0x17;
constexpr uint32_t PreludeServicesId = 0x26;
constexpr uint32_t VariableServicesId = 0x0F;
constexpr uint32_t MessageServicesId = 0x16;

struct ImportTableEntry {
  uint32_t HostModuleId;  // which host table is asked for; 0 ends the table
  void* Table;            // written by the host before ModuleInit
};

constexpr size_t ImportTableLength = ImportEntryCount + 1;

static_assert(sizeof(ImportTableEntry) == 8, "an import entry is two words");
static_assert(offsetof(ImportTableEntry, Table) == 4, "Table is the second word");
static_assert(sizeof(ImportTableEntry[ImportTableLength]) == 64,
              "ImportTable is 64 bytes");

// ---------------------------------------------------------------------------
// Linkage: how the host finds the module's start-up and shutdown routines.

using ModuleRoutine = void(KSV_STDCALL*)();

struct ModuleLinkage {
  uint32_t ModuleId;            // the host's identifier of this module
  ModuleRoutine InitRoutine;    // ModuleInit
  ModuleRoutine DeinitRoutine;  // ModuleDeinit
  uint32_t Reserved[5];         // the host's; always 0
};

constexpr uint32_t KestovanModuleId = 0x2372;

static_assert(sizeof(ModuleLinkage) == 32, "Linkage is 32 bytes");
static_assert(offsetof(ModuleLinkage, InitRoutine) == 4, "InitRoutine at 4");
static_assert(offsetof(ModuleLinkage, DeinitRoutine) == 8, "DeinitRoutine at 8");
static_assert(offsetof(ModuleLinkage, Reserved) == 12, "Reserved at 12");

// ---------------------------------------------------------------------------
// VariableDescriptor: the host's variable record, owned by the module.

#pragma pack(push, 4)
struct VariableDescriptor {
  uint32_t Id;            // host variable id, set by the module
  uint8_t HostHead[8];    // the host's; zero until InitVariable
  double Value;           // current value after ReadVariable, host units
  uint8_t HostTail[8];    // the host's; zero until InitVariable
};
#pragma pack(pop)

static_assert(sizeof(VariableDescriptor) == 28, "VariableDescriptor is 28 bytes");
static_assert(offsetof(VariableDescriptor, Value) == 12, "Value at byte 12");

// ---------------------------------------------------------------------------
// Host routine types. Every argument is one 32-bit word.

using NotificationRoutine = void(KSV_STDCALL*)(uint32_t code, uint32_t value);
using LoadAircraftRoutine = int32_t(KSV_STDCALL*)(const char* path);

using RegisterLinkageRoutine = int32_t(KSV_STDCALL*)(ModuleLinkage* linkage,
                                                     uint32_t* outSlot);
using StartupQueryRoutine = int32_t(KSV_STDCALL*)(uint32_t* outA, uint32_t* outB);
using ReadHostSettingRoutine = int32_t(KSV_STDCALL*)(const char* section,
                                                     const char* key, char* buffer,
                                                     uint32_t size);
using ReadFileSettingRoutine = int32_t(KSV_STDCALL*)(const char* section,
                                                     const char* key, char* buffer,
                                                     uint32_t size, const char* path,
                                                     uint32_t selector);
using ProbeFileRoutine = int32_t(KSV_STDCALL*)(const char* path, uint32_t selector);
using ComposePathRoutine = int32_t(KSV_STDCALL*)(char* buffer, const char* reserved,
                                                 const char* folder,
                                                 const char* name);
using HandlerRegistrationRoutine = int32_t(KSV_STDCALL*)(uint32_t group,
                                                         NotificationRoutine handler);
using RunPreludeRoutine = int32_t(KSV_STDCALL*)();
using VariableRoutine = int32_t(KSV_STDCALL*)(VariableDescriptor* descriptor);
using SendEventRoutine = int32_t(KSV_STDCALL*)(uint32_t eventId, uint32_t value);
using ShowMessageRoutine = int32_t(KSV_STDCALL*)(const char* text, uint32_t a,
                                                 uint32_t b, uint32_t c);

// ---------------------------------------------------------------------------
// Slot offsets: byte offset of each routine pointer in its table.

namespace slot {
// SystemServices
constexpr uint32_t RegisterLinkage = 0x298;
constexpr uint32_t StartupQuery = 0x54;
constexpr uint32_t ReadHostSetting = 0xC8;
constexpr uint32_t ReadFileSetting = 0xF0;
constexpr uint32_t ProbeFile = 0x158;
constexpr uint32_t ComposePath = 0x184;
// NotificationServices
constexpr uint32_t AddHandler = 0x18;
constexpr uint32_t RemoveHandler = 0x1C;
// AircraftServices
constexpr uint32_t LoadAircraft = 0x5C;
// PreludeServices
constexpr uint32_t RunPrelude = 0x108;
// VariableServices
constexpr uint32_t InitVariable = 0x98;
constexpr uint32_t ReadVariable = 0xA0;
constexpr uint32_t SendEvent = 0x90;
// MessageServices
constexpr uint32_t ShowMessage = 0x18;
}  // namespace slot

// Largest slot offset of any table plus one pointer: how long a host table
// must at least be.
constexpr uint32_t HostTableMinimumBytes = slot::RegisterLinkage + 4;

// ---------------------------------------------------------------------------
// SimData: the host's shared data block. A field is its offset and its type.

template <typename T>
struct SimField {
  uint32_t Offset;  // byte offset in the SimData block
};

namespace simdata {
constexpr SimField<uint32_t> AirspeedRaw{0x2BC};        // airspeed x 128
constexpr SimField<uint16_t> SuspendFlag{0x5D4};        // nonzero: ignore notifications
constexpr SimField<uint16_t> AirframeFailed{0x82E};     // the module writes 1 here
constexpr SimField<uint16_t> HostEngineCount{0xAEC};    // engines of the aircraft
constexpr SimField<uint32_t> DiveBrakePosition{0xBD4};  // raw position
constexpr SimField<uint32_t> FlapsPosition{0xBE0};      // raw position
constexpr SimField<uint32_t> GearPosition{0xBEC};       // raw position
constexpr SimField<int16_t> GLoadRaw{0x11BA};           // load factor x 624
constexpr SimField<uint32_t> AircraftRecord{0x11E8};    // address of the aircraft record

constexpr uint32_t BlockMinimumBytes = 0x11E8 + 4;
}  // namespace simdata

// The aircraft record's folder text starts at this byte.
constexpr uint32_t AircraftFolderOffset = 16;

// Notification codes and groups.
constexpr uint32_t MonitorEvent = 147;      // the code that runs the failure models
constexpr uint32_t NotificationGroup = 20;  // the handler group the module joins

// Arguments every pilot message and every file service call carries.
constexpr uint32_t MessageKind = 5;
constexpr uint32_t MessageDuration = 90;
constexpr uint32_t MessageFlags = 0;
constexpr uint32_t FileSelector = 36;

// Text buffers for paths, setting values and file names.
constexpr uint32_t TextBufferBytes = 260;

}  // namespace ksv
