#pragma once
// Builds ZIP packs byte by byte, so tests can make exactly the damage they want.
#include <zlib.h>

#include <string>
#include <vector>

#include "file_fixtures.h"

struct PackEntry {
    std::string name;
    Bytes data;
    uint16_t method = 0;
    // Overrides of what the headers claim; -1 keeps the true value.
    int64_t centralCompressed = -1;
    int64_t centralSize = -1;
    int64_t localCompressed = -1;
    int64_t localOffset = -1;
    uint32_t centralSignature = 0x02014B50;
    uint32_t localSignature = 0x04034B50;
    // Deflate without the final block, so inflate ends with Z_BUF_ERROR.
    bool unfinished = false;
};

inline Bytes RawDeflate(const Bytes& data, bool finish = true)
{
    z_stream z{};
    deflateInit2(&z, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    Bytes out(deflateBound(&z, data.size()) + 16);
    z.next_in = const_cast<Bytef*>(data.data());
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, finish ? Z_FINISH : Z_SYNC_FLUSH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

struct PackImage {
    std::vector<PackEntry> entries;
    std::string comment;
    // Overrides of the end record; -1 keeps the true value.
    int64_t endCount = -1;
    int64_t endDirectorySize = -1;

    Bytes Build() const
    {
        Bytes file;
        std::vector<uint32_t> offsets;
        std::vector<Bytes> packed;
        for (const PackEntry& e : entries) {
            Bytes body = e.method == 8 ? RawDeflate(e.data, !e.unfinished) : e.data;
            offsets.push_back(static_cast<uint32_t>(file.size()));
            PutLe32(file, e.localSignature);
            PutLe16(file, 20);
            PutLe16(file, 0);
            PutLe16(file, e.method);
            PutLe32(file, 0);
            PutLe32(file, static_cast<uint32_t>(crc32(0, e.data.data(), static_cast<uInt>(e.data.size()))));
            PutLe32(file, static_cast<uint32_t>(e.localCompressed >= 0 ? e.localCompressed : body.size()));
            PutLe32(file, static_cast<uint32_t>(e.data.size()));
            PutLe16(file, static_cast<uint16_t>(e.name.size()));
            PutLe16(file, 0);
            file.insert(file.end(), e.name.begin(), e.name.end());
            file.insert(file.end(), body.begin(), body.end());
            packed.push_back(body);
        }
        size_t directoryStart = file.size();
        for (size_t i = 0; i < entries.size(); ++i) {
            const PackEntry& e = entries[i];
            PutLe32(file, e.centralSignature);
            PutLe16(file, 20);
            PutLe16(file, 20);
            PutLe16(file, 0);
            PutLe16(file, e.method);
            PutLe32(file, 0);
            PutLe32(file, static_cast<uint32_t>(crc32(0, e.data.data(), static_cast<uInt>(e.data.size()))));
            PutLe32(file, static_cast<uint32_t>(e.centralCompressed >= 0 ? e.centralCompressed : packed[i].size()));
            PutLe32(file, static_cast<uint32_t>(e.centralSize >= 0 ? e.centralSize : e.data.size()));
            PutLe16(file, static_cast<uint16_t>(e.name.size()));
            PutLe16(file, 0);
            PutLe16(file, 0);
            PutLe16(file, 0);
            PutLe16(file, 0);
            PutLe32(file, 0);
            PutLe32(file, static_cast<uint32_t>(e.localOffset >= 0 ? e.localOffset : offsets[i]));
            file.insert(file.end(), e.name.begin(), e.name.end());
        }
        uint32_t directorySize = static_cast<uint32_t>(file.size() - directoryStart);
        uint16_t count = static_cast<uint16_t>(endCount >= 0 ? endCount : entries.size());
        PutLe32(file, 0x06054B50);
        PutLe16(file, 0);
        PutLe16(file, 0);
        PutLe16(file, count);
        PutLe16(file, count);
        PutLe32(file, static_cast<uint32_t>(endDirectorySize >= 0 ? endDirectorySize : directorySize));
        PutLe32(file, static_cast<uint32_t>(directoryStart));
        PutLe16(file, static_cast<uint16_t>(comment.size()));
        file.insert(file.end(), comment.begin(), comment.end());
        return file;
    }
};
