// Timeline: what the module did during a replayed flight and when, built
// from the simulated host's records pass by pass, and the failure summary.
// Part of the simulated host (simhost.exe and the native tests).
//
// A pass is one step of the flight: start-up, the aircraft load, one monitor
// notification with the notification that follows it, shutdown. The same
// line on consecutive passes folds into one entry with its count and the time
// it was last seen. Engine run events are shown only as changes of the
// engine's state (cut, restarted); the run event repeated on every pass while
// the engine runs hot is noise.
//
// Which engine a pilot message is about comes from the engine variables the
// module read just before it (engine n's block of variable ids). Which part
// jammed or broke comes from the module's trace (KSV014I, KSV013I), so with
// the trace switched off a jam message stays unattributed and a break is not
// seen at all; the summary says so.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "host_sim.h"

namespace simhost {

enum class EntryKind { Pilot, Event, Flag, Trace };

struct TimelineEntry {
  uint32_t StartMs;    // flight time of the first occurrence
  uint32_t EndMs;      // flight time of the last occurrence
  EntryKind Kind;
  std::string Text;
  uint32_t Count = 1;  // occurrences folded into this entry
};

// One failure of the summary: the airframe, an engine's overheat or seizure,
// a part's jam or break.
struct FailureTally {
  std::string Name;              // "airframe", "engine 1 overheat", "Flaps jam", ...
  uint32_t FirstMs = 0;
  uint32_t Times = 0;            // separate spells (consecutive passes count once)
  uint32_t Notifications = 0;    // passes on which it was reported
  bool Observable = true;        // false: the host cannot see it (trace off)
};

// The start of a failure spell, for the picture.
struct FailureMark {
  uint32_t Ms;
  std::string Label;  // "overspeed", "engine 1 seized", "Flaps jammed", ...
};

// A stretch of flight during which an engine was cut.
struct CutSpan {
  uint32_t Engine;  // 1..4
  uint32_t FromMs;
  uint32_t ToMs;    // the end of the flight when it never restarted
};

struct TimelineOptions {
  bool ShowTrace = false;     // trace lines become TRACE entries
  bool TraceCaptured = true;  // the module's trace switch is on
  uint32_t EngineCount = 1;   // the aircraft's engines, as the host reports them
};

class Timeline {
 public:
  explicit Timeline(const TimelineOptions& options);

  // One pass: its flight time and the host's records of it, in order.
  void AddPass(uint32_t flightMs, const std::vector<HostRecord>& records);
  // Closes open cut spans at the end of the flight.
  void Finish(uint32_t endMs);

  const std::vector<TimelineEntry>& Entries() const { return entries_; }
  const std::vector<FailureMark>& Marks() const { return marks_; }
  const std::vector<CutSpan>& Cuts() const { return cuts_; }
  // Every failure the module can report for this aircraft, in a fixed order
  // (airframe, each engine's overheat and seizure, each part's jam and
  // break), whether it happened or not.
  std::vector<FailureTally> Summary() const;

 private:
  struct Fold {
    size_t Entry;       // index in entries_
    uint64_t LastPass;  // the pass it was last seen on
  };
  struct Spell {
    FailureTally Tally;
    uint64_t LastPass = 0;
  };

  void AddEntry(EntryKind kind, const std::string& key, const std::string& text);
  void Failure(const std::string& name, const std::string& label);
  void OnCall(const std::vector<HostRecord>& records, size_t index);
  void OnEngineRun(uint32_t engine, bool running);
  void OnTrace(const std::string& line);

  TimelineOptions options_;
  uint64_t pass_ = 0;
  uint32_t ms_ = 0;
  uint32_t lastEngineRead_ = 0;     // engine whose variable was read last
  std::string lastAirframeCause_;  // label of the last airframe pilot message
  std::vector<TimelineEntry> entries_;
  std::map<std::string, Fold> folds_;
  std::map<std::string, Spell> spells_;
  std::map<std::string, uint64_t> markPasses_;  // label -> last pass seen
  std::vector<FailureMark> marks_;
  std::vector<CutSpan> cuts_;
  bool running_[4] = {true, true, true, true};
  std::string partCondition_[3];    // "jammed", "broken" or "" as the trace told
};

// Flight time as mm:ss.mmm (minutes run on past 59).
std::string FlightTime(uint32_t ms);
// "KIND" as shown: PILOT, EVENT, FLAG, TRACE.
const char* KindName(EntryKind kind);

// One line per entry: time, kind, text, and for a folded entry how many times
// and until when.
std::string RenderTimeline(const std::vector<TimelineEntry>& entries);
// One line per failure: its name, the first time and how often, or "none".
std::string RenderSummary(const std::vector<FailureTally>& summary);

}  // namespace simhost
