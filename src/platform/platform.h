// The thin seam between the module and the operating system: the few Win32
// kernel and version services the module uses, each with its contract.
// win32.cpp implements them with the real calls and goes into kestovan.dll;
// the native tests link a fake that lets them set the tick count, capture the
// debug output and make any step of the version check fail.
#pragma once

#include <cstdint>

namespace ksv::platform {

// Last-error codes the module sets (the system's own values).
constexpr uint32_t ErrorFileNotFound = 2;       // a configuration key is absent
constexpr uint32_t ErrorInvalidParameter = 87;  // a missing argument or unscannable value
constexpr uint32_t ErrorInvalidDll = 1154;      // the host version differs

// Writes a zero-terminated text to the debugger output channel
// (OutputDebugStringA). Leaves the thread's last-error code as it found it.
void DebugOutput(const char* text);

// Milliseconds since the system started, wrapping after 2^32 (GetTickCount).
uint32_t TickCount();

// The calling thread's last-error code (GetLastError, SetLastError).
uint32_t LastError();
void SetLastError(uint32_t code);

// A zero-filled block from the process heap, or null (HeapAlloc on
// GetProcessHeap with HEAP_ZERO_MEMORY).
void* HeapAllocZeroed(uint32_t size);

// Returns a block to the process heap; nonzero on success (HeapFree on
// GetProcessHeap, no flags).
int32_t HeapFreeBlock(void* block);

// The full file name of the process's main executable (GetModuleFileNameA on
// GetModuleHandleA(null)) into `buffer` of `size` bytes. Returns the length
// copied, 0 on failure with the last-error code set.
uint32_t MainModuleFileName(char* buffer, uint32_t size);

// Size of a file's version information (GetFileVersionInfoSizeA); 0 when it
// has none, with the last-error code set.
uint32_t FileVersionInfoSize(const char* fileName);

// Reads a file's version information into `block` (GetFileVersionInfoA);
// nonzero on success.
int32_t FileVersionInfo(const char* fileName, uint32_t size, void* block);

// The version words of the fixed-version record in a version-information
// block, found through the root query "\" (VerQueryValueA). Nonzero on
// success.
struct FixedVersion {
  uint32_t FileVersionMS;     // major in the high half, minor in the low
  uint32_t FileVersionLS;     // third and fourth parts
  uint32_t ProductVersionMS;  // as for the file version
  uint32_t ProductVersionLS;
};
int32_t QueryFixedVersion(const void* block, FixedVersion* out);

// Switches off thread attach and detach notifications for the module
// (DisableThreadLibraryCalls).
void DisableThreadNotifications(void* module);

}  // namespace ksv::platform
