// The flight file reader, interpolation and unit conversions. Part of the
// simulated host (simhost.exe and the native tests).
#include "flight.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "ini_file.h"

namespace simhost {
namespace {

constexpr double GLoadScale = 624.0;        // raw units per g
constexpr double AirspeedScale = 128.0;     // raw units per airspeed unit
constexpr double RankineOffset = 459.7;     // degrees R = degrees F + 459.7
constexpr double PsiPerHostUnit = 0.006944; // psi per pound per square foot
constexpr double MaxFlightSeconds = 4294967; // the tick count wraps after 2^32 ms

const char* const ChannelNames[ChannelCount] = {
    "g",     "speed", "cht1",  "cht2",  "cht3",  "cht4",  "rad1",  "rad2",
    "rad3",  "rad4",  "oil1",  "oil2",  "oil3",  "oil4",  "oilp1", "oilp2",
    "oilp3", "oilp4", "flaps", "gear",  "brakes", "suspend"};

// Which channel a header cell names; -1 for `time`, -2 for none.
constexpr int TimeColumn = -1;
constexpr int UnknownColumn = -2;

int ColumnOf(const std::string& name) {
  if (EqualsIgnoringCase(name, "time")) return TimeColumn;
  for (int c = 0; c < ChannelCount; ++c)
    if (EqualsIgnoringCase(name, ChannelNames[c])) return c;
  return UnknownColumn;
}

std::string Trim(const std::string& text) {
  const char* blanks = " \t\r";
  const size_t begin = text.find_first_not_of(blanks);
  if (begin == std::string::npos) return "";
  return text.substr(begin, text.find_last_not_of(blanks) - begin + 1);
}

std::vector<std::string> SplitCells(const std::string& line) {
  std::vector<std::string> cells;
  std::string cell;
  std::istringstream in(line);
  while (std::getline(in, cell, ',')) cells.push_back(Trim(cell));
  if (!line.empty() && line.back() == ',') cells.push_back("");
  return cells;
}

// Plain decimal only: sign, digits with an optional fraction, an optional
// exponent. strtod alone would also take "nan", "inf" and hexadecimal, none
// of which a flight recorder writes.
bool ParseDecimal(const std::string& text, double* value) {
  size_t i = 0, digits = 0;
  auto digitRun = [&] {
    size_t run = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++run;
    return run;
  };
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  digits += digitRun();
  if (i < text.size() && text[i] == '.') {
    ++i;
    digits += digitRun();
  }
  if (digits == 0) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    if (digitRun() == 0) return false;
  }
  if (i != text.size()) return false;
  *value = std::strtod(text.c_str(), nullptr);
  return std::isfinite(*value);
}

std::string Number(double value) {
  std::ostringstream text;
  text << value;
  return text.str();
}

// The host's field for the channel must hold the value; an empty result
// means it does.
std::string RangeProblem(Channel channel, double value) {
  switch (channel) {
    case LoadFactor: {
      const double raw = std::round(value * GLoadScale);
      if (raw < INT16_MIN || raw > INT16_MAX)
        return "is beyond the host's load factor range (-52.5 to 52.5 g)";
      return "";
    }
    case Speed: {
      const double raw = std::round(value * AirspeedScale);
      if (raw < 0 || raw > UINT32_MAX) return "is beyond the host's airspeed range (0 to 33554431)";
      return "";
    }
    case FlapsChannel:
    case GearChannel:
    case BrakesChannel: {
      const double raw = std::round(value);
      if (raw < 0 || raw > UINT32_MAX) return "is beyond the host's position range (0 to 4294967295)";
      return "";
    }
    case SuspendChannel:
      return value == 0.0 || value == 1.0 ? "" : "must be 0 or 1";
    default:
      return "";
  }
}

class FlightParser {
 public:
  FlightParser(const std::string& file, Flight* flight, FlightError* error)
      : flight_(flight), error_(error) {
    *flight_ = Flight{};
    flight_->File = file;
    error_->File = file;
  }

  bool Parse(const std::string& text) {
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
      ++number;
      const std::string content = Trim(line);
      if (content.empty() || content[0] == '#') continue;
      if (!(columns_.empty() ? Header(content, number) : Row(content, number))) return false;
    }
    if (columns_.empty()) return Fail(std::max(number, 1), "no header row: the flight file is empty");
    if (flight_->Rows.empty()) return Fail(headerLine_, "no rows after the header: the flight is empty");
    return true;
  }

 private:
  bool Fail(int line, const std::string& message) {
    error_->Line = line;
    error_->Message = message;
    return false;
  }

  bool Header(const std::string& content, int line) {
    bool hasTime = false;
    for (const std::string& name : SplitCells(content)) {
      const int column = ColumnOf(name);
      if (column == UnknownColumn) {
        std::string known = "time";
        for (const char* channel : ChannelNames) known += std::string(", ") + channel;
        return Fail(line, "unknown column \"" + name + "\" (known: " + known + ")");
      }
      const bool repeated = column == TimeColumn ? hasTime : flight_->Present[column];
      if (repeated) return Fail(line, "column \"" + name + "\" appears twice");
      if (column == TimeColumn) hasTime = true;
      else flight_->Present[column] = true;
      columns_.push_back(column);
    }
    if (!hasTime) return Fail(line, "no \"time\" column");
    headerLine_ = line;
    return true;
  }

  bool Row(const std::string& content, int line) {
    const std::vector<std::string> cells = SplitCells(content);
    if (cells.size() != columns_.size())
      return Fail(line, std::to_string(columns_.size()) + " columns in the header, " +
                            std::to_string(cells.size()) + " on this row");
    FlightRow row{0.0, line, {}};
    for (size_t i = 0; i < cells.size(); ++i) {
      const char* name = columns_[i] == TimeColumn ? "time" : ChannelNames[columns_[i]];
      double value;
      if (!ParseDecimal(cells[i], &value))
        return Fail(line, std::string("column ") + name + ": \"" + cells[i] + "\" is not a number");
      if (columns_[i] == TimeColumn) {
        row.Time = value;
        continue;
      }
      const std::string problem = RangeProblem(static_cast<Channel>(columns_[i]), value);
      if (!problem.empty())
        return Fail(line, std::string("column ") + name + ": " + cells[i] + " " + problem);
      row.Values[columns_[i]] = value;
    }
    if (row.Time > MaxFlightSeconds)
      return Fail(line, "time " + Number(row.Time) + " is beyond the tick count's reach (" +
                            Number(MaxFlightSeconds) + " s)");
    if (flight_->Rows.empty() && row.Time < 0)
      return Fail(line, "time " + Number(row.Time) + " is negative: a flight starts at 0 or later");
    if (!flight_->Rows.empty() && !(row.Time > flight_->Rows.back().Time))
      return Fail(line, "time " + Number(row.Time) + " does not come after " +
                            Number(flight_->Rows.back().Time) + " (line " +
                            std::to_string(flight_->Rows.back().Line) + ")");
    flight_->Rows.push_back(row);
    return true;
  }

  Flight* flight_;
  FlightError* error_;
  std::vector<int> columns_;  // per cell: TimeColumn or a Channel
  int headerLine_ = 0;
};

}  // namespace

const char* ChannelName(Channel channel) { return ChannelNames[channel]; }

double Flight::ValueAt(Channel channel, double seconds) const {
  const auto after = std::upper_bound(
      Rows.begin(), Rows.end(), seconds,
      [](double t, const FlightRow& row) { return t < row.Time; });
  if (after == Rows.begin()) return Rows.front().Values[channel];
  const FlightRow& from = *(after - 1);
  if (after == Rows.end() || channel == SuspendChannel) return from.Values[channel];
  const double share = (seconds - from.Time) / (after->Time - from.Time);
  return from.Values[channel] + share * (after->Values[channel] - from.Values[channel]);
}

std::string FlightError::Text() const {
  if (Line == 0) return File + ": " + Message;
  return File + ":" + std::to_string(Line) + ": " + Message;
}

bool ParseFlight(const std::string& text, const std::string& file, Flight* flight,
                 FlightError* error) {
  return FlightParser(file, flight, error).Parse(text);
}

bool ReadFlightFile(const std::string& path, Flight* flight, FlightError* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = FlightError{path, 0, "cannot open the flight file"};
    return false;
  }
  std::ostringstream text;
  text << in.rdbuf();
  return ParseFlight(text.str(), path, flight, error);
}

int16_t GLoadRawFromG(double g) { return static_cast<int16_t>(std::lround(g * GLoadScale)); }

uint32_t AirspeedRawFromSpeed(double speed) {
  return static_cast<uint32_t>(std::llround(speed * AirspeedScale));
}

uint32_t RawPosition(double position) { return static_cast<uint32_t>(std::llround(position)); }

double RankineFromFahrenheit(double fahrenheit) { return fahrenheit + RankineOffset; }

double HostOilPressureFromPsi(double psi) { return psi / PsiPerHostUnit; }

}  // namespace simhost
