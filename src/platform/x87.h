// X87PrecisionHold: holds the x87 unit at full precision for one scope and
// gives the host back its floating-point environment exactly.
//
// The module's own arithmetic runs in SSE2 and does not care what the host did
// to the x87. The C runtime's formatted printing and scanning of reals does
// its work in the x87, though, and a host that left it at 24-bit precision (as
// hosts that render through a 3D graphics API commonly do) gets wrong digits:
// 17140530.0 prints as 17140529.600000. Every formatting or scanning
// of a real therefore runs inside one of these. Both builds target i386, so
// the same instructions serve kestovan.dll and the native tests.
#pragma once

#include <cstdint>

namespace ksv {

class X87PrecisionHold {
 public:
  X87PrecisionHold() {
    // fnstenv saves control, status and tag words and masks every exception;
    // then: 64-bit precision, round to nearest, all exceptions masked.
    __asm__ __volatile__("fnstenv %0" : "=m"(saved_));
    const uint16_t fullPrecision = 0x037F;
    __asm__ __volatile__("fldcw %0" : : "m"(fullPrecision));
  }
  ~X87PrecisionHold() { __asm__ __volatile__("fldenv %0" : : "m"(saved_)); }

  X87PrecisionHold(const X87PrecisionHold&) = delete;
  X87PrecisionHold& operator=(const X87PrecisionHold&) = delete;

 private:
  uint8_t saved_[28];  // the protected-mode 32-bit x87 environment
};

// The x87 control word as it stands; for tests and the host simulator.
inline uint16_t X87ControlWord() {
  uint16_t word;
  __asm__ __volatile__("fnstcw %0" : "=m"(word));
  return word;
}

inline void SetX87ControlWord(uint16_t word) {
  __asm__ __volatile__("fldcw %0" : : "m"(word));
}

}  // namespace ksv
