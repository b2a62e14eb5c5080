// LogMessage and its switch. Goes into kestovan.dll and the native tests.
#include "diag/log.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "platform/platform.h"
#include "platform/x87.h"

namespace ksv {

int32_t DebugLogging = 1;

int32_t LogMessage(const char* format, ...) {
  if (DebugLogging == 0) return 0;

  char line[TraceBufferBytes];
  std::memset(line, 0, sizeof line);

  int length;
  {
    X87PrecisionHold fullPrecision;
    va_list arguments;
    va_start(arguments, format);
    length = std::vsnprintf(line, sizeof line, format, arguments);
    va_end(arguments);
  }
  // A line of 4096 characters leaves no room for its terminator: it goes the
  // way of a longer one.
  if (length >= static_cast<int>(sizeof line)) return -1;
  if (length > 0) platform::DebugOutput(line);
  return length;
}

}  // namespace ksv
