#pragma once
// The engine's growable arrays. Storage comes from Alloc and grows by a fixed step; a failed
// growth leaves the array as it was and reports false.
#include <cstdint>
#include <cstring>
#include <new>
#include <type_traits>

#include "engine/core/fixed.h"
#include "engine/core/invariant.h"
#include "engine/core/memory.h"

class PtrArray {
public:
    explicit PtrArray(int growStep = 1) : growStep_(growStep > 0 ? growStep : 1) {}
    PtrArray(const PtrArray&) = delete;
    PtrArray& operator=(const PtrArray&) = delete;
    virtual ~PtrArray();

    bool Add(void* item);
    // Moves the later items down one place; nothing outside 0..count-1.
    void RemoveAt(int index);
    void* At(int index) const
    {
        KELO_ASSERT(index >= 0 && index < count_);
        return data_[index];
    }
    void* Get(int index) const { return index >= 0 && index < count_ ? data_[index] : nullptr; }
    int IndexOf(const void* item) const;
    int Count() const { return count_; }
    int Capacity() const { return capacity_; }
    void Clear() { count_ = 0; }
    void FreeStorage();

private:
    void** data_ = nullptr;
    int count_ = 0;
    int capacity_ = 0;
    int growStep_;
};

// The game's arrays of fixed-size, trivially copyable items.
template <typename T>
class ItemArrayOf {
    static_assert(std::is_trivially_copyable_v<T>);

public:
    explicit ItemArrayOf(int growStep = 1) : growStep_(growStep > 0 ? growStep : 1) {}
    ItemArrayOf(const ItemArrayOf&) = delete;
    ItemArrayOf& operator=(const ItemArrayOf&) = delete;
    virtual ~ItemArrayOf() { Free(); }

    bool Append(const T& item)
    {
        if (count_ >= capacity_) {
            int grown = capacity_ + growStep_;
            T* block = static_cast<T*>(Alloc(sizeof(T) * static_cast<size_t>(grown)));
            if (!block)
                return false;
            for (int i = 0; i < count_; ++i)
                block[i] = data_[i];
            ::Free(data_);
            data_ = block;
            capacity_ = grown;
        }
        data_[count_++] = item;
        return true;
    }
    T* At(int index)
    {
        KELO_ASSERT(index >= 0 && index < count_);
        return &data_[index];
    }
    const T* At(int index) const
    {
        KELO_ASSERT(index >= 0 && index < count_);
        return &data_[index];
    }
    void Get(T& out, int index) const
    {
        KELO_ASSERT(index >= 0 && index < count_);
        out = data_[index];
    }
    int Count() const { return count_; }
    int Capacity() const { return capacity_; }
    void Clear() { count_ = 0; }
    void Free()
    {
        ::Free(data_);
        data_ = nullptr;
        count_ = 0;
        capacity_ = 0;
    }
    bool Reserve(int n)
    {
        Free();
        if (n <= 0)
            return true;
        data_ = static_cast<T*>(Alloc(sizeof(T) * static_cast<size_t>(n)));
        if (!data_)
            return false;
        capacity_ = n;
        return true;
    }
    // Moves the later items down one place; the count never drops below 0.
    void RemoveAt(int index)
    {
        if (index < 0 || index >= count_) {
            return;
        }
        memmove(static_cast<void*>(data_ + index), data_ + index + 1, sizeof(T) * static_cast<size_t>(count_ - index - 1));
        --count_;
    }

protected:
    T* data_ = nullptr;
    int count_ = 0;
    int capacity_ = 0;
    int growStep_;
};

using ItemArray = ItemArrayOf<uint32_t>;

struct ItemPair {
    int32_t first = 0;
    int32_t second = 0;
};
struct ItemTriple {
    int32_t first = 0;
    int32_t second = 0;
    int32_t third = 0;
};
using PairArray = ItemArrayOf<ItemPair>;
using TripleArray = ItemArrayOf<ItemTriple>;
using FixedArray = ItemArrayOf<Fixed>;

// Owns objects with virtual destructors.
template <typename T>
class OwnedItemArray : public ItemArrayOf<T*> {
public:
    explicit OwnedItemArray(int growStep = 1) : ItemArrayOf<T*>(growStep) {}
    ~OwnedItemArray() override { Clear(); }

    T* Get(int index) const
    {
        KELO_ASSERT(index >= 0 && index < this->count_);
        return this->data_[index];
    }
    void DeleteAt(int index)
    {
        if (index < 0 || index >= this->count_)
            return;
        delete this->data_[index];
        this->RemoveAt(index);
    }
    void Clear()
    {
        for (int i = 0; i < this->count_; ++i)
            delete this->data_[i];
        this->Free();
    }
};

// Deletes through the virtual destructor and nulls the pointer.
template <typename T>
void DeleteAndNull(T*& object)
{
    if (object) {
        delete object;
        object = nullptr;
    }
}
