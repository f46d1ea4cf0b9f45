// Named shared memory blocks backed by the paging file. A process links a
// block as often as it likes; it is mapped once and unmapped with the last
// link. Failures give null/false and leave their details in the error trace.
#pragma once

#include <cstddef>

// Links the block `name`, creating it with `size` bytes when no process has it.
void* MSharedMem_LinkOrCreate(const char* name, size_t size);
// Links the existing block `name`; null when no process created it.
void* MSharedMem_Link(const char* name);
// Drops one link of this process; the last one unmaps the block.
bool MSharedMem_Unlink(void* memory);
