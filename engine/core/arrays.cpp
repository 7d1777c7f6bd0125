#include "engine/core/arrays.h"

PtrArray::~PtrArray()
{
    FreeStorage();
}

void PtrArray::FreeStorage()
{
    Free(data_);
    data_ = nullptr;
    count_ = 0;
    capacity_ = 0;
}

bool PtrArray::Add(void* item)
{
    if (!data_ && count_ >= 1)
        return false;
    if (count_ >= capacity_) {
        int grown = capacity_ + growStep_;
        void** block = static_cast<void**>(Alloc(sizeof(void*) * static_cast<size_t>(grown)));
        if (!block)
            return false;
        if (count_)
            memcpy(block, data_, sizeof(void*) * static_cast<size_t>(count_));
        Free(data_);
        data_ = block;
        capacity_ = grown;
    }
    data_[count_++] = item;
    return true;
}

void PtrArray::RemoveAt(int index)
{
    if (index < 0 || index >= count_)
        return;
    memmove(data_ + index, data_ + index + 1, sizeof(void*) * static_cast<size_t>(count_ - index - 1));
    --count_;
}

int PtrArray::IndexOf(const void* item) const
{
    for (int i = 0; i < count_; ++i) {
        if (data_[i] == item)
            return i;
    }
    return -1;
}
