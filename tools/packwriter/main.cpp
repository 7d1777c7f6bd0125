// Writes one game pack from the staging tree:
//   packwriter <out.pak> <stage folder> <folder below the stage>...
// Entries are the files below the named folders, named by their paths below the stage.
#include <cstdio>
#include <string>
#include <vector>

#include "tools/packwriter/pack_entries.h"

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: packwriter <out.pak> <stage folder> <folder>...\n");
        return 2;
    }
    std::vector<std::string> folders(argv + 3, argv + argc);
    std::vector<packwriter::PackEntry> entries;
    std::string error;
    if (!packwriter::CollectEntries(argv[2], folders, entries, error) || !packwriter::WritePack(argv[1], entries, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    return 0;
}
