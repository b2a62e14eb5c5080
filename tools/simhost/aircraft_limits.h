// AircraftLimits: the limits an aircraft's Kestovan.cfg sets, read for the
// replay's picture and summary the way the host serves the file to the
// module (the same path composition, file lookup and INI reader), with the
// module's default for every setting the file lacks or that does not start
// with a number. Part of the simulated host (simhost.exe and the native
// tests).
#pragma once

#include <string>

#include "host_sim.h"

namespace simhost {

struct AircraftLimits {
  bool Found = false;             // the aircraft has a Kestovan.cfg (models on)
  std::string ConfigPath;         // where the host looks for it
  double Gmax = 15.0;             // g
  double Gmin = -10.0;            // g
  double Vmax = 650.0;            // host airspeed unit
  double CylinderHeadTemp = 400.0;    // degrees F
  double RadiatorOutletTemp = 400.0;  // degrees F
  double OilTemp = 400.0;             // degrees F
};

// Reads the limits of the aircraft in `folder` through `host`'s file
// services. Records no host call.
AircraftLimits ReadAircraftLimits(SimulatedHost& host, const std::string& folder);

}  // namespace simhost
