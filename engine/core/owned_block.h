#pragma once
// A block from Alloc held for a scope: freed with Free on every way out unless released.
#include <memory>

#include "engine/core/memory.h"

struct FreeBlock {
    void operator()(void* block) const { Free(block); }
};

template <typename T>
using OwnedBlock = std::unique_ptr<T, FreeBlock>;
