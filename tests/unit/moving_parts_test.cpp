// The jam and break model: one row of the part's state table per case, the
// strict speed and position thresholds, holding a jammed part against a host
// that moves it, coming free and jamming anew, driving a broken part to its
// break position, thresholds configured as -1, kinds it must ignore, the
// order of the three parts in one notification, and the text of its lines.
#include "models/moving_parts.h"

#include <cstdint>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "module_fixture.h"

namespace {

using ksv::Broken;
using ksv::Free;
using ksv::Jammed;
using ksv::PartCondition;
using Lines = std::vector<std::string>;

constexpr uint32_t SpeedRaw(uint32_t speed) { return speed * 128; }  // speed x 128

const std::string JamMessage = "CALL ShowMessage(\"The [part] is jammed\", 5, 90, 0)";

// The two lines of a jam: the message, then the trace. Speeds and positions
// are given as the trace must print them.
Lines Stuck(const std::string& part, const std::string& speed, const std::string& activation,
            const std::string& pos, const std::string& now) {
  return {JamMessage, "TRACE KSV014I VCUR(" + speed + ") PART(" + part + ") ACTIVSPEED(" +
                          activation + ") EXCEEDED, PART IS STUCK, POS(" + pos + "), THIS(" + now +
                          ")\n"};
}
std::string Broke(const std::string& part, const std::string& speed, const std::string& breakSpeed,
                  const std::string& pos, const std::string& now) {
  return "TRACE KSV013I VCUR(" + speed + ") PART(" + part + ") BREAKSPEED(" + breakSpeed +
         ") EXCEEDED, PART IS BROKEN, POS(" + pos + "), THIS(" + now + ")\n";
}
std::string SetEvent(uint32_t eventId, uint32_t position) {
  return "CALL SendEvent(" + simhost::Hex(eventId) + ", " + std::to_string(position) + ")";
}

Lines Concat(Lines a, const Lines& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

bool SameFault(const ksv::PartFault& a, const ksv::PartFault& b) {
  return a.Kind == b.Kind && a.Condition == b.Condition && a.ActivationSpeed == b.ActivationSpeed &&
         a.ActivationPercent == b.ActivationPercent && a.BreakSpeed == b.BreakSpeed &&
         a.BreakPercent == b.BreakPercent && a.BreakPosition == b.BreakPosition &&
         a.JamPosition == b.JamPosition;
}

class MovingPartsTest : public ModuleTest {
 protected:
  // --- Driving CheckPart alone, on the flaps record. ---

  // Enabled flaps with their own limits: jam above speed 400.0 beyond raw
  // position 0x1000, break above 500.0 beyond 0x4000, held broken at 0x20.
  ksv::PartFault& PrepareFlaps(PartCondition condition, uint32_t jamPosition) {
    State().Enabled = 1;
    ksv::PartFault& flaps = State().Parts[0];
    flaps = {ksv::Flaps, condition, 400.0, 0x1000, 500.0, 0x4000, 0x20, jamPosition};
    return flaps;
  }
  Lines Check(ksv::PartFault* part, uint32_t position, uint32_t speedRaw) {
    host().Set(ksv::simdata::FlapsPosition, position);
    host().Set(ksv::simdata::AirspeedRaw, speedRaw);
    host().ClearRecords();
    host().CallModule([&] { ksv::CheckPart(State(), part); });
    return host().Lines();
  }

  // --- Driving the whole module; no engines. ---

  void LoadAircraft(const std::string& config) {
    StartModule();
    LoadAircraftWithConfig("C:\\Aircraft\\A", config);
    ASSERT_EQ(State().Enabled, 1);
    host().RecordPollingCalls = false;
  }
  Lines Notify(uint32_t speedRaw) {
    host().Set(ksv::simdata::AirspeedRaw, speedRaw);
    host().ClearRecords();
    host().Notify(ksv::MonitorEvent);
    return host().Lines();
  }
  Lines NotifyFlapsAt(uint32_t position, uint32_t speedRaw) {
    host().Set(ksv::simdata::FlapsPosition, position);
    return Notify(speedRaw);
  }
};

// --- The state table, one row per case -------------------------------------------

constexpr uint32_t BelowActivation = SpeedRaw(400) - 1;  // 399.992188
constexpr uint32_t AtActivation = SpeedRaw(400);
constexpr uint32_t AboveActivation = SpeedRaw(400) + 1;  // 400.007812
constexpr uint32_t AtBreak = SpeedRaw(500);
constexpr uint32_t AboveBreak = SpeedRaw(500) + 1;  // 500.007812

Lines FlapsStuck(const std::string& speed, const std::string& pos, const std::string& now) {
  return Stuck("Flaps", speed, "400.000000", pos, now);
}
std::string FlapsBroke(const std::string& now) {
  return Broke("Flaps", "500.007812", "500.000000", "20", now);
}

struct PartCase {
  const char* Name;
  PartCondition From;
  uint32_t JamPosition;
  uint32_t Position;
  uint32_t SpeedRaw;
  Lines Expected;
  PartCondition To;
  uint32_t JamPositionAfter;
};

void PrintTo(const PartCase& c, std::ostream* os) { *os << c.Name; }

class PartTransitionTest : public MovingPartsTest,
                           public ::testing::WithParamInterface<std::tuple<PartCase, bool>> {};

// Every row runs once as the host normally calls and once with the x87 left
// at 24-bit precision: the speeds in the trace must print the same.
TEST_P(PartTransitionTest, MakesOneTransitionPerCall) {
  const PartCase& c = std::get<0>(GetParam());
  host().ReducedX87 = std::get<1>(GetParam());
  ksv::PartFault& flaps = PrepareFlaps(c.From, c.JamPosition);
  EXPECT_EQ(Check(&flaps, c.Position, c.SpeedRaw), c.Expected);
  EXPECT_EQ(flaps.Condition, c.To);
  EXPECT_EQ(flaps.JamPosition, c.JamPositionAfter);
}

// clang-format off
const PartCase PartCases[] = {
    // Name, from: Condition, JamPosition; position, speed; expected lines;
    // to: Condition, JamPosition.
    {"BrokenAtBreakPosition", Broken, 0, 0x20, AboveBreak,
     {},
     Broken, 0},
    {"BrokenElsewhereAtZeroSpeed", Broken, 0, 0x5000, 0,
     {SetEvent(0x100A2, 0x20)},
     Broken, 0},
    {"BrokenElsewhereAboveBreak", Broken, 0, 0x5000, AboveBreak,
     {SetEvent(0x100A2, 0x20)},
     Broken, 0},
    {"FreeBeyondBreak", Free, 0, 0x4001, AboveBreak,
     {FlapsBroke("4001")},
     Broken, 0},
    {"JammedBeyondBreak", Jammed, 0x2000, 0x4001, AboveBreak,
     {FlapsBroke("4001")},
     Broken, 0x2000},
    {"FreeAtBreakSpeedBeyondBreakPercent", Free, 0, 0x4001, AtBreak,
     FlapsStuck("500.000000", "4001", "4001"),
     Jammed, 0x4001},
    {"FreeAboveBreakSpeedAtBreakPercent", Free, 0, 0x4000, AboveBreak,
     FlapsStuck("500.007812", "4000", "4000"),
     Jammed, 0x4000},
    {"FreeBeyondActivation", Free, 0, 0x1F40, AboveActivation,
     FlapsStuck("400.007812", "1F40", "1F40"),
     Jammed, 0x1F40},
    {"JammedMovedByTheHost", Jammed, 0x1F40, 0x2328, AboveActivation,
     Concat(FlapsStuck("400.007812", "1F40", "2328"), {SetEvent(0x100A2, 0x1F40)}),
     Jammed, 0x1F40},
    {"JammedInPlace", Jammed, 0x1F40, 0x1F40, AboveActivation,
     FlapsStuck("400.007812", "1F40", "1F40"),
     Jammed, 0x1F40},
    {"FreeAtActivationPercent", Free, 0, 0x1000, AboveBreak,
     {},
     Free, 0},
    {"FreeAtActivationSpeed", Free, 0, 0x3000, AtActivation,
     {},
     Free, 0},
    {"JammedAtActivationSpeed", Jammed, 0x1F40, 0x3000, AtActivation,
     {SetEvent(0x100A2, 0x1F40)},
     Jammed, 0x1F40},
    {"JammedPushedInsideActivationPercent", Jammed, 0x1F40, 0x10, AboveActivation,
     {SetEvent(0x100A2, 0x1F40)},
     Jammed, 0x1F40},
    {"JammedRetractedAboveBreak", Jammed, 0x1F40, 0, AboveBreak,
     {SetEvent(0x100A2, 0x1F40)},
     Jammed, 0x1F40},
    {"JammedBelowActivationSpeed", Jammed, 0x1F40, 0x3000, BelowActivation,
     {},
     Free, 0},
    {"FreeBelowActivationSpeed", Free, 0, 0x5000, BelowActivation,
     {},
     Free, 0},
    {"FreeRetractedAtAnySpeed", Free, 0, 0, 0xFFFFFFFFu,
     {},
     Free, 0},
    {"FreeFullyOutAtLargestSpeed", Free, 0, 0xFFFFFFFFu, 0xFFFFFFFFu,
     {Broke("Flaps", "33554431.992188", "500.000000", "20", "FFFFFFFF")},
     Broken, 0},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Rows, PartTransitionTest,
                         ::testing::Combine(::testing::ValuesIn(PartCases), ::testing::Bool()),
                         [](const ::testing::TestParamInfo<PartTransitionTest::ParamType>& row) {
                           return std::string(std::get<0>(row.param).Name) +
                                  (std::get<1>(row.param) ? "_ReducedX87" : "");
                         });

// --- Sequences through the whole module, default limits ---------------------------

// Defaults: jam above 400.0 beyond raw 25, break above 500.0 beyond raw 25,
// held broken at 0.
TEST_F(MovingPartsTest, JammedFlapsAreHeldUntilTheSpeedDropsAndThenJamAnew) {
  LoadAircraft("");
  const uint32_t speed = SpeedRaw(450);
  const Lines stuck8000 = Stuck("Flaps", "450.000000", "400.000000", "1F40", "1F40");
  // The first jam captures where the flaps stand; nothing to send.
  EXPECT_EQ(NotifyFlapsAt(8000, speed), stuck8000);

  // A host that fights the jam gets the set-event on every call it reports
  // another position, and the message again while the jam holds.
  host().FollowSetEvents = false;
  const Lines stuckAt9000 =
      Concat(Stuck("Flaps", "450.000000", "400.000000", "1F40", "2328"), {SetEvent(0x100A2, 8000)});
  EXPECT_EQ(NotifyFlapsAt(9000, speed), stuckAt9000);
  EXPECT_EQ(Notify(speed), stuckAt9000);

  // A host that follows is back at the held position on the next call.
  host().FollowSetEvents = true;
  EXPECT_EQ(Notify(speed), stuckAt9000);
  EXPECT_EQ(host().Get(ksv::simdata::FlapsPosition), 8000u);
  EXPECT_EQ(Notify(speed), stuck8000);

  // Pushed in to within the threshold: still jammed and held, no message.
  EXPECT_EQ(NotifyFlapsAt(10, speed), Lines{SetEvent(0x100A2, 8000)});
  EXPECT_EQ(host().Get(ksv::simdata::FlapsPosition), 8000u);
  // Exactly at the activation speed: still jammed and held.
  EXPECT_EQ(NotifyFlapsAt(12000, SpeedRaw(400)), Lines{SetEvent(0x100A2, 8000)});
  EXPECT_EQ(State().Parts[0].Condition, Jammed);

  // Below it: free at once and silently; the next jam captures anew.
  EXPECT_EQ(NotifyFlapsAt(12000, SpeedRaw(400) - 1), Lines{});
  EXPECT_EQ(State().Parts[0].Condition, Free);
  EXPECT_EQ(State().Parts[0].JamPosition, 0u);
  EXPECT_EQ(Notify(SpeedRaw(401)), Stuck("Flaps", "401.000000", "400.000000", "2EE0", "2EE0"));
  EXPECT_EQ(State().Parts[0].JamPosition, 12000u);
}

TEST_F(MovingPartsTest, BrokenGearIsDrivenToItsBreakPositionUntilTheNextLoad) {
  LoadAircraft("");
  host().Set(ksv::simdata::GearPosition, uint32_t{8000});
  // Breaking shows nothing to the pilot and sends nothing yet.
  EXPECT_EQ(Notify(SpeedRaw(510)),
            Lines{Broke("Landing Gear", "510.000000", "500.000000", "0", "1F40")});
  EXPECT_EQ(Notify(SpeedRaw(510)), Lines{SetEvent(0x100A4, 0)});
  EXPECT_EQ(host().Get(ksv::simdata::GearPosition), 0u);
  EXPECT_EQ(Notify(SpeedRaw(510)), Lines{});

  // Never traced again and never free, even at a standstill; every position
  // the host reports away from the break position is sent back.
  host().FollowSetEvents = false;
  host().Set(ksv::simdata::GearPosition, uint32_t{5000});
  EXPECT_EQ(Notify(0), Lines{SetEvent(0x100A4, 0)});
  EXPECT_EQ(Notify(0), Lines{SetEvent(0x100A4, 0)});
  EXPECT_EQ(Notify(SpeedRaw(450)), Lines{SetEvent(0x100A4, 0)});
  EXPECT_EQ(State().Parts[1].Condition, Broken);

  LoadAircraftWithConfig("C:\\Aircraft\\A", "");
  EXPECT_EQ(State().Parts[1].Condition, Free);
  EXPECT_EQ(Notify(SpeedRaw(450)),
            Stuck("Landing Gear", "450.000000", "400.000000", "1388", "1388"));
}

TEST_F(MovingPartsTest, ConfiguredBreakPositionIsWhereTheDiveBrakesAreHeld) {
  LoadAircraft("[Brake]\nBreakPosition = 300\n");
  host().Set(ksv::simdata::DiveBrakePosition, uint32_t{0xABCDEF});
  EXPECT_EQ(Notify(SpeedRaw(600)),
            Lines{Broke("Dive Brakes", "600.000000", "500.000000", "12C", "ABCDEF")});
  EXPECT_EQ(Notify(SpeedRaw(600)), Lines{SetEvent(0x100FA, 300)});
  EXPECT_EQ(Notify(SpeedRaw(600)), Lines{});
}

// -1 is held as 4294967295, which no position can exceed.
TEST_F(MovingPartsTest, ThresholdsOfMinusOneAreNeverExceeded) {
  LoadAircraft(
      "[Flaps]\nActivationPercent = -1\nBreakPercent = -1\n"
      "[LandingGear]\nBreakPercent = -1\n");
  ASSERT_EQ(State().Parts[0].ActivationPercent, 0xFFFFFFFFu);
  host().Set(ksv::simdata::FlapsPosition, 0xFFFFFFFFu);
  host().Set(ksv::simdata::GearPosition, 0xFFFFFFFFu);
  EXPECT_EQ(Notify(SpeedRaw(450)),
            Stuck("Landing Gear", "450.000000", "400.000000", "FFFFFFFF", "FFFFFFFF"));
  EXPECT_EQ(Notify(SpeedRaw(600)),
            Stuck("Landing Gear", "600.000000", "400.000000", "FFFFFFFF", "FFFFFFFF"));
  EXPECT_EQ(State().Parts[0].Condition, Free);
  EXPECT_EQ(State().Parts[1].Condition, Jammed);
}

// Flaps, landing gear, dive brakes: each reads its own position and sends its
// own event, in that order, whether jamming, holding, breaking or driving.
TEST_F(MovingPartsTest, ThePartsRunInTheirOrderEachWithItsOwnFieldAndEvent) {
  LoadAircraft("");
  host().Set(ksv::simdata::FlapsPosition, uint32_t{0x1F40});
  host().Set(ksv::simdata::GearPosition, uint32_t{0x2000});
  host().Set(ksv::simdata::DiveBrakePosition, uint32_t{0x3000});
  EXPECT_EQ(Notify(SpeedRaw(450)),
            Concat(Concat(Stuck("Flaps", "450.000000", "400.000000", "1F40", "1F40"),
                          Stuck("Landing Gear", "450.000000", "400.000000", "2000", "2000")),
                   Stuck("Dive Brakes", "450.000000", "400.000000", "3000", "3000")));

  // The host moves every part; each is sent back with its own event and, as
  // the host follows, stands at its held position again.
  host().Set(ksv::simdata::FlapsPosition, uint32_t{0x1F41});
  host().Set(ksv::simdata::GearPosition, uint32_t{0x2001});
  host().Set(ksv::simdata::DiveBrakePosition, uint32_t{0x3001});
  EXPECT_EQ(Notify(SpeedRaw(450)),
            Concat(Concat(Concat(Stuck("Flaps", "450.000000", "400.000000", "1F40", "1F41"),
                                 {SetEvent(0x100A2, 0x1F40)}),
                          Concat(Stuck("Landing Gear", "450.000000", "400.000000", "2000", "2001"),
                                 {SetEvent(0x100A4, 0x2000)})),
                   Concat(Stuck("Dive Brakes", "450.000000", "400.000000", "3000", "3001"),
                          {SetEvent(0x100FA, 0x3000)})));

  EXPECT_EQ(Notify(SpeedRaw(520)),
            (Lines{Broke("Flaps", "520.000000", "500.000000", "0", "1F40"),
                   Broke("Landing Gear", "520.000000", "500.000000", "0", "2000"),
                   Broke("Dive Brakes", "520.000000", "500.000000", "0", "3000")}));
  EXPECT_EQ(Notify(SpeedRaw(520)),
            (Lines{SetEvent(0x100A2, 0), SetEvent(0x100A4, 0), SetEvent(0x100FA, 0)}));
}

// --- Calls that must do nothing ------------------------------------------------------

TEST_F(MovingPartsTest, OtherKindsDisabledStateAndMissingRecordDoNothing) {
  for (uint32_t kind : {0u, 4u, 0xFFFFFFFFu}) {
    for (PartCondition condition : {Free, Jammed, Broken}) {
      ksv::PartFault& flaps = PrepareFlaps(condition, 0x1F40);
      flaps.Kind = static_cast<ksv::PartKind>(kind);
      const ksv::PartFault before = flaps;
      EXPECT_EQ(Check(&flaps, 0x5000, AboveBreak), Lines{}) << kind << " " << condition;
      EXPECT_TRUE(SameFault(before, flaps)) << kind << " " << condition;
    }
  }
  ksv::PartFault& flaps = PrepareFlaps(Jammed, 0x1F40);
  State().Enabled = 0;
  const ksv::PartFault before = flaps;
  EXPECT_EQ(Check(&flaps, 0x5000, AboveBreak), Lines{});
  EXPECT_TRUE(SameFault(before, flaps));
  State().Enabled = 1;
  EXPECT_EQ(Check(nullptr, 0x5000, AboveBreak), Lines{});
}

TEST(PartNameTest, NamesTheThreeKindsAndNothingElse) {
  EXPECT_STREQ(ksv::PartName(ksv::Flaps), "Flaps");
  EXPECT_STREQ(ksv::PartName(ksv::LandingGear), "Landing Gear");
  EXPECT_STREQ(ksv::PartName(ksv::DiveBrakes), "Dive Brakes");
  EXPECT_STREQ(ksv::PartName(static_cast<ksv::PartKind>(0)), "");
  EXPECT_STREQ(ksv::PartName(static_cast<ksv::PartKind>(4)), "");
}

}  // namespace
