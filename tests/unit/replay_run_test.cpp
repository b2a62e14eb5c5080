// Short replays through the module's own sources: the driver's schedule and
// passes, the flight's values reaching the models (limits, the engine clock
// across the tick wrap, the x87 held at 24 bits), the host keeping a part
// where the module put it until the flight file moves it again, and the
// suspend flag.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_platform.h"
#include "flight.h"
#include "module_fixture.h"
#include "replay.h"
#include "shell/module.h"
#include "timeline.h"

namespace {

using simhost::RecordKind;
using simhost::ReplayOptions;

constexpr char Folder[] = "C:\\Aircraft\\Vestrel";
constexpr char Limits[] =
    "[Airframe]\nGmax = 9.0\nGmin = -4.5\nVmax = 520\n"
    "[Engine]\nCylinderHeadTemp = 460\nRadiatorOutletTemp = 250\nOilTemp = 220\n"
    "FaultCount = 2\nFaultTime = 2\n"
    "[Flaps]\nActivationSpeed = 180\nActivationPercent = 4000\nBreakSpeed = 260\n"
    "BreakPercent = 8000\n";

class ReplayTest : public ModuleTest {
 protected:
  void SetUp() override {
    ModuleTest::SetUp();
    (*host().MemoryFiles)[std::string(Folder) + "\\Kestovan.cfg"] = Limits;
    options_.Aircraft = Folder;
    options_.RateHz = 10;  // a notification every 100 ms keeps the arithmetic plain
  }

  simhost::Flight Parse(const std::string& text) {
    simhost::Flight flight;
    simhost::FlightError error;
    EXPECT_TRUE(simhost::ParseFlight(text, "test.csv", &flight, &error)) << error.Text();
    return flight;
  }

  // Flies `text` and returns the rendered timeline.
  std::string Fly(const std::string& text, simhost::TimelineOptions timelineOptions = {}) {
    const simhost::Flight flight = Parse(text);
    simhost::Timeline timeline(timelineOptions);
    stats_ = simhost::RunReplay(host(), ImportTable, &Linkage, flight, options_,
                                [&](uint32_t ms, const std::vector<simhost::HostRecord>& records) {
                                  timeline.AddPass(ms, records);
                                  passes_.push_back({ms, records});
                                });
    timeline.Finish(stats_.FlightMs);
    summary_ = timeline.Summary();
    return simhost::RenderTimeline(timeline.Entries());
  }

  struct Pass {
    uint32_t Ms;
    std::vector<simhost::HostRecord> Records;
  };

  static size_t Count(const Pass& pass, const std::string& routine) {
    size_t count = 0;
    for (const auto& record : pass.Records)
      count += record.Kind == RecordKind::Call && record.Routine == routine;
    return count;
  }

  ReplayOptions options_;
  simhost::ReplayStats stats_;
  std::vector<Pass> passes_;
  std::vector<simhost::FailureTally> summary_;
};

TEST_F(ReplayTest, FliesStartUpLoadNotificationsAndShutdownPassByPass) {
  options_.RateHz = 18;
  options_.StartTick = 5000;
  Fly("time,speed\n0,200\n1,200\n");
  EXPECT_EQ(stats_.MonitorNotifications, 19u);  // 0, 56, 111, ... 1000 ms
  EXPECT_EQ(stats_.FlightMs, 1000u);
  ASSERT_EQ(passes_.size(), 2u + 19u + 1u);
  EXPECT_EQ(Count(passes_[0], "RegisterLinkage"), 1u);
  EXPECT_EQ(Count(passes_[1], "LoadAircraft"), 1u);
  EXPECT_EQ(Count(passes_[1], "InitVariable"), 16u);
  EXPECT_EQ(passes_[3].Ms, 56u);
  EXPECT_EQ(passes_[4].Ms, 111u);
  for (size_t i = 2; i < passes_.size() - 1; ++i) {
    EXPECT_EQ(Count(passes_[i], "RunPrelude"), 2u) << "147 and one other code, pass " << i;
    EXPECT_EQ(Count(passes_[i], "ReadVariable"), 3u) << "engine 1's temperatures, pass " << i;
    for (const auto& record : passes_[i].Records)
      EXPECT_EQ(record.Tick, 5000u + passes_[i].Ms);
  }
  EXPECT_EQ(Count(passes_.back(), "RemoveHandler"), 1u);
  EXPECT_EQ(passes_.back().Ms, 1000u);
  EXPECT_EQ(host().Get(ksv::simdata::HostEngineCount), 1u);
  EXPECT_EQ(simhost::NotificationMs(1, 18), 56u);
  EXPECT_EQ(simhost::NotificationMs(18, 18), 1000u);
  EXPECT_EQ(simhost::NotificationMs(3600 * 18, 18), 3600000u);
}

// Speed crosses Vmax 520 at 0.667 s; the load factor passes Gmax 9.0 only on
// the pass at 2.0 s, which reports the load factor and not the speed.
TEST_F(ReplayTest, AirframeLimitsFromTheAircraftsFile) {
  EXPECT_EQ(Fly("time,g,speed\n0,1,500\n1,1,530\n2,9.5,530\n3,1,400\n"),
            "00:00.700  PILOT  Maximum speed exceeded  (13 times, until 00:01.900)\n"
            "00:00.700  FLAG   AirframeFailed=1  (14 times, until 00:02.000)\n"
            "00:02.000  PILOT  Maximum Gs exceeded\n");
  EXPECT_EQ(summary_[0].Name, "airframe");
  EXPECT_EQ(summary_[0].Times, 1u);
  EXPECT_EQ(summary_[0].Notifications, 14u);
}

struct ClockCase {
  const char* Name;
  uint32_t StartTick;
  bool ReducedX87;
};

void PrintTo(const ClockCase& c, std::ostream* os) { *os << c.Name; }

class EngineClockTest : public ReplayTest, public ::testing::WithParamInterface<ClockCase> {};

// FaultTime 2 s, FaultCount 2: hot from 0.5 s, cut and restarted when 2 s
// have passed (strictly), seized at the third toggle, cut from the pass
// after. The same whether the tick count wraps in the first period or not,
// and whatever the host did to the x87.
TEST_P(EngineClockTest, OverheatCutRestartAndSeizureFollowTheFlightClock) {
  options_.StartTick = GetParam().StartTick;
  host().ReducedX87 = GetParam().ReducedX87;
  EXPECT_EQ(Fly("time,cht1,rad1,oil1\n0,441,200,180\n1,481,200,180\n8,481,200,180\n",
                simhost::TimelineOptions{true, true, 1}),
            "00:00.000  TRACE  KSV000I MODULEINIT\n"
            "00:00.000  TRACE  KSV002I LOAD(C:\\Aircraft\\Vestrel)\n"
            "00:00.000  TRACE  KSV015I CONFIG(C:\\Aircraft\\Vestrel\\Kestovan.cfg) "
            "SECTION(Airframe) KEY(Gmax) DATA(9.0)\n"
            "00:00.000  TRACE  KSV015I CONFIG(C:\\Aircraft\\Vestrel\\Kestovan.cfg) "
            "SECTION(Airframe) KEY(Gmin) DATA(-4.5)\n"
            "00:00.000  TRACE  KSV015I CONFIG(C:\\Aircraft\\Vestrel\\Kestovan.cfg) "
            "SECTION(Airframe) KEY(Vmax) DATA(520)\n"
            "00:00.000  TRACE  KSV015I CONFIG(C:\\Aircraft\\Vestrel\\Kestovan.cfg) "
            "SECTION(Engine) KEY(CylinderHeadTemp) DATA(460)\n"
            "00:00.000  TRACE  KSV015I CONFIG(C:\\Aircraft\\Vestrel\\Kestovan.cfg) "
            "SECTION(Engine) KEY(RadiatorOutletTemp) DATA(250)\n"
            "00:00.000  TRACE  KSV015I CONFIG(C:\\Aircraft\\Vestrel\\Kestovan.cfg) "
            "SECTION(Engine) KEY(OilTemp) DATA(220)\n"
            "00:00.000  TRACE  KSV016I CONFIG(C:\\Aircraft\\Vestrel\\Kestovan.cfg) "
            "SECTION(Engine) KEY(FaultCount) DATA(2)\n"
            "00:00.000  TRACE  KSV016I CONFIG(C:\\Aircraft\\Vestrel\\Kestovan.cfg) "
            "SECTION(Engine) KEY(FaultTime) DATA(2)\n"
            "00:00.000  TRACE  KSV015I CONFIG(C:\\Aircraft\\Vestrel\\Kestovan.cfg) "
            "SECTION(Flaps) KEY(ActivationSpeed) DATA(180)\n"
            "00:00.000  TRACE  KSV016I CONFIG(C:\\Aircraft\\Vestrel\\Kestovan.cfg) "
            "SECTION(Flaps) KEY(ActivationPercent) DATA(4000)\n"
            "00:00.000  TRACE  KSV015I CONFIG(C:\\Aircraft\\Vestrel\\Kestovan.cfg) "
            "SECTION(Flaps) KEY(BreakSpeed) DATA(260)\n"
            "00:00.000  TRACE  KSV016I CONFIG(C:\\Aircraft\\Vestrel\\Kestovan.cfg) "
            "SECTION(Flaps) KEY(BreakPercent) DATA(8000)\n"
            "00:00.000  TRACE  KSV004I KESTOVAN ENABLED, CONFIG(C:\\Aircraft\\Vestrel\\Kestovan.cfg)\n"
            "00:00.500  TRACE  KSV012I ENGINE(1) IS IN OVER_HEAT\n"
            "00:00.500  PILOT  Your engine is overheating  [engine 1]\n"
            "00:02.600  TRACE  KSV009I ENGINE(1) TICKLIMIT(2000) EXPIRED, SHUTDOWN= TRUE\n"
            "00:02.600  EVENT  engine 1 cut\n"
            "00:04.700  TRACE  KSV009I ENGINE(1) TICKLIMIT(2000) EXPIRED, SHUTDOWN= FALSE\n"
            "00:04.700  EVENT  engine 1 restarted\n"
            "00:06.800  TRACE  KSV009I ENGINE(1) TICKLIMIT(2000) EXPIRED, SHUTDOWN= TRUE\n"
            "00:06.800  TRACE  KSV010I ENGINE(1) FAULTCOUNTLIMIT(2) EXCEEDED, ENGINE IS BROKEN\n"
            "00:06.800  PILOT  Your engine has seized  [engine 1]\n"
            "00:06.900  EVENT  engine 1 cut (seized)\n"
            "00:08.000  TRACE  KSV001I MODULEDEINIT\n");
  EXPECT_EQ(host().EngineRunState[0], 0);
}

INSTANTIATE_TEST_SUITE_P(
    Clocks, EngineClockTest,
    ::testing::Values(ClockCase{"FromZero", 0, false},
                      ClockCase{"WrapInTheFirstPeriod", 4294966296u, false},  // wraps at 1.0 s
                      ClockCase{"WrapAtTheToggle", 4294964696u, false},       // wraps at 2.6 s
                      ClockCase{"X87At24Bits", 0, true}));

// Jammed at 6000 on the pass at 1.3 s. The host follows the module's
// set-event; the file moving the flaps again (1.4 s, and 3.1 to 3.5 s)
// writes over it, and the module holds them again. Below 180 they come free
// where the module left them.
TEST_F(ReplayTest, AHeldPartStaysUntilTheFlightFileMovesItAgain) {
  EXPECT_EQ(Fly("time,speed,flaps\n0,230,0\n1,230,0\n1.4,230,8000\n3,230,8000\n"
                "3.5,230,8100\n5,150,8100\n"),
            "00:01.300  PILOT  The [part] is jammed  [Flaps]  (32 times, until 00:04.400)\n"
            "00:01.400  EVENT  Flaps held at 6000 (jammed)\n"
            "00:03.100  EVENT  Flaps held at 6000 (jammed)  (5 times, until 00:03.500)\n");
  EXPECT_EQ(host().Get(ksv::simdata::FlapsPosition), 6000u);
}

TEST_F(ReplayTest, FilePositionsOverrideOnlyWhenTheFileMoves) {
  const simhost::Flight flight = Parse("time,gear\n0,100\n1,100\n2,300\n");
  simhost::FilePositions file = simhost::ApplyFlightValues(host(), flight, 0, {});
  EXPECT_EQ(host().Get(ksv::simdata::GearPosition), 100u);
  host().Set(ksv::simdata::GearPosition, uint32_t{7});  // a set-event moved it
  host().Set(ksv::simdata::FlapsPosition, uint32_t{9});
  file = simhost::ApplyFlightValues(host(), flight, 500, file);
  EXPECT_EQ(host().Get(ksv::simdata::GearPosition), 7u) << "the file did not move it";
  file = simhost::ApplyFlightValues(host(), flight, 1500, file);
  EXPECT_EQ(host().Get(ksv::simdata::GearPosition), 200u) << "the file moved it";
  EXPECT_EQ(host().Get(ksv::simdata::FlapsPosition), 9u) << "no flaps column: never written";
  EXPECT_EQ(host().Get(ksv::simdata::GLoadRaw), 624) << "no g column: 1 g";
  EXPECT_EQ(host().Get(ksv::simdata::AirspeedRaw), 0u);
}

TEST_F(ReplayTest, EveryEngineVariableGetsItsOwnColumn) {
  const simhost::Flight flight = Parse(
      "time,cht1,oil1,rad1,oilp1,cht4,oil4,rad4,oilp4\n0,400,200,240,40,401,201,241,41\n");
  simhost::ApplyFlightValues(host(), flight, 0, {});
  EXPECT_EQ(host().Variable(0x19F), 400 + 459.7);
  EXPECT_EQ(host().Variable(0x1A0), 200 + 459.7);
  EXPECT_EQ(host().Variable(0x1A1), 240 + 459.7);
  EXPECT_EQ(host().Variable(0x1A2), 40 / 0.006944);
  EXPECT_EQ(host().Variable(0x214), 401 + 459.7);
  EXPECT_EQ(host().Variable(0x215), 201 + 459.7);
  EXPECT_EQ(host().Variable(0x216), 241 + 459.7);
  EXPECT_EQ(host().Variable(0x217), 41 / 0.006944);
  EXPECT_EQ(host().Variable(0x1C6), 0.0) << "engine 2 has no columns";
}

// Suspended from 0.3 s to 0.6 s: the handler does nothing at all, so the
// overspeed is two spells.
TEST_F(ReplayTest, SuspendedPassesRunNothingAndSplitASpell) {
  EXPECT_EQ(Fly("time,speed,suspend\n0,530,0\n0.3,530,1\n0.6,530,0\n0.8,530,0\n"),
            "00:00.000  PILOT  Maximum speed exceeded  (3 times, until 00:00.200)\n"
            "00:00.000  FLAG   AirframeFailed=1  (3 times, until 00:00.200)\n"
            "00:00.600  PILOT  Maximum speed exceeded  (3 times, until 00:00.800)\n"
            "00:00.600  FLAG   AirframeFailed=1  (3 times, until 00:00.800)\n");
  for (const Pass& pass : passes_) {
    if (pass.Ms >= 300 && pass.Ms < 600) {
      EXPECT_TRUE(pass.Records.empty()) << pass.Ms;
    }
  }
  EXPECT_EQ(summary_[0].Times, 2u);
}

TEST_F(ReplayTest, AnAircraftWithoutAFileFliesWithTheModelsOff) {
  options_.Aircraft = "C:\\Aircraft\\Trainer";
  EXPECT_EQ(Fly("time,g,speed,cht1\n0,12,900,900\n1,-8,900,900\n"), "");
  for (const auto& tally : summary_) EXPECT_EQ(tally.Times, 0u) << tally.Name;
}

}  // namespace
