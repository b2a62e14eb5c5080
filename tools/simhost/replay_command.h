// `simhost.exe replay`: the command around the replay's core. Checks the
// input, loads the real kestovan.dll through ModuleSession, flies the flight
// file and prints the timeline and the summary, and writes the --json and
// --svg files. simhost.exe only.
#pragma once

#include <cstdint>
#include <string>

namespace simhost {

// Exit statuses of simhost.exe.
constexpr int ExitBadInput = 2;  // a bad command line, aircraft folder or flight file
constexpr int ExitRefused = 3;   // the platform refused the library (its version gate)
constexpr int ExitBroken = 4;    // the library lacks an export or import simhost needs

struct ReplayCommandOptions {
  std::string Dll;        // the module to load
  std::string Aircraft;   // aircraft folder
  std::string Flight;     // flight file
  std::string Debug;      // "on", "off", or empty: the host has no Debug setting
  std::string Json;       // --json file, or empty
  std::string Svg;        // --svg file, or empty
  unsigned Engines = 1;   // HostEngineCount
  double RateHz = 18.0;   // monitor notifications per second
  uint32_t StartTick = 0; // tick count at flight time 0
  bool ReducedX87 = false;
};

int RunReplayCommand(const ReplayCommandOptions& options);

// kestovan.dll beside this program.
std::string DefaultDllPath();
bool IsFolder(const std::string& path);

}  // namespace simhost
