// ModuleTest: the fixture of the native tests. Installs a fresh simulated
// host into the module's ImportTable and resets the fake platform and the
// module's statics before each case; after each case checks that no heap
// block was left behind and that the module never left the x87 changed.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "config/failure_state.h"
#include "fake_platform.h"
#include "host_sim.h"

class ModuleTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // ModuleInit through the host, as the host calls it.
  void StartModule();
  // An aircraft whose folder holds a Kestovan.cfg with `contents`, loaded
  // through the LoadAircraft slot. Returns the slot's result.
  int32_t LoadAircraftWithConfig(const std::string& folder, const std::string& contents);
  // An aircraft whose folder holds no Kestovan.cfg.
  int32_t LoadAircraftWithoutConfig(const std::string& folder);

  // The host's records of one kind, rendered; traces without "TRACE ".
  std::vector<std::string> Traces() const;
  std::vector<std::string> CallsTo(const std::string& routine) const;

  ksv::FailureState& State();
  simhost::SimulatedHost& host() { return *host_; }

 private:
  std::unique_ptr<simhost::SimulatedHost> host_;
};
