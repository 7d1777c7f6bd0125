#include <new>

#include "engine/core/pack_memory_file.h"
#include "engine/core/record_store.h"

SaveFileHolder::SaveFileHolder(Application* application) : application_(application) {}

SaveFileHolder::~SaveFileHolder() = default;

void SaveFileHolder::SetFile(const char* path, uint16_t* expectedChecksum)
{
    path_.Assign(path);
    expected_ = expectedChecksum;
}

// An open failure leaves no store behind, so the next operation starts afresh.
RecordStore* SaveFileHolder::OpenStore()
{
    store_.reset();
    store_.reset(new (std::nothrow) RecordStore(application_));
    if (store_ && !store_->Open(path_.CStr(), expected_))
        store_.reset();
    return store_.get();
}

bool SaveFileHolder::CloseStore()
{
    bool saved = store_->Close(expected_);
    store_.reset();
    return saved;
}

bool SaveFileHolder::WriteRecord(int32_t id, Stream* stream, const char* name)
{
    if (!OpenStore())
        return false;
    bool written = store_->WriteRecord(id, stream, name);
    return CloseStore() && written;
}

PackMemoryFile* SaveFileHolder::ReadRecord(int32_t id)
{
    if (!OpenStore())
        return nullptr;
    PackMemoryFile* file = store_->ReadRecord(id);
    CloseStore();
    return file;
}

void SaveFileHolder::DeleteRecord(int32_t id)
{
    if (!OpenStore())
        return;
    store_->DeleteRecord(id);
    CloseStore();
}

int SaveFileHolder::ReadIds(int32_t* ids, int capacity)
{
    if (!OpenStore())
        return 0;
    int n = store_->Ids(ids, capacity);
    CloseStore();
    return n;
}
