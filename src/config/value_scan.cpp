// ScanReal and ScanInteger. Goes into kestovan.dll and the native tests.
#include "config/value_scan.h"

#include <charconv>
#include <limits>
#include <system_error>

#include "platform/x87.h"

namespace ksv {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

const char* SkipDigits(const char* p) {
  while (IsDigit(*p)) ++p;
  return p;
}

// Reads the sign after the leading white space; returns the first character
// after it.
const char* SkipBlankAndSign(const char* text, bool* negative) {
  const char* p = text;
  while (IsBlank(*p)) ++p;
  *negative = (*p == '-');
  if (*p == '+' || *p == '-') ++p;
  return p;
}

// Where the unsigned real that starts at `p` ends; `p` itself when no digit
// stands where the number should be.
const char* EndOfReal(const char* p) {
  const char* end = SkipDigits(p);
  bool sawDigit = end != p;
  if (*end == '.') {
    const char* fractionEnd = SkipDigits(end + 1);
    sawDigit = sawDigit || fractionEnd != end + 1;
    end = fractionEnd;
  }
  if (!sawDigit) return p;
  if (*end == 'e' || *end == 'E') {
    const char* exponent = end + 1;
    if (*exponent == '+' || *exponent == '-') ++exponent;
    if (IsDigit(*exponent)) end = SkipDigits(exponent);
  }
  return end;
}

// Whether a nonzero decimal in [begin, end) that single precision cannot
// hold is too large (rather than too small): its leading digit stands at or
// above the units place once the exponent is applied.
bool AboveOne(const char* begin, const char* end) {
  long order = 0;  // position of the leading nonzero digit; 1 = units
  const char* p = begin;
  while (p < end && *p == '0') ++p;
  if (p < end && IsDigit(*p)) {
    order = SkipDigits(p) - p;
    p = SkipDigits(p);
  }
  if (p < end && *p == '.') ++p;
  if (order == 0) {
    while (p < end && *p == '0') { ++p; --order; }
  }
  while (p < end && *p != 'e' && *p != 'E') ++p;
  if (p < end) {
    ++p;
    const bool negativeExponent = (*p == '-');
    if (*p == '+' || *p == '-') ++p;
    long exponent = 0;
    for (; p < end && exponent < 100000; ++p) exponent = exponent * 10 + (*p - '0');
    order += negativeExponent ? -exponent : exponent;
  }
  return order > 0;
}

}  // namespace

int32_t ScanReal(const char* text, float* out) {
  bool negative = false;
  const char* begin = SkipBlankAndSign(text, &negative);
  const char* end = EndOfReal(begin);
  if (end == begin) return 0;

  float magnitude = 0.0f;
  std::from_chars_result result;
  {
    X87PrecisionHold fullPrecision;  // the library's conversion may use the x87
    result = std::from_chars(begin, end, magnitude, std::chars_format::general);
  }
  if (result.ec == std::errc::result_out_of_range) {
    magnitude = AboveOne(begin, end) ? std::numeric_limits<float>::infinity() : 0.0f;
  } else if (result.ec != std::errc()) {
    return 0;
  }
  *out = negative ? -magnitude : magnitude;
  return 1;
}

int32_t ScanInteger(const char* text, uint32_t* out) {
  bool negative = false;
  const char* p = SkipBlankAndSign(text, &negative);
  if (!IsDigit(*p)) return 0;
  uint32_t value = 0;
  for (; IsDigit(*p); ++p) value = value * 10u + static_cast<uint32_t>(*p - '0');
  *out = negative ? 0u - value : value;
  return 1;
}

}  // namespace ksv
