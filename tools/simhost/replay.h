// RunReplay: plays the host through a whole recorded flight in virtual time
// against a module's ImportTable and Linkage (the DLL's exports in
// simhost.exe, the module's own globals in the native tests). Part of the
// simulated host (simhost.exe and the native tests).
//
// The flight: start-up through InitRoutine, the aircraft loaded through the
// LoadAircraft slot at time 0, then monitor notifications (code 147) at the
// chosen rate, each preceded by the flight's values at that instant and
// followed by one notification of another code, as a host sends them; at the
// end of the flight, shutdown through DeinitRoutine. The tick count is the
// flight clock: the start tick plus the flight time in milliseconds,
// wrapping at 2^32.
//
// How the host treats the part positions: a set-event from the module moves
// the part (SimulatedHost::FollowSetEvents), and the position stays where
// the module put it until the flight file moves the part again, that is
// until the file's value at a notification differs from its value at the
// notification before. For a channel the file lacks the host reports its
// resting value: the load factor 1 g, the airspeed 0, not suspended; the
// engine variables keep the host value 0.0 and the part positions stay
// where they are (0, retracted, until the module moves them).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "flight.h"
#include "host/host_interface.h"
#include "host_sim.h"

namespace simhost {

struct ReplayOptions {
  std::string Aircraft;     // the aircraft folder, as the host's aircraft record holds it
  uint16_t Engines = 1;     // HostEngineCount
  double RateHz = 18.0;     // monitor notifications per second of flight
  uint32_t StartTick = 0;   // the tick count at flight time 0
};

struct ReplayStats {
  uint32_t FlightMs = 0;              // flight time of the shutdown
  uint32_t MonitorNotifications = 0;
  uint32_t OtherNotifications = 0;
};

// Receives each pass of the flight (start-up, load, each notification with
// the one after it, shutdown): its flight time in milliseconds and the
// host's records of it. The host's records are cleared after each pass, so a
// long flight keeps no more than one pass in memory.
using PassSink = std::function<void(uint32_t flightMs, const std::vector<HostRecord>& records)>;

// Monitor notification n is sent at flight time round(n * 1000 / rate) ms,
// for every such time up to the flight's last row.
uint32_t NotificationMs(uint64_t n, double rateHz);

// The part positions the flight file gave at one notification.
struct FilePositions {
  bool Known = false;  // false before the first write
  uint32_t Flaps = 0, Gear = 0, Brakes = 0;
};

// Writes the flight's values at `flightMs` into the host (SimData and the
// engine variables), the part positions only where the file moved them
// since `previous`; returns the file's positions for the next call.
FilePositions ApplyFlightValues(SimulatedHost& host, const Flight& flight, uint32_t flightMs,
                                const FilePositions& previous);

// Flies `flight`. Installs the host's tables into `importTable` first.
ReplayStats RunReplay(SimulatedHost& host, ksv::ImportTableEntry* importTable,
                      ksv::ModuleLinkage* linkage, const Flight& flight,
                      const ReplayOptions& options, const PassSink& sink);

}  // namespace simhost
