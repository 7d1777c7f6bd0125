#include "tools/packwriter/pack_entries.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace packwriter {

namespace fs = std::filesystem;

bool IsStoredName(const std::string& name)
{
    auto endsWith = [&](const char* suffix) {
        std::string s(suffix);
        return name.size() >= s.size() && name.compare(name.size() - s.size(), s.size(), s) == 0;
    };
    return endsWith(".jpg") || endsWith(".png") || endsWith(".ogg");
}

bool CollectEntries(const std::string& stage, const std::vector<std::string>& folders,
                    std::vector<PackEntry>& out, std::string& error)
{
    for (const std::string& folder : folders) {
        fs::path root = fs::path(stage) / folder;
        std::error_code ec;
        if (!fs::exists(root, ec))
            continue;  // a producer that has nothing for this pack yet
        for (fs::recursive_directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
            if (!it->is_regular_file())
                continue;
            std::string name = fs::relative(it->path(), stage, ec).generic_string();
            if (ec)
                break;
            if (name.size() > kMaxEntryName) {
                error = it->path().string() + ": entry name longer than 127 bytes: " + name;
                return false;
            }
            out.push_back({name, it->path().string(), IsStoredName(name)});
        }
        if (ec) {
            error = root.string() + ": " + ec.message();
            return false;
        }
    }
    std::sort(out.begin(), out.end(), [](const PackEntry& a, const PackEntry& b) { return a.name < b.name; });
    return true;
}

}  // namespace packwriter
