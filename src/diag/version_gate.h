// The host version gate: at process attach the module reads the file version
// of the host executable and refuses to stay in any process whose host is not
// the one release it was built for. Also the two heap helpers the gate uses.
#pragma once

#include <cstdint>

namespace ksv {

// Returns 1 when the main executable's file version is major.minor (only the
// low 16 bits of each take part), else 0 with the last-error code of the
// failing step (1154 for a version that differs). Traces KSV500E..KSV508I.
int32_t CheckHostVersion(uint32_t major, uint32_t minor);

// A zero-filled block from the process heap, or null.
void* AllocZeroed(uint32_t size);

// Returns a block to the process heap: the heap's result, or 0 with last
// error 87 for a null block.
int32_t FreeBlock(void* block);

}  // namespace ksv
