// CheckHostVersion, AllocZeroed and FreeBlock. Goes into kestovan.dll and the
// native tests; runs inside the process-attach call, before anything else of
// the module.
#include "diag/version_gate.h"

#include "diag/log.h"
#include "host/host_interface.h"
#include "platform/platform.h"

namespace ksv {
namespace {

// Owns the version-information block from its allocation to its release, so
// that no exit of the check leaves it behind. Releasing it never disturbs the
// last-error code that the check reports.
class VersionBlock {
 public:
  explicit VersionBlock(uint32_t size) : block_(AllocZeroed(size)) {}
  ~VersionBlock() { Release(); }
  VersionBlock(const VersionBlock&) = delete;
  VersionBlock& operator=(const VersionBlock&) = delete;

  void* get() const { return block_; }

  void Release() {
    if (block_ == nullptr) return;
    const uint32_t error = platform::LastError();
    FreeBlock(block_);
    block_ = nullptr;
    platform::SetLastError(error);
  }

 private:
  void* block_;
};

unsigned High16(uint32_t word) { return word >> 16; }
unsigned Low16(uint32_t word) { return word & 0xFFFFu; }

}  // namespace

void* AllocZeroed(uint32_t size) { return platform::HeapAllocZeroed(size); }

int32_t FreeBlock(void* block) {
  if (block == nullptr) {
    platform::SetLastError(platform::ErrorInvalidParameter);
    return 0;
  }
  return platform::HeapFreeBlock(block);
}

int32_t CheckHostVersion(uint32_t major, uint32_t minor) {
  char fileName[TextBufferBytes] = {};
  if (platform::MainModuleFileName(fileName, sizeof fileName) == 0) {
    LogMessage("KSV500E GMFN FAILED, RC(%X)\n", platform::LastError());
    return 0;
  }
  fileName[sizeof fileName - 1] = '\0';  // a truncated name stays terminated
  LogMessage("KSV501I BASENAME(%s)\n", fileName);

  const uint32_t size = platform::FileVersionInfoSize(fileName);
  if (size == 0) {
    LogMessage("KSV502E GFVS FAILED, RC(%X)\n", platform::LastError());
    return 0;
  }

  VersionBlock block(size);
  if (block.get() == nullptr) {
    LogMessage("KSV503E ALLOC FAILED, RC(%X)\n", platform::LastError());
    return 0;
  }
  if (!platform::FileVersionInfo(fileName, size, block.get())) {
    LogMessage("KSV504E GFVI FAILED, RC(%X)\n", platform::LastError());
    return 0;
  }
  platform::FixedVersion version{};
  if (!platform::QueryFixedVersion(block.get(), &version)) {
    LogMessage("KSV505E VQV FAILED, RC(%X)\n", platform::LastError());
    return 0;
  }

  LogMessage("KSV506I FILE VERSION -> %d.%d.%d.%d\nKSV506I PROD VERSION -> %d.%d.%d.%d\n",
             High16(version.FileVersionMS), Low16(version.FileVersionMS),
             High16(version.FileVersionLS), Low16(version.FileVersionLS),
             High16(version.ProductVersionMS), Low16(version.ProductVersionMS),
             High16(version.ProductVersionLS), Low16(version.ProductVersionLS));

  if (High16(version.FileVersionMS) == Low16(major) &&
      Low16(version.FileVersionMS) == Low16(minor)) {
    block.Release();
    LogMessage("KSV508I SIMULATOR VERSION(%d.%d) PASSED\n", Low16(major), Low16(minor));
    return 1;
  }
  platform::SetLastError(platform::ErrorInvalidDll);
  LogMessage("KSV507E INVALID SIMULATOR VERSION, RC(%X)\n", platform::LastError());
  return 0;
}

}  // namespace ksv
