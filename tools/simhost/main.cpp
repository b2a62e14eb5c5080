// simhost.exe: plays the host for the real kestovan.dll under Wine or
// Windows. Without a command it runs one short session (attach, start-up, one
// aircraft load, a few notifications, shutdown) and prints, phase by phase,
// everything the module did. `simhost.exe replay` flies a whole recorded
// flight in virtual time and shows what the module did and when
// (replay_command.h). The same program, built with other version resources,
// plays hosts of other releases for the version gate's tests.
#include <windows.h>

#include <cstdio>
#include <string>

#include <CLI/CLI.hpp>

#include "host_sim.h"
#include "module_session.h"
#include "replay_command.h"

namespace {

using simhost::ExitBadInput;
using simhost::ExitBroken;
using simhost::ExitRefused;
using simhost::IsFolder;
using simhost::SimulatedHost;

struct SessionOptions {
  std::string Dll;
  std::string Aircraft;
  std::string Debug;
  bool DebugGiven = false;
  unsigned Engines = 1;
  bool ReducedX87 = false;
};

class PhasePrinter {
 public:
  explicit PhasePrinter(const SimulatedHost& host) : host_(host) {}
  void Phase(const std::string& title) {
    Flush();
    std::printf("== %s\n", title.c_str());
  }
  void Flush() {
    const auto& records = host_.Records();
    for (; printed_ < records.size(); ++printed_)
      std::fputs(simhost::RenderRecord(records[printed_]).c_str(), stdout);
    std::fflush(stdout);
  }

 private:
  const SimulatedHost& host_;
  size_t printed_ = 0;
};

int RunSession(const SessionOptions& options) {
  if (!options.Aircraft.empty() && !IsFolder(options.Aircraft)) {
    std::fprintf(stderr, "simhost: no such aircraft folder: %s\n", options.Aircraft.c_str());
    return ExitBadInput;
  }
  SimulatedHost host;
  host.ReducedX87 = options.ReducedX87;
  if (options.DebugGiven) host.DebugSetting = options.Debug;
  PhasePrinter out(host);
  simhost::ModuleSession session(host);

  out.Phase("attach: LoadLibrary " + options.Dll);
  uint32_t error = 0;
  if (!session.Load(options.Dll, &error)) {
    out.Flush();
    std::printf("== LoadLibrary refused the library (error %u)\n", error);
    return ExitRefused;
  }
  out.Flush();
  std::printf("== LoadLibrary kept the library\n");
  std::string problem;
  if (!session.Bind(&problem)) {
    std::fprintf(stderr, "simhost: %s\n", problem.c_str());
    return ExitBroken;
  }
  session.InstallTables();

  out.Phase("ModuleInit");
  session.Init();

  host.Set(ksv::simdata::HostEngineCount, static_cast<uint16_t>(options.Engines));
  host.Set(ksv::simdata::GLoadRaw, int16_t{624});         // 1.0 g
  host.Set(ksv::simdata::AirspeedRaw, uint32_t{210 * 128});  // cruising
  if (!options.Aircraft.empty()) {
    host.SetAircraftFolder(options.Aircraft);
    out.Phase("LoadAircraft " + options.Aircraft);
    const int32_t result = host.LoadAircraft(options.Aircraft.c_str());
    out.Flush();
    std::printf("== LoadAircraft returned %d\n", result);
  }

  const uint32_t codes[] = {ksv::MonitorEvent, 12, ksv::MonitorEvent};
  for (uint32_t code : codes) {
    out.Phase("notification " + std::to_string(code));
    host.Notify(code);
    host.Tick += 55;
  }
  host.Set(ksv::simdata::SuspendFlag, uint16_t{1});
  out.Phase("notification 147 while suspended");
  host.Notify(ksv::MonitorEvent);
  host.Set(ksv::simdata::SuspendFlag, uint16_t{0});

  out.Phase("ModuleDeinit");
  session.Deinit();
  out.Flush();
  session.Unload();
  std::printf("== done\n");
  return 0;
}

// The replay subcommand's options, into `options`.
CLI::App* AddReplayCommand(CLI::App& app, simhost::ReplayCommandOptions& options) {
  CLI::App* replay = app.add_subcommand(
      "replay",
      "fly a recorded flight (CSV) against kestovan.dll in virtual time and show what the "
      "module did and when");
  replay->add_option("--aircraft", options.Aircraft, "aircraft folder (its Kestovan.cfg sets the limits)")
      ->required();
  replay->add_option("--flight", options.Flight,
                     "flight file: CSV with a header row; time (s) required; optional g, speed, "
                     "cht1..cht4, rad1..rad4, oil1..oil4 (deg F), oilp1..oilp4 (psi), flaps, "
                     "gear, brakes (raw positions), suspend (0 or 1)")
      ->required();
  replay->add_option("--engines", options.Engines, "the aircraft's engine count (default 1)")
      ->check(CLI::Range(0, 65535));
  replay->add_option("--rate", options.RateHz, "monitor notifications per second (default 18)")
      ->check(CLI::Range(0.01, 1000.0));
  replay->add_option("--start-tick", options.StartTick,
                     "the module's tick count at flight time 0 (default 0)");
  replay->add_option("--debug", options.Debug,
                     "the host setting Debug: on (trace shown on the timeline) or off; "
                     "default: no value (the module traces, the timeline hides it)")
      ->check(CLI::IsMember({"on", "off"}));
  replay->add_option("--json", options.Json, "write every host call the module made to FILE");
  replay->add_option("--svg", options.Svg, "draw the flight and its failures into FILE");
  replay->add_flag("--x87-24", options.ReducedX87,
                   "hold the x87 at 24-bit precision in every call into the module");
  replay->add_option("--dll", options.Dll,
                     "the module to load (default: kestovan.dll beside simhost.exe)");
  return replay;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"simhost: plays the host simulator for kestovan.dll"};

  simhost::ReplayCommandOptions replayOptions;
  replayOptions.Dll = simhost::DefaultDllPath();
  CLI::App* replay = AddReplayCommand(app, replayOptions);

  SessionOptions session;
  session.Dll = simhost::DefaultDllPath();
  app.add_option("--dll", session.Dll, "the module to load (default: kestovan.dll beside simhost.exe)");
  app.add_option("--aircraft", session.Aircraft, "aircraft folder to load after start-up");
  auto* debug = app.add_option("--debug", session.Debug,
                               "the host setting Debug of section Kestovan (default: no value)");
  app.add_option("--engines", session.Engines, "the aircraft's engine count")
      ->check(CLI::Range(0, 65535));
  app.add_flag("--x87-24", session.ReducedX87,
               "hold the x87 at 24-bit precision in every call into the module");

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    // --help is a parse "error" with status 0; every real one is bad input.
    return app.exit(error) == 0 ? 0 : ExitBadInput;
  }
  if (replay->parsed()) return simhost::RunReplayCommand(replayOptions);
  session.DebugGiven = debug->count() > 0;
  return RunSession(session);
}
