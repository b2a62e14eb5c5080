// The fake platform seam for the native tests.
#include "fake_platform.h"

#include <cstdlib>
#include <cstring>

#include "host_sim.h"

namespace fake {

PlatformState& Platform() {
  static PlatformState state;
  return state;
}

void ResetPlatform() {
  for (void* block : Platform().LiveBlocks) std::free(block);
  Platform() = PlatformState{};
}

namespace {

// Records the step; true when the test made it fail (last error set).
bool StepFails(Step step) {
  Platform().StepsTaken.push_back(step);
  auto failure = Platform().FailWith.find(step);
  if (failure == Platform().FailWith.end()) return false;
  Platform().LastError = failure->second;
  return true;
}

}  // namespace
}  // namespace fake

namespace ksv::platform {

using fake::Platform;
using fake::Step;

void DebugOutput(const char* text) {
  Platform().DebugOutput.emplace_back(text);
  Platform().OutputAndFrees.push_back(std::string(text).substr(0, 7));
  if (simhost::SimulatedHost* host = simhost::CurrentHost()) host->RecordTrace(text);
}

// The simulated host's clock, as simhost.exe gives the DLL through its
// patched GetTickCount.
uint32_t TickCount() {
  const simhost::SimulatedHost* host = simhost::CurrentHost();
  return host ? host->Tick : 0;
}

uint32_t LastError() { return Platform().LastError; }

void SetLastError(uint32_t code) { Platform().LastError = code; }

void* HeapAllocZeroed(uint32_t size) {
  if (fake::StepFails(Step::HeapAlloc)) return nullptr;
  void* block = std::calloc(size ? size : 1, 1);
  Platform().LiveBlocks.insert(block);
  Platform().LastAllocationBytes = size;
  return block;
}

int32_t HeapFreeBlock(void* block) {
  if (Platform().LiveBlocks.erase(block) == 0) return 0;
  std::free(block);
  Platform().OutputAndFrees.push_back("free");
  return 1;
}

uint32_t MainModuleFileName(char* buffer, uint32_t size) {
  if (fake::StepFails(Step::ModuleFileName)) return 0;
  const std::string& name = Platform().MainModuleFileName;
  // As the system does: a name too long is truncated to size - 1 characters.
  const size_t length = name.size() < size ? name.size() : size - 1;
  std::memcpy(buffer, name.data(), length);
  buffer[length] = '\0';
  return static_cast<uint32_t>(length);
}

uint32_t FileVersionInfoSize(const char*) {
  if (fake::StepFails(Step::VersionInfoSize)) return 0;
  return Platform().VersionInfoBytes;
}

int32_t FileVersionInfo(const char*, uint32_t size, void* block) {
  if (fake::StepFails(Step::VersionInfo)) return 0;
  std::memset(block, 0xA5, size);  // the module must not rely on zeros here
  return 1;
}

int32_t QueryFixedVersion(const void*, FixedVersion* out) {
  if (fake::StepFails(Step::QueryFixedVersion)) return 0;
  *out = Platform().Version;
  return 1;
}

void DisableThreadNotifications(void* module) {
  Platform().ThreadNotificationsOff.push_back(module);
}

}  // namespace ksv::platform
