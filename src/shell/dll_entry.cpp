// The DLL entry point of kestovan.dll: hands the platform loader's calls to
// ModuleEntry.
#ifdef _WIN32

#include <windows.h>

#include "shell/module.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
  return ksv::ModuleEntry(module, reason, reserved) ? TRUE : FALSE;
}

#endif  // _WIN32
