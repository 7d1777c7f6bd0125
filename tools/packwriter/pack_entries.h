#pragma once
// What goes into a pack: the files below the named folders of the staging tree, with their
// names as the game spells them, in one fixed order.
#include <string>
#include <vector>

namespace packwriter {

// Pack entry names are kept in a signed byte by the game's pack reader.
constexpr size_t kMaxEntryName = 127;

struct PackEntry {
    std::string name;  // '/'-separated, relative to the staging tree
    std::string path;  // host path of the file
    bool stored;       // already compressed (JPEG, PNG, Ogg): stored, else deflated
};

// Collects every regular file below stage/<folder> for each folder, sorted by name byte for byte.
// Fails (with a message in error) on a name longer than kMaxEntryName or a folder that cannot be read.
bool CollectEntries(const std::string& stage, const std::vector<std::string>& folders,
                    std::vector<PackEntry>& out, std::string& error);

bool IsStoredName(const std::string& name);

// Writes the pack: no comment, sizes in every local header, one fixed time, entries in order.
bool WritePack(const std::string& path, const std::vector<PackEntry>& entries, std::string& error);

}  // namespace packwriter
