#include "engine/sound/ogg_callbacks.h"

#include <cstdint>
#include <cstdio>

#include "engine/core/stream.h"

size_t OggReadCallback(void* buffer, size_t size, size_t count, void* stream)
{
    uint64_t bytes = static_cast<uint64_t>(size) * count;
    if (bytes == 0)
        return 0;
    if (bytes > INT32_MAX)
        bytes = INT32_MAX;
    int32_t read = static_cast<Stream*>(stream)->Read(buffer, static_cast<int32_t>(bytes));
    return read > 0 ? static_cast<size_t>(read) : 0;
}

int OggSeekCallback(void* datasource, ogg_int64_t offset, int whence)
{
    auto* stream = static_cast<Stream*>(datasource);
    int64_t target;
    if (whence == SEEK_SET) {
        target = offset;
    } else if (whence == SEEK_CUR) {
        target = static_cast<int64_t>(stream->Tell()) + offset;
    } else if (whence == SEEK_END) {
        // Taken from the start: the engine's two streams count a distance from the end differently.
        target = static_cast<int64_t>(stream->GetSize()) + offset;
    } else {
        return -1;
    }
    if (target < 0 || target > INT32_MAX || !stream->Seek(static_cast<int32_t>(target), kSeekStart))
        return -1;
    return stream->Tell();
}

long OggTellCallback(void* stream)
{
    return static_cast<Stream*>(stream)->Tell();
}

int OggCloseCallback(void*)
{
    return 1;
}

ov_callbacks EngineStreamCallbacks()
{
    ov_callbacks callbacks;
    callbacks.read_func = OggReadCallback;
    callbacks.seek_func = OggSeekCallback;
    callbacks.close_func = OggCloseCallback;
    callbacks.tell_func = OggTellCallback;
    return callbacks;
}
