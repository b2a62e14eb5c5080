// LoadAircraftConfig and its two readers. Goes into kestovan.dll and the
// native tests.
#include "config/aircraft_config.h"

#include "config/value_scan.h"
#include "diag/log.h"
#include "host/host_calls.h"
#include "platform/platform.h"

namespace ksv {
namespace {

constexpr char ConfigBaseName[] = "Kestovan";

// Fetches a setting's text into `value` (260 bytes, zero-filled first).
// Returns 0 with last error 2 when the host has no such setting.
int32_t FetchSetting(const char* section, const char* key, char* value,
                     const char* path) {
  for (uint32_t i = 0; i < TextBufferBytes; ++i) value[i] = '\0';
  if (HostReadFileSetting(section, key, value, TextBufferBytes, path) == 0) {
    platform::SetLastError(platform::ErrorFileNotFound);
    return 0;
  }
  value[TextBufferBytes - 1] = '\0';  // whatever the host wrote, it ends here
  return 1;
}

void SettleReal(const char* section, const char* key, double& field,
                double fallback, const char* path) {
  if (!ReadConfigReal(section, key, &field, path)) field = fallback;
}

void SettleInt(const char* section, const char* key, uint32_t& field,
               uint32_t fallback, const char* path) {
  if (!ReadConfigInt(section, key, &field, path)) field = fallback;
}

// Sections of the three moving parts, in the order of FailureState's Parts.
constexpr const char* PartSections[PartCount] = {"Flaps", "LandingGear", "Brake"};
constexpr PartKind PartKinds[PartCount] = {Flaps, LandingGear, DiveBrakes};

void ReadSettings(FailureState& state) {
  const char* path = state.ConfigPath;
  SettleReal("Airframe", "Gmax", state.Airframe.Gmax, 15.0, path);
  SettleReal("Airframe", "Gmin", state.Airframe.Gmin, -10.0, path);
  SettleReal("Airframe", "Vmax", state.Airframe.Vmax, 650.0, path);
  SettleReal("Engine", "CylinderHeadTemp", state.Limits.CylinderHeadTempLimit, 400.0, path);
  SettleReal("Engine", "RadiatorOutletTemp", state.Limits.RadiatorOutletTempLimit, 400.0,
             path);
  SettleReal("Engine", "OilTemp", state.Limits.OilTempLimit, 400.0, path);
  SettleReal("Engine", "OilPressure", state.Limits.OilPressureLimit, 20.0, path);

  SettleInt("Engine", "FaultCount", state.Engines[0].FaultCountLimit, 10, path);
  for (EngineFault& engine : state.Engines)
    engine.FaultCountLimit = state.Engines[0].FaultCountLimit;

  SettleInt("Engine", "FaultTime", state.Engines[0].FaultTimeMs, 10, path);
  const uint32_t faultTimeMs = state.Engines[0].FaultTimeMs * 1000u;  // wraps
  for (EngineFault& engine : state.Engines) engine.FaultTimeMs = faultTimeMs;

  for (uint32_t i = 0; i < PartCount; ++i) {
    PartFault& part = state.Parts[i];
    const char* section = PartSections[i];
    SettleReal(section, "ActivationSpeed", part.ActivationSpeed, 400.0, path);
    SettleInt(section, "ActivationPercent", part.ActivationPercent, 25, path);
    SettleReal(section, "BreakSpeed", part.BreakSpeed, 500.0, path);
    SettleInt(section, "BreakPercent", part.BreakPercent, 25, path);
    SettleInt(section, "BreakPosition", part.BreakPosition, 0, path);
  }
}

}  // namespace

int32_t ReadConfigReal(const char* section, const char* key, double* out,
                       const char* path) {
  if (section == nullptr || key == nullptr || out == nullptr) {
    platform::SetLastError(platform::ErrorInvalidParameter);
    return 0;
  }
  *out = -1.0;
  char value[TextBufferBytes];
  if (!FetchSetting(section, key, value, path)) return 0;
  LogMessage("KSV015I CONFIG(%s) SECTION(%s) KEY(%s) DATA(%s)\n", path ? path : "",
             section, key, value);
  float scanned = 0.0f;
  if (!ScanReal(value, &scanned)) {
    platform::SetLastError(platform::ErrorInvalidParameter);
    return 0;
  }
  *out = static_cast<double>(scanned);
  return 1;
}

int32_t ReadConfigInt(const char* section, const char* key, uint32_t* out,
                      const char* path) {
  if (section == nullptr || key == nullptr || out == nullptr) {
    platform::SetLastError(platform::ErrorInvalidParameter);
    return 0;
  }
  *out = 0xFFFFFFFFu;  // -1
  char value[TextBufferBytes];
  if (!FetchSetting(section, key, value, path)) return 0;
  LogMessage("KSV016I CONFIG(%s) SECTION(%s) KEY(%s) DATA(%s)\n", path ? path : "",
             section, key, value);
  if (!ScanInteger(value, out)) {
    platform::SetLastError(platform::ErrorInvalidParameter);
    return 0;
  }
  return 1;
}

void LoadAircraftConfig(FailureState& state) {
  ResetFailureState(state);

  // Without an aircraft record there is no folder to look in: the models stay
  // off, as for a folder without a file.
  const char* folder = HostAircraftFolder();
  bool found = false;
  if (folder != nullptr) {
    HostComposePath(state.ConfigPath, folder, ConfigBaseName);
    state.ConfigPath[TextBufferBytes - 1] = '\0';
    found = HostProbeFile(state.ConfigPath) != -1;
  }
  if (!found) {
    LogMessage("KSV003W KESTOVAN IS DISABLED, NO CONFIG(%s)\n", folder ? folder : "");
    return;
  }

  ReadSettings(state);
  for (uint32_t i = 0; i < PartCount; ++i) state.Parts[i].Kind = PartKinds[i];
  state.Enabled = 1;
  LogMessage("KSV004I KESTOVAN ENABLED, CONFIG(%s)\n", state.ConfigPath);
}

}  // namespace ksv
