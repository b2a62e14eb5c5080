// ModuleSession. simhost.exe only.
#include "module_session.h"

#include <windows.h>

#include <cstring>

namespace simhost {
namespace {

// Wine and Windows deliver OutputDebugStringA as this exception first; a
// vectored handler sees it before anything else and swallows it.
LONG CALLBACK CaptureDebugOutput(EXCEPTION_POINTERS* info) {
  const EXCEPTION_RECORD* record = info->ExceptionRecord;
  if (record->ExceptionCode != DBG_PRINTEXCEPTION_C || record->NumberParameters < 2)
    return EXCEPTION_CONTINUE_SEARCH;
  const char* text = reinterpret_cast<const char*>(record->ExceptionInformation[1]);
  if (SimulatedHost* host = CurrentHost(); host != nullptr && text != nullptr)
    host->RecordTrace(text);
  return EXCEPTION_CONTINUE_EXECUTION;
}

DWORD WINAPI VirtualTickCount() {
  SimulatedHost* host = CurrentHost();
  return host ? host->Tick : 0;
}

// Points a module's import of `function` from `dll` at `replacement`.
bool PatchImport(HMODULE module, const char* dll, const char* function, void* replacement) {
  auto* base = reinterpret_cast<uint8_t*>(module);
  auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& directory =
      nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (directory.VirtualAddress == 0) return false;
  for (auto* import = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
       import->Name != 0; ++import) {
    if (_stricmp(reinterpret_cast<const char*>(base + import->Name), dll) != 0) continue;
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(
        base + (import->OriginalFirstThunk ? import->OriginalFirstThunk : import->FirstThunk));
    auto* addresses = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++addresses) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) != 0) continue;
      DWORD oldProtection;
      if (!VirtualProtect(&addresses->u1.Function, sizeof addresses->u1.Function,
                          PAGE_READWRITE, &oldProtection))
        return false;
      addresses->u1.Function = reinterpret_cast<uintptr_t>(replacement);
      VirtualProtect(&addresses->u1.Function, sizeof addresses->u1.Function, oldProtection,
                     &oldProtection);
      return true;
    }
  }
  return false;
}

}  // namespace

ModuleSession::ModuleSession(SimulatedHost& host) : host_(host) {
  handler_ = AddVectoredExceptionHandler(1, CaptureDebugOutput);
}

ModuleSession::~ModuleSession() {
  Unload();
  if (handler_) RemoveVectoredExceptionHandler(handler_);
}

bool ModuleSession::Load(const std::string& dllPath, uint32_t* error) {
  HMODULE module = nullptr;
  host_.CallModule([&] { module = LoadLibraryA(dllPath.c_str()); });
  if (module == nullptr) {
    *error = GetLastError();
    return false;
  }
  module_ = module;
  return true;
}

bool ModuleSession::Bind(std::string* problem) {
  HMODULE module = static_cast<HMODULE>(module_);
  importTable_ = reinterpret_cast<ksv::ImportTableEntry*>(GetProcAddress(module, "ImportTable"));
  linkage_ = reinterpret_cast<ksv::ModuleLinkage*>(GetProcAddress(module, "Linkage"));
  if (importTable_ == nullptr || linkage_ == nullptr) {
    *problem = "the library exports no ImportTable or no Linkage";
    return false;
  }
  if (!PatchImport(module, "kernel32.dll", "GetTickCount",
                   reinterpret_cast<void*>(&VirtualTickCount))) {
    *problem = "the library does not import GetTickCount from kernel32.dll";
    return false;
  }
  host_.NamePointer(linkage_, "Linkage");
  return true;
}

void ModuleSession::InstallTables() { host_.InstallInto(importTable_); }

void ModuleSession::Init() {
  if (linkage_ && linkage_->InitRoutine) host_.CallModule([&] { linkage_->InitRoutine(); });
}

void ModuleSession::Deinit() {
  if (linkage_ && linkage_->DeinitRoutine) host_.CallModule([&] { linkage_->DeinitRoutine(); });
}

void ModuleSession::Unload() {
  if (module_ == nullptr) return;
  FreeLibrary(static_cast<HMODULE>(module_));
  module_ = nullptr;
  importTable_ = nullptr;
  linkage_ = nullptr;
}

}  // namespace simhost
