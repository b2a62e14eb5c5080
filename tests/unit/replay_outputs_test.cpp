// What the replay writes besides the timeline: the --json document of every
// host call, the --svg picture, and the aircraft limits the picture draws.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "aircraft_limits.h"
#include "fake_platform.h"
#include "flight.h"
#include "flight_json.h"
#include "flight_svg.h"
#include "module_fixture.h"
#include "replay.h"
#include "shell/module.h"
#include "timeline.h"

namespace {

constexpr char Folder[] = "C:\\Aircraft\\Vestrel";

// Overspeed from 0.7 s, a G overstress at 2.0 s, the flaps jammed at 2.6 s.
constexpr char Sortie[] =
    "time,g,speed,cht1,flaps\n0,1,500,400,0\n1,1,530,410,0\n2,9.5,530,420,0\n"
    "2.2,1,230,420,0\n2.4,1,230,420,0\n2.6,1,230,420,6000\n3,1,230,420,6000\n";

class ReplayOutputTest : public ModuleTest {
 protected:
  void Fly(const std::string& config, std::ostream* json) {
    if (!config.empty()) (*host().MemoryFiles)[std::string(Folder) + "\\Kestovan.cfg"] = config;
    simhost::FlightError error;
    ASSERT_TRUE(simhost::ParseFlight(Sortie, "sortie & co.csv", &flight_, &error));
    simhost::ReplayOptions options;
    options.Aircraft = Folder;
    options.RateHz = 10;
    std::unique_ptr<simhost::CallLogWriter> writer;
    if (json) writer = std::make_unique<simhost::CallLogWriter>(
                  *json, nlohmann::ordered_json{{"flight", "sortie & co.csv"}, {"engines", 1}});
    stats_ = simhost::RunReplay(host(), ImportTable, &Linkage, flight_, options,
                                [&](uint32_t ms, const std::vector<simhost::HostRecord>& records) {
                                  timeline_.AddPass(ms, records);
                                  if (writer) writer->AddPass(ms, records);
                                  for (const auto& record : records)
                                    calls_ += record.Kind == simhost::RecordKind::Call;
                                });
    timeline_.Finish(stats_.FlightMs);
    if (writer) writer->Finish(timeline_);
  }

  simhost::Flight flight_;
  simhost::Timeline timeline_{simhost::TimelineOptions{}};
  simhost::ReplayStats stats_;
  size_t calls_ = 0;
};

constexpr char VestrelLimits[] =
    "[Airframe]\nGmax = 9.0\nGmin = -4.5\nVmax = 520\n"
    "[Engine]\nCylinderHeadTemp = 460\nRadiatorOutletTemp = 250\nOilTemp = 220\n"
    "[Flaps]\nActivationSpeed = 180\nActivationPercent = 4000\n";

struct ArgumentCase {
  const char* Rendered;
  const char* Json;
};

class ArgumentJsonTest : public ::testing::TestWithParam<ArgumentCase> {};

TEST_P(ArgumentJsonTest, TextsNumbersAndNullBecomeTheirJsonKind) {
  EXPECT_EQ(simhost::ArgumentJson(GetParam().Rendered).dump(), GetParam().Json);
}

INSTANTIATE_TEST_SUITE_P(
    Rendered, ArgumentJsonTest,
    ::testing::Values(ArgumentCase{"\"Maximum Gs exceeded\"", "\"Maximum Gs exceeded\""},
                      ArgumentCase{"\"C:\\\\A \\\"B\\\"\\n\"", "\"C:\\\\A \\\"B\\\"\\n\""},
                      ArgumentCase{"\"\"", "\"\""}, ArgumentCase{"null", "null"},
                      ArgumentCase{"260", "260"}, ArgumentCase{"4294967295", "4294967295"},
                      ArgumentCase{"4294967296", "\"4294967296\""},
                      ArgumentCase{"0x1017F", "65919"}, ArgumentCase{"id=0x19F", "\"id=0x19F\""},
                      ArgumentCase{"ptr", "\"ptr\""}, ArgumentCase{"Linkage", "\"Linkage\""}));

TEST_F(ReplayOutputTest, JsonHoldsEveryHostCallWithItsTimeThenTheTimelineAndSummary) {
  std::ostringstream out;
  Fly(VestrelLimits, &out);
  const nlohmann::ordered_json document = nlohmann::ordered_json::parse(out.str());
  std::vector<std::string> keys;
  for (auto it = document.begin(); it != document.end(); ++it) keys.push_back(it.key());
  EXPECT_EQ(keys, (std::vector<std::string>{"flight", "engines", "calls", "timeline", "summary"}));
  EXPECT_EQ(document["flight"], "sortie & co.csv");

  const auto& calls = document["calls"];
  ASSERT_EQ(calls.size(), calls_);
  EXPECT_EQ(calls[0].dump(),
            "{\"time\":\"00:00.000\",\"ms\":0,\"tick\":0,\"routine\":\"RegisterLinkage\","
            "\"args\":[\"Linkage\",\"ptr\"]}");
  nlohmann::ordered_json firstMessage;
  for (const auto& call : calls) {
    if (call["routine"] == "ShowMessage") {
      firstMessage = call;
      break;
    }
  }
  EXPECT_EQ(firstMessage.dump(),
            "{\"time\":\"00:00.700\",\"ms\":700,\"tick\":700,\"routine\":\"ShowMessage\","
            "\"args\":[\"Maximum speed exceeded\",5,90,0]}");
  EXPECT_EQ(calls.back()["routine"], "RemoveHandler");
  EXPECT_EQ(calls.back()["ms"], 3000);

  ASSERT_EQ(document["timeline"].size(), timeline_.Entries().size());
  EXPECT_EQ(document["timeline"][0].dump(),
            "{\"time\":\"00:00.700\",\"ms\":700,\"kind\":\"PILOT\",\"text\":\"Maximum speed "
            "exceeded\",\"count\":13,\"untilMs\":1900}");
  EXPECT_EQ(document["summary"][0].dump(),
            "{\"failure\":\"airframe\",\"observable\":true,\"times\":1,\"notifications\":14,"
            "\"firstMs\":700}");
  EXPECT_EQ(document["summary"][1]["firstMs"], nullptr);
}

// Every element that opens is closed, in order, and nothing is left open:
// what a browser needs to show the file at all.
bool WellFormed(const std::string& xml, std::string* problem) {
  std::vector<std::string> open;
  for (size_t at = xml.find('<'); at != std::string::npos; at = xml.find('<', at + 1)) {
    const size_t end = xml.find('>', at);
    if (end == std::string::npos) {
      *problem = "a tag without its closing >";
      return false;
    }
    const std::string tag = xml.substr(at + 1, end - at - 1);
    if (tag.empty() || tag[0] == '?' || tag.back() == '/') continue;
    const bool closing = tag[0] == '/';
    const std::string name = tag.substr(closing, tag.find_first_of(" \n") - closing);
    if (!closing) {
      open.push_back(name);
      continue;
    }
    if (open.empty() || open.back() != name) {
      *problem = "</" + name + "> closes " + (open.empty() ? "nothing" : "<" + open.back() + ">");
      return false;
    }
    open.pop_back();
  }
  if (!open.empty()) {
    *problem = "<" + open.back() + "> left open";
    return false;
  }
  return true;
}

TEST_F(ReplayOutputTest, PictureIsOneWellFormedSvgWithLimitsAndFailureMarks) {
  Fly(VestrelLimits, nullptr);
  const simhost::AircraftLimits limits = simhost::ReadAircraftLimits(host(), Folder);
  const std::string svg =
      simhost::RenderFlightSvg(flight_, limits, timeline_, stats_.FlightMs, "sortie & co <1>");
  std::string problem;
  EXPECT_TRUE(WellFormed(svg, &problem)) << problem;
  EXPECT_NE(svg.find("<svg xmlns=\"http://www.w3.org/2000/svg\""), std::string::npos);
  EXPECT_NE(svg.find("<title>sortie &amp; co &lt;1&gt;</title>"), std::string::npos);
  EXPECT_EQ(svg.find("sortie & co"), std::string::npos) << "an unescaped ampersand";
  for (const char* label : {">Gmax 9<", ">Gmin -4.5<", ">Vmax 520<", ">head 460<", ">radiator 250<",
                            ">oil 220<", ">overspeed<", ">G max<", ">Flaps jammed<"})
    EXPECT_NE(svg.find(label), std::string::npos) << label;
  EXPECT_EQ(svg.find("failure models off"), std::string::npos);
}

TEST_F(ReplayOutputTest, PictureOfAnAircraftWithoutAFileDrawsNoLimits) {
  Fly("", nullptr);
  const simhost::AircraftLimits limits = simhost::ReadAircraftLimits(host(), Folder);
  EXPECT_FALSE(limits.Found);
  const std::string svg = simhost::RenderFlightSvg(flight_, limits, timeline_, stats_.FlightMs, "t");
  std::string problem;
  EXPECT_TRUE(WellFormed(svg, &problem)) << problem;
  EXPECT_NE(svg.find("no Kestovan.cfg: failure models off"), std::string::npos);
  EXPECT_EQ(svg.find(">Gmax"), std::string::npos);
  EXPECT_EQ(svg.find("stroke-dasharray=\"6 4\""), svg.rfind("stroke-dasharray=\"6 4\""))
      << "only the legend's limit swatch is dashed";
}

TEST_F(ModuleTest, AircraftLimitsTakeTheModulesDefaultsWhereTheFileSaysNothingUsable) {
  (*host().MemoryFiles)["C:\\A\\Kestovan.cfg"] =
      "[airframe]\ngmax = 7.5 g\nVmax = fast\n[Engine]\nOilTemp = -12e1\nCylinderHeadTemp =\n";
  const simhost::AircraftLimits limits = simhost::ReadAircraftLimits(host(), "C:\\A");
  EXPECT_TRUE(limits.Found);
  EXPECT_EQ(limits.ConfigPath, "C:\\A\\Kestovan.cfg");
  EXPECT_EQ(limits.Gmax, 7.5);
  EXPECT_EQ(limits.Gmin, -10.0);
  EXPECT_EQ(limits.Vmax, 650.0);
  EXPECT_EQ(limits.OilTemp, -120.0);
  EXPECT_EQ(limits.CylinderHeadTemp, 400.0);
  EXPECT_EQ(limits.RadiatorOutletTemp, 400.0);
  EXPECT_TRUE(host().Records().empty()) << "reading the limits is not a call of the module's";
}

}  // namespace
