#pragma once
// A fixed-size array of records that owns its storage. Readers reach a record through Find,
// which answers null for an index outside the table, so a number read from a damaged save
// cannot index past it.
#include <memory>
#include <new>

template <typename T>
class RecordTable {
public:
    // Replaces the records with count default ones; false (and an empty table) when the storage
    // cannot be had.
    bool Allocate(int count)
    {
        records_.reset();
        count_ = 0;
        if (count < 1)
            return false;
        records_.reset(new (std::nothrow) T[count]);
        if (!records_)
            return false;
        count_ = count;
        return true;
    }
    void Clear()
    {
        records_.reset();
        count_ = 0;
    }

    int Count() const { return count_; }
    const T* Find(int index) const { return index >= 0 && index < count_ ? &records_[index] : nullptr; }
    T& operator[](int index) { return records_[index]; }
    const T& operator[](int index) const { return records_[index]; }
    const T* begin() const { return records_.get(); }
    const T* end() const { return records_.get() + count_; }

private:
    std::unique_ptr<T[]> records_;
    int count_ = 0;
};
