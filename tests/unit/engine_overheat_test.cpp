// The engine overheat model: one row of its transition table per case, what
// counts as hot and as cool for each of the three readings, the timing of the
// cut and run periods (strict expiry, tick wrap, a zero period), where the
// fault count runs out, the guards that make a pass do nothing, and whole
// flights through the module: the default timeline up to the seizure, short
// overheats, two engines at once and the aircraft load that ends a seizure.
#include "models/engine_overheat.h"

#include <cstdint>
#include <cstring>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "module_fixture.h"

namespace {

using ksv::EngineCondition;
using ksv::Normal;
using ksv::OverHeat;
using ksv::Seized;
using Lines = std::vector<std::string>;

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// Host ids of engines 1 to 4.
constexpr uint32_t CylinderHeadId[4] = {0x19F, 0x1C6, 0x1ED, 0x214};
constexpr uint32_t RadiatorOutletId[4] = {0x1A1, 0x1C8, 0x1EF, 0x216};
constexpr uint32_t OilTempId[4] = {0x1A0, 0x1C7, 0x1EE, 0x215};

// The host reports temperatures in degrees Rankine. Whole degrees F from 0 to
// 52 survive the round trip exactly, which the at-the-limit cases need.
double Rankine(double fahrenheit) { return fahrenheit + 459.7; }

Lines ReadsOf(uint32_t n) {
  return {"CALL ReadVariable(id=" + simhost::Hex(CylinderHeadId[n - 1]) + ")",
          "CALL ReadVariable(id=" + simhost::Hex(RadiatorOutletId[n - 1]) + ")",
          "CALL ReadVariable(id=" + simhost::Hex(OilTempId[n - 1]) + ")"};
}

std::string RunEvent(uint32_t n) {
  return "CALL SendEvent(" + simhost::Hex(0x1017F + n - 1) + ", 16383)";
}
std::string CutEvent(uint32_t n) {
  return "CALL SendEvent(" + simhost::Hex(0x1017F + n - 1) + ", 0)";
}

std::string Overheats(uint32_t n) {
  return "TRACE KSV012I ENGINE(" + std::to_string(n) + ") IS IN OVER_HEAT\n";
}
std::string Toggles(uint32_t n, uint32_t faultTimeMs, bool cut) {
  return "TRACE KSV009I ENGINE(" + std::to_string(n) + ") TICKLIMIT(" +
         std::to_string(faultTimeMs) + ") EXPIRED, SHUTDOWN= " + (cut ? "TRUE" : "FALSE") + "\n";
}
std::string SeizesAt(uint32_t n, uint32_t limit) {
  return "TRACE KSV010I ENGINE(" + std::to_string(n) + ") FAULTCOUNTLIMIT(" +
         std::to_string(limit) + ") EXCEEDED, ENGINE IS BROKEN\n";
}
std::string BackToNormal(uint32_t n) {
  return "TRACE KSV011I RESETTING ENGINE(" + std::to_string(n) + ") STATE TO NORMAL\n";
}
const std::string OverheatMessage = "CALL ShowMessage(\"Your engine is overheating\", 5, 90, 0)";
const std::string SeizedMessage = "CALL ShowMessage(\"Your engine has seized\", 5, 90, 0)";

Lines Concat(Lines a, const Lines& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

class EngineOverheatTest : public ModuleTest {
 protected:
  // Temperatures in degrees F, handed to the host in its unit.
  void SetTemps(uint32_t n, double cylinderHead, double radiatorOutlet, double oil) {
    host().SetVariable(CylinderHeadId[n - 1], Rankine(cylinderHead));
    host().SetVariable(RadiatorOutletId[n - 1], Rankine(radiatorOutlet));
    host().SetVariable(OilTempId[n - 1], Rankine(oil));
  }
  void SetHot(uint32_t n) { SetTemps(n, 412.0, 300.0, 300.0); }
  void SetCool(uint32_t n) { SetTemps(n, 300.0, 300.0, 300.0); }

  // The module's GetTickCount: the simulated host's clock.
  void SetTick(uint32_t tick) { host().Tick = tick; }

  // --- Driving CheckEngine alone, on a record the test sets up. ---

  // Enabled, with the three temperature limits given; each case fills in
  // the engine records it needs.
  void PrepareState(double cylinderHead, double radiatorOutlet, double oil) {
    State().Enabled = 1;
    State().Limits = {cylinderHead, radiatorOutlet, oil, 20.0};
  }
  // One pass for engine n at `tick`; the host records of that pass.
  Lines Check(uint32_t n, uint32_t tick) {
    SetTick(tick);
    host().ClearRecords();
    host().CallModule([&] { ksv::CheckEngine(State(), n, &State().Engines[n - 1]); });
    return host().Lines();
  }

  // --- Driving the whole module. ---

  void LoadAircraft(uint16_t engines, const std::string& config) {
    StartModule();
    host().Set(ksv::simdata::HostEngineCount, engines);
    LoadAircraftWithConfig("C:\\Aircraft\\A", config);
    ASSERT_EQ(State().Enabled, 1);
  }
  // One monitor notification at `tick`; its records without the prelude.
  Lines Pass(uint32_t tick) {
    SetTick(tick);
    host().ClearRecords();
    host().Notify(ksv::MonitorEvent);
    Lines lines;
    for (const std::string& line : host().Lines())
      if (line != "CALL RunPrelude()") lines.push_back(line);
    return lines;
  }
};

// --- The transition table, one row per case -----------------------------------

struct TransitionCase {
  const char* Name;
  EngineCondition From;
  int32_t ShutDown;
  uint32_t FaultCounter;
  uint32_t FaultCountLimit;
  uint32_t ConditionSince;
  bool Hot;        // else every reading cool
  uint32_t Tick;   // of this pass
  Lines Expected;  // after the three reads, which every state but Seized takes
  EngineCondition To;
  int32_t ShutDownAfter;
  uint32_t FaultCounterAfter;
  uint32_t ConditionSinceAfter;
};

void PrintTo(const TransitionCase& c, std::ostream* os) { *os << c.Name; }

class EngineTransitionTest : public EngineOverheatTest,
                             public ::testing::WithParamInterface<TransitionCase> {};

TEST_P(EngineTransitionTest, MakesOneTransitionPerPass) {
  const TransitionCase& c = GetParam();
  PrepareState(400.0, 400.0, 400.0);
  ksv::EngineFault& engine = State().Engines[0];
  engine = {c.ShutDown, c.From, c.FaultCounter, c.FaultCountLimit, c.ConditionSince, 10000};
  if (c.Hot)
    SetHot(1);
  else
    SetCool(1);

  const Lines expected = c.From == Seized ? c.Expected : Concat(ReadsOf(1), c.Expected);
  EXPECT_EQ(Check(1, c.Tick), expected);
  EXPECT_EQ(engine.Condition, c.To);
  EXPECT_EQ(engine.ShutDown, c.ShutDownAfter);
  EXPECT_EQ(engine.FaultCounter, c.FaultCounterAfter);
  EXPECT_EQ(engine.ConditionSince, c.ConditionSinceAfter);
  EXPECT_EQ(engine.FaultCountLimit, c.FaultCountLimit);
  EXPECT_EQ(engine.FaultTimeMs, 10000u);
}

// Periods started at tick 1000 are 10000 ms long: tick 11000 is exactly at
// the end of the period (not expired), 11001 one millisecond past it.
constexpr uint32_t Wrap4096 = 0xFFFFF000u;  // 4096 ms short of the wrap
// clang-format off
const TransitionCase TransitionCases[] = {
    // Name, from: Condition, ShutDown, FaultCounter, FaultCountLimit, ConditionSince;
    // hot, tick; expected lines; to: Condition, ShutDown, FaultCounter, ConditionSince.
    {"NormalNotHot", Normal, 0, 2, 10, 1000, false, 50000,
     {},
     Normal, 0, 2, 1000},
    {"NormalHot", Normal, 0, 2, 10, 1000, true, 50000,
     {Overheats(1), OverheatMessage},
     OverHeat, 0, 2, 50000},
    {"RunningNotExpiredCool", OverHeat, 0, 2, 10, 1000, false, 11000,
     {RunEvent(1), BackToNormal(1)},
     Normal, 0, 2, 1000},
    {"RunningNotExpiredNotCool", OverHeat, 0, 2, 10, 1000, true, 11000,
     {RunEvent(1)},
     OverHeat, 0, 2, 1000},
    {"RunningExpiredNotExceeded", OverHeat, 0, 2, 10, 1000, true, 11001,
     {Toggles(1, 10000, true), CutEvent(1)},
     OverHeat, 1, 3, 11001},
    // The expiry cuts even an engine that has just cooled down.
    {"RunningExpiredNotExceededCool", OverHeat, 0, 2, 10, 1000, false, 11001,
     {Toggles(1, 10000, true), CutEvent(1)},
     OverHeat, 1, 3, 11001},
    {"RunningExpiredExceeded", OverHeat, 0, 10, 10, 1000, true, 11001,
     {Toggles(1, 10000, true), SeizesAt(1, 10), SeizedMessage},
     Seized, 1, 11, 11001},
    {"CutNotExpired", OverHeat, 1, 3, 10, 1000, true, 11000,
     {CutEvent(1)},
     OverHeat, 1, 3, 1000},
    {"CutNotExpiredCool", OverHeat, 1, 3, 10, 1000, false, 11000,
     {CutEvent(1)},
     OverHeat, 1, 3, 1000},
    {"CutExpiredCool", OverHeat, 1, 3, 10, 1000, false, 11001,
     {Toggles(1, 10000, false), RunEvent(1), BackToNormal(1)},
     Normal, 0, 4, 11001},
    {"CutExpiredNotCool", OverHeat, 1, 3, 10, 1000, true, 11001,
     {Toggles(1, 10000, false), RunEvent(1)},
     OverHeat, 0, 4, 11001},
    {"CutExpiredExceeded", OverHeat, 1, 10, 10, 1000, false, 11001,
     {Toggles(1, 10000, false), SeizesAt(1, 10), SeizedMessage},
     Seized, 0, 11, 11001},
    {"SeizedHot", Seized, 1, 11, 10, 1000, true, 90000,
     {CutEvent(1)},
     Seized, 1, 11, 1000},
    {"SeizedCool", Seized, 0, 11, 10, 1000, false, 90000,
     {CutEvent(1)},
     Seized, 0, 11, 1000},
    // Elapsed time is taken modulo 2^32.
    {"RunningAcrossTheWrapNotExpired", OverHeat, 0, 0, 10, Wrap4096, true, 5904,
     {RunEvent(1)},
     OverHeat, 0, 0, Wrap4096},
    {"RunningAcrossTheWrapExpired", OverHeat, 0, 0, 10, Wrap4096, true, 5905,
     {Toggles(1, 10000, true), CutEvent(1)},
     OverHeat, 1, 1, 5905},
    // The largest limit can never be exceeded.
    {"ExpiredAtTheLargestLimit", OverHeat, 0, 0xFFFFFFFEu, 0xFFFFFFFFu, 1000, true, 11001,
     {Toggles(1, 10000, true), CutEvent(1)},
     OverHeat, 1, 0xFFFFFFFFu, 11001},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Rows, EngineTransitionTest, ::testing::ValuesIn(TransitionCases),
                         [](const ::testing::TestParamInfo<TransitionCase>& row) {
                           return std::string(row.param.Name);
                         });

// --- Hot and cool, reading by reading ---------------------------------------------

struct ReadingsCase {
  double CylinderHead, RadiatorOutlet, Oil;  // degrees F
  bool Hot;                                  // starts an overheat from Normal
  bool Cool;                                 // ends a running overheat
};

void PrintTo(const ReadingsCase& c, std::ostream* os) {
  *os << c.CylinderHead << "/" << c.RadiatorOutlet << "/" << c.Oil << " F";
}

class EngineReadingsTest : public EngineOverheatTest,
                           public ::testing::WithParamInterface<ReadingsCase> {};

// Each reading is compared with its own limit only (50, 40 and 30 F here, so
// a reading checked against another reading's limit changes the result). A
// reading at its limit is neither hot nor cool; one that is not a number
// counts as within its limit in both tests.
TEST_P(EngineReadingsTest, EachReadingIsJudgedAgainstItsOwnLimit) {
  const ReadingsCase& c = GetParam();
  PrepareState(50.0, 40.0, 30.0);
  State().Engines[1] = {0, Normal, 0, 10, 0, 10000};
  host().SetVariable(CylinderHeadId[1], Rankine(c.CylinderHead));
  host().SetVariable(RadiatorOutletId[1], Rankine(c.RadiatorOutlet));
  host().SetVariable(OilTempId[1], Rankine(c.Oil));

  EXPECT_EQ(Check(2, 100),
            c.Hot ? Concat(ReadsOf(2), {Overheats(2), OverheatMessage}) : ReadsOf(2));
  EXPECT_EQ(State().Engines[1].Condition, c.Hot ? OverHeat : Normal);

  State().Engines[1] = {0, OverHeat, 0, 10, 100, 10000};
  EXPECT_EQ(Check(2, 200), c.Cool ? Concat(ReadsOf(2), {RunEvent(2), BackToNormal(2)})
                                  : Concat(ReadsOf(2), {RunEvent(2)}));
  EXPECT_EQ(State().Engines[1].Condition, c.Cool ? Normal : OverHeat);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Readings, EngineReadingsTest,
    ::testing::Values(
        //           head radiator oil  hot    cool
        ReadingsCase{49,  39,      29,  false, true},
        ReadingsCase{50,  39,      29,  false, false},  // cylinder head at its limit
        ReadingsCase{49,  40,      29,  false, false},  // radiator at its limit
        ReadingsCase{49,  39,      30,  false, false},  // oil at its limit
        ReadingsCase{50,  40,      30,  false, false},
        ReadingsCase{51,  39,      29,  true,  false},
        ReadingsCase{49,  41,      29,  true,  false},
        ReadingsCase{49,  39,      31,  true,  false},
        ReadingsCase{45,  45,      25,  true,  false},  // radiator above 40, below 50
        ReadingsCase{35,  35,      35,  true,  false},  // oil above 30 only
        ReadingsCase{45,  35,      25,  false, true},   // head above 40 and 30, below 50
        ReadingsCase{35,  35,      25,  false, true},
        ReadingsCase{NaN, 39,      29,  false, true},
        ReadingsCase{49,  NaN,     29,  false, true},
        ReadingsCase{49,  39,      NaN, false, true},
        ReadingsCase{NaN, NaN,     NaN, false, true},
        ReadingsCase{NaN, 41,      29,  true,  false},
        ReadingsCase{NaN, 39,      30,  false, false}));
// clang-format on

// --- Passes that must do nothing --------------------------------------------------

struct IdleCase {
  const char* Name;
  int32_t Enabled;
  uint32_t Engine;
  bool WithRecord;
};

void PrintTo(const IdleCase& c, std::ostream* os) { *os << c.Name; }

class EngineIdleTest : public EngineOverheatTest, public ::testing::WithParamInterface<IdleCase> {};

// Every engine is hot, overheated and past its period, so any pass that got
// through would read, send, trace or write.
TEST_P(EngineIdleTest, ReadsSendsTracesAndWritesNothing) {
  const IdleCase& c = GetParam();
  PrepareState(400.0, 400.0, 400.0);
  State().Enabled = c.Enabled;
  for (uint32_t n = 1; n <= 4; ++n) {
    SetHot(n);
    State().Engines[n - 1] = {0, OverHeat, 10, 10, 1000, 10000};
  }
  ksv::FailureState before;
  std::memcpy(&before, &State(), sizeof before);
  SetTick(500000);
  ksv::EngineFault* record = c.WithRecord ? &State().Engines[0] : nullptr;
  host().CallModule([&] { ksv::CheckEngine(State(), c.Engine, record); });
  EXPECT_EQ(host().Lines(), Lines{});
  EXPECT_EQ(std::memcmp(&before, &State(), sizeof before), 0);
}

INSTANTIATE_TEST_SUITE_P(Guards, EngineIdleTest,
                         ::testing::Values(IdleCase{"Disabled", 0, 1, true},
                                           IdleCase{"EngineZero", 1, 0, true},
                                           IdleCase{"EngineFive", 1, 5, true},
                                           IdleCase{"LargestEngineNumber", 1, 0xFFFFFFFFu, true},
                                           IdleCase{"NoRecord", 1, 1, false}),
                         [](const ::testing::TestParamInfo<IdleCase>& row) {
                           return std::string(row.param.Name);
                         });

// --- Whole flights through the module ---------------------------------------------

// Default settings, engine hot without a break from t0, a notification every
// 500 ms: each period ends at the first pass past 10000 ms and the next one
// counts from that pass, so toggle k falls at t0 + 10500 k. Cut-outs at odd
// toggles, restarts at even ones, and the 11th toggle seizes the engine.
TEST_F(EngineOverheatTest, DefaultTimelineSeizesAtTheEleventhToggle) {
  LoadAircraft(1, "");
  SetHot(1);
  const uint32_t t0 = 70000;
  const uint32_t seizedAt = t0 + 11 * 10500;

  Lines said;  // everything but reads and events, stamped with ms since t0
  Lines expectedSaid = {"@0 " + Overheats(1), "@0 " + OverheatMessage};
  for (uint32_t k = 1; k <= 11; ++k)
    expectedSaid.push_back("@" + std::to_string(10500 * k) + " " + Toggles(1, 10000, k % 2 == 1));
  expectedSaid.push_back("@" + std::to_string(seizedAt - t0) + " " + SeizesAt(1, 10));
  expectedSaid.push_back("@" + std::to_string(seizedAt - t0) + " " + SeizedMessage);

  for (uint32_t tick = t0; tick <= t0 + 140000; tick += 500) {
    SCOPED_TRACE("ms since t0: " + std::to_string(tick - t0));
    const uint32_t togglesSoFar = tick < seizedAt ? (tick - t0) / 10500 : 11;
    Lines reads, events;
    for (const std::string& line : Pass(tick)) {
      if (line.rfind("CALL ReadVariable", 0) == 0)
        reads.push_back(line);
      else if (line.rfind("CALL SendEvent", 0) == 0)
        events.push_back(line);
      else
        said.push_back("@" + std::to_string(tick - t0) + " " + line);
    }
    EXPECT_EQ(reads, tick <= seizedAt ? ReadsOf(1) : Lines{});
    if (tick == t0 || tick == seizedAt) {
      EXPECT_EQ(events, Lines{});
    } else {
      const bool cut = tick > seizedAt || togglesSoFar % 2 == 1;
      EXPECT_EQ(events, Lines{cut ? CutEvent(1) : RunEvent(1)});
    }
    EXPECT_EQ(State().Engines[0].FaultCounter, togglesSoFar);
  }
  EXPECT_EQ(said, expectedSaid);
  EXPECT_EQ(State().Engines[0].Condition, Seized);
  EXPECT_EQ(host().EngineRunState[0], 0);
}

// An overheat over before its first period ends: the pilot has seen only the
// warning, and the counter has not moved.
TEST_F(EngineOverheatTest, ShortOverheatReturnsToNormalWithoutAToggle) {
  LoadAircraft(1, "");
  SetHot(1);
  EXPECT_EQ(Pass(1000), Concat(ReadsOf(1), {Overheats(1), OverheatMessage}));
  for (uint32_t tick : {2000u, 3000u, 4000u})
    EXPECT_EQ(Pass(tick), Concat(ReadsOf(1), {RunEvent(1)}));
  SetCool(1);
  EXPECT_EQ(Pass(5000), Concat(ReadsOf(1), {RunEvent(1), BackToNormal(1)}));
  EXPECT_EQ(Pass(6000), ReadsOf(1));
  EXPECT_EQ(State().Engines[0].Condition, Normal);
  EXPECT_EQ(State().Engines[0].FaultCounter, 0u);
  EXPECT_EQ(State().Engines[0].ShutDown, 0);
}

// Cooling does not end a cut period early; the restart at its end ends the
// overheat in the same pass and the count stays.
TEST_F(EngineOverheatTest, CoolingWhileCutWaitsForTheRestart) {
  LoadAircraft(1, "");
  SetHot(1);
  Pass(1000);
  EXPECT_EQ(Pass(11001), Concat(ReadsOf(1), {Toggles(1, 10000, true), CutEvent(1)}));
  EXPECT_EQ(Pass(15000), Concat(ReadsOf(1), {CutEvent(1)}));
  EXPECT_EQ(Pass(21002), Concat(ReadsOf(1), {Toggles(1, 10000, false), RunEvent(1)}));
  EXPECT_EQ(Pass(31003), Concat(ReadsOf(1), {Toggles(1, 10000, true), CutEvent(1)}));
  SetCool(1);
  EXPECT_EQ(Pass(35000), Concat(ReadsOf(1), {CutEvent(1)}));
  EXPECT_EQ(Pass(41003), Concat(ReadsOf(1), {CutEvent(1)}));
  EXPECT_EQ(Pass(41004),
            Concat(ReadsOf(1), {Toggles(1, 10000, false), RunEvent(1), BackToNormal(1)}));
  EXPECT_EQ(Pass(50000), ReadsOf(1));
  EXPECT_EQ(State().Engines[0].Condition, Normal);
  EXPECT_EQ(State().Engines[0].FaultCounter, 4u);
  EXPECT_EQ(host().EngineRunState[0], 1);
}

// The count is per flight, not per overheat: four toggles in the first
// overheat leave seven for the second.
TEST_F(EngineOverheatTest, ToggleCountRunsOnAcrossOverheats) {
  LoadAircraft(1, "");
  auto togglesBetween = [&](uint32_t from, uint32_t to) {
    std::vector<uint32_t> toggleTicks;
    for (uint32_t tick = from; tick <= to; tick += 1000) {
      for (const std::string& line : Pass(tick))
        if (line.rfind("TRACE KSV009I", 0) == 0) toggleTicks.push_back(tick);
    }
    return toggleTicks;
  };
  SetHot(1);
  EXPECT_EQ(togglesBetween(1000, 34000), (std::vector<uint32_t>{12000, 23000, 34000}));
  SetCool(1);
  EXPECT_EQ(togglesBetween(35000, 60000), (std::vector<uint32_t>{45000}));
  EXPECT_EQ(State().Engines[0].Condition, Normal);
  EXPECT_EQ(State().Engines[0].FaultCounter, 4u);

  SetHot(1);
  EXPECT_EQ(togglesBetween(61000, 200000),
            (std::vector<uint32_t>{72000, 83000, 94000, 105000, 116000, 127000, 138000}));
  EXPECT_EQ(State().Engines[0].Condition, Seized);
  EXPECT_EQ(State().Engines[0].FaultCounter, 11u);
}

struct SeizeCase {
  const char* FaultCount;  // configuration text
  uint32_t Limit;
  uint32_t SeizingToggle;
};

void PrintTo(const SeizeCase& c, std::ostream* os) { *os << "FaultCount " << c.FaultCount; }

class EngineSeizeTest : public EngineOverheatTest,
                        public ::testing::WithParamInterface<SeizeCase> {};

// The seizing pass sends no event, whether its toggle cut or restarted the
// engine; the cut event follows from the next pass on, without any reading.
TEST_P(EngineSeizeTest, SeizesWhenAToggleTakesTheCountAboveTheLimit) {
  const SeizeCase& c = GetParam();
  LoadAircraft(1, std::string("[Engine]\nFaultCount = ") + c.FaultCount + "\n");
  SetHot(1);
  Pass(1000);
  uint32_t tick = 1000;
  for (uint32_t k = 1; k < c.SeizingToggle; ++k) {
    tick += 10001;
    EXPECT_EQ(Pass(tick), Concat(ReadsOf(1), {Toggles(1, 10000, k % 2 == 1),
                                              k % 2 == 1 ? CutEvent(1) : RunEvent(1)}));
  }
  tick += 10001;
  EXPECT_EQ(Pass(tick), Concat(ReadsOf(1), {Toggles(1, 10000, c.SeizingToggle % 2 == 1),
                                            SeizesAt(1, c.Limit), SeizedMessage}));
  EXPECT_EQ(State().Engines[0].FaultCounter, c.SeizingToggle);
  EXPECT_EQ(State().Engines[0].Condition, Seized);
  SetCool(1);
  EXPECT_EQ(Pass(tick + 1), Lines{CutEvent(1)});
  EXPECT_EQ(Pass(tick + 50000), Lines{CutEvent(1)});
}

INSTANTIATE_TEST_SUITE_P(Limits, EngineSeizeTest,
                         ::testing::Values(SeizeCase{"0", 0, 1}, SeizeCase{"1", 1, 2},
                                           SeizeCase{"9", 9, 10}, SeizeCase{"10", 10, 11}));

// A zero period expires as soon as the tick count moves on.
TEST_F(EngineOverheatTest, ZeroFaultTimeTogglesOnEveryNewTick) {
  LoadAircraft(1, "[Engine]\nFaultTime = 0\n");
  ASSERT_EQ(State().Engines[0].FaultTimeMs, 0u);
  SetHot(1);
  EXPECT_EQ(Pass(100), Concat(ReadsOf(1), {Overheats(1), OverheatMessage}));
  EXPECT_EQ(Pass(100), Concat(ReadsOf(1), {RunEvent(1)}));
  EXPECT_EQ(Pass(101), Concat(ReadsOf(1), {Toggles(1, 0, true), CutEvent(1)}));
  EXPECT_EQ(Pass(101), Concat(ReadsOf(1), {CutEvent(1)}));
  EXPECT_EQ(Pass(102), Concat(ReadsOf(1), {Toggles(1, 0, false), RunEvent(1)}));
  EXPECT_EQ(Pass(5000), Concat(ReadsOf(1), {Toggles(1, 0, true), CutEvent(1)}));
  EXPECT_EQ(State().Engines[0].FaultCounter, 3u);
}

// Engine 2 is handled first; each engine runs on its own timer and counter.
TEST_F(EngineOverheatTest, TwoEnginesOverheatIndependently) {
  LoadAircraft(2, "");
  SetHot(1);
  SetHot(2);
  EXPECT_EQ(Pass(1000), Concat(Concat(ReadsOf(2), {Overheats(2), OverheatMessage}),
                               Concat(ReadsOf(1), {Overheats(1), OverheatMessage})));
  SetCool(1);
  EXPECT_EQ(Pass(3000), Concat(Concat(ReadsOf(2), {RunEvent(2)}),
                               Concat(ReadsOf(1), {RunEvent(1), BackToNormal(1)})));
  SetHot(1);
  EXPECT_EQ(Pass(6000), Concat(Concat(ReadsOf(2), {RunEvent(2)}),
                               Concat(ReadsOf(1), {Overheats(1), OverheatMessage})));
  EXPECT_EQ(Pass(11001), Concat(Concat(ReadsOf(2), {Toggles(2, 10000, true), CutEvent(2)}),
                                Concat(ReadsOf(1), {RunEvent(1)})));
  EXPECT_EQ(Pass(16001), Concat(Concat(ReadsOf(2), {CutEvent(2)}),
                                Concat(ReadsOf(1), {Toggles(1, 10000, true), CutEvent(1)})));
  EXPECT_EQ(Pass(21002), Concat(Concat(ReadsOf(2), {Toggles(2, 10000, false), RunEvent(2)}),
                                Concat(ReadsOf(1), {CutEvent(1)})));
  EXPECT_EQ(State().Engines[1].FaultCounter, 2u);
  EXPECT_EQ(State().Engines[0].FaultCounter, 1u);
  EXPECT_EQ(State().Engines[1].ConditionSince, 21002u);
  EXPECT_EQ(State().Engines[0].ConditionSince, 16001u);
}

// Only the next aircraft load ends a seizure: the engine is Normal with a
// fresh count, and it gets no event until it overheats again.
TEST_F(EngineOverheatTest, AircraftLoadEndsTheSeizureSilently) {
  LoadAircraft(1, "[Engine]\nFaultCount = 0\n");
  SetHot(1);
  Pass(1000);
  Pass(11001);
  EXPECT_EQ(Pass(12000), Lines{CutEvent(1)});
  ASSERT_EQ(State().Engines[0].Condition, Seized);

  host().ClearRecords();
  LoadAircraftWithConfig("C:\\Aircraft\\A", "");
  EXPECT_EQ(CallsTo("SendEvent"), Lines{});
  const ksv::EngineFault& engine = State().Engines[0];
  EXPECT_EQ(engine.Condition, Normal);
  EXPECT_EQ(engine.ShutDown, 0);
  EXPECT_EQ(engine.FaultCounter, 0u);
  EXPECT_EQ(engine.ConditionSince, 0u);
  EXPECT_EQ(engine.FaultCountLimit, 10u);

  SetCool(1);
  EXPECT_EQ(Pass(13000), ReadsOf(1));
  SetHot(1);
  EXPECT_EQ(Pass(14000), Concat(ReadsOf(1), {Overheats(1), OverheatMessage}));
}

}  // namespace
