// simhost.exe: plays the host for the real kestovan.dll under Wine or
// Windows. Without a command it runs one short session (attach, start-up, one
// aircraft load, a few notifications, shutdown) and prints, phase by phase,
// everything the module did. The same program, built with other version
// resources, plays hosts of other releases for the version gate's tests.
#include <windows.h>

#include <cstdio>
#include <string>

#include <CLI/CLI.hpp>

#include "host_sim.h"
#include "module_session.h"

namespace {

using simhost::SimulatedHost;

constexpr int ExitBadInput = 2;
constexpr int ExitRefused = 3;
constexpr int ExitBroken = 4;

// kestovan.dll beside this program.
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

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"simhost: plays the host simulator for kestovan.dll"};

  SessionOptions session;
  session.Dll = DefaultDllPath();
  app.add_option("--dll", session.Dll, "the module to load (default: kestovan.dll beside simhost.exe)");
  app.add_option("--aircraft", session.Aircraft, "aircraft folder to load after start-up");
  auto* debug = app.add_option("--debug", session.Debug,
                               "the host setting Debug of section Kestovan (default: no value)");
  app.add_option("--engines", session.Engines, "the aircraft's engine count")
      ->check(CLI::Range(0, 65535));
  app.add_flag("--x87-24", session.ReducedX87,
               "hold the x87 at 24-bit precision in every call into the module");

  CLI11_PARSE(app, argc, argv);
  session.DebugGiven = debug->count() > 0;
  return RunSession(session);
}
