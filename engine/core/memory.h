#pragma once
// The engine's heap: a failed allocation shows "Malloc failed: %d bytes" and returns null.
#include <cstddef>

void* Alloc(size_t bytes);
void Free(void* block);
// 0 when n < 2, else rand() modulo n.
int Random(int n);
