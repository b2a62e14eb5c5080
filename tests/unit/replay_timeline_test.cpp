// The replay's timeline and summary, fed with what a simulated host records
// when the test plays the module's part through the host's own routine
// tables: folding of a line repeated on consecutive passes, engine run events
// shown as changes of state, which engine and which part a pilot message is
// about, the summary's counts, and how both are rendered.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "host/host_interface.h"
#include "host_sim.h"
#include "timeline.h"

namespace {

using simhost::EntryKind;
using simhost::FailureTally;
using simhost::Timeline;
using simhost::TimelineOptions;

class TimelineTest : public ::testing::Test {
 protected:
  template <typename Routine>
  Routine Slot(uint32_t table, uint32_t slotOffset) {
    Routine routine;
    std::memcpy(&routine, static_cast<char*>(host_.Table(table)) + slotOffset, sizeof routine);
    return routine;
  }

  // What the module would do, through the host's routines.
  void Show(const char* text) {
    Slot<ksv::ShowMessageRoutine>(ksv::MessageServicesId, ksv::slot::ShowMessage)(text, 5, 90, 0);
  }
  void Read(uint32_t variableId) {
    ksv::VariableDescriptor record{variableId, {}, 0.0, {}};
    Slot<ksv::VariableRoutine>(ksv::VariableServicesId, ksv::slot::ReadVariable)(&record);
  }
  void Send(uint32_t event, uint32_t value) {
    Slot<ksv::SendEventRoutine>(ksv::VariableServicesId, ksv::slot::SendEvent)(event, value);
  }
  void Trace(const char* text) { host_.RecordTrace(text); }
  void FailAirframe() {
    host_.Set(ksv::simdata::AirframeFailed, uint16_t{1});
    host_.Observe();
  }
  // Ends a pass at `ms` and hands its records to `timeline`.
  void Pass(Timeline& timeline, uint32_t ms) {
    timeline.AddPass(ms, host_.Records());
    host_.ClearRecords();
  }
  void Overspeed() {
    Show("Maximum speed exceeded");
    FailAirframe();
  }

  simhost::SimulatedHost host_;
};

TEST_F(TimelineTest, RepeatsOnConsecutivePassesFoldIntoOneLine) {
  Timeline timeline(TimelineOptions{});
  Overspeed();
  Pass(timeline, 1000);
  Overspeed();
  Pass(timeline, 1056);
  Overspeed();
  Pass(timeline, 1111);
  Pass(timeline, 1167);  // a pass without it ends the spell
  Overspeed();
  Pass(timeline, 1222);
  EXPECT_EQ(simhost::RenderTimeline(timeline.Entries()),
            "00:01.000  PILOT  Maximum speed exceeded  (3 times, until 00:01.111)\n"
            "00:01.000  FLAG   AirframeFailed=1  (3 times, until 00:01.111)\n"
            "00:01.222  PILOT  Maximum speed exceeded\n"
            "00:01.222  FLAG   AirframeFailed=1\n");
  const FailureTally airframe = timeline.Summary()[0];
  EXPECT_EQ(airframe.Name, "airframe");
  EXPECT_EQ(airframe.FirstMs, 1000u);
  EXPECT_EQ(airframe.Times, 2u);
  EXPECT_EQ(airframe.Notifications, 4u);
  ASSERT_EQ(timeline.Marks().size(), 2u);
  EXPECT_EQ(timeline.Marks()[0].Label, "overspeed");
  EXPECT_EQ(timeline.Marks()[1].Ms, 1222u);
}

TEST_F(TimelineTest, OneSpellChangingCauseIsOneAirframeFailureWithTwoMarks) {
  Timeline timeline(TimelineOptions{});
  Overspeed();
  Pass(timeline, 0);
  Show("Maximum Gs exceeded");
  FailAirframe();
  Pass(timeline, 56);
  EXPECT_EQ(simhost::RenderTimeline(timeline.Entries()),
            "00:00.000  PILOT  Maximum speed exceeded\n"
            "00:00.000  FLAG   AirframeFailed=1  (2 times, until 00:00.056)\n"
            "00:00.056  PILOT  Maximum Gs exceeded\n");
  EXPECT_EQ(timeline.Summary()[0].Times, 1u);
  ASSERT_EQ(timeline.Marks().size(), 2u);
  EXPECT_EQ(timeline.Marks()[1].Label, "G max");
}

TEST_F(TimelineTest, TheSameMessageTwiceInOnePassCountsTwice) {
  Timeline timeline(TimelineOptions{false, false, 1});  // trace off: parts unattributed
  Show("The [part] is jammed");
  Show("The [part] is jammed");
  Pass(timeline, 0);
  Show("The [part] is jammed");
  Pass(timeline, 56);
  ASSERT_EQ(timeline.Entries().size(), 1u);
  EXPECT_EQ(timeline.Entries()[0].Text, "The [part] is jammed");
  EXPECT_EQ(timeline.Entries()[0].Count, 3u);
}

TEST_F(TimelineTest, EngineRunEventsShowOnlyAsChangesOfState) {
  Timeline timeline(TimelineOptions{false, true, 2});
  const uint32_t engine1 = 0x1017F, engine2 = 0x10180;
  for (uint32_t ms = 0; ms < 300; ms += 50) {  // running hot: the run event every pass
    Send(engine2, 16383);
    Pass(timeline, ms);
  }
  Send(engine2, 0);
  Pass(timeline, 300);
  Send(engine2, 0);
  Send(engine1, 0);
  Pass(timeline, 350);
  Send(engine2, 16383);
  Pass(timeline, 400);
  timeline.Finish(1000);
  EXPECT_EQ(simhost::RenderTimeline(timeline.Entries()),
            "00:00.300  EVENT  engine 2 cut\n"
            "00:00.350  EVENT  engine 1 cut\n"
            "00:00.400  EVENT  engine 2 restarted\n");
  ASSERT_EQ(timeline.Cuts().size(), 2u);
  EXPECT_EQ(timeline.Cuts()[0].Engine, 2u);
  EXPECT_EQ(timeline.Cuts()[0].FromMs, 300u);
  EXPECT_EQ(timeline.Cuts()[0].ToMs, 400u);
  EXPECT_EQ(timeline.Cuts()[1].Engine, 1u);
  EXPECT_EQ(timeline.Cuts()[1].ToMs, 1000u);  // never restarted: cut to the end
}

// The module reads an engine's three temperatures just before its message;
// engine 3's block starts at 0x19F + 2 x 39.
TEST_F(TimelineTest, EngineMessagesNameTheEngineReadBeforeThem) {
  Timeline timeline(TimelineOptions{false, true, 4});
  Read(0x214);  // engine 4, cylinder head
  Read(0x216);
  Read(0x215);
  Read(0x1ED);  // engine 3
  Read(0x1EF);
  Read(0x1EE);
  Show("Your engine is overheating");
  Pass(timeline, 500);
  Read(0x1ED);
  Show("Your engine has seized");
  Pass(timeline, 9000);
  Send(0x10181, 0);
  Pass(timeline, 9056);
  EXPECT_EQ(simhost::RenderTimeline(timeline.Entries()),
            "00:00.500  PILOT  Your engine is overheating  [engine 3]\n"
            "00:09.000  PILOT  Your engine has seized  [engine 3]\n"
            "00:09.056  EVENT  engine 3 cut (seized)\n");
  EXPECT_EQ(simhost::RenderSummary(timeline.Summary()),
            "  airframe            none\n"
            "  engine 1 overheat   none\n"
            "  engine 1 seizure    none\n"
            "  engine 2 overheat   none\n"
            "  engine 2 seizure    none\n"
            "  engine 3 overheat   first 00:00.500, 1 time\n"
            "  engine 3 seizure    first 00:09.000, 1 time\n"
            "  engine 4 overheat   none\n"
            "  engine 4 seizure    none\n"
            "  Flaps jam           none\n"
            "  Flaps break         none\n"
            "  Landing Gear jam    none\n"
            "  Landing Gear break  none\n"
            "  Dive Brakes jam     none\n"
            "  Dive Brakes break   none\n");
}

TEST_F(TimelineTest, EngineCountsTheModuleDoesNotMonitorGetNoEngineRows) {
  for (uint32_t count : {0u, 5u, 65535u}) {
    Timeline timeline(TimelineOptions{false, true, count});
    for (const FailureTally& tally : timeline.Summary())
      EXPECT_EQ(tally.Name.find("engine"), std::string::npos) << count << ": " << tally.Name;
  }
}

TEST_F(TimelineTest, PartsAreNamedFromTheTraceAndHeldPartsSayWhy) {
  Timeline timeline(TimelineOptions{false, true, 1});
  Show("The [part] is jammed");
  Trace("KSV014I VCUR(230.000000) PART(Flaps) ACTIVSPEED(180.000000) EXCEEDED, PART IS "
        "STUCK, POS(1000), THIS(1000)\n");
  Trace("KSV013I VCUR(250.000000) PART(Landing Gear) BREAKSPEED(240.000000) EXCEEDED, PART "
        "IS BROKEN, POS(0), THIS(3FFF)\n");
  Pass(timeline, 1000);
  Send(0x100A2, 4096);
  Send(0x100A4, 0);
  Pass(timeline, 1056);
  EXPECT_EQ(simhost::RenderTimeline(timeline.Entries()),
            "00:01.000  PILOT  The [part] is jammed  [Flaps]\n"
            "00:01.056  EVENT  Flaps held at 4096 (jammed)\n"
            "00:01.056  EVENT  Landing Gear held at 0 (broken)\n");
  EXPECT_EQ(simhost::RenderSummary(timeline.Summary()),
            "  airframe            none\n"
            "  engine 1 overheat   none\n"
            "  engine 1 seizure    none\n"
            "  Flaps jam           first 00:01.000, 1 time\n"
            "  Flaps break         none\n"
            "  Landing Gear jam    none\n"
            "  Landing Gear break  first 00:01.000, 1 time\n"
            "  Dive Brakes jam     none\n"
            "  Dive Brakes break   none\n");
  std::vector<std::string> labels;
  for (const auto& mark : timeline.Marks()) labels.push_back(mark.Label);
  EXPECT_EQ(labels, (std::vector<std::string>{"Flaps jammed", "Landing Gear broken"}));
}

TEST_F(TimelineTest, WithTheTraceOffPartsAreNotAttributedAndTheSummarySaysSo) {
  Timeline timeline(TimelineOptions{false, false, 1});
  Show("The [part] is jammed");
  Pass(timeline, 0);
  Send(0x100A2, 4096);
  Pass(timeline, 56);
  EXPECT_EQ(simhost::RenderTimeline(timeline.Entries()),
            "00:00.000  PILOT  The [part] is jammed\n"
            "00:00.056  EVENT  Flaps held at 4096\n");
  EXPECT_EQ(simhost::RenderSummary(timeline.Summary()),
            "  airframe            none\n"
            "  engine 1 overheat   none\n"
            "  engine 1 seizure    none\n"
            "  Flaps jam           not seen: the module's trace is off\n"
            "  Flaps break         not seen: the module's trace is off\n"
            "  Landing Gear jam    not seen: the module's trace is off\n"
            "  Landing Gear break  not seen: the module's trace is off\n"
            "  Dive Brakes jam     not seen: the module's trace is off\n"
            "  Dive Brakes break   not seen: the module's trace is off\n"
            "  jam of a part       first 00:00.000, 1 time\n");
}

// Shown trace lines fold when only their numbers differ; the line keeps the
// first reading. Lines that differ in words, and each line of a two-line
// trace, stay apart.
TEST_F(TimelineTest, ShownTraceLinesFoldAcrossChangingNumbers) {
  Timeline hidden(TimelineOptions{false, true, 1});
  Timeline shown(TimelineOptions{true, true, 1});
  const char* passes[][2] = {
      {"KSV008I VMAX(520.000000) EXCEEDED, VCUR(521.000000)\n", nullptr},
      {"KSV008I VMAX(520.000000) EXCEEDED, VCUR(530.500000)\n", nullptr},
      {"KSV009I ENGINE(1) TICKLIMIT(8000) EXPIRED, SHUTDOWN= TRUE\n",
       "KSV506I FILE VERSION -> 7.50.0.0\nKSV506I PROD VERSION -> 7.50.0.0\n"},
      {"KSV009I ENGINE(1) TICKLIMIT(8000) EXPIRED, SHUTDOWN= FALSE\n", nullptr},
  };
  uint32_t ms = 0;
  for (const auto& pass : passes) {
    for (const char* text : pass)
      if (text) Trace(text);
    const auto records = host_.Records();
    hidden.AddPass(ms, records);
    shown.AddPass(ms, records);
    host_.ClearRecords();
    ms += 56;
  }
  EXPECT_TRUE(hidden.Entries().empty());
  EXPECT_EQ(simhost::RenderTimeline(shown.Entries()),
            "00:00.000  TRACE  KSV008I VMAX(520.000000) EXCEEDED, VCUR(521.000000)  (2 times, "
            "until 00:00.056)\n"
            "00:00.112  TRACE  KSV009I ENGINE(1) TICKLIMIT(8000) EXPIRED, SHUTDOWN= TRUE\n"
            "00:00.112  TRACE  KSV506I FILE VERSION -> 7.50.0.0\n"
            "00:00.112  TRACE  KSV506I PROD VERSION -> 7.50.0.0\n"
            "00:00.168  TRACE  KSV009I ENGINE(1) TICKLIMIT(8000) EXPIRED, SHUTDOWN= FALSE\n");
}

TEST(FlightTimeTest, MinutesRunOnPastTheHour) {
  EXPECT_EQ(simhost::FlightTime(0), "00:00.000");
  EXPECT_EQ(simhost::FlightTime(61001), "01:01.001");
  EXPECT_EQ(simhost::FlightTime(3599999), "59:59.999");
  EXPECT_EQ(simhost::FlightTime(3600000), "60:00.000");
}

}  // namespace
