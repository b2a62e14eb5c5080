// The per-aircraft configuration: on every aircraft load the host accepted,
// LoadAircraftConfig resets FailureState, has the host find the Kestovan file
// in the aircraft's folder, and either leaves the failure models off or reads
// the 24 settings, with a fixed default for each, and switches them on.
#pragma once

#include <cstdint>

#include "config/failure_state.h"

namespace ksv {

// Resets `state` and fills it from the current aircraft's configuration file.
// Traces KSV003W (no file) or KSV015I/KSV016I per setting found and KSV004I.
void LoadAircraftConfig(FailureState& state);

// Reads one real setting of the file at `path` into `out`. Returns 1 with the
// scanned value stored; 0 with -1.0 in `out` and last error 2 when the host
// has no such setting, or 87 when the text does not scan. A null section, key
// or out gives 0 with last error 87 and touches nothing.
int32_t ReadConfigReal(const char* section, const char* key, double* out,
                       const char* path);

// The same for an integer setting; `out` holds -1 after a failed read.
int32_t ReadConfigInt(const char* section, const char* key, uint32_t* out,
                      const char* path);

}  // namespace ksv
