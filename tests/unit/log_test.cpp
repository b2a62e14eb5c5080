// The diagnostic trace: the switch, the bounds of the 4096-byte line, and
// exact digits whatever precision the host left the x87 at.
#include <string>

#include "diag/log.h"
#include "module_fixture.h"
#include "platform/x87.h"

namespace {

constexpr uint16_t X87Precision24 = 0x007F;  // all exceptions masked, 24-bit, nearest
constexpr uint16_t X87Precision53 = 0x027F;

}  // namespace

using LogTest = ModuleTest;

TEST_F(LogTest, SwitchedOffWritesNothing) {
  ksv::DebugLogging = 0;
  EXPECT_EQ(ksv::LogMessage("KSV000I MODULEINIT\n"), 0);
  EXPECT_EQ(ksv::LogMessage("%s", "anything"), 0);
  EXPECT_TRUE(fake::Platform().DebugOutput.empty());
}

TEST_F(LogTest, WritesTheFormattedLineAndReturnsItsLength) {
  const std::string expected = "KSV009I ENGINE(2) TICKLIMIT(10000) EXPIRED, SHUTDOWN= TRUE\n";
  EXPECT_EQ(ksv::LogMessage("KSV009I ENGINE(%d) TICKLIMIT(%d) EXPIRED, SHUTDOWN= %s\n", 2,
                            10000, "TRUE"),
            static_cast<int32_t>(expected.size()));
  ASSERT_EQ(fake::Platform().DebugOutput.size(), 1u);
  EXPECT_EQ(fake::Platform().DebugOutput[0], expected);
}

TEST_F(LogTest, FormatsSignedHexadecimalAndRealFieldsTheTraceWay) {
  ksv::LogMessage("%d %X %f %f\n", -1, 1154u, 650.0999755859375, -0.0016025641025641025);
  EXPECT_EQ(fake::Platform().DebugOutput.at(0), "-1 482 650.099976 -0.001603\n");
}

TEST_F(LogTest, AnEmptyLineIsNotWritten) {
  EXPECT_EQ(ksv::LogMessage("%s", ""), 0);
  EXPECT_TRUE(fake::Platform().DebugOutput.empty());
}

struct LengthCase {
  size_t Length;
  int32_t Result;  // -1: dropped
};

class LogLengthTest : public ModuleTest, public ::testing::WithParamInterface<LengthCase> {};

TEST_P(LogLengthTest, KeepsLinesThatFitWithTheirTerminatorAndDropsTheRestWhole) {
  const std::string line(GetParam().Length, 'x');
  EXPECT_EQ(ksv::LogMessage("%s", line.c_str()), GetParam().Result);
  if (GetParam().Result > 0) {
    ASSERT_EQ(fake::Platform().DebugOutput.size(), 1u);
    EXPECT_EQ(fake::Platform().DebugOutput[0], line);
  } else {
    EXPECT_TRUE(fake::Platform().DebugOutput.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(Bounds, LogLengthTest,
                         ::testing::Values(LengthCase{1, 1}, LengthCase{4094, 4094},
                                           LengthCase{4095, 4095}, LengthCase{4096, -1},
                                           LengthCase{4097, -1}, LengthCase{10000, -1}));

// A host that renders through a 3D graphics API leaves the x87 at 24-bit
// precision; the trace must print the same digits and give the host its
// control word back untouched. (Only the Wine tests can show the digits go
// wrong without the hold: the native C library formats without the x87.)
TEST_F(LogTest, PrintsExactDigitsAtReducedX87PrecisionAndRestoresTheControlWord) {
  const uint16_t testWord = ksv::X87ControlWord();
  for (uint16_t hostWord : {X87Precision24, X87Precision53}) {
    fake::Platform().DebugOutput.clear();
    ksv::SetX87ControlWord(hostWord);
    ksv::LogMessage("%f %f\n", 17140530.0, 650.0078125);
    const uint16_t after = ksv::X87ControlWord();
    ksv::SetX87ControlWord(testWord);
    EXPECT_EQ(after, hostWord);
    ASSERT_EQ(fake::Platform().DebugOutput.size(), 1u);
    EXPECT_EQ(fake::Platform().DebugOutput[0], "17140530.000000 650.007812\n") << hostWord;
  }
}
