// The airframe limit monitor: where each limit starts to count, which
// violation wins when several hold, the bad-reading bound on the load factor,
// the order trace - pilot message - flag, and that nothing latches. Runs
// through the whole module with the default limits (Gmax 15.0, Gmin -10.0,
// Vmax 650.0) so the dispatcher's call is part of what is tested.
#include "models/airframe.h"

#include <cstdint>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "diag/log.h"
#include "host/host_interface.h"
#include "module_fixture.h"

namespace {

using Lines = std::vector<std::string>;

constexpr int16_t GRaw(int g) { return static_cast<int16_t>(g * 624); }  // g x 624
constexpr uint32_t SpeedRaw(uint32_t speed) { return speed * 128; }      // speed x 128

Lines Violation(const std::string& trace, const std::string& message) {
  return {"TRACE " + trace, "CALL ShowMessage(\"" + message + "\", 5, 90, 0)",
          "FLAG AirframeFailed=1"};
}

Lines Concat(Lines a, const Lines& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

const Lines NoLines;
const Lines OverG15 =
    Violation("KSV006I GMAX(15.000000) EXCEEDED, GCUR(15.001603)\n", "Maximum Gs exceeded");
const Lines UnderG10 =
    Violation("KSV007I GMIN(-10.000000) EXCEEDED, GCUR(-10.001603)\n", "Minimum Gs exceeded");
const Lines OverSpeed =
    Violation("KSV008I VMAX(650.000000) EXCEEDED, VCUR(650.007812)\n", "Maximum speed exceeded");
const Lines BadReading = {"TRACE KSV005W GCUR(50.001603) OUT_OF_RANGE, IGNORING\n"};

class AirframeMonitorTest : public ModuleTest {
 protected:
  // The module started and an aircraft with a configuration file of nothing
  // but defaults loaded; no engines, every part retracted.
  void SetUp() override {
    ModuleTest::SetUp();
    StartModule();
    LoadAircraftWithConfig("C:\\Aircraft\\A", "");
    host().RecordPollingCalls = false;
    host().ClearRecords();
  }

  Lines Notify(int16_t gRaw, uint32_t speedRaw) {
    host().Set(ksv::simdata::GLoadRaw, gRaw);
    host().Set(ksv::simdata::AirspeedRaw, speedRaw);
    host().ClearRecords();
    host().Notify(ksv::MonitorEvent);
    return host().Lines();
  }
};

struct AirframeCase {
  const char* Name;
  int16_t GLoadRaw;
  uint32_t AirspeedRaw;
  Lines Expected;
};

void PrintTo(const AirframeCase& c, std::ostream* os) { *os << c.Name; }

class AirframeLimitTest : public AirframeMonitorTest,
                          public ::testing::WithParamInterface<std::tuple<AirframeCase, bool>> {};

// Every row runs once as the host normally calls and once with the x87 left
// at 24-bit precision: neither the decisions nor the printed digits may
// change.
TEST_P(AirframeLimitTest, ReportsAtMostOneViolationInItsOrder) {
  const AirframeCase& c = std::get<0>(GetParam());
  host().ReducedX87 = std::get<1>(GetParam());
  EXPECT_EQ(Notify(c.GLoadRaw, c.AirspeedRaw), c.Expected);
}

// clang-format off
const AirframeCase AirframeCases[] = {
    {"LevelFlightAtVmax", GRaw(1), SpeedRaw(650), NoLines},
    {"OneUnitAboveVmax", GRaw(1), SpeedRaw(650) + 1, OverSpeed},
    {"ExactlyGmax", GRaw(15), SpeedRaw(200), NoLines},
    {"OneUnitAboveGmax", GRaw(15) + 1, SpeedRaw(200), OverG15},
    {"ExactlyGmin", GRaw(-10), SpeedRaw(200), NoLines},
    {"OneUnitBelowGmin", GRaw(-10) - 1, SpeedRaw(200), UnderG10},
    {"ExactlyFiftyIsJudgedAgainstGmax", GRaw(50), SpeedRaw(200),
     Violation("KSV006I GMAX(15.000000) EXCEEDED, GCUR(50.000000)\n", "Maximum Gs exceeded")},
    {"AboveFiftyIsABadReadingOnly", GRaw(50) + 1, SpeedRaw(200), BadReading},
    {"LargestRawIsABadReading", int16_t{32767}, SpeedRaw(650),
     {"TRACE KSV005W GCUR(52.511218) OUT_OF_RANGE, IGNORING\n"}},
    {"BadReadingStillJudgesTheSpeed", GRaw(50) + 1, SpeedRaw(650) + 1,
     Concat(BadReading, OverSpeed)},
    {"MostNegativeRawIsJudgedAgainstGmin", int16_t{-32768}, SpeedRaw(200),
     Violation("KSV007I GMIN(-10.000000) EXCEEDED, GCUR(-52.512821)\n", "Minimum Gs exceeded")},
    {"HighGHidesTheSpeed", GRaw(15) + 1, SpeedRaw(650) + 1, OverG15},
    {"LowGHidesTheSpeed", GRaw(-10) - 1, SpeedRaw(650) + 1, UnderG10},
    {"RawSpeedWithTheTopBitSetIsLargeAndPositive", GRaw(1), 0x80000000u,
     Violation("KSV008I VMAX(650.000000) EXCEEDED, VCUR(16777216.000000)\n",
               "Maximum speed exceeded")},
    {"LargestRawSpeed", GRaw(1), 0xFFFFFFFFu,
     Violation("KSV008I VMAX(650.000000) EXCEEDED, VCUR(33554431.992188)\n",
               "Maximum speed exceeded")},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Boundaries, AirframeLimitTest,
                         ::testing::Combine(::testing::ValuesIn(AirframeCases), ::testing::Bool()),
                         [](const ::testing::TestParamInfo<AirframeLimitTest::ParamType>& row) {
                           return std::string(std::get<0>(row.param).Name) +
                                  (std::get<1>(row.param) ? "_ReducedX87" : "");
                         });

// G exactly 0.0 is neither positive nor negative: it meets neither limit,
// even limits that every other load factor would break.
TEST_F(AirframeMonitorTest, ZeroLoadFactorMeetsNeitherLimit) {
  State().Airframe.Gmax = -1.0;
  State().Airframe.Gmin = 1.0;
  EXPECT_EQ(Notify(0, SpeedRaw(650)), NoLines);
  EXPECT_EQ(Notify(0, SpeedRaw(650) + 1), OverSpeed);
  EXPECT_EQ(Notify(1, SpeedRaw(200)),
            Violation("KSV006I GMAX(-1.000000) EXCEEDED, GCUR(0.001603)\n", "Maximum Gs exceeded"));
}

TEST_F(AirframeMonitorTest, SpeedIsReportedOnceTheLoadFactorIsBack) {
  EXPECT_EQ(Notify(GRaw(15) + 1, SpeedRaw(650) + 1), OverG15);
  EXPECT_EQ(Notify(GRaw(3), SpeedRaw(650) + 1), OverSpeed);
  EXPECT_EQ(Notify(GRaw(-10) - 1, SpeedRaw(650) + 1), UnderG10);
  EXPECT_EQ(Notify(GRaw(-10), SpeedRaw(650) + 1), OverSpeed);
}

// No latch: the same violation is reported, shown and flagged on every
// notification while it lasts, and stops the moment it ends.
TEST_F(AirframeMonitorTest, RepeatsEveryNotificationWhileTheViolationLasts) {
  host().Set(ksv::simdata::GLoadRaw, int16_t{GRaw(15) + 1});
  host().Set(ksv::simdata::AirspeedRaw, SpeedRaw(200));
  for (int i = 0; i < 3; ++i) host().Notify(ksv::MonitorEvent);
  EXPECT_EQ(host().Lines(), Concat(Concat(OverG15, OverG15), OverG15));
  EXPECT_EQ(Notify(GRaw(15), SpeedRaw(200)), NoLines);
}

// The configured limits are the ones judged, not the defaults.
TEST_F(AirframeMonitorTest, JudgesTheLimitsOfTheLoadedAircraft) {
  LoadAircraftWithConfig("C:\\Aircraft\\B", "[Airframe]\nGmax = 6\nGmin = -3\nVmax = 250\n");
  EXPECT_EQ(Notify(GRaw(6), SpeedRaw(250)), NoLines);
  EXPECT_EQ(Notify(GRaw(6) + 1, SpeedRaw(250)),
            Violation("KSV006I GMAX(6.000000) EXCEEDED, GCUR(6.001603)\n", "Maximum Gs exceeded"));
  EXPECT_EQ(
      Notify(GRaw(-3) - 1, SpeedRaw(250)),
      Violation("KSV007I GMIN(-3.000000) EXCEEDED, GCUR(-3.001603)\n", "Minimum Gs exceeded"));
  EXPECT_EQ(
      Notify(GRaw(1), SpeedRaw(250) + 1),
      Violation("KSV008I VMAX(250.000000) EXCEEDED, VCUR(250.007812)\n", "Maximum speed exceeded"));
}

// The pilot sees the message and the host gets its flag whether the trace is
// on or not.
TEST_F(AirframeMonitorTest, MessageAndFlagDoNotDependOnTheTrace) {
  ksv::DebugLogging = 0;
  EXPECT_EQ(
      Notify(GRaw(15) + 1, SpeedRaw(650) + 1),
      (Lines{"CALL ShowMessage(\"Maximum Gs exceeded\", 5, 90, 0)", "FLAG AirframeFailed=1"}));
  EXPECT_EQ(
      Notify(GRaw(50) + 1, SpeedRaw(650) + 1),
      (Lines{"CALL ShowMessage(\"Maximum speed exceeded\", 5, 90, 0)", "FLAG AirframeFailed=1"}));
}

TEST_F(AirframeMonitorTest, AnAircraftWithoutConfigurationIsNeverJudged) {
  LoadAircraftWithoutConfig("C:\\Aircraft\\NoFile");
  ASSERT_EQ(State().Enabled, 0);
  EXPECT_EQ(Notify(GRaw(15) + 1, SpeedRaw(650) + 1), NoLines);
  EXPECT_EQ(Notify(GRaw(50) + 1, 0xFFFFFFFFu), NoLines);
}

// Called directly, as the dispatcher would never call it: the monitor still
// looks at Enabled and at the limits record before anything else.
TEST_F(AirframeMonitorTest, DisabledStateOrMissingLimitsDoNothing) {
  host().Set(ksv::simdata::GLoadRaw, int16_t{GRaw(50) + 1});
  host().Set(ksv::simdata::AirspeedRaw, 0xFFFFFFFFu);
  State().Enabled = 0;
  host().CallModule([&] { ksv::CheckAirframe(State(), &State().Airframe); });
  State().Enabled = 1;
  host().CallModule([&] { ksv::CheckAirframe(State(), nullptr); });
  EXPECT_EQ(host().Lines(), NoLines);
}

}  // namespace
