// RunReplayCommand. simhost.exe only.
#include "replay_command.h"

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <memory>

#include "aircraft_limits.h"
#include "flight.h"
#include "flight_json.h"
#include "flight_svg.h"
#include "host_sim.h"
#include "module_session.h"
#include "replay.h"
#include "timeline.h"

namespace simhost {
namespace {

int BadInput(const std::string& message) {
  std::fprintf(stderr, "simhost: %s\n", message.c_str());
  return ExitBadInput;
}

std::string Plural(unsigned count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string Rate(double hz) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", hz);
  return text;
}

}  // namespace

std::string DefaultDllPath() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string text = path;
  const size_t slash = text.find_last_of("\\/");
  return (slash == std::string::npos ? std::string() : text.substr(0, slash + 1)) +
         "kestovan.dll";
}

bool IsFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

int RunReplayCommand(const ReplayCommandOptions& options) {
  // Everything that can be wrong with the input is found before anything flies.
  if (!IsFolder(options.Aircraft)) return BadInput("no such aircraft folder: " + options.Aircraft);
  Flight flight;
  FlightError error;
  if (!ReadFlightFile(options.Flight, &flight, &error)) return BadInput(error.Text());
  std::ofstream json, svg;
  if (!options.Json.empty()) {
    json.open(options.Json, std::ios::binary | std::ios::trunc);
    if (!json) return BadInput("cannot write the --json file " + options.Json);
  }
  if (!options.Svg.empty()) {
    svg.open(options.Svg, std::ios::binary | std::ios::trunc);
    if (!svg) return BadInput("cannot write the --svg file " + options.Svg);
  }

  SimulatedHost host;
  host.ReducedX87 = options.ReducedX87;
  if (options.Debug == "on") host.DebugSetting = "1";
  if (options.Debug == "off") host.DebugSetting = "0";
  ModuleSession session(host);
  uint32_t loadError = 0;
  if (!session.Load(options.Dll, &loadError)) {
    std::fprintf(stderr, "simhost: the platform refused %s (error %u)\n", options.Dll.c_str(),
                 loadError);
    return ExitRefused;
  }
  std::string problem;
  if (!session.Bind(&problem)) {
    std::fprintf(stderr, "simhost: %s\n", problem.c_str());
    return ExitBroken;
  }

  const AircraftLimits limits = ReadAircraftLimits(host, options.Aircraft);
  std::printf("replay of %s with %s: %s, %s notifications per second\n", options.Flight.c_str(),
              options.Aircraft.c_str(), Plural(options.Engines, "engine", "engines").c_str(),
              Rate(options.RateHz).c_str());
  if (!limits.Found)
    std::printf("no Kestovan.cfg in %s: the failure models stay off\n", options.Aircraft.c_str());

  TimelineOptions timelineOptions;
  timelineOptions.ShowTrace = options.Debug == "on";
  timelineOptions.TraceCaptured = options.Debug != "off";
  timelineOptions.EngineCount = options.Engines;
  Timeline timeline(timelineOptions);
  std::unique_ptr<CallLogWriter> calls;
  if (json.is_open()) {
    calls = std::make_unique<CallLogWriter>(
        json, nlohmann::ordered_json{{"flight", options.Flight},
                             {"aircraft", options.Aircraft},
                             {"engines", options.Engines},
                             {"rateHz", options.RateHz},
                             {"startTick", options.StartTick},
                             {"debug", options.Debug.empty() ? "no value" : options.Debug}});
  }

  ReplayOptions replay;
  replay.Aircraft = options.Aircraft;
  replay.Engines = static_cast<uint16_t>(options.Engines);
  replay.RateHz = options.RateHz;
  replay.StartTick = options.StartTick;
  const ReplayStats stats = RunReplay(
      host, session.ImportTableAddress(), session.Linkage(), flight, replay,
      [&](uint32_t flightMs, const std::vector<HostRecord>& records) {
        timeline.AddPass(flightMs, records);
        if (calls) calls->AddPass(flightMs, records);
      });
  timeline.Finish(stats.FlightMs);
  session.Unload();

  const std::string entries = RenderTimeline(timeline.Entries());
  std::printf("\ntimeline\n%s", entries.empty() ? "(the module did nothing to show)\n" : entries.c_str());
  std::printf("\nsummary\n%s", RenderSummary(timeline.Summary()).c_str());
  std::printf("\nflew %s of flight: %u monitor notifications\n", FlightTime(stats.FlightMs).c_str(),
              stats.MonitorNotifications);
  if (calls) {
    calls->Finish(timeline);
    json.close();
    std::printf("host calls written to %s\n", options.Json.c_str());
  }
  if (svg.is_open()) {
    svg << RenderFlightSvg(flight, limits, timeline, stats.FlightMs,
                           options.Flight + " with " + options.Aircraft);
    svg.close();
    std::printf("picture written to %s\n", options.Svg.c_str());
  }
  std::fflush(stdout);
  return 0;
}

}  // namespace simhost
