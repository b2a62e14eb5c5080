// RenderFlightSvg: the replay's --svg picture. One self-contained SVG of the
// flight: load factor, airspeed and engine temperatures against flight time,
// each drawn from the flight file's rows (the replay interpolates linearly
// between them, so the polyline is exactly what the host reported); the
// aircraft's limits as dashed lines, read from its Kestovan.cfg
// (AircraftLimits); a marker with a short label at the start of each failure
// spell; suspended stretches shaded grey and stretches with an engine cut
// shaded in the temperature panel. Part of the simulated host (simhost.exe
// and the native tests).
#pragma once

#include <cstdint>
#include <string>

#include "aircraft_limits.h"
#include "flight.h"
#include "timeline.h"

namespace simhost {

// `title` heads the picture; `endMs` is the flight time of its right edge.
std::string RenderFlightSvg(const Flight& flight, const AircraftLimits& limits,
                            const Timeline& timeline, uint32_t endMs, const std::string& title);

// Text made safe for SVG character data and attribute values.
std::string XmlEscape(const std::string& text);

}  // namespace simhost
