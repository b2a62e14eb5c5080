// RunReplay and the host's side of a recorded flight. Part of the simulated
// host (simhost.exe and the native tests).
#include "replay.h"

#include <cmath>

namespace simhost {
namespace {

using namespace ksv;

// Codes the host sends between two monitor notifications; their meaning is
// the host's, and the module only runs its prelude for them.
constexpr uint32_t OtherNotificationCodes[] = {12, 35, 148};
constexpr size_t OtherNotificationCount = sizeof OtherNotificationCodes / sizeof(uint32_t);

constexpr double RestingLoadFactor = 1.0;       // g, when the flight has no g column
using namespace hostid;

// Engine n's variables, in host units, for the channels the flight has.
void ApplyEngine(SimulatedHost& host, const Flight& flight, double seconds, uint32_t n) {
  const uint32_t block = EngineVariableBase + EngineVariableStride * (n - 1);
  const auto channel = [n](Channel first) { return static_cast<Channel>(first + n - 1); };
  if (flight.Has(channel(Cht1)))
    host.SetVariable(block, RankineFromFahrenheit(flight.ValueAt(channel(Cht1), seconds)));
  if (flight.Has(channel(Oil1)))
    host.SetVariable(block + OilTempOffset,
                     RankineFromFahrenheit(flight.ValueAt(channel(Oil1), seconds)));
  if (flight.Has(channel(Rad1)))
    host.SetVariable(block + RadiatorOutletOffset,
                     RankineFromFahrenheit(flight.ValueAt(channel(Rad1), seconds)));
  if (flight.Has(channel(OilP1)))
    host.SetVariable(block + OilPressureOffset,
                     HostOilPressureFromPsi(flight.ValueAt(channel(OilP1), seconds)));
}

// Writes one part position when the file moved it since the last write.
void ApplyPosition(SimulatedHost& host, SimField<uint32_t> field, bool present, uint32_t now,
                   bool known, uint32_t before) {
  if (present && (!known || now != before)) host.Set(field, now);
}

}  // namespace

uint32_t NotificationMs(uint64_t n, double rateHz) {
  return static_cast<uint32_t>(std::llround(static_cast<double>(n) * 1000.0 / rateHz));
}

FilePositions ApplyFlightValues(SimulatedHost& host, const Flight& flight, uint32_t flightMs,
                                const FilePositions& previous) {
  const double seconds = flightMs / 1000.0;
  const double g = flight.Has(LoadFactor) ? flight.ValueAt(LoadFactor, seconds) : RestingLoadFactor;
  host.Set(simdata::GLoadRaw, GLoadRawFromG(g));
  const double speed = flight.Has(Speed) ? flight.ValueAt(Speed, seconds) : 0.0;
  host.Set(simdata::AirspeedRaw, AirspeedRawFromSpeed(speed));
  for (uint32_t n = 1; n <= 4; ++n) ApplyEngine(host, flight, seconds, n);
  const bool suspended = flight.Has(SuspendChannel) && flight.ValueAt(SuspendChannel, seconds) != 0;
  host.Set(simdata::SuspendFlag, static_cast<uint16_t>(suspended ? 1 : 0));

  FilePositions now;
  now.Known = true;
  now.Flaps = RawPosition(flight.Has(FlapsChannel) ? flight.ValueAt(FlapsChannel, seconds) : 0);
  now.Gear = RawPosition(flight.Has(GearChannel) ? flight.ValueAt(GearChannel, seconds) : 0);
  now.Brakes = RawPosition(flight.Has(BrakesChannel) ? flight.ValueAt(BrakesChannel, seconds) : 0);
  ApplyPosition(host, simdata::FlapsPosition, flight.Has(FlapsChannel), now.Flaps, previous.Known,
                previous.Flaps);
  ApplyPosition(host, simdata::GearPosition, flight.Has(GearChannel), now.Gear, previous.Known,
                previous.Gear);
  ApplyPosition(host, simdata::DiveBrakePosition, flight.Has(BrakesChannel), now.Brakes,
                previous.Known, previous.Brakes);
  return now;
}

ReplayStats RunReplay(SimulatedHost& host, ImportTableEntry* importTable, ModuleLinkage* linkage,
                      const Flight& flight, const ReplayOptions& options, const PassSink& sink) {
  ReplayStats stats;
  const auto setClock = [&](uint32_t flightMs) {
    host.Tick = options.StartTick + flightMs;  // wraps at 2^32 like the system's count
  };
  const auto endPass = [&](uint32_t flightMs) {
    if (sink) sink(flightMs, host.Records());
    host.ClearRecords();
  };

  host.InstallInto(importTable);
  setClock(0);
  FilePositions positions = ApplyFlightValues(host, flight, 0, FilePositions{});
  if (linkage->InitRoutine) host.CallModule([&] { linkage->InitRoutine(); });
  endPass(0);

  host.Set(simdata::HostEngineCount, options.Engines);
  host.SetAircraftFolder(options.Aircraft);
  host.LoadAircraft(options.Aircraft.c_str());
  endPass(0);

  const uint32_t endMs = static_cast<uint32_t>(std::llround(flight.Duration() * 1000.0));
  for (uint64_t n = 0;; ++n) {
    const uint32_t flightMs = NotificationMs(n, options.RateHz);
    if (flightMs > endMs) break;
    setClock(flightMs);
    positions = ApplyFlightValues(host, flight, flightMs, positions);
    host.Notify(MonitorEvent);
    host.Notify(OtherNotificationCodes[n % OtherNotificationCount]);
    stats.MonitorNotifications += 1;
    stats.OtherNotifications += 1;
    endPass(flightMs);
  }

  setClock(endMs);
  if (linkage->DeinitRoutine) host.CallModule([&] { linkage->DeinitRoutine(); });
  endPass(endMs);
  stats.FlightMs = endMs;
  return stats;
}

}  // namespace simhost
