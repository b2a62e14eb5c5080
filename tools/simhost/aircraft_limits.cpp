// ReadAircraftLimits. Part of the simulated host (simhost.exe and the native
// tests).
#include "aircraft_limits.h"

#include <cstdlib>

#include "ini_file.h"

namespace simhost {
namespace {

// The setting's leading number, as the module reads a real; false when the
// text does not start with one (the module then takes the default).
bool ReadLimit(const std::string& contents, const char* section, const char* key, double* out) {
  std::string value;
  if (!FindIniValue(contents, section, key, &value)) return false;
  const char* start = value.c_str();
  while (*start == ' ' || *start == '\t') ++start;
  const char* first = start + (*start == '+' || *start == '-');
  const bool number = (*first >= '0' && *first <= '9') ||
                      (*first == '.' && first[1] >= '0' && first[1] <= '9');
  if (!number) return false;
  *out = std::strtod(start, nullptr);
  return true;
}

}  // namespace

AircraftLimits ReadAircraftLimits(SimulatedHost& host, const std::string& folder) {
  AircraftLimits limits;
  char path[ksv::TextBufferBytes] = {};
  host.ComposePath(path, folder.c_str(), "Kestovan");
  limits.ConfigPath = path;
  std::string contents;
  if (path[0] == '\0' || !host.ReadFile(path, &contents)) return limits;
  limits.Found = true;
  ReadLimit(contents, "Airframe", "Gmax", &limits.Gmax);
  ReadLimit(contents, "Airframe", "Gmin", &limits.Gmin);
  ReadLimit(contents, "Airframe", "Vmax", &limits.Vmax);
  ReadLimit(contents, "Engine", "CylinderHeadTemp", &limits.CylinderHeadTemp);
  ReadLimit(contents, "Engine", "RadiatorOutletTemp", &limits.RadiatorOutletTemp);
  ReadLimit(contents, "Engine", "OilTemp", &limits.OilTemp);
  return limits;
}

}  // namespace simhost
