#include <zip.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "tools/packwriter/pack_entries.h"

namespace packwriter {

namespace {

// 1 January 2000, 00:00, in MS-DOS form: same sources give the same bytes.
constexpr zip_uint16_t kDosTime = 0;
constexpr zip_uint16_t kDosDate = ((2000 - 1980) << 9) | (1 << 5) | 1;

bool ReadWhole(const std::string& path, std::vector<unsigned char>& out)
{
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    unsigned char chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
        out.insert(out.end(), chunk, chunk + n);
    bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

}  // namespace

bool WritePack(const std::string& path, const std::vector<PackEntry>& entries, std::string& error)
{
    std::remove(path.c_str());
    int code = 0;
    zip_t* zip = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!zip) {
        error = path + ": cannot create the pack";
        return false;
    }
    // libzip reads the sources when the pack is closed, so the contents live until then.
    std::vector<std::vector<unsigned char>> contents(entries.size());
    auto fail = [&](const std::string& message) {
        error = message;
        zip_discard(zip);
        std::remove(path.c_str());
        return false;
    };
    for (size_t i = 0; i < entries.size(); ++i) {
        const PackEntry& entry = entries[i];
        if (entry.name.size() > kMaxEntryName)
            return fail(entry.path + ": entry name longer than 127 bytes: " + entry.name);
        if (!ReadWhole(entry.path, contents[i]))
            return fail(entry.path + ": cannot read");
        zip_source_t* source = zip_source_buffer(zip, contents[i].data(), contents[i].size(), 0);
        if (!source)
            return fail(entry.path + ": " + zip_strerror(zip));
        zip_int64_t index = zip_file_add(zip, entry.name.c_str(), source, ZIP_FL_ENC_RAW);
        if (index < 0) {
            zip_source_free(source);
            return fail(entry.path + ": " + zip_strerror(zip));
        }
        zip_uint64_t at = static_cast<zip_uint64_t>(index);
        if (zip_set_file_compression(zip, at, entry.stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 9) != 0 ||
            zip_file_set_dostime(zip, at, kDosTime, kDosDate, 0) != 0 ||
            zip_file_set_external_attributes(zip, at, 0, ZIP_OPSYS_DOS, 0) != 0)
            return fail(entry.path + ": " + zip_strerror(zip));
    }
    if (zip_close(zip) != 0)
        return fail(path + ": " + zip_strerror(zip));
    return true;
}

}  // namespace packwriter
