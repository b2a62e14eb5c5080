// The value scanner for configuration texts: one real or one integer at the
// start of a text, by fixed rules that do not vary with the C library or the
// locale. Leading white space is skipped, then an optional sign; a real is
// digits with an optional full stop and fraction and, after at least one
// digit, an optional exponent; an integer is decimal digits only. Scanning
// stops at the first character that cannot continue the number.
#pragma once

#include <cstdint>

namespace ksv {

// Scans one real, rounded to the nearest single-precision value. A magnitude
// beyond the single-precision range becomes an infinity of its sign; one below
// it goes to zero. Returns 1 and stores the value, or 0 (out untouched) when
// no digit stands where the number should begin.
int32_t ScanReal(const char* text, float* out);

// Scans one decimal integer, accumulated in wrapping 32-bit arithmetic and
// negated after a minus sign. Returns 1 and stores the value, or 0 (out
// untouched) when no digit stands where the number should begin.
int32_t ScanInteger(const char* text, uint32_t* out);

}  // namespace ksv
