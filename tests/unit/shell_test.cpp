// The module shell: start-up and shutdown against the host tables, the Debug
// switch, the aircraft-load hook and the notification handler's filters and
// model order, and the careless host the shell must survive.
#include <cstring>

#include "config/aircraft_config.h"
#include "diag/log.h"
#include "host/host_calls.h"
#include "module_fixture.h"
#include "shell/module.h"

using simhost::RecordKind;
using simhost::SimulatedHost;

namespace {

constexpr char FullConfig[] = "[Airframe]\nVmax = 420\n";

int32_t KSV_STDCALL LoadReturningTwo(const char*) { return 2; }

}  // namespace

TEST_F(ModuleTest, ExportedRecordsHoldTheirFixedContents) {
  EXPECT_EQ(Linkage.ModuleId, 0x2372u);
  EXPECT_EQ(Linkage.InitRoutine, &ksv::ModuleInit);
  EXPECT_EQ(Linkage.DeinitRoutine, &ksv::ModuleDeinit);
  for (uint32_t word : Linkage.Reserved) EXPECT_EQ(word, 0u);
  const uint32_t ids[] = {0x01, 0x02, 0x04, 0x17, 0x26, 0x0F, 0x16, 0};
  for (size_t i = 0; i < ksv::ImportTableLength; ++i)
    EXPECT_EQ(ImportTable[i].HostModuleId, ids[i]) << "entry " << i;
}

TEST_F(ModuleTest, StartUpCallsTheHostInOrderAndHooksTheLoadSlot) {
  host().DebugSetting = "1";
  StartModule();
  EXPECT_EQ(host().Lines(),
            (std::vector<std::string>{
                "CALL RegisterLinkage(Linkage, ptr)",
                "CALL StartupQuery(ptr, ptr)",
                "CALL ReadHostSetting(\"Kestovan\", \"Debug\", ptr, 260)",
                "TRACE KSV000I MODULEINIT\n",
                "CALL AddHandler(20, handler)",
                "SLOT LoadAircraft <- module routine",
            }));
  ASSERT_EQ(host().Handlers.size(), 1u);
  EXPECT_EQ(host().Handlers[0].first, 20u);
  EXPECT_EQ(host().Handlers[0].second, &ksv::NotificationHandler);
  EXPECT_EQ(host().LoadAircraftSlot(), &ksv::AircraftLoadHook);
  EXPECT_EQ(ksv::SavedLoadAircraft, SimulatedHost::HostLoadAircraft());
  ASSERT_EQ(host().OutSlots.size(), 3u);
  EXPECT_NE(host().OutSlots[0], host().OutSlots[1]);
  EXPECT_NE(host().OutSlots[1], host().OutSlots[2]);
}

struct DebugCase {
  const char* Setting;  // nullptr: the host has no value
  int32_t TraceOn;
};

class DebugSettingTest : public ModuleTest,
                         public ::testing::WithParamInterface<DebugCase> {};

TEST_P(DebugSettingTest, SettlesTheTraceSwitchBeforeTheFirstLine) {
  const DebugCase& c = GetParam();
  if (c.Setting) host().DebugSetting = c.Setting;
  StartModule();
  EXPECT_EQ(ksv::DebugLogging, c.TraceOn);
  const auto traces = Traces();
  EXPECT_EQ(traces.size(), c.TraceOn ? 1u : 0u);
  if (c.TraceOn) {
    EXPECT_EQ(traces[0], "KSV000I MODULEINIT\n");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, DebugSettingTest,
    ::testing::Values(DebugCase{"TRUE", 1}, DebugCase{"true", 1}, DebugCase{"True", 1},
                      DebugCase{"1", 1}, DebugCase{"0", 0}, DebugCase{"FALSE", 0},
                      DebugCase{"yes", 0}, DebugCase{" 1", 0}, DebugCase{"1 ", 0},
                      DebugCase{"TRUE1", 0}, DebugCase{nullptr, 1}, DebugCase{"", 1}));

TEST_F(ModuleTest, ShutdownTracesRemovesTheHandlerAndRestoresTheSavedRoutine) {
  StartModule();
  // Another party replaced the slot after start-up: the saved routine still
  // goes back.
  host().SetLoadAircraftSlot(&LoadReturningTwo);
  host().ClearRecords();
  host().CallModule([] { Linkage.DeinitRoutine(); });
  EXPECT_EQ(host().Lines(), (std::vector<std::string>{
                                "TRACE KSV001I MODULEDEINIT\n",
                                "CALL RemoveHandler(20, handler)",
                                "SLOT LoadAircraft <- HostLoadAircraft",
                            }));
  EXPECT_TRUE(host().Handlers.empty());
  EXPECT_EQ(ksv::SavedLoadAircraft, SimulatedHost::HostLoadAircraft());
}

TEST_F(ModuleTest, ShutdownWithoutStartUpLeavesTheHostsRoutineInItsSlot) {
  host().CallModule([] { Linkage.DeinitRoutine(); });
  EXPECT_EQ(host().LoadAircraftSlot(), SimulatedHost::HostLoadAircraft());
  EXPECT_EQ(host().Lines(), (std::vector<std::string>{"TRACE KSV001I MODULEDEINIT\n",
                                                      "CALL RemoveHandler(20, ptr)"}));
}

TEST_F(ModuleTest, ShutdownGivesAnEmptySlotBackEmpty) {
  host().ClearSlot(ksv::AircraftServicesId, ksv::slot::LoadAircraft);
  StartModule();
  EXPECT_EQ(host().LoadAircraftSlot(), &ksv::AircraftLoadHook);
  host().CallModule([] { Linkage.DeinitRoutine(); });
  EXPECT_EQ(host().LoadAircraftSlot(), nullptr);

  // Even when another party filled the slot in between: what was there at
  // start-up goes back.
  StartModule();
  host().SetLoadAircraftSlot(&LoadReturningTwo);
  host().CallModule([] { Linkage.DeinitRoutine(); });
  EXPECT_EQ(host().LoadAircraftSlot(), nullptr);
}

TEST_F(ModuleTest, SecondStartUpNeverMakesTheHookForwardToItself) {
  StartModule();
  StartModule();
  EXPECT_EQ(ksv::SavedLoadAircraft, SimulatedHost::HostLoadAircraft());
  EXPECT_EQ(host().LoadAircraftSlot(), &ksv::AircraftLoadHook);
  host().SetAircraftFolder("C:\\Aircraft\\A");
  EXPECT_EQ(host().LoadAircraft("A.air"), 1);
  EXPECT_EQ(CallsTo("LoadAircraft").size(), 1u);
}

TEST_F(ModuleTest, HookTracesForwardsAndLoadsTheConfigurationOnlyOnOne) {
  StartModule();
  host().ClearRecords();
  EXPECT_EQ(LoadAircraftWithConfig("C:\\Aircraft\\A", FullConfig), 1);
  const auto lines = host().Lines();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[0], "TRACE KSV002I LOAD(C:\\Aircraft\\A)\n");
  EXPECT_EQ(lines[1], "CALL LoadAircraft(\"C:\\\\Aircraft\\\\A\")");
  EXPECT_EQ(State().Enabled, 1);

  // A refused load passes its result through and keeps the aircraft before.
  for (int32_t refused : {0, 2, -1}) {
    host().LoadResult = refused;
    host().ClearRecords();
    EXPECT_EQ(LoadAircraftWithoutConfig("C:\\Aircraft\\B"), refused);
    EXPECT_TRUE(CallsTo("InitVariable").empty()) << refused;
    EXPECT_EQ(State().Enabled, 1) << refused;
    EXPECT_STREQ(State().ConfigPath, "C:\\Aircraft\\A\\Kestovan.cfg");
  }
}

TEST_F(ModuleTest, HookWithoutASavedRoutineReturnsZeroAndDoesNothing) {
  EXPECT_EQ(ksv::AircraftLoadHook("C:\\Aircraft\\A"), 0);
  EXPECT_TRUE(host().Records().empty());
}

TEST_F(ModuleTest, HookTracesANullPathAsEmptyText) {
  StartModule();
  host().ClearRecords();
  host().SetAircraftFolder("C:\\Aircraft\\A");
  EXPECT_EQ(host().LoadAircraft(nullptr), 1);
  EXPECT_EQ(host().Lines()[0], "TRACE KSV002I LOAD()\n");
  EXPECT_EQ(host().Lines()[1], "CALL LoadAircraft(null)");
}

TEST_F(ModuleTest, NotificationsAreFilteredBySuspendCodeAndEnabled) {
  StartModule();
  host().ClearRecords();

  host().Set(ksv::simdata::SuspendFlag, uint16_t{1});
  host().Notify(ksv::MonitorEvent);
  EXPECT_TRUE(host().Records().empty()) << "a suspended host gets nothing, not even the prelude";

  host().Set(ksv::simdata::SuspendFlag, uint16_t{0});
  host().Notify(12);
  host().Notify(ksv::MonitorEvent);  // before any configured aircraft: Enabled is 0
  EXPECT_EQ(host().Lines(),
            (std::vector<std::string>{"CALL RunPrelude()", "CALL RunPrelude()"}));
}

struct EngineOrderCase {
  uint16_t HostEngineCount;
  std::vector<uint32_t> EnginesRead;  // by cylinder head variable reads
};

class EngineOrderTest : public ModuleTest,
                        public ::testing::WithParamInterface<EngineOrderCase> {};

TEST_P(EngineOrderTest, RunsTheModelsInTheirFixedOrder) {
  StartModule();
  host().Set(ksv::simdata::HostEngineCount, GetParam().HostEngineCount);
  LoadAircraftWithConfig("C:\\Aircraft\\A", FullConfig);
  EXPECT_EQ(State().EngineCount, GetParam().HostEngineCount);
  // The airframe's speed violation, then the engines, then the three parts.
  host().Set(ksv::simdata::AirspeedRaw, uint32_t{450 * 128});
  host().Set(ksv::simdata::FlapsPosition, uint32_t{100});
  host().Set(ksv::simdata::GearPosition, uint32_t{100});
  host().Set(ksv::simdata::DiveBrakePosition, uint32_t{100});
  host().ClearRecords();
  host().Notify(ksv::MonitorEvent);

  std::vector<std::string> expected = {
      "CALL RunPrelude()",
      "TRACE KSV008I VMAX(420.000000) EXCEEDED, VCUR(450.000000)\n",
      "CALL ShowMessage(\"Maximum speed exceeded\", 5, 90, 0)",
      "FLAG AirframeFailed=1",
  };
  const uint32_t cylinderHead[] = {0x19F, 0x1C6, 0x1ED, 0x214};
  const uint32_t radiator[] = {0x1A1, 0x1C8, 0x1EF, 0x216};
  const uint32_t oil[] = {0x1A0, 0x1C7, 0x1EE, 0x215};
  for (uint32_t n : GetParam().EnginesRead) {
    expected.push_back("CALL ReadVariable(id=" + simhost::Hex(cylinderHead[n - 1]) + ")");
    expected.push_back("CALL ReadVariable(id=" + simhost::Hex(radiator[n - 1]) + ")");
    expected.push_back("CALL ReadVariable(id=" + simhost::Hex(oil[n - 1]) + ")");
  }
  for (const char* part : {"Flaps", "Landing Gear", "Dive Brakes"}) {
    expected.push_back("CALL ShowMessage(\"The [part] is jammed\", 5, 90, 0)");
    expected.push_back(std::string("TRACE KSV014I VCUR(450.000000) PART(") + part +
                       ") ACTIVSPEED(400.000000) EXCEEDED, PART IS STUCK, POS(64), THIS(64)\n");
  }
  EXPECT_EQ(host().Lines(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    EngineCounts, EngineOrderTest,
    ::testing::Values(EngineOrderCase{0, {}}, EngineOrderCase{1, {1}},
                      EngineOrderCase{2, {2, 1}}, EngineOrderCase{3, {3, 2, 1}},
                      EngineOrderCase{4, {4, 3, 2, 1}}, EngineOrderCase{5, {}},
                      EngineOrderCase{6, {}}, EngineOrderCase{65535, {}}));

TEST_F(ModuleTest, AttachRunsTheGateAndSwitchesOffThreadNotifications) {
  int module;
  EXPECT_EQ(ksv::ModuleEntry(&module, ksv::ProcessAttach, nullptr), 1);
  ASSERT_EQ(fake::Platform().ThreadNotificationsOff.size(), 1u);
  EXPECT_EQ(fake::Platform().ThreadNotificationsOff[0], &module);
  EXPECT_EQ(fake::Platform().DebugOutput.back(), "KSV508I SIMULATOR VERSION(7.50) PASSED\n");

  // Detach does nothing; thread reasons only switch notifications off again.
  EXPECT_EQ(ksv::ModuleEntry(&module, ksv::ProcessDetach, nullptr), 1);
  EXPECT_EQ(ksv::ModuleEntry(&module, 2, nullptr), 1);
  EXPECT_EQ(fake::Platform().ThreadNotificationsOff.size(), 2u);
}

TEST_F(ModuleTest, AttachToAnotherHostReleaseIsRefused) {
  fake::Platform().Version.FileVersionMS = (7u << 16) | 49u;
  int module;
  EXPECT_EQ(ksv::ModuleEntry(&module, ksv::ProcessAttach, nullptr), 0);
  EXPECT_TRUE(fake::Platform().ThreadNotificationsOff.empty());
}

// A host that left tables or routine slots empty loses the module's service
// for them, never its process.
TEST_F(ModuleTest, EmptyTablesAndSlotsAreSkipped) {
  for (size_t i = 0; i < ksv::ImportEntryCount; ++i) ImportTable[i].Table = nullptr;
  ksv::ModuleInit();
  EXPECT_EQ(ksv::SavedLoadAircraft, nullptr);
  EXPECT_EQ(ksv::AircraftLoadHook("A"), 0);
  ksv::NotificationHandler(ksv::MonitorEvent, 0);
  ksv::LoadAircraftConfig(State());
  EXPECT_EQ(State().Enabled, 0);
  ksv::ModuleDeinit();
  EXPECT_EQ(host().Lines(), (std::vector<std::string>{
                                "TRACE KSV000I MODULEINIT\n",
                                "TRACE KSV003W KESTOVAN IS DISABLED, NO CONFIG()\n",
                                "TRACE KSV001I MODULEDEINIT\n",
                            }));

  host().InstallInto(ImportTable);
  for (uint32_t slotOffset : {ksv::slot::RegisterLinkage, ksv::slot::StartupQuery,
                              ksv::slot::ReadHostSetting, ksv::slot::ComposePath,
                              ksv::slot::ProbeFile, ksv::slot::ReadFileSetting})
    host().ClearSlot(ksv::SystemServicesId, slotOffset);
  host().ClearSlot(ksv::NotificationServicesId, ksv::slot::AddHandler);
  host().ClearSlot(ksv::AircraftServicesId, ksv::slot::LoadAircraft);
  host().ClearSlot(ksv::PreludeServicesId, ksv::slot::RunPrelude);
  host().ClearSlot(ksv::VariableServicesId, ksv::slot::InitVariable);
  host().ClearSlot(ksv::MessageServicesId, ksv::slot::ShowMessage);
  StartModule();
  EXPECT_EQ(ksv::SavedLoadAircraft, nullptr);
  EXPECT_EQ(ksv::AircraftLoadHook("A"), 0);
  host().Notify(ksv::MonitorEvent);
  EXPECT_TRUE(CallsTo("RunPrelude").empty());
}

TEST_F(ModuleTest, FailureStateIsTheOneRecordTheModelsGet) {
  StartModule();
  host().Set(ksv::simdata::HostEngineCount, uint16_t{2});
  LoadAircraftWithConfig("C:\\Aircraft\\A", "");
  host().Set(ksv::simdata::GLoadRaw, int16_t{16 * 624});
  host().Notify(ksv::MonitorEvent);
  EXPECT_EQ(CallsTo("ShowMessage"),
            (std::vector<std::string>{"CALL ShowMessage(\"Maximum Gs exceeded\", 5, 90, 0)"}));
}
