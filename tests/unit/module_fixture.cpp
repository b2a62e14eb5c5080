// ModuleTest.
#include "module_fixture.h"

#include <cstring>

#include "diag/log.h"
#include "models/engine_instruments.h"
#include "shell/module.h"

void ModuleTest::SetUp() {
  fake::ResetPlatform();
  ksv::DebugLogging = 1;
  ksv::SavedLoadAircraft = nullptr;
  ksv::ModuleStarted = false;
  std::memset(&ksv::ModuleFailureState, 0, sizeof ksv::ModuleFailureState);
  for (ksv::VariableDescriptor& record : ksv::EngineVariables) {
    const uint32_t id = record.Id;
    std::memset(&record, 0, sizeof record);
    record.Id = id;
  }
  host_ = std::make_unique<simhost::SimulatedHost>();
  host_->MemoryFiles.emplace();
  host_->NamePointer(&Linkage, "Linkage");
  host_->InstallInto(ImportTable);
}

void ModuleTest::TearDown() {
  EXPECT_TRUE(fake::Platform().LiveBlocks.empty()) << "a heap block was left behind";
  for (const simhost::HostRecord& record : host_->Records())
    EXPECT_NE(record.Kind, simhost::RecordKind::Warning) << record.Text;
  for (size_t i = 0; i < ksv::ImportEntryCount; ++i) ImportTable[i].Table = nullptr;
  host_.reset();
}

void ModuleTest::StartModule() {
  host_->CallModule([] { Linkage.InitRoutine(); });
}

int32_t ModuleTest::LoadAircraftWithConfig(const std::string& folder,
                                           const std::string& contents) {
  (*host_->MemoryFiles)[folder + "\\Kestovan.cfg"] = contents;
  host_->SetAircraftFolder(folder);
  return host_->LoadAircraft(folder.c_str());
}

int32_t ModuleTest::LoadAircraftWithoutConfig(const std::string& folder) {
  host_->MemoryFiles->erase(folder + "\\Kestovan.cfg");
  host_->SetAircraftFolder(folder);
  return host_->LoadAircraft(folder.c_str());
}

std::vector<std::string> ModuleTest::Traces() const {
  std::vector<std::string> traces;
  for (const simhost::HostRecord& record : host_->Records())
    if (record.Kind == simhost::RecordKind::Trace) traces.push_back(record.Text.substr(6));
  return traces;
}

std::vector<std::string> ModuleTest::CallsTo(const std::string& routine) const {
  std::vector<std::string> calls;
  for (const simhost::HostRecord& record : host_->Records())
    if (record.Kind == simhost::RecordKind::Call && record.Routine == routine)
      calls.push_back(record.Text);
  return calls;
}

ksv::FailureState& ModuleTest::State() { return ksv::ModuleFailureState; }
