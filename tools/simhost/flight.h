// A recorded flight for the replay: the flight file reader (CSV with a header
// row), the value of every channel at any instant (linear between rows; the
// suspend flag steps), and the conversions from the flight file's units to
// the host's. Part of the simulated host (simhost.exe and the native tests).
//
// Flight file: a header row naming the columns, then one row per instant.
// `time` (seconds from the start, strictly increasing, not negative) is
// required; every other column is optional. Blank lines and lines whose
// first character is '#' are skipped, so a flight can say what it is doing.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace simhost {

// The optional columns, in the order the reader names them in messages.
enum Channel : int {
  LoadFactor,                                    // g: load factor
  Speed,                                         // speed: host airspeed unit
  Cht1, Cht2, Cht3, Cht4,                        // cylinder head, degrees F
  Rad1, Rad2, Rad3, Rad4,                        // radiator outlet, degrees F
  Oil1, Oil2, Oil3, Oil4,                        // oil temperature, degrees F
  OilP1, OilP2, OilP3, OilP4,                    // oil pressure, psi
  FlapsChannel, GearChannel, BrakesChannel,      // raw host positions
  SuspendChannel,                                // 0 or 1, steps
  ChannelCount
};

// The column name of a channel ("g", "cht2", "brakes", ...).
const char* ChannelName(Channel channel);

struct FlightRow {
  double Time;                                // seconds from the start
  int Line;                                   // line in the file, for messages
  std::array<double, ChannelCount> Values{};  // only present channels are meaningful
};

struct Flight {
  std::string File;                         // as given, for messages and titles
  std::array<bool, ChannelCount> Present{};
  std::vector<FlightRow> Rows;              // at least one, times increasing

  bool Has(Channel channel) const { return Present[channel]; }
  double Duration() const { return Rows.back().Time; }
  // The channel's value at `seconds`: linear between the rows around it, the
  // suspend flag that of the last row at or before it; the first row's
  // value before the first row and the last row's after the last.
  double ValueAt(Channel channel, double seconds) const;
};

struct FlightError {
  std::string File;
  int Line = 0;  // 0: the file as a whole (it cannot be read)
  std::string Message;
  // "FILE:LINE: MESSAGE", or "FILE: MESSAGE" without a line.
  std::string Text() const;
};

// Reads a flight from its text; `file` names it in messages. False with the
// first problem in `error`: no header, an unknown or repeated column, no time
// column, a row with another number of cells than the header, a value that
// is not a decimal number, a value the host cannot hold, a suspend value
// other than 0 or 1, a negative start time or a time that does not increase,
// or no row at all.
bool ParseFlight(const std::string& text, const std::string& file, Flight* flight,
                 FlightError* error);
// The same for a file on disk; a file that cannot be read is an error too.
bool ReadFlightFile(const std::string& path, Flight* flight, FlightError* error);

// Host units. Load factor and airspeed are rounded to the nearest raw unit,
// halves away from zero; the reader refuses values whose raw form does not
// fit the host's field, so these never overflow for a parsed flight.
int16_t GLoadRawFromG(double g);               // g x 624
uint32_t AirspeedRawFromSpeed(double speed);   // speed x 128
uint32_t RawPosition(double position);         // nearest whole raw position
double RankineFromFahrenheit(double fahrenheit);  // + 459.7
double HostOilPressureFromPsi(double psi);        // / 0.006944 (pounds per square foot)

}  // namespace simhost
