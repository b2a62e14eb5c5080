// Timeline: folding, attribution and the summary. Part of the simulated host
// (simhost.exe and the native tests).
#include "timeline.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace simhost {
namespace {

using namespace hostid;

struct PartEvent {
  uint32_t EventId;
  const char* Name;  // as the module's trace names the part
};
const PartEvent Parts[3] = {
    {FlapsSetEvent, "Flaps"}, {GearSetEvent, "Landing Gear"}, {DiveBrakeSetEvent, "Dive Brakes"}};

int PartIndex(const std::string& name) {
  for (int i = 0; i < 3; ++i)
    if (name == Parts[i].Name) return i;
  return -1;
}

// Engine 1..4 whose block holds variable `id`; 0 for any other id.
uint32_t EngineOfVariable(uint32_t id) {
  if (id < EngineVariableBase) return 0;
  const uint32_t offset = id - EngineVariableBase;
  const uint32_t engine = offset / EngineVariableStride + 1;
  if (engine > EngineCount || offset % EngineVariableStride >= EngineVariablesPerBlock) return 0;
  return engine;
}

// The number in a rendered argument: "0x1A2", "id=0x1A2", "16383".
uint32_t ArgNumber(const std::string& arg) {
  const size_t equals = arg.find('=');
  const std::string text = equals == std::string::npos ? arg : arg.substr(equals + 1);
  return static_cast<uint32_t>(std::strtoul(text.c_str(), nullptr, 0));
}

// The text inside NAME(...) of a trace line; empty when absent.
std::string Field(const std::string& line, const std::string& name) {
  const size_t open = line.find(name + "(");
  if (open == std::string::npos) return "";
  const size_t start = open + name.size() + 1;
  const size_t close = line.find(')', start);
  return close == std::string::npos ? "" : line.substr(start, close - start);
}

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f') || c == '.';
}

// A trace line with its numbers blanked after the message code, so that the
// same line with another reading folds with the one before.
std::string TraceShape(const std::string& line) {
  const size_t codeLength = std::min<size_t>(8, line.size());
  std::string shape = line.substr(0, codeLength);
  size_t i = codeLength;
  while (i < line.size()) {
    size_t end = i;
    bool digit = false;
    for (; end < line.size() && IsHexDigit(line[end]); ++end)
      digit = digit || (line[end] >= '0' && line[end] <= '9');
    if (end == i) {
      shape += line[i++];
      continue;
    }
    shape += digit ? std::string("#") : line.substr(i, end - i);
    i = end;
  }
  return shape;
}

const char* AirframeCause(const std::string& message) {
  if (message == "Maximum Gs exceeded") return "G max";
  if (message == "Minimum Gs exceeded") return "G min";
  if (message == "Maximum speed exceeded") return "overspeed";
  return nullptr;
}

}  // namespace

Timeline::Timeline(const TimelineOptions& options) : options_(options) {}

void Timeline::AddPass(uint32_t flightMs, const std::vector<HostRecord>& records) {
  ++pass_;
  ms_ = flightMs;
  lastEngineRead_ = 0;
  lastAirframeCause_.clear();
  for (size_t i = 0; i < records.size(); ++i) {
    const HostRecord& record = records[i];
    switch (record.Kind) {
      case RecordKind::Call:
        OnCall(records, i);
        break;
      case RecordKind::Trace: {
        // "TRACE " and the module's text, which may hold several lines.
        const std::string text = record.Text.substr(6);
        size_t start = 0;
        while (start < text.size()) {
          size_t end = text.find('\n', start);
          if (end == std::string::npos) end = text.size();
          OnTrace(text.substr(start, end - start));
          start = end + 1;
        }
        break;
      }
      case RecordKind::Flag:
        AddEntry(EntryKind::Flag, record.Text, record.Text.substr(5));
        Failure("airframe", lastAirframeCause_.empty() ? "airframe" : lastAirframeCause_);
        break;
      case RecordKind::Warning:
        AddEntry(EntryKind::Event, record.Text, record.Text);
        break;
      case RecordKind::Slot:
        break;  // start-up and shutdown; not part of the flight
    }
  }
}

void Timeline::Finish(uint32_t endMs) {
  for (CutSpan& span : cuts_)
    if (span.ToMs == UINT32_MAX) span.ToMs = endMs;
}

void Timeline::AddEntry(EntryKind kind, const std::string& key, const std::string& text) {
  auto fold = folds_.find(key);
  if (fold != folds_.end() && fold->second.LastPass + 1 >= pass_) {
    TimelineEntry& entry = entries_[fold->second.Entry];
    entry.Count += 1;
    entry.EndMs = ms_;
    fold->second.LastPass = pass_;
    return;
  }
  entries_.push_back(TimelineEntry{ms_, ms_, kind, text, 1});
  folds_[key] = Fold{entries_.size() - 1, pass_};
}

void Timeline::Failure(const std::string& name, const std::string& label) {
  Spell& spell = spells_[name];
  if (spell.Tally.Notifications == 0) spell.Tally.FirstMs = ms_;
  if (spell.Tally.Notifications == 0 || spell.LastPass != pass_) {
    if (spell.Tally.Notifications == 0 || spell.LastPass + 1 != pass_) spell.Tally.Times += 1;
    spell.Tally.Notifications += 1;
    spell.LastPass = pass_;
  }
  auto seen = markPasses_.find(label);
  if (seen == markPasses_.end() || seen->second + 1 < pass_) marks_.push_back({ms_, label});
  markPasses_[label] = pass_;
}

void Timeline::OnCall(const std::vector<HostRecord>& records, size_t index) {
  const HostRecord& call = records[index];
  if (call.Routine == "ReadVariable" && !call.Args.empty()) {
    lastEngineRead_ = EngineOfVariable(ArgNumber(call.Args[0]));
  } else if (call.Routine == "ShowMessage" && !call.Args.empty()) {
    const std::string message = Unquote(call.Args[0]);
    std::string shown = message;
    const std::string engine = "engine " + std::to_string(lastEngineRead_);
    if (message == "Your engine is overheating" && lastEngineRead_ != 0) {
      shown += "  [" + engine + "]";
      Failure(engine + " overheat", engine + " overheat");
    } else if (message == "Your engine has seized" && lastEngineRead_ != 0) {
      shown += "  [" + engine + "]";
      Failure(engine + " seizure", engine + " seized");
    } else if (message == "The [part] is jammed") {
      // The module traces which part right after the message.
      const bool traced = index + 1 < records.size() &&
                          records[index + 1].Kind == RecordKind::Trace &&
                          records[index + 1].Text.compare(6, 7, "KSV014I") == 0;
      const std::string part = traced ? Field(records[index + 1].Text, "PART") : "";
      if (!part.empty()) {
        shown += "  [" + part + "]";
        Failure(part + " jam", part + " jammed");
      } else {
        Failure("jam of a part", "jammed");
      }
    } else if (const char* cause = AirframeCause(message)) {
      lastAirframeCause_ = cause;
    }
    AddEntry(EntryKind::Pilot, "PILOT " + shown, shown);
  } else if (call.Routine == "SendEvent" && call.Args.size() >= 2) {
    const uint32_t event = ArgNumber(call.Args[0]);
    const uint32_t value = ArgNumber(call.Args[1]);
    if (event >= EngineRunEventBase && event < EngineRunEventBase + EngineCount) {
      OnEngineRun(event - EngineRunEventBase + 1, value != 0);
      return;
    }
    for (int i = 0; i < 3; ++i) {
      if (event != Parts[i].EventId) continue;
      std::string text = std::string(Parts[i].Name) + " held at " + std::to_string(value);
      if (options_.TraceCaptured && !partCondition_[i].empty())
        text += " (" + partCondition_[i] + ")";
      AddEntry(EntryKind::Event, "EVENT " + text, text);
      return;
    }
    const std::string text = "event " + call.Args[0] + " value " + call.Args[1];
    AddEntry(EntryKind::Event, "EVENT " + text, text);
  }
}

void Timeline::OnEngineRun(uint32_t engine, bool running) {
  bool& state = running_[engine - 1];
  if (state == running) return;
  state = running;
  const std::string name = "engine " + std::to_string(engine);
  if (running) {
    for (CutSpan& span : cuts_)
      if (span.Engine == engine && span.ToMs == UINT32_MAX) span.ToMs = ms_;
    AddEntry(EntryKind::Event, "EVENT " + name + " restarted", name + " restarted");
    return;
  }
  cuts_.push_back(CutSpan{engine, ms_, UINT32_MAX});
  const bool seized = spells_.count(name + " seizure") != 0;
  const std::string text = name + (seized ? " cut (seized)" : " cut");
  AddEntry(EntryKind::Event, "EVENT " + text, text);
}

void Timeline::OnTrace(const std::string& line) {
  if (line.compare(0, 7, "KSV014I") == 0 || line.compare(0, 7, "KSV013I") == 0) {
    const bool broken = line.compare(0, 7, "KSV013I") == 0;
    const std::string part = Field(line, "PART");
    const int index = PartIndex(part);
    if (index >= 0) partCondition_[index] = broken ? "broken" : "jammed";
    if (broken && index >= 0) Failure(part + " break", part + " broken");
  }
  if (options_.ShowTrace) AddEntry(EntryKind::Trace, "TRACE " + TraceShape(line), line);
}

std::vector<FailureTally> Timeline::Summary() const {
  std::vector<std::string> names = {"airframe"};
  if (options_.EngineCount >= 1 && options_.EngineCount <= hostid::EngineCount) {
    for (uint32_t n = 1; n <= options_.EngineCount; ++n) {
      names.push_back("engine " + std::to_string(n) + " overheat");
      names.push_back("engine " + std::to_string(n) + " seizure");
    }
  }
  for (const PartEvent& part : Parts) {
    names.push_back(std::string(part.Name) + " jam");
    names.push_back(std::string(part.Name) + " break");
  }
  if (spells_.count("jam of a part")) names.push_back("jam of a part");

  std::vector<FailureTally> summary;
  for (const std::string& name : names) {
    auto spell = spells_.find(name);
    FailureTally tally = spell != spells_.end() ? spell->second.Tally : FailureTally{};
    tally.Name = name;
    const bool partRow = name.rfind("Flaps", 0) == 0 || name.rfind("Landing Gear", 0) == 0 ||
                         name.rfind("Dive Brakes", 0) == 0;
    if (partRow && !options_.TraceCaptured) tally.Observable = false;
    summary.push_back(tally);
  }
  return summary;
}

std::string FlightTime(uint32_t ms) {
  char text[32];
  std::snprintf(text, sizeof text, "%02u:%02u.%03u", ms / 60000, ms / 1000 % 60, ms % 1000);
  return text;
}

const char* KindName(EntryKind kind) {
  switch (kind) {
    case EntryKind::Pilot: return "PILOT";
    case EntryKind::Event: return "EVENT";
    case EntryKind::Flag: return "FLAG";
    case EntryKind::Trace: return "TRACE";
  }
  return "";
}

std::string RenderTimeline(const std::vector<TimelineEntry>& entries) {
  std::string out;
  for (const TimelineEntry& entry : entries) {
    char kind[8];
    std::snprintf(kind, sizeof kind, "%-5s", KindName(entry.Kind));
    out += FlightTime(entry.StartMs) + "  " + kind + "  " + entry.Text;
    if (entry.Count > 1) {
      out += "  (" + std::to_string(entry.Count) + " times";
      if (entry.EndMs != entry.StartMs) out += ", until " + FlightTime(entry.EndMs);
      out += ")";
    }
    out += "\n";
  }
  return out;
}

std::string RenderSummary(const std::vector<FailureTally>& summary) {
  size_t width = 0;
  for (const FailureTally& tally : summary) width = std::max(width, tally.Name.size());
  std::string out;
  for (const FailureTally& tally : summary) {
    out += "  " + tally.Name + std::string(width - tally.Name.size() + 2, ' ');
    if (!tally.Observable) {
      out += "not seen: the module's trace is off\n";
      continue;
    }
    if (tally.Times == 0) {
      out += "none\n";
      continue;
    }
    out += "first " + FlightTime(tally.FirstMs) + ", " + std::to_string(tally.Times) +
           (tally.Times == 1 ? " time" : " times");
    if (tally.Notifications > tally.Times)
      out += " (on " + std::to_string(tally.Notifications) + " notifications)";
    out += "\n";
  }
  return out;
}

}  // namespace simhost
