// The fake platform of the native tests: implements the module's platform
// seam with the simulated host's tick count (SimulatedHost::Tick, set by the
// test), captured debug output (also handed to
// the simulated host, so it interleaves with host calls), injectable version
// information, a counting heap, and each step of the version check able to
// fail with a chosen last-error code.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace fake {

// The steps of the version check, each of which a test can make fail.
enum class Step { ModuleFileName, VersionInfoSize, HeapAlloc, VersionInfo, QueryFixedVersion };

struct PlatformState {
  uint32_t LastError = 0;
  std::vector<std::string> DebugOutput;
  std::string MainModuleFileName = "C:\\Sim\\host.exe";
  ksv::platform::FixedVersion Version{(7u << 16) | 50u, 0, (7u << 16) | 50u, 0};
  uint32_t VersionInfoBytes = 512;
  std::map<Step, uint32_t> FailWith;  // step -> last-error code it leaves
  std::vector<Step> StepsTaken;       // in the order the module took them
  std::set<void*> LiveBlocks;         // heap blocks not yet freed
  uint32_t LastAllocationBytes = 0;
  std::vector<void*> ThreadNotificationsOff;  // modules DisableThreadNotifications saw
  // Debug output and heap releases in the order they happened: each output's
  // first 7 characters (its code), or "free".
  std::vector<std::string> OutputAndFrees;
};

// The one fake platform; ResetPlatform gives it its initial values and frees
// any block a test left.
PlatformState& Platform();
void ResetPlatform();

}  // namespace fake
