// The host version gate: which host releases keep the library, what each
// failing step traces and leaves as the last-error code, and that the
// version block never outlives the check.
#include <string>
#include <vector>

#include "diag/log.h"
#include "diag/version_gate.h"
#include "module_fixture.h"

using fake::Step;

namespace {

uint32_t Words(uint32_t high, uint32_t low) { return (high << 16) | low; }

}  // namespace

using VersionGateTest = ModuleTest;

struct VersionCase {
  const char* Name;
  uint32_t FileMS, FileLS, ProductMS, ProductLS;
  int32_t Accepted;
  const char* VersionLines;  // the KSV506I output
};

class HostReleaseTest : public ModuleTest, public ::testing::WithParamInterface<VersionCase> {};

TEST_P(HostReleaseTest, AcceptsOnlyFileVersion7Point50) {
  const VersionCase& c = GetParam();
  fake::Platform().Version = {c.FileMS, c.FileLS, c.ProductMS, c.ProductLS};
  EXPECT_EQ(ksv::CheckHostVersion(7, 50), c.Accepted);

  std::vector<std::string> expected = {"KSV501I BASENAME(C:\\Sim\\host.exe)\n", c.VersionLines};
  if (c.Accepted) {
    expected.push_back("KSV508I SIMULATOR VERSION(7.50) PASSED\n");
  } else {
    expected.push_back("KSV507E INVALID SIMULATOR VERSION, RC(482)\n");
    EXPECT_EQ(fake::Platform().LastError, 1154u);
  }
  EXPECT_EQ(fake::Platform().DebugOutput, expected);
  EXPECT_TRUE(fake::Platform().LiveBlocks.empty());
  EXPECT_EQ(fake::Platform().LastAllocationBytes, fake::Platform().VersionInfoBytes);
}

INSTANTIATE_TEST_SUITE_P(
    Releases, HostReleaseTest,
    ::testing::Values(
        VersionCase{"v7_50_0_0", Words(7, 50), 0, Words(7, 50), 0, 1,
                    "KSV506I FILE VERSION -> 7.50.0.0\nKSV506I PROD VERSION -> 7.50.0.0\n"},
        VersionCase{"v7_50_3_9", Words(7, 50), Words(3, 9), Words(1, 2), Words(3, 4), 1,
                    "KSV506I FILE VERSION -> 7.50.3.9\nKSV506I PROD VERSION -> 1.2.3.4\n"},
        VersionCase{"v7_5", Words(7, 5), 0, Words(7, 5), 0, 0,
                    "KSV506I FILE VERSION -> 7.5.0.0\nKSV506I PROD VERSION -> 7.5.0.0\n"},
        VersionCase{"v8_50", Words(8, 50), 0, Words(8, 50), 0, 0,
                    "KSV506I FILE VERSION -> 8.50.0.0\nKSV506I PROD VERSION -> 8.50.0.0\n"},
        VersionCase{"v7_49", Words(7, 49), 0, Words(7, 49), 0, 0,
                    "KSV506I FILE VERSION -> 7.49.0.0\nKSV506I PROD VERSION -> 7.49.0.0\n"},
        VersionCase{"product7_50_file7_49", Words(7, 49), 0, Words(7, 50), 0, 0,
                    "KSV506I FILE VERSION -> 7.49.0.0\nKSV506I PROD VERSION -> 7.50.0.0\n"},
        VersionCase{"parts_print_unsigned", Words(65535, 65535), Words(65535, 0),
                    Words(40000, 1), 0, 0,
                    "KSV506I FILE VERSION -> 65535.65535.65535.0\n"
                    "KSV506I PROD VERSION -> 40000.1.0.0\n"}),
    [](const ::testing::TestParamInfo<VersionCase>& testCase) {
      return std::string(testCase.param.Name);
    });

struct FailingStepCase {
  const char* Name;
  Step FailingStep;
  uint32_t Error;
  std::vector<std::string> Output;  // codes in order, with "free" for the release
};

class FailingStepTest : public ModuleTest,
                        public ::testing::WithParamInterface<FailingStepCase> {};

TEST_P(FailingStepTest, TracesTheErrorKeepsItsCodeAndReleasesTheBlockAfterTracing) {
  const FailingStepCase& c = GetParam();
  fake::Platform().FailWith[c.FailingStep] = c.Error;
  EXPECT_EQ(ksv::CheckHostVersion(7, 50), 0);
  EXPECT_EQ(fake::Platform().LastError, c.Error);
  EXPECT_EQ(fake::Platform().OutputAndFrees, c.Output);
  char rc[32];
  std::snprintf(rc, sizeof rc, "RC(%X)\n", c.Error);
  const std::string& last = fake::Platform().DebugOutput.back();
  EXPECT_EQ(last.substr(last.size() - std::string(rc).size()), rc);
  EXPECT_TRUE(fake::Platform().LiveBlocks.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Steps, FailingStepTest,
    ::testing::Values(
        FailingStepCase{"file_name", Step::ModuleFileName, 122, {"KSV500E"}},
        FailingStepCase{"no_version_resource", Step::VersionInfoSize, 1813, {"KSV501I", "KSV502E"}},
        FailingStepCase{"allocation", Step::HeapAlloc, 8, {"KSV501I", "KSV503E"}},
        FailingStepCase{"read", Step::VersionInfo, 5, {"KSV501I", "KSV504E", "free"}},
        FailingStepCase{"root_query", Step::QueryFixedVersion, 1813,
                        {"KSV501I", "KSV505E", "free"}}),
    [](const ::testing::TestParamInfo<FailingStepCase>& testCase) {
      return std::string(testCase.param.Name);
    });

TEST_F(VersionGateTest, StepsRunInOrderAndTheBlockGoesBeforeThePassLine) {
  EXPECT_EQ(ksv::CheckHostVersion(7, 50), 1);
  EXPECT_EQ(fake::Platform().StepsTaken,
            (std::vector<Step>{Step::ModuleFileName, Step::VersionInfoSize, Step::HeapAlloc,
                               Step::VersionInfo, Step::QueryFixedVersion}));
  EXPECT_EQ(fake::Platform().OutputAndFrees,
            (std::vector<std::string>{"KSV501I", "KSV506I", "free", "KSV508I"}));
}

TEST_F(VersionGateTest, NoBlockIsTakenWithoutVersionInformation) {
  fake::Platform().FailWith[Step::VersionInfoSize] = 1813;
  ksv::CheckHostVersion(7, 50);
  EXPECT_EQ(fake::Platform().LastAllocationBytes, 0u);
}

TEST_F(VersionGateTest, ComparesAndPrintsOnlyTheLow16BitsOfTheArguments) {
  EXPECT_EQ(ksv::CheckHostVersion(0x10007, 0x70032), 1);
  EXPECT_EQ(fake::Platform().DebugOutput.back(), "KSV508I SIMULATOR VERSION(7.50) PASSED\n");
}

TEST_F(VersionGateTest, ALongExecutableNameIsTracedTerminated) {
  fake::Platform().MainModuleFileName = "C:\\" + std::string(400, 'd') + "\\host.exe";
  EXPECT_EQ(ksv::CheckHostVersion(7, 50), 1);
  const std::string& line = fake::Platform().DebugOutput.at(0);
  EXPECT_EQ(line, "KSV501I BASENAME(C:\\" + std::string(256, 'd') + ")\n");
}

TEST_F(VersionGateTest, TheGateTracesEvenBeforeTheDebugSettingIsKnown) {
  // DebugLogging starts on; nothing but ModuleInit turns it off.
  EXPECT_EQ(ksv::DebugLogging, 1);
  ksv::CheckHostVersion(7, 50);
  EXPECT_EQ(fake::Platform().DebugOutput.size(), 3u);
}

TEST_F(VersionGateTest, FreeBlockRefusesNull) {
  EXPECT_EQ(ksv::FreeBlock(nullptr), 0);
  EXPECT_EQ(fake::Platform().LastError, 87u);
  void* block = ksv::AllocZeroed(16);
  ASSERT_NE(block, nullptr);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(static_cast<unsigned char*>(block)[i], 0);
  EXPECT_NE(ksv::FreeBlock(block), 0);
}
