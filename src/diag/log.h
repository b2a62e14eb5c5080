// The diagnostic trace: LogMessage formats one numbered line (KSVnnnX ...) and
// writes it to the debugger output channel while DebugLogging is on. The
// catalogue of every line sits with the code that writes it; every format
// text is checked against its arguments at compile time.
#pragma once

#include <cstdint>

namespace ksv {

// The trace switch: on (1) from library load until ModuleInit applies the
// host's Debug setting. Nonzero means on.
extern int32_t DebugLogging;

constexpr uint32_t TraceBufferBytes = 4096;

// Formats one trace line into a 4096-byte buffer and writes it.
// Returns 0 when the switch is off or the line is empty (nothing written),
// -1 when the line does not fit with its terminator (4096 characters or
// more: dropped whole), otherwise the number of characters written.
int32_t LogMessage(const char* format, ...) __attribute__((format(gnu_printf, 1, 2)));

}  // namespace ksv
