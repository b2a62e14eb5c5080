// ModuleSession: the real kestovan.dll in simhost.exe's own process. Loads it
// with LoadLibrary (its version gate runs then), finds ImportTable and
// Linkage, captures its debugger output with a vectored exception handler,
// and replaces its import of GetTickCount with the simulated host's clock.
// simhost.exe only.
#pragma once

#include <cstdint>
#include <string>

#include "host/host_interface.h"
#include "host_sim.h"

namespace simhost {

class ModuleSession {
 public:
  // Starts capturing debugger output into `host`; loads nothing yet.
  explicit ModuleSession(SimulatedHost& host);
  ~ModuleSession();  // unloads the library, stops capturing
  ModuleSession(const ModuleSession&) = delete;
  ModuleSession& operator=(const ModuleSession&) = delete;

  // LoadLibrary: false when the platform refused it (last error in `error`).
  bool Load(const std::string& dllPath, uint32_t* error);
  // Finds the two exported records and the GetTickCount import; false with a
  // reason when something is missing.
  bool Bind(std::string* problem);
  // Writes the host's table addresses into the module's ImportTable.
  void InstallTables();
  void Init();    // through Linkage.InitRoutine
  void Deinit();  // through Linkage.DeinitRoutine
  void Unload();

  ksv::ModuleLinkage* Linkage() const { return linkage_; }
  ksv::ImportTableEntry* ImportTableAddress() const { return importTable_; }

 private:
  SimulatedHost& host_;
  void* module_ = nullptr;  // HMODULE
  ksv::ImportTableEntry* importTable_ = nullptr;
  ksv::ModuleLinkage* linkage_ = nullptr;
  void* handler_ = nullptr;  // the vectored exception handler
};

}  // namespace simhost
