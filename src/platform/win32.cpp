// The platform seam on Windows: every service by its own name, through the
// ordinary imports of kernel32 and version. simhost.exe relies on that, since
// it virtualises time by patching this library's import of GetTickCount.
// Goes into kestovan.dll only.
#ifdef _WIN32

#include <windows.h>

#include "platform/platform.h"

namespace ksv::platform {

void DebugOutput(const char* text) {
  const DWORD saved = GetLastError();
  OutputDebugStringA(text);
  ::SetLastError(saved);
}

uint32_t TickCount() { return GetTickCount(); }

uint32_t LastError() { return GetLastError(); }

void SetLastError(uint32_t code) { ::SetLastError(code); }

void* HeapAllocZeroed(uint32_t size) {
  return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size);
}

int32_t HeapFreeBlock(void* block) { return HeapFree(GetProcessHeap(), 0, block); }

uint32_t MainModuleFileName(char* buffer, uint32_t size) {
  return GetModuleFileNameA(GetModuleHandleA(nullptr), buffer, size);
}

uint32_t FileVersionInfoSize(const char* fileName) {
  DWORD ignored = 0;
  return GetFileVersionInfoSizeA(fileName, &ignored);
}

int32_t FileVersionInfo(const char* fileName, uint32_t size, void* block) {
  return GetFileVersionInfoA(fileName, 0, size, block);
}

int32_t QueryFixedVersion(const void* block, FixedVersion* out) {
  void* record = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(block, "\\", &record, &length) || record == nullptr) return 0;
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(record);
  out->FileVersionMS = fixed->dwFileVersionMS;
  out->FileVersionLS = fixed->dwFileVersionLS;
  out->ProductVersionMS = fixed->dwProductVersionMS;
  out->ProductVersionLS = fixed->dwProductVersionLS;
  return 1;
}

void DisableThreadNotifications(void* module) {
  DisableThreadLibraryCalls(static_cast<HMODULE>(module));
}

}  // namespace ksv::platform

#endif  // _WIN32
