// Engine instruments and run control: which host variable each reader asks
// for, that the host's answer lands in the module's own descriptor, the unit
// conversions and the values they leave alone, engine numbers outside 1..4,
// the run-control events, and the descriptors handed to InitVariable on every
// aircraft load.
#include "models/engine_instruments.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "module_fixture.h"

namespace {

using Lines = std::vector<std::string>;
using Reader = double (*)(uint32_t);

struct ReaderInfo {
  const char* Name;
  Reader Read;
  uint32_t Ids[4];       // host variable of engines 1 to 4
  uint32_t FirstRecord;  // index of engine 1's record in EngineVariables
};

const ReaderInfo Readers[] = {
    {"CylinderHead", ksv::ReadCylinderHeadTemp, {0x19F, 0x1C6, 0x1ED, 0x214}, 0},
    {"RadiatorOutlet", ksv::ReadRadiatorOutletTemp, {0x1A1, 0x1C8, 0x1EF, 0x216}, 4},
    {"OilTemp", ksv::ReadOilTemp, {0x1A0, 0x1C7, 0x1EE, 0x215}, 8},
    {"OilPressure", ksv::ReadOilPressure, {0x1A2, 0x1C9, 0x1F0, 0x217}, 12},
};
const ReaderInfo& OilPressureReader = Readers[3];

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

std::string ReadLine(uint32_t id) { return "CALL ReadVariable(id=" + simhost::Hex(id) + ")"; }

class EngineInstrumentsTest : public ModuleTest {
 protected:
  double Read(const ReaderInfo& reader, uint32_t n) {
    double value = 0.0;
    host().CallModule([&] { value = reader.Read(n); });
    return value;
  }
};

// Every reader, every engine: one read of exactly its own variable, and the
// host's answer taken from the module's own record for it.
TEST_F(EngineInstrumentsTest, EachReaderAsksForItsOwnVariable) {
  for (const ReaderInfo& reader : Readers) {
    for (uint32_t n = 1; n <= 4; ++n) {
      SCOPED_TRACE(std::string(reader.Name) + " engine " + std::to_string(n));
      // Every variable of the engines holds a different value, so a reader
      // that used another record would return another number.
      for (const ReaderInfo& any : Readers)
        for (uint32_t id : any.Ids)
          host().SetVariable(id, id == reader.Ids[n - 1] ? -7.0 : -1000.0);
      host().ClearRecords();
      EXPECT_EQ(Read(reader, n), -7.0);
      EXPECT_EQ(host().Lines(), Lines{ReadLine(reader.Ids[n - 1])});
      const ksv::VariableDescriptor& record = ksv::EngineVariables[reader.FirstRecord + n - 1];
      EXPECT_EQ(record.Id, reader.Ids[n - 1]);
      EXPECT_EQ(record.Value, -7.0);
    }
  }
}

struct ConversionCase {
  double HostValue;
  double Expected;  // NaN: must come back as not a number
};

// Rankine to Fahrenheit subtracts exactly 459.7, and only from a positive
// host value.
TEST_F(EngineInstrumentsTest, TemperaturesConvertOnlyPositiveHostValues) {
  const ConversionCase cases[] = {
      {960.0, 500.3},
      {459.7, 0.0},
      {100.0, 100.0 - 459.7},
      {0.0, 0.0},
      {-0.0, -0.0},
      {-12.5, -12.5},
      {-1.0, -1.0},
      {NaN, NaN},
      {1e-300, -459.7},
      {std::numeric_limits<double>::infinity(), std::numeric_limits<double>::infinity()},
  };
  for (const ReaderInfo& reader : Readers) {
    if (&reader == &OilPressureReader) continue;
    for (const ConversionCase& c : cases) {
      SCOPED_TRACE(std::string(reader.Name) + " host value " + std::to_string(c.HostValue));
      host().SetVariable(reader.Ids[2], c.HostValue);
      const double reading = Read(reader, 3);
      if (std::isnan(c.Expected)) {
        EXPECT_TRUE(std::isnan(reading)) << reading;
      } else {
        EXPECT_DOUBLE_EQ(reading, c.Expected);
        EXPECT_EQ(std::signbit(reading), std::signbit(c.Expected));
      }
    }
  }
}

// The offset is 459.7, not 459.67, subtracted in 64-bit reals: 859.7 Rankine
// reads a shade above 400 F, enough to trip a 400.0 limit.
TEST_F(EngineInstrumentsTest, SubtractionIsIn64BitReals) {
  host().SetVariable(0x19F, 859.7);
  const double reading = Read(Readers[0], 1);
  EXPECT_GT(reading, 400.0);
  EXPECT_LT(reading, 400.0 + 1e-12);
  host().SetVariable(0x19F, 459.67);
  EXPECT_LT(Read(Readers[0], 1), 0.0);
}

// Pounds per square foot to psi is times 0.006944, not divided by 144.
TEST_F(EngineInstrumentsTest, OilPressureConvertsOnlyPositiveHostValues) {
  const ConversionCase cases[] = {
      {144.0, 144.0 * 0.006944}, {1000.0, 6.944}, {0.0, 0.0}, {-3.0, -3.0}, {NaN, NaN},
  };
  for (const ConversionCase& c : cases) {
    SCOPED_TRACE("host value " + std::to_string(c.HostValue));
    host().SetVariable(0x217, c.HostValue);
    const double reading = Read(OilPressureReader, 4);
    if (std::isnan(c.Expected)) {
      EXPECT_TRUE(std::isnan(reading)) << reading;
    } else {
      EXPECT_DOUBLE_EQ(reading, c.Expected);
    }
  }
  host().SetVariable(0x217, 144.0);
  EXPECT_LT(Read(OilPressureReader, 4), 1.0);
}

// A host that never wrote the variable leaves 0.0 in the record: read as 0.0,
// not -459.7.
TEST_F(EngineInstrumentsTest, AVariableTheHostNeverSetReadsAsZero) {
  for (const ReaderInfo& reader : Readers) EXPECT_EQ(Read(reader, 2), 0.0) << reader.Name;
}

TEST_F(EngineInstrumentsTest, EngineNumbersOutsideOneToFourMakeNoHostCall) {
  for (const ReaderInfo& reader : Readers) {
    for (uint32_t id : reader.Ids) host().SetVariable(id, 900.0);
    for (uint32_t n : {0u, 5u, 40u, 0xFFFFFFFFu}) {
      EXPECT_EQ(Read(reader, n), -1.0) << reader.Name << " engine " << n;
    }
  }
  host().CallModule([] {
    ksv::SetEngineRun(5, 1);
    ksv::SetEngineRun(0, 0);
    ksv::SetEngineRun(0, 1);
    ksv::SetEngineRun(0xFFFFFFFFu, 1);
  });
  EXPECT_EQ(host().Lines(), Lines{});
  for (int state : host().EngineRunState) EXPECT_EQ(state, -1);
}

struct RunEventCase {
  uint32_t Engine;
  int32_t RunFlag;
  const char* Expected;
};

void PrintTo(const RunEventCase& c, std::ostream* os) {
  *os << "engine " << c.Engine << " run flag " << c.RunFlag;
}

class EngineRunEventTest : public ModuleTest, public ::testing::WithParamInterface<RunEventCase> {};

TEST_P(EngineRunEventTest, SendsTheEnginesEventWithRunOrCut) {
  const RunEventCase& c = GetParam();
  host().CallModule([&] { ksv::SetEngineRun(c.Engine, c.RunFlag); });
  EXPECT_EQ(host().Lines(), Lines{c.Expected});
}

INSTANTIATE_TEST_SUITE_P(Events, EngineRunEventTest,
                         ::testing::Values(RunEventCase{1, 1, "CALL SendEvent(0x1017F, 16383)"},
                                           RunEventCase{1, 0, "CALL SendEvent(0x1017F, 0)"},
                                           RunEventCase{2, 1, "CALL SendEvent(0x10180, 16383)"},
                                           RunEventCase{3, 0, "CALL SendEvent(0x10181, 0)"},
                                           RunEventCase{3, 1, "CALL SendEvent(0x10181, 16383)"},
                                           RunEventCase{4, 0, "CALL SendEvent(0x10182, 0)"},
                                           RunEventCase{4, 7, "CALL SendEvent(0x10182, 16383)"},
                                           RunEventCase{2, -1, "CALL SendEvent(0x10180, 16383)"},
                                           RunEventCase{1, INT32_MIN,
                                                        "CALL SendEvent(0x1017F, 16383)"}));

// Every accepted aircraft load hands the same 16 records to the host again,
// in record order (cylinder head, radiator outlet, oil temperature, oil
// pressure; engines 1 to 4 within each), never in id order.
TEST_F(EngineInstrumentsTest, EveryAircraftLoadInitialisesTheSixteenRecordsInOrder) {
  const std::vector<uint32_t> round = {0x19F, 0x1C6, 0x1ED, 0x214, 0x1A1, 0x1C8, 0x1EF, 0x216,
                                       0x1A0, 0x1C7, 0x1EE, 0x215, 0x1A2, 0x1C9, 0x1F0, 0x217};
  StartModule();
  LoadAircraftWithConfig("C:\\Aircraft\\A", "");
  LoadAircraftWithoutConfig("C:\\Aircraft\\B");
  std::vector<uint32_t> twoRounds = round;
  twoRounds.insert(twoRounds.end(), round.begin(), round.end());
  EXPECT_EQ(host().InitializedVariables, twoRounds);

  std::vector<std::string> expectedCalls;
  for (uint32_t id : twoRounds)
    expectedCalls.push_back("CALL InitVariable(id=" + simhost::Hex(id) + ")");
  EXPECT_EQ(CallsTo("InitVariable"), expectedCalls);

  // A refused load initialises nothing.
  host().LoadResult = 0;
  LoadAircraftWithConfig("C:\\Aircraft\\C", "");
  EXPECT_EQ(host().InitializedVariables.size(), 32u);
}

// The host keeps its own data in the parts of a record around the id and the
// value. The module hands the host the same records again at every load and
// never writes into them itself.
TEST_F(EngineInstrumentsTest, RecordsKeepWhatTheHostWroteIntoThem) {
  for (ksv::VariableDescriptor& record : ksv::EngineVariables) {
    std::memset(record.HostHead, 0xA5, sizeof record.HostHead);
    std::memset(record.HostTail, 0x5A, sizeof record.HostTail);
  }
  for (uint32_t id : Readers[0].Ids) host().SetVariable(id, 700.0);
  for (int load = 0; load < 2; ++load) {
    int32_t result = 0;
    host().ClearRecords();
    host().CallModule([&] {
      result = ksv::InitEngineVariables();
      for (const ReaderInfo& reader : Readers)
        for (uint32_t n = 1; n <= 4; ++n) reader.Read(n);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(CallsTo("InitVariable").size(), 16u);
  }
  for (size_t i = 0; i < ksv::EngineVariableCount; ++i) {
    const ksv::VariableDescriptor& record = ksv::EngineVariables[i];
    EXPECT_EQ(record.Id, Readers[i / 4].Ids[i % 4]) << i;
    for (uint8_t byte : record.HostHead) EXPECT_EQ(byte, 0xA5) << i;
    for (uint8_t byte : record.HostTail) EXPECT_EQ(byte, 0x5A) << i;
  }
}

}  // namespace
