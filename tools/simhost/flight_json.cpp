// CallLogWriter. Part of the simulated host (simhost.exe and the native
// tests).
#include "flight_json.h"

#include <cctype>
#include <cstdlib>

namespace simhost {
namespace {

bool IsDecimal(const std::string& text) {
  if (text.empty() || text.size() > 10) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return std::strtoull(text.c_str(), nullptr, 10) <= UINT32_MAX;
}

bool IsHex(const std::string& text) {
  if (text.size() < 3 || text.size() > 10 || text.compare(0, 2, "0x") != 0) return false;
  for (size_t i = 2; i < text.size(); ++i)
    if (!std::isxdigit(static_cast<unsigned char>(text[i]))) return false;
  return true;
}

}  // namespace

nlohmann::ordered_json ArgumentJson(const std::string& rendered) {
  if (rendered == "null") return nullptr;
  if (rendered.size() >= 2 && rendered.front() == '"' && rendered.back() == '"')
    return Unquote(rendered);
  if (IsDecimal(rendered)) return std::strtoul(rendered.c_str(), nullptr, 10);
  if (IsHex(rendered)) return std::strtoul(rendered.c_str(), nullptr, 16);
  return rendered;
}

CallLogWriter::CallLogWriter(std::ostream& out, const nlohmann::ordered_json& about) : out_(out) {
  out_ << "{\n";
  for (auto field = about.begin(); field != about.end(); ++field)
    out_ << nlohmann::ordered_json(field.key()).dump() << ": " << field.value().dump() << ",\n";
  out_ << "\"calls\": [";
}

void CallLogWriter::AddPass(uint32_t flightMs, const std::vector<HostRecord>& records) {
  for (const HostRecord& record : records) {
    if (record.Kind != RecordKind::Call) continue;
    nlohmann::ordered_json args = nlohmann::ordered_json::array();
    for (const std::string& arg : record.Args) args.push_back(ArgumentJson(arg));
    const nlohmann::ordered_json call = {{"time", FlightTime(flightMs)},
                                 {"ms", flightMs},
                                 {"tick", record.Tick},
                                 {"routine", record.Routine},
                                 {"args", args}};
    out_ << (firstCall_ ? "\n" : ",\n") << call.dump();
    firstCall_ = false;
  }
}

void CallLogWriter::Finish(const Timeline& timeline) {
  nlohmann::ordered_json entries = nlohmann::ordered_json::array();
  for (const TimelineEntry& entry : timeline.Entries()) {
    entries.push_back({{"time", FlightTime(entry.StartMs)},
                       {"ms", entry.StartMs},
                       {"kind", KindName(entry.Kind)},
                       {"text", entry.Text},
                       {"count", entry.Count},
                       {"untilMs", entry.EndMs}});
  }
  nlohmann::ordered_json summary = nlohmann::ordered_json::array();
  for (const FailureTally& tally : timeline.Summary()) {
    nlohmann::ordered_json row = {{"failure", tally.Name}, {"observable", tally.Observable},
                          {"times", tally.Times}, {"notifications", tally.Notifications}};
    row["firstMs"] = tally.Times ? nlohmann::ordered_json(tally.FirstMs) : nlohmann::ordered_json(nullptr);
    summary.push_back(row);
  }
  out_ << "\n],\n\"timeline\": " << entries.dump() << ",\n\"summary\": " << summary.dump()
       << "\n}\n";
}

}  // namespace simhost
