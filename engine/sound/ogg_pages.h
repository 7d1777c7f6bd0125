#pragma once
// Walks the pages of an Ogg file before the Vorbis decoder sees it. The decoder trusts page order
// and corrupts its own memory on some orders no encoder writes, so those files are refused here.
#include <cstdint>

class Stream;

// Null when every page is whole, checks out and keeps its link's order; otherwise why not. The
// stream is read from its start and left there.
const char* VetOggPages(Stream* stream);
