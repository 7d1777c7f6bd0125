#pragma once
// The Vorbis decoder reads the engine's streams through these; the decoder never closes them.
#include <tremor/ivorbisfile.h>

#include <cstddef>

size_t OggReadCallback(void* buffer, size_t size, size_t count, void* stream);
int OggSeekCallback(void* stream, ogg_int64_t offset, int whence);
long OggTellCallback(void* stream);
int OggCloseCallback(void* stream);
ov_callbacks EngineStreamCallbacks();
