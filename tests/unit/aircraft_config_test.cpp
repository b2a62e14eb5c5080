// The aircraft configuration load and its two readers, against the simulated
// host: where each of the 24 settings goes and what it falls back to, the
// trace of a load, the host calls in their order, the readers' results and
// last-error codes, the reset a load starts from, loads that switch the models
// off, loads the host refused, and the example fighter's file.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "config/aircraft_config.h"
#include "diag/log.h"
#include "models/engine_instruments.h"
#include "module_fixture.h"
#include "shell/module.h"

namespace {

using ksv::FailureState;

constexpr char FolderA[] = "C:\\Aircraft\\A";
constexpr char PathA[] = "C:\\Aircraft\\A\\Kestovan.cfg";
constexpr char FolderB[] = "C:\\Aircraft\\B";
constexpr char PathB[] = "C:\\Aircraft\\B\\Kestovan.cfg";

// One setting: where it lives, where it lands, its default, and a text of
// its own (distinct from every other row's) with the value that text stores.
// Integer fields are read as doubles, which hold every 32-bit value exactly.
// FaultCount and FaultTime are read from engine 4, the last one they reach.
struct Setting {
  const char* Section;
  const char* Key;
  bool IsReal;
  double (*Field)(const FailureState&);
  double Default;
  const char* Text;
  double Value;
};

const Setting Settings[] = {
    {"Airframe", "Gmax", true, [](const FailureState& s) { return s.Airframe.Gmax; }, 15.0, "9.0", 9.0},
    {"Airframe", "Gmin", true, [](const FailureState& s) { return s.Airframe.Gmin; }, -10.0, "-4.5", -4.5},
    {"Airframe", "Vmax", true, [](const FailureState& s) { return s.Airframe.Vmax; }, 650.0, "520", 520.0},
    {"Engine", "CylinderHeadTemp", true,
     [](const FailureState& s) { return s.Limits.CylinderHeadTempLimit; }, 400.0, "460", 460.0},
    {"Engine", "RadiatorOutletTemp", true,
     [](const FailureState& s) { return s.Limits.RadiatorOutletTempLimit; }, 400.0, "250", 250.0},
    {"Engine", "OilTemp", true, [](const FailureState& s) { return s.Limits.OilTempLimit; }, 400.0,
     "220", 220.0},
    {"Engine", "OilPressure", true, [](const FailureState& s) { return s.Limits.OilPressureLimit; },
     20.0, "40", 40.0},
    {"Engine", "FaultCount", false,
     [](const FailureState& s) { return double(s.Engines[3].FaultCountLimit); }, 10, "4", 4},
    {"Engine", "FaultTime", false,
     [](const FailureState& s) { return double(s.Engines[3].FaultTimeMs); }, 10000, "8", 8000},
    {"Flaps", "ActivationSpeed", true, [](const FailureState& s) { return s.Parts[0].ActivationSpeed; },
     400.0, "180", 180.0},
    {"Flaps", "ActivationPercent", false,
     [](const FailureState& s) { return double(s.Parts[0].ActivationPercent); }, 25, "4000", 4000},
    {"Flaps", "BreakSpeed", true, [](const FailureState& s) { return s.Parts[0].BreakSpeed; }, 500.0,
     "260", 260.0},
    {"Flaps", "BreakPercent", false,
     [](const FailureState& s) { return double(s.Parts[0].BreakPercent); }, 25, "8000", 8000},
    {"Flaps", "BreakPosition", false,
     [](const FailureState& s) { return double(s.Parts[0].BreakPosition); }, 0, "3", 3},
    {"LandingGear", "ActivationSpeed", true,
     [](const FailureState& s) { return s.Parts[1].ActivationSpeed; }, 400.0, "200", 200.0},
    {"LandingGear", "ActivationPercent", false,
     [](const FailureState& s) { return double(s.Parts[1].ActivationPercent); }, 25, "2000", 2000},
    {"LandingGear", "BreakSpeed", true, [](const FailureState& s) { return s.Parts[1].BreakSpeed; },
     500.0, "240", 240.0},
    {"LandingGear", "BreakPercent", false,
     [](const FailureState& s) { return double(s.Parts[1].BreakPercent); }, 25, "6000", 6000},
    {"LandingGear", "BreakPosition", false,
     [](const FailureState& s) { return double(s.Parts[1].BreakPosition); }, 0, "5", 5},
    {"Brake", "ActivationSpeed", true, [](const FailureState& s) { return s.Parts[2].ActivationSpeed; },
     400.0, "420", 420.0},
    {"Brake", "ActivationPercent", false,
     [](const FailureState& s) { return double(s.Parts[2].ActivationPercent); }, 25, "6000.5", 6000},
    {"Brake", "BreakSpeed", true, [](const FailureState& s) { return s.Parts[2].BreakSpeed; }, 500.0,
     "480", 480.0},
    {"Brake", "BreakPercent", false,
     [](const FailureState& s) { return double(s.Parts[2].BreakPercent); }, 25, "12000", 12000},
    {"Brake", "BreakPosition", false,
     [](const FailureState& s) { return double(s.Parts[2].BreakPosition); }, 0, "7", 7},
};
constexpr size_t SettingCount = sizeof Settings / sizeof Settings[0];
static_assert(SettingCount == 24, "the file has 24 settings");

const Setting& SettingOf(const std::string& section, const std::string& key) {
  for (const Setting& s : Settings)
    if (section == s.Section && key == s.Key) return s;
  ADD_FAILURE() << "no setting " << section << "/" << key;
  return Settings[0];
}

// A file of "[Section]\nKey = text" pairs, one header per setting.
std::string FileOf(const std::vector<std::pair<const Setting*, std::string>>& entries) {
  std::string file = "; a test aircraft\n";
  for (const auto& entry : entries)
    file += "[" + std::string(entry.first->Section) + "]\n" + entry.first->Key + " = " +
            entry.second + "\n";
  return file;
}

// The line a reader traces for a setting it found.
std::string FoundTrace(const Setting& s, const std::string& text, const std::string& path) {
  return std::string(s.IsReal ? "KSV015I" : "KSV016I") + " CONFIG(" + path + ") SECTION(" +
         s.Section + ") KEY(" + s.Key + ") DATA(" + text + ")\n";
}

std::string EnabledTrace(const std::string& path) {
  return "KSV004I KESTOVAN ENABLED, CONFIG(" + path + ")\n";
}

std::string DisabledTrace(const std::string& folder) {
  return "KSV003W KESTOVAN IS DISABLED, NO CONFIG(" + folder + ")\n";
}

class AircraftConfigTest : public ModuleTest {
 protected:
  void PutConfig(const std::string& folder, const std::string& contents) {
    (*host().MemoryFiles)[folder + "\\Kestovan.cfg"] = contents;
  }

  // LoadAircraftConfig alone, as the hook runs it after an accepted load,
  // with the host's current aircraft in `folder`; the records start afresh.
  void Load(const std::string& folder) {
    host().SetAircraftFolder(folder);
    host().ClearRecords();
    host().CallModule([this] { ksv::LoadAircraftConfig(State()); });
  }

  // Models off after a reset: Enabled 0, every real -1.0, every count,
  // threshold and Kind 0, running state clear. ConfigPath is the caller's.
  void ExpectModelsOffWithResetValues() {
    const FailureState& s = State();
    EXPECT_EQ(s.Enabled, 0);
    for (const Setting& setting : Settings) {
      EXPECT_EQ(setting.Field(s), setting.IsReal ? -1.0 : 0.0) << setting.Section << "/" << setting.Key;
    }
    for (const ksv::EngineFault& engine : s.Engines) {
      EXPECT_EQ(engine.ShutDown, 0);
      EXPECT_EQ(engine.Condition, ksv::Normal);
      EXPECT_EQ(engine.FaultCounter, 0u);
      EXPECT_EQ(engine.FaultCountLimit, 0u);
      EXPECT_EQ(engine.ConditionSince, 0u);
      EXPECT_EQ(engine.FaultTimeMs, 0u);
    }
    for (const ksv::PartFault& part : s.Parts) {
      EXPECT_EQ(part.Kind, 0u);
      EXPECT_EQ(part.Condition, ksv::Free);
      EXPECT_EQ(part.JamPosition, 0u);
    }
  }

  void ExpectKindsSet() {
    EXPECT_EQ(State().Parts[0].Kind, ksv::Flaps);
    EXPECT_EQ(State().Parts[1].Kind, ksv::LandingGear);
    EXPECT_EQ(State().Parts[2].Kind, ksv::DiveBrakes);
  }

  // Running state a flight may leave behind: seized engines, broken parts.
  void DirtyRunningState() {
    for (ksv::EngineFault& engine : State().Engines)
      engine = {1, ksv::Seized, 9, 4, 1234, 8000};
    for (ksv::PartFault& part : State().Parts) {
      part.Condition = ksv::Broken;
      part.JamPosition = 777;
    }
  }
};

std::vector<std::pair<const Setting*, std::string>> EverySetting() {
  std::vector<std::pair<const Setting*, std::string>> entries;
  for (const Setting& s : Settings) entries.emplace_back(&s, s.Text);
  return entries;
}

// --- Where the settings go ---------------------------------------------------

TEST_F(AircraftConfigTest, EverySettingLandsInItsFieldAndTracesInTableOrder) {
  auto entries = EverySetting();
  std::reverse(entries.begin(), entries.end());  // the file's order is not the trace's
  PutConfig(FolderA, FileOf(entries));
  Load(FolderA);

  EXPECT_EQ(State().Enabled, 1);
  ExpectKindsSet();
  std::vector<std::string> expected;
  for (const Setting& s : Settings) {
    EXPECT_EQ(s.Field(State()), s.Value) << s.Section << "/" << s.Key;
    expected.push_back(FoundTrace(s, s.Text, PathA));
  }
  expected.push_back(EnabledTrace(PathA));
  EXPECT_EQ(Traces(), expected);
}

class MissingSettingTest : public AircraftConfigTest,
                           public ::testing::WithParamInterface<size_t> {};

TEST_P(MissingSettingTest, TakesItsDefaultAndLeavesNoLine) {
  const Setting& missing = Settings[GetParam()];
  auto entries = EverySetting();
  entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(GetParam()));
  PutConfig(FolderA, FileOf(entries));
  Load(FolderA);

  EXPECT_EQ(State().Enabled, 1);
  std::vector<std::string> expected;
  for (const Setting& s : Settings) {
    const bool isMissing = &s == &missing;
    EXPECT_EQ(s.Field(State()), isMissing ? s.Default : s.Value) << s.Section << "/" << s.Key;
    if (!isMissing) expected.push_back(FoundTrace(s, s.Text, PathA));
  }
  expected.push_back(EnabledTrace(PathA));
  EXPECT_EQ(Traces(), expected);
}

INSTANTIATE_TEST_SUITE_P(EachRow, MissingSettingTest, ::testing::Range<size_t>(0, SettingCount),
                         [](const ::testing::TestParamInfo<size_t>& row) {
                           return std::string(Settings[row.param].Section) +
                                  Settings[row.param].Key;
                         });

TEST_F(AircraftConfigTest, FileWithNoneOfTheKeysGivesEveryDefault) {
  PutConfig(FolderA, "; nothing the module reads\n[Other]\nGmax = 3\n[Airframe]\nGmaxx = 3\n");
  Load(FolderA);

  EXPECT_EQ(State().Enabled, 1);
  ExpectKindsSet();
  for (const Setting& s : Settings)
    EXPECT_EQ(s.Field(State()), s.Default) << s.Section << "/" << s.Key;
  for (const ksv::EngineFault& engine : State().Engines) {
    EXPECT_EQ(engine.FaultCountLimit, 10u);
    EXPECT_EQ(engine.FaultTimeMs, 10000u);
  }
  EXPECT_EQ(Traces(), (std::vector<std::string>{EnabledTrace(PathA)}));
}

TEST_F(AircraftConfigTest, GmaxAndGminFallBackEachOnItsOwn) {
  struct Case {
    const char* File;
    double Gmax, Gmin;
  };
  for (const Case& c : {Case{"[Airframe]\nGmax = 12\n", 12.0, -10.0},
                        Case{"[Airframe]\nGmin = -4\n", 15.0, -4.0},
                        Case{"[Airframe]\nGmax = abc\nGmin = -4\n", 15.0, -4.0}}) {
    SCOPED_TRACE(c.File);
    PutConfig(FolderA, c.File);
    Load(FolderA);
    EXPECT_EQ(State().Airframe.Gmax, c.Gmax);
    EXPECT_EQ(State().Airframe.Gmin, c.Gmin);
  }
}

// --- Value texts, as the file gives them -----------------------------------

struct ValueCase {
  const char* Section;
  const char* Key;
  const char* Text;
  double Stored;  // the field afterwards; the default when the text does not scan
};

void PrintTo(const ValueCase& c, std::ostream* os) {
  *os << c.Section << "/" << c.Key << " = \"" << c.Text << '"';
}

class ValueTextTest : public AircraftConfigTest,
                      public ::testing::WithParamInterface<ValueCase> {};

TEST_P(ValueTextTest, IsTracedAsWrittenThenScannedOrDefaulted) {
  const ValueCase& c = GetParam();
  const Setting& setting = SettingOf(c.Section, c.Key);
  PutConfig(FolderA, FileOf({{&setting, c.Text}}));
  Load(FolderA);
  EXPECT_EQ(setting.Field(State()), c.Stored);
  // The found line shows the text, scannable or not; nothing else follows it.
  EXPECT_EQ(Traces(), (std::vector<std::string>{FoundTrace(setting, c.Text, PathA),
                                                EnabledTrace(PathA)}));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ValueTextTest,
    ::testing::Values(
        ValueCase{"Airframe", "Vmax", "650 knots", 650.0},
        ValueCase{"Airframe", "Vmax", "650.1", 650.0999755859375},
        ValueCase{"Airframe", "Gmax", "1e39", INFINITY},
        ValueCase{"Airframe", "Gmin", "-1e39", -INFINITY},
        ValueCase{"Engine", "OilPressure", "1e-50", 0.0},
        ValueCase{"Engine", "OilTemp", ".5e3", 500.0},
        ValueCase{"Engine", "FaultCount", "12.5", 12},
        ValueCase{"Flaps", "BreakPosition", "0x1A", 0},
        ValueCase{"Flaps", "ActivationPercent", "-1", 4294967295.0},
        ValueCase{"LandingGear", "BreakPercent", "4294967297", 1},
        ValueCase{"Brake", "BreakPosition", "+7", 7},
        // Texts that do not scan: the default, after the found line.
        ValueCase{"Airframe", "Gmax", "abc", 15.0}, ValueCase{"Airframe", "Vmax", "-", 650.0},
        ValueCase{"Engine", "CylinderHeadTemp", "inf", 400.0},
        ValueCase{"Flaps", "BreakSpeed", ".", 500.0},
        ValueCase{"Brake", "ActivationPercent", "lots", 25},
        ValueCase{"Engine", "FaultTime", "x10", 10000},
        ValueCase{"LandingGear", "BreakPosition", "-x", 0}));

struct FaultTimeCase {
  const char* Text;
  uint32_t Milliseconds;
};

TEST_F(AircraftConfigTest, FaultTimeIsMultipliedInWrappingArithmeticForAllFourEngines) {
  for (const FaultTimeCase& c :
       {FaultTimeCase{"2", 2000}, FaultTimeCase{"0", 0}, FaultTimeCase{"-5", 4294962296u},
        FaultTimeCase{"4294967", 4294967000u}, FaultTimeCase{"4294968", 704},
        FaultTimeCase{"-1", 4294966296u}, FaultTimeCase{"soon", 10000}}) {
    SCOPED_TRACE(c.Text);
    PutConfig(FolderA, std::string("[Engine]\nFaultTime = ") + c.Text + "\n");
    Load(FolderA);
    for (const ksv::EngineFault& engine : State().Engines) EXPECT_EQ(engine.FaultTimeMs, c.Milliseconds);
  }
}

TEST_F(AircraftConfigTest, FaultCountReachesAllFourEnginesOfAOneEngineAircraft) {
  host().Set(ksv::simdata::HostEngineCount, uint16_t{1});
  for (const char* text : {"3", "-1"}) {
    SCOPED_TRACE(text);
    PutConfig(FolderA, std::string("[Engine]\nFaultCount = ") + text + "\n");
    Load(FolderA);
    EXPECT_EQ(State().EngineCount, 1u);
    const uint32_t expected = text[0] == '-' ? 4294967295u : 3u;
    for (const ksv::EngineFault& engine : State().Engines) EXPECT_EQ(engine.FaultCountLimit, expected);
  }
}

// --- The host calls of a load -------------------------------------------------

TEST_F(AircraftConfigTest, AcceptedLoadCallsTheHostInItsFixedOrder) {
  StartModule();
  PutConfig(FolderA, FileOf(EverySetting()));
  host().SetAircraftFolder(FolderA);
  host().ClearRecords();
  EXPECT_EQ(host().LoadAircraft("A.air"), 1);

  const std::string quotedPath = simhost::Quote(PathA);
  std::vector<std::string> expected = {"TRACE KSV002I LOAD(A.air)\n", "CALL LoadAircraft(\"A.air\")"};
  for (const ksv::VariableDescriptor& variable : ksv::EngineVariables)
    expected.push_back("CALL InitVariable(id=" + simhost::Hex(variable.Id) + ")");
  // The folder comes from the aircraft record, not from the path the hook got.
  expected.push_back("CALL ComposePath(ptr, null, " + simhost::Quote(FolderA) + ", \"Kestovan\")");
  expected.push_back("CALL ProbeFile(" + quotedPath + ", 36)");
  for (const Setting& s : Settings) {
    expected.push_back("CALL ReadFileSetting(\"" + std::string(s.Section) + "\", \"" + s.Key +
                       "\", ptr, 260, " + quotedPath + ", 36)");
    expected.push_back("TRACE " + FoundTrace(s, s.Text, PathA));
  }
  expected.push_back("TRACE " + EnabledTrace(PathA));
  EXPECT_EQ(host().Lines(), expected);
}

// A host that checks the buffers it is handed and fills a value to the last
// byte, leaving no terminator of its own.
int32_t KSV_STDCALL ComposePathCheckingZeroFill(char* buffer, const char*, const char* folder,
                                                const char* name) {
  for (uint32_t i = 0; i < ksv::TextBufferBytes; ++i)
    EXPECT_EQ(buffer[i], '\0') << "ConfigPath byte " << i << " was not zero";
  const std::string path = std::string(folder) + "\\" + name + ".cfg";
  std::memcpy(buffer, path.c_str(), path.size() + 1);
  return 1;
}

int32_t KSV_STDCALL ReadFileSettingFillingTheBuffer(const char* section, const char* key,
                                                    char* buffer, uint32_t size, const char*,
                                                    uint32_t) {
  EXPECT_EQ(size, ksv::TextBufferBytes);
  for (uint32_t i = 0; i < ksv::TextBufferBytes; ++i)
    EXPECT_EQ(buffer[i], '\0') << "value byte " << i << " was not zero";
  if (std::string(section) != "Airframe" || std::string(key) != "Gmax") return 0;
  std::memset(buffer, '7', size);
  return static_cast<int32_t>(size);
}

TEST_F(AircraftConfigTest, HostBuffersArriveZeroFilledAndAnUnterminatedValueStopsAtTheirEnd) {
  void* system = host().Table(ksv::SystemServicesId);
  ksv::ComposePathRoutine compose = &ComposePathCheckingZeroFill;
  ksv::ReadFileSettingRoutine read = &ReadFileSettingFillingTheBuffer;
  std::memcpy(static_cast<char*>(system) + ksv::slot::ComposePath, &compose, sizeof compose);
  std::memcpy(static_cast<char*>(system) + ksv::slot::ReadFileSetting, &read, sizeof read);
  std::strcpy(State().ConfigPath, "left over from the aircraft before");
  PutConfig(FolderA, "");
  Load(FolderA);

  EXPECT_EQ(State().Enabled, 1);
  EXPECT_EQ(State().Airframe.Gmax, INFINITY) << "259 digits are far beyond single precision";
  const Setting& gmax = SettingOf("Airframe", "Gmax");
  EXPECT_EQ(Traces(), (std::vector<std::string>{
                          FoundTrace(gmax, std::string(ksv::TextBufferBytes - 1, '7'), PathA),
                          EnabledTrace(PathA)}));
}

// --- The readers' contract --------------------------------------------------

constexpr double UntouchedReal = 123.25;
constexpr uint32_t UntouchedInteger = 0xC0FFEEu;
constexpr uint32_t EarlierError = 1234;  // a code some earlier call left

TEST_F(AircraftConfigTest, ReadersRefuseAMissingArgumentWithoutTouchingAnything) {
  const char* const sections[] = {nullptr, "Airframe", "Airframe"};
  const char* const keys[] = {"Gmax", nullptr, "Gmax"};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    const bool nullOut = i == 2;
    double real = UntouchedReal;
    uint32_t integer = UntouchedInteger;
    fake::Platform().LastError = EarlierError;
    EXPECT_EQ(ksv::ReadConfigReal(sections[i], keys[i], nullOut ? nullptr : &real, PathA), 0);
    EXPECT_EQ(fake::Platform().LastError, 87u);
    fake::Platform().LastError = EarlierError;
    EXPECT_EQ(ksv::ReadConfigInt(sections[i], keys[i], nullOut ? nullptr : &integer, PathA), 0);
    EXPECT_EQ(fake::Platform().LastError, 87u);
    EXPECT_EQ(real, UntouchedReal);
    EXPECT_EQ(integer, UntouchedInteger);
  }
  EXPECT_TRUE(host().Records().empty()) << "nothing reaches the host, nothing is traced";
}

TEST_F(AircraftConfigTest, ReadersReportAnAbsentKeyWithErrorTwoAndMinusOne) {
  PutConfig(FolderA, "[Airframe]\nVmax = 520\n");
  double real = UntouchedReal;
  uint32_t integer = UntouchedInteger;
  EXPECT_EQ(ksv::ReadConfigReal("Airframe", "Gmax", &real, PathA), 0);
  EXPECT_EQ(fake::Platform().LastError, 2u);
  EXPECT_EQ(real, -1.0);
  fake::Platform().LastError = 0;
  EXPECT_EQ(ksv::ReadConfigInt("Engine", "FaultCount", &integer, PathA), 0);
  EXPECT_EQ(fake::Platform().LastError, 2u);
  EXPECT_EQ(integer, 0xFFFFFFFFu);
  EXPECT_TRUE(Traces().empty());
  EXPECT_EQ(CallsTo("ReadFileSetting").size(), 2u);
}

TEST_F(AircraftConfigTest, ReadersTraceAnUnscannableTextThenReportErrorEightySeven) {
  PutConfig(FolderA, "[Airframe]\nGmax = high\n[Engine]\nFaultCount = many\n");
  double real = UntouchedReal;
  uint32_t integer = UntouchedInteger;
  EXPECT_EQ(ksv::ReadConfigReal("Airframe", "Gmax", &real, PathA), 0);
  EXPECT_EQ(fake::Platform().LastError, 87u);
  EXPECT_EQ(real, -1.0);
  fake::Platform().LastError = 0;
  EXPECT_EQ(ksv::ReadConfigInt("Engine", "FaultCount", &integer, PathA), 0);
  EXPECT_EQ(fake::Platform().LastError, 87u);
  EXPECT_EQ(integer, 0xFFFFFFFFu);
  EXPECT_EQ(Traces(), (std::vector<std::string>{
                          FoundTrace(SettingOf("Airframe", "Gmax"), "high", PathA),
                          FoundTrace(SettingOf("Engine", "FaultCount"), "many", PathA)}));
}

TEST_F(AircraftConfigTest, ReadersSetNoErrorOfTheirOwnOnSuccess) {
  PutConfig(FolderA, "[Airframe]\nGmax = 9.5\n[Engine]\nFaultCount = 4\n");
  double real = UntouchedReal;
  uint32_t integer = UntouchedInteger;
  fake::Platform().LastError = EarlierError;
  EXPECT_EQ(ksv::ReadConfigReal("Airframe", "Gmax", &real, PathA), 1);
  EXPECT_EQ(real, 9.5);
  EXPECT_EQ(ksv::ReadConfigInt("Engine", "FaultCount", &integer, PathA), 1);
  EXPECT_EQ(integer, 4u);
  EXPECT_EQ(fake::Platform().LastError, EarlierError);
}

TEST_F(AircraftConfigTest, ReadersPassANullPathOnToTheHost) {
  double real = UntouchedReal;
  EXPECT_EQ(ksv::ReadConfigReal("Airframe", "Gmax", &real, nullptr), 0);
  EXPECT_EQ(fake::Platform().LastError, 2u);
  EXPECT_EQ(real, -1.0);
  EXPECT_EQ(host().Lines(), (std::vector<std::string>{
                                "CALL ReadFileSetting(\"Airframe\", \"Gmax\", ptr, 260, null, 36)"}));
}

// --- Loads that leave the models off, and loads the host refused -----------

TEST_F(AircraftConfigTest, AircraftWithoutAFileAfterOneWithSwitchesTheModelsOff) {
  host().Set(ksv::simdata::HostEngineCount, uint16_t{2});
  PutConfig(FolderA, FileOf(EverySetting()));
  Load(FolderA);
  ASSERT_EQ(State().Enabled, 1);
  DirtyRunningState();

  host().Set(ksv::simdata::HostEngineCount, uint16_t{65535});
  Load(FolderB);
  ExpectModelsOffWithResetValues();
  EXPECT_STREQ(State().ConfigPath, PathB) << "the path that was looked for";
  EXPECT_EQ(State().EngineCount, 65535u) << "zero-extended, never negative";
  // The trace names the folder, not the composed path.
  EXPECT_EQ(Traces(), (std::vector<std::string>{DisabledTrace(FolderB)}));
  EXPECT_EQ(CallsTo("InitVariable").size(), ksv::EngineVariableCount);
  EXPECT_TRUE(CallsTo("ReadFileSetting").empty());
}

TEST_F(AircraftConfigTest, AcceptedLoadClearsTheRunningStateOfTheFlightBefore) {
  PutConfig(FolderA, FileOf(EverySetting()));
  Load(FolderA);
  DirtyRunningState();
  Load(FolderA);
  EXPECT_EQ(State().Enabled, 1);
  for (const ksv::EngineFault& engine : State().Engines) {
    EXPECT_EQ(engine.ShutDown, 0);
    EXPECT_EQ(engine.Condition, ksv::Normal);
    EXPECT_EQ(engine.FaultCounter, 0u);
    EXPECT_EQ(engine.ConditionSince, 0u);
  }
  for (const ksv::PartFault& part : State().Parts) {
    EXPECT_EQ(part.Condition, ksv::Free);
    EXPECT_EQ(part.JamPosition, 0u);
  }
  // The reset sends the host nothing but the engine variables again.
  EXPECT_TRUE(CallsTo("SendEvent").empty());
}

TEST_F(AircraftConfigTest, NullAircraftRecordLeavesTheModelsOffAsAMissingFileDoes) {
  PutConfig(FolderA, FileOf(EverySetting()));
  Load(FolderA);
  ASSERT_EQ(State().Enabled, 1);

  host().ClearAircraftRecord();
  host().ClearRecords();
  host().CallModule([this] { ksv::LoadAircraftConfig(State()); });
  ExpectModelsOffWithResetValues();
  EXPECT_STREQ(State().ConfigPath, "");
  std::vector<std::string> expected;
  for (const ksv::VariableDescriptor& variable : ksv::EngineVariables)
    expected.push_back("CALL InitVariable(id=" + simhost::Hex(variable.Id) + ")");
  expected.push_back("TRACE " + DisabledTrace(""));
  EXPECT_EQ(host().Lines(), expected) << "no folder: nothing to compose or probe";
}

// The composed path is the folder and 13 characters; at 247 folder characters
// it needs 261 bytes. The file is there under that path all the same: only
// the refusal keeps it from being found.
TEST_F(AircraftConfigTest, FolderTooLongForTheComposedPathLeavesTheModelsOff) {
  for (size_t folderLength : {246u, 247u}) {
    SCOPED_TRACE(folderLength);
    const std::string folder = "C:\\" + std::string(folderLength - 3, 'F');
    PutConfig(folder, "[Airframe]\nGmax = 9\n");
    Load(folder);
    if (folderLength == 246) {
      EXPECT_EQ(State().Enabled, 1);
      EXPECT_EQ(std::string(State().ConfigPath), folder + "\\Kestovan.cfg");
      EXPECT_EQ(State().Airframe.Gmax, 9.0);
    } else {
      ExpectModelsOffWithResetValues();
      EXPECT_STREQ(State().ConfigPath, "");
      EXPECT_EQ(CallsTo("ProbeFile"), (std::vector<std::string>{"CALL ProbeFile(\"\", 36)"}));
      EXPECT_EQ(Traces(), (std::vector<std::string>{DisabledTrace(folder)}));
    }
  }
}

TEST_F(AircraftConfigTest, RefusedLoadKeepsThePreviousAircraftWhole) {
  StartModule();
  PutConfig(FolderA, FileOf(EverySetting()));
  host().SetAircraftFolder(FolderA);
  ASSERT_EQ(host().LoadAircraft("A.air"), 1);
  ASSERT_EQ(State().Enabled, 1);
  DirtyRunningState();
  FailureState before;
  std::memcpy(&before, &State(), sizeof before);

  PutConfig(FolderB, "[Airframe]\nGmax = 3\n");
  for (int32_t refused : {0, 2}) {
    SCOPED_TRACE(refused);
    host().LoadResult = refused;
    host().SetAircraftFolder(FolderB);
    host().ClearRecords();
    EXPECT_EQ(host().LoadAircraft("B.air"), refused);
    EXPECT_EQ(std::memcmp(&before, &State(), sizeof before), 0) << "the record changed";
    EXPECT_EQ(host().Lines(), (std::vector<std::string>{"TRACE KSV002I LOAD(B.air)\n",
                                                        "CALL LoadAircraft(\"B.air\")"}));
  }
}

// --- Precision and the trace switch -----------------------------------------

TEST_F(AircraftConfigTest, ReducedX87PrecisionChangesNeitherValuesNorTrace) {
  auto entries = EverySetting();
  entries[2].second = "650.1";  // Vmax, whose nearest single is not 650.1
  entries[0].second = "9.1";
  entries[9].second = "180.3";
  PutConfig(FolderA, FileOf(entries));

  Load(FolderA);
  FailureState atHostPrecision;
  std::memcpy(&atHostPrecision, &State(), sizeof atHostPrecision);
  const auto tracesAtHostPrecision = Traces();

  host().ReducedX87 = true;
  Load(FolderA);
  EXPECT_EQ(State().Airframe.Vmax, 650.0999755859375);
  EXPECT_EQ(State().Airframe.Gmax, 9.1000003814697265625);
  EXPECT_EQ(std::memcmp(&atHostPrecision, &State(), sizeof atHostPrecision), 0);
  EXPECT_EQ(Traces(), tracesAtHostPrecision);
  EXPECT_EQ(Traces()[2], FoundTrace(Settings[2], "650.1", PathA));
}

TEST_F(AircraftConfigTest, TraceSwitchOffLoadsTheSameRecordSilently) {
  PutConfig(FolderA, FileOf(EverySetting()));
  Load(FolderA);
  FailureState traced;
  std::memcpy(&traced, &State(), sizeof traced);

  ksv::DebugLogging = 0;
  Load(FolderA);
  EXPECT_EQ(std::memcmp(&traced, &State(), sizeof traced), 0);
  EXPECT_TRUE(Traces().empty());
  Load(FolderB);
  EXPECT_TRUE(Traces().empty()) << "no KSV003W either";
}

// --- The example fighter ---------------------------------------------------

// The repository's root, from where this file was compiled.
std::string SourceRoot() {
  const std::string file = __FILE__;
  return file.substr(0, file.rfind("tests/unit/"));
}

// Demo flights are built on these limits: each must come from the file itself.
TEST_F(AircraftConfigTest, ExampleFighterFileNamesEverySettingWithItsDemoValue) {
  std::ifstream file(SourceRoot() + "examples/aircraft/Vestrel_Fighter/Kestovan.cfg",
                     std::ios::binary);
  ASSERT_TRUE(file) << "example file not found under " << SourceRoot();
  std::ostringstream contents;
  contents << file.rdbuf();
  PutConfig(FolderA, contents.str());
  Load(FolderA);

  const double expected[SettingCount] = {9.0,  -4.5, 520,   460,  250, 220, 40,  4,
                                         8000, 180,  4000,  260,  8000, 0,  200, 2000,
                                         240,  6000, 0,     420,  6000, 480, 12000, 0};
  EXPECT_EQ(State().Enabled, 1);
  for (size_t i = 0; i < SettingCount; ++i) {
    EXPECT_EQ(Settings[i].Field(State()), expected[i]) << Settings[i].Section << "/" << Settings[i].Key;
  }
  // A found line for each of the 24, so none of the values above is a default.
  const auto traces = Traces();
  ASSERT_EQ(traces.size(), SettingCount + 1);
  for (size_t i = 0; i < SettingCount; ++i) {
    const std::string prefix = FoundTrace(Settings[i], "", PathA);
    EXPECT_EQ(traces[i].compare(0, prefix.size() - 2, prefix, 0, prefix.size() - 2), 0)
        << traces[i];
  }
}

}  // namespace
