// The replay's flight file: every way a file is refused (each message names
// the file and the line), what it accepts, the value of a channel between
// rows, and the conversions into the host's units.
#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>

#include "flight.h"

namespace {

using simhost::Flight;
using simhost::FlightError;

struct BadFlight {
  const char* Name;
  const char* Text;
  const char* Message;  // the whole message, or its start when it ends in "..."
};

void PrintTo(const BadFlight& c, std::ostream* os) { *os << c.Name; }

class BadFlightTest : public ::testing::TestWithParam<BadFlight> {};

TEST_P(BadFlightTest, IsRefusedWithTheFileAndLine) {
  const BadFlight& c = GetParam();
  Flight flight;
  FlightError error;
  ASSERT_FALSE(simhost::ParseFlight(c.Text, "sortie.csv", &flight, &error));
  std::string expected = c.Message;
  const bool prefix = expected.size() > 3 && expected.compare(expected.size() - 3, 3, "...") == 0;
  if (prefix) {
    expected.resize(expected.size() - 3);
    EXPECT_EQ(error.Text().substr(0, expected.size()), expected) << error.Text();
  } else {
    EXPECT_EQ(error.Text(), expected);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadFlightTest,
    ::testing::Values(
        BadFlight{"EmptyFile", "", "sortie.csv:1: no header row: the flight file is empty"},
        BadFlight{"OnlyComments", "# a flight\n\n# to come\n",
                  "sortie.csv:3: no header row: the flight file is empty"},
        BadFlight{"HeaderOnly", "time,speed\n",
                  "sortie.csv:1: no rows after the header: the flight is empty"},
        BadFlight{"HeaderAndCommentsOnly", "# x\ntime,g\n# no rows\n\n",
                  "sortie.csv:2: no rows after the header: the flight is empty"},
        BadFlight{"UnknownColumn", "time,altitude\n0,1000\n",
                  "sortie.csv:1: unknown column \"altitude\" (known: time, g, speed, cht1, ..."},
        BadFlight{"FifthEngine", "time,cht5\n0,300\n", "sortie.csv:1: unknown column \"cht5\"..."},
        BadFlight{"RepeatedColumn", "time,g,G\n0,1,1\n",
                  "sortie.csv:1: column \"G\" appears twice"},
        BadFlight{"NoTimeColumn", "g,speed\n1,200\n", "sortie.csv:1: no \"time\" column"},
        BadFlight{"Word", "time,speed\n0,100\n1,fast\n",
                  "sortie.csv:3: column speed: \"fast\" is not a number"},
        BadFlight{"EmptyCell", "time,speed\n0,\n",
                  "sortie.csv:2: column speed: \"\" is not a number"},
        BadFlight{"NotANumberWord", "time,g\n0,nan\n",
                  "sortie.csv:2: column g: \"nan\" is not a number"},
        BadFlight{"Infinity", "time,g\n0,inf\n", "sortie.csv:2: column g: \"inf\" is not a number"},
        BadFlight{"Hexadecimal", "time,flaps\n0,0x10\n",
                  "sortie.csv:2: column flaps: \"0x10\" is not a number"},
        BadFlight{"ExponentWithoutDigits", "time,g\n0,1e\n",
                  "sortie.csv:2: column g: \"1e\" is not a number"},
        BadFlight{"TwoPoints", "time,g\n0,1.2.3\n",
                  "sortie.csv:2: column g: \"1.2.3\" is not a number"},
        BadFlight{"BadTime", "time,g\n0:30,1\n",
                  "sortie.csv:2: column time: \"0:30\" is not a number"},
        BadFlight{"TooFewCells", "time,g,speed\n0,1\n",
                  "sortie.csv:2: 3 columns in the header, 2 on this row"},
        BadFlight{"TooManyCells", "time,g\n0,1,2\n",
                  "sortie.csv:2: 2 columns in the header, 3 on this row"},
        BadFlight{"TimeRepeated", "time,g\n0,1\n5,1\n5,2\n",
                  "sortie.csv:4: time 5 does not come after 5 (line 3)"},
        BadFlight{"TimeGoesBack", "time,g\n0,1\n\n# later\n10,1\n9.5,1\n",
                  "sortie.csv:6: time 9.5 does not come after 10 (line 5)"},
        BadFlight{"NegativeStart", "time\n-1\n",
                  "sortie.csv:2: time -1 is negative: a flight starts at 0 or later"},
        BadFlight{"BeyondTheTickCount", "time\n0\n5000000\n",
                  "sortie.csv:3: time 5e+06 is beyond the tick count's reach (4.29497e+06 s)"},
        BadFlight{"SuspendHalf", "time,suspend\n0,0.5\n",
                  "sortie.csv:2: column suspend: 0.5 must be 0 or 1"},
        BadFlight{"LoadFactorBeyondTheHost", "time,g\n0,53\n",
                  "sortie.csv:2: column g: 53 is beyond the host's load factor range (-52.5 to "
                  "52.5 g)"},
        BadFlight{"NegativeSpeed", "time,speed\n0,-1\n",
                  "sortie.csv:2: column speed: -1 is beyond the host's airspeed range (0 to "
                  "33554431)"},
        BadFlight{"NegativePosition", "time,gear\n0,-2\n",
                  "sortie.csv:2: column gear: -2 is beyond the host's position range (0 to "
                  "4294967295)"},
        BadFlight{"WindowsLineEnds", "time,speed\r\n0,1\r\n1,x\r\n",
                  "sortie.csv:3: column speed: \"x\" is not a number"}));

TEST(FlightFileTest, MissingFileNamesTheFile) {
  Flight flight;
  FlightError error;
  EXPECT_FALSE(simhost::ReadFlightFile("/no/such/folder/sortie.csv", &flight, &error));
  EXPECT_EQ(error.Text(), "/no/such/folder/sortie.csv: cannot open the flight file");
}

TEST(FlightFileTest, AcceptsLooseHeadersCommentsAndPlainDecimals) {
  Flight flight;
  FlightError error;
  ASSERT_TRUE(simhost::ParseFlight("# a comment first\n"
                                   " Time , G,SPEED ,Oilp4\n"
                                   "\n"
                                   "0, +1.5, .5, 5.\n"
                                   "  # a comment between rows\n"
                                   "1e1,-4.5,1E2,0\n",
                                   "f.csv", &flight, &error))
      << error.Text();
  ASSERT_EQ(flight.Rows.size(), 2u);
  EXPECT_TRUE(flight.Has(simhost::LoadFactor));
  EXPECT_TRUE(flight.Has(simhost::Speed));
  EXPECT_TRUE(flight.Has(simhost::OilP4));
  EXPECT_FALSE(flight.Has(simhost::Cht1));
  EXPECT_EQ(flight.Rows[0].Line, 4);
  EXPECT_EQ(flight.Rows[0].Values[simhost::LoadFactor], 1.5);
  EXPECT_EQ(flight.Rows[0].Values[simhost::Speed], 0.5);
  EXPECT_EQ(flight.Rows[0].Values[simhost::OilP4], 5.0);
  EXPECT_EQ(flight.Rows[1].Time, 10.0);
  EXPECT_EQ(flight.Rows[1].Values[simhost::Speed], 100.0);
  EXPECT_EQ(flight.Duration(), 10.0);
}

struct InterpolationCase {
  simhost::Channel Source;
  double Seconds;
  double Value;
};

class InterpolationTest : public ::testing::TestWithParam<InterpolationCase> {
 protected:
  static Flight Sortie() {
    Flight flight;
    FlightError error;
    EXPECT_TRUE(simhost::ParseFlight("time,speed,suspend,gear\n"
                                     "2,100,0,0\n"
                                     "10,200,1,16383\n"
                                     "20,150,0,16383\n",
                                     "f.csv", &flight, &error));
    return flight;
  }
};

TEST_P(InterpolationTest, ContinuousValuesAreLinearAndSuspendSteps) {
  const InterpolationCase& c = GetParam();
  EXPECT_DOUBLE_EQ(Sortie().ValueAt(c.Source, c.Seconds), c.Value)
      << simhost::ChannelName(c.Source) << " at " << c.Seconds;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, InterpolationTest,
    ::testing::Values(InterpolationCase{simhost::Speed, 0, 100},      // before the first row
                      InterpolationCase{simhost::Speed, 2, 100},
                      InterpolationCase{simhost::Speed, 6, 150},
                      InterpolationCase{simhost::Speed, 10, 200},
                      InterpolationCase{simhost::Speed, 12.5, 187.5},
                      InterpolationCase{simhost::Speed, 20, 150},
                      InterpolationCase{simhost::Speed, 99, 150},     // after the last row
                      InterpolationCase{simhost::GearChannel, 6, 8191.5},
                      InterpolationCase{simhost::SuspendChannel, 9.999, 0},
                      InterpolationCase{simhost::SuspendChannel, 10, 1},
                      InterpolationCase{simhost::SuspendChannel, 19.999, 1},
                      InterpolationCase{simhost::SuspendChannel, 20, 0}));

// Load factor and airspeed go to the nearest raw unit, halves away from zero.
TEST(HostUnitsTest, LoadFactorAndAirspeedRoundToTheNearestRawUnit) {
  EXPECT_EQ(simhost::GLoadRawFromG(1.0), 624);
  EXPECT_EQ(simhost::GLoadRawFromG(9.0), 5616);
  EXPECT_EQ(simhost::GLoadRawFromG(-4.5), -2808);
  EXPECT_EQ(simhost::GLoadRawFromG(9.0007), 5616);   // 5616.44
  EXPECT_EQ(simhost::GLoadRawFromG(9.0009), 5617);   // 5616.56
  EXPECT_EQ(simhost::GLoadRawFromG(-4.5009), -2809);  // -2808.56
  EXPECT_EQ(simhost::GLoadRawFromG(1.5 / 624), 2);    // exactly 1.5: away from zero
  EXPECT_EQ(simhost::GLoadRawFromG(-1.5 / 624), -2);
  EXPECT_EQ(simhost::GLoadRawFromG(52.5), 32760);

  EXPECT_EQ(simhost::AirspeedRawFromSpeed(520), 66560u);
  EXPECT_EQ(simhost::AirspeedRawFromSpeed(520.0039), 66560u);  // 66560.4992
  EXPECT_EQ(simhost::AirspeedRawFromSpeed(520.00390625), 66561u);  // exactly .5
  EXPECT_EQ(simhost::AirspeedRawFromSpeed(0.001), 0u);
  EXPECT_EQ(simhost::RawPosition(8191.5), 8192u);
  EXPECT_EQ(simhost::RawPosition(4095.4), 4095u);
}

// The module turns the host's values back with G = raw / 624, speed = raw /
// 128, F = R - 459.7 and psi = host x 0.006944: the flight's own values come
// back, a temperature within rounding of the subtraction.
TEST(HostUnitsTest, TheModulesConversionsGiveTheFlightsValuesBack) {
  EXPECT_EQ(simhost::GLoadRawFromG(9.0) * 0.0016025641025641025, 9.0);
  EXPECT_EQ(simhost::AirspeedRawFromSpeed(520) * 0.0078125, 520.0);
  EXPECT_EQ(simhost::RankineFromFahrenheit(460), 919.7);
  EXPECT_EQ(simhost::RankineFromFahrenheit(-459.7), 0.0);
  EXPECT_NEAR(simhost::RankineFromFahrenheit(460) - 459.7, 460.0, 1e-12);
  // Not always exact: 460 comes back a hair above, so a flight value exactly
  // at a temperature limit counts as beyond it.
  EXPECT_GT(simhost::RankineFromFahrenheit(460) - 459.7, 460.0);
  EXPECT_DOUBLE_EQ(simhost::HostOilPressureFromPsi(40), 40 / 0.006944);
  EXPECT_NEAR(simhost::HostOilPressureFromPsi(40) * 0.006944, 40.0, 1e-12);
}

}  // namespace
