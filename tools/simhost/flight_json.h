// CallLogWriter: the replay's --json file. Streams every host call the
// module made, with its flight time, tick count and arguments, pass by pass,
// then closes the document with the timeline and the summary. Part of the
// simulated host (simhost.exe and the native tests).
//
// Document: { ...the fields given at the start..., "calls": [ {"time":
// "mm:ss.mmm", "ms": N, "tick": N, "routine": NAME, "args": [...]}, ... ],
// "timeline": [...], "summary": [...] }. An argument is a string for a text
// the module passed, null for a null pointer, a number for a number, and
// otherwise the host's name for it ("ptr", "Linkage", "handler", "id=0x19F").
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "host_sim.h"
#include "timeline.h"

namespace simhost {

// One rendered argument of a host call as JSON.
nlohmann::ordered_json ArgumentJson(const std::string& rendered);

class CallLogWriter {
 public:
  // Starts the document; `about` is an object whose fields come first.
  CallLogWriter(std::ostream& out, const nlohmann::ordered_json& about);
  CallLogWriter(const CallLogWriter&) = delete;
  CallLogWriter& operator=(const CallLogWriter&) = delete;

  // The calls among one pass's records (a PassSink).
  void AddPass(uint32_t flightMs, const std::vector<HostRecord>& records);
  // Closes the calls and ends the document.
  void Finish(const Timeline& timeline);

 private:
  std::ostream& out_;
  bool firstCall_ = true;
};

}  // namespace simhost
