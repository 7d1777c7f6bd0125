#include "engine/core/zip_pack.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/core/hash_name.h"
#include "engine/core/pack_memory_file.h"
#include "pack_builder.h"

namespace {

struct OpenPack {
    ScratchFolder folder;
    ZipPack pack{nullptr};

    int Open(const Bytes& image, const std::string& name = "test.pak")
    {
        WriteHostFile(folder.Host(name), image);
        return pack.Open(folder.Engine(name).c_str()).value;
    }

    // 1 with the entry's bytes, else the first failing code.
    int Read(const char* name, Bytes* out)
    {
        int index = -1;
        int found = pack.FindEntry(name, &index);
        if (found != kPackOk)
            return found;
        int32_t size = -1;
        int code = pack.GetEntrySize(index, &size);
        if (code != kPackOk)
            return code;
        out->assign(static_cast<size_t>(size) + 1, 0xEE);
        code = pack.ReadEntry(index, out->data());
        out->resize(static_cast<size_t>(size));
        return code;
    }
};

Bytes LayoutText()
{
    std::string text;
    for (int i = 1; i <= 60; ++i)
        text += "line " + std::to_string(i) + " of the layout: btn_sm_adventure = play\n";
    return Text(text);
}

Bytes PackFixture(const char* name)
{
    return ReadHostFile(std::string(KELO_TEST_DATA) + "/packs/" + name);
}

}  // namespace

TEST(HashName, TakesBytesAsSignedAndKeeps31Bits)
{
    EXPECT_EQ(HashName(""), 0u);
    EXPECT_EQ(HashName(nullptr), 0u);
    EXPECT_EQ(HashName("abc"), 0x6783u);
    // 0xE9 counts as -23: the high nibble folds back instead of giving 0xE9.
    EXPECT_EQ(HashName("\xe9"), 0x0FFFFF19u);
    EXPECT_EQ(HashName("ui\\keloui.txt", 2), HashName("ui"));
    for (const char* name : {"a_rather_long_sprite_name_for_the_folding_part.png", "\xff\xfe\x80"})
        EXPECT_EQ(HashName(name) & 0x80000000u, 0u) << name;
}

TEST(ZipPack, ReadsPacksOfTheZipToolAndOfPythonZipfile)
{
    for (const char* fixture : {"zip_tool.pak", "python_zipfile.pak"}) {
        SCOPED_TRACE(fixture);
        OpenPack p;
        Bytes image = PackFixture(fixture);
        ASSERT_FALSE(image.empty());
        ASSERT_EQ(p.Open(image), kPackOk);
        Bytes data;
        EXPECT_EQ(p.Read("hello.txt", &data), kPackOk);
        EXPECT_EQ(data, Text("hello pack"));
        EXPECT_EQ(p.Read("ui\\keloui.txt", &data), kPackOk);
        EXPECT_EQ(data, LayoutText());
        EXPECT_EQ(p.Read("Images\\noise.bin", &data), kPackOk);
        EXPECT_EQ(data.size(), 300u);
        EXPECT_EQ(p.Read("empty.txt", &data), kPackOk);
        EXPECT_TRUE(data.empty());
        // Only backslashes and the stored letter case find an entry.
        int index = -1;
        EXPECT_EQ(p.pack.FindEntry("ui/keloui.txt", &index), kPackNotFound);
        EXPECT_EQ(p.pack.FindEntry("UI\\keloui.txt", &index), kPackNotFound);
        EXPECT_EQ(p.pack.FindEntry("\\ui\\keloui.txt", &index), kPackNotFound);
    }
    OpenPack p;
    ASSERT_EQ(p.Open(PackFixture("python_zipfile.pak")), kPackOk);
    Bytes data;
    EXPECT_EQ(p.Read("caf\xc3\xa9.txt", &data), kPackOk);
    EXPECT_EQ(data, Text("a name with a byte above 127"));
    int count = 0;
    EXPECT_EQ(p.pack.GetEntryCount(&count), kPackOk);
    EXPECT_EQ(count, 5);
}

TEST(ZipPack, NamesDuplicatesAndLongNames)
{
    PackImage image;
    image.entries.push_back({.name = "Images/first.txt", .data = Text("first")});
    image.entries.push_back({.name = "Images/first.txt", .data = Text("second"), .method = 8});
    image.entries.push_back({.name = std::string(128, 'n'), .data = Text("too long")});
    image.entries.push_back({.name = std::string(127, 'm'), .data = Text("just fits")});
    OpenPack p;
    ASSERT_EQ(p.Open(image.Build()), kPackOk);
    Bytes data;
    EXPECT_EQ(p.Read("Images\\first.txt", &data), kPackOk);
    EXPECT_EQ(data, Text("first"));
    EXPECT_EQ(p.Read(std::string(128, 'n').c_str(), &data), kPackNotFound);
    EXPECT_EQ(p.Read(std::string(127, 'm').c_str(), &data), kPackOk);
    EXPECT_EQ(data, Text("just fits"));

    int count = 0;
    EXPECT_EQ(p.pack.GetEntryCount(&count), kPackOk);
    EXPECT_EQ(count, 4);
    char name[20];
    EXPECT_EQ(p.pack.GetEntryName(1, name, sizeof name), kPackOk);
    EXPECT_STREQ(name, "Images\\first.txt");
    EXPECT_EQ(p.pack.GetEntryName(1, name, 16), E_INVALIDARG);
    EXPECT_EQ(p.pack.GetEntryName(4, name, sizeof name), E_INVALIDARG);
    int32_t size = 0;
    EXPECT_EQ(p.pack.GetEntrySize(-1, &size), E_INVALIDARG);
    EXPECT_EQ(p.pack.GetEntrySize(0, nullptr), E_POINTER);
    EXPECT_EQ(p.pack.ReadEntry(0, nullptr), E_POINTER);
    EXPECT_EQ(p.pack.FindEntry(nullptr, &count), E_POINTER);
}

TEST(ZipPack, OpenFailuresAndAClosedPack)
{
    PackImage image;
    image.entries.push_back({.name = "a.txt", .data = Text("alpha")});
    OpenPack p;
    int index = 0;
    EXPECT_EQ(p.pack.FindEntry("a.txt", &index), kPackNotLoaded);
    EXPECT_EQ(p.pack.Close(), kPackBadData);

    image.comment = "made here";
    EXPECT_EQ(p.Open(image.Build()), kPackCannotOpen);
    EXPECT_EQ(p.Open(Bytes(21, 0)), kPackCannotOpen);
    EXPECT_EQ(p.pack.Open("").value, kPackCannotOpen);
    EXPECT_EQ(p.pack.Open(p.folder.Engine("missing.pak").c_str()).value, kPackCannotOpen);

    // A second Open starts from nothing: the first pack's names are gone.
    image.comment.clear();
    ASSERT_EQ(p.Open(image.Build(), "one.pak"), kPackOk);
    EXPECT_EQ(p.pack.FindEntry("a.txt", &index), kPackOk);
    EXPECT_EQ(p.pack.Close(), kPackOk);
    EXPECT_EQ(p.pack.FindEntry("a.txt", &index), kPackNotLoaded);
    PackImage other;
    other.entries.push_back({.name = "b.txt", .data = Text("beta")});
    ASSERT_EQ(p.Open(other.Build(), "two.pak"), kPackOk);
    EXPECT_EQ(p.pack.FindEntry("a.txt", &index), kPackNotFound);
    EXPECT_EQ(p.pack.FindEntry("b.txt", &index), kPackOk);

    PackImage empty;
    ASSERT_EQ(p.Open(empty.Build(), "empty.pak"), kPackOk);
    int count = 99;
    EXPECT_EQ(p.pack.GetEntryCount(&count), kPackNoEntries);
    EXPECT_EQ(count, 99);
    EXPECT_EQ(p.pack.FindEntry("b.txt", &index), kPackNotFound);
}

TEST(ZipPack, DeflatedEntryEndingAtTheBufferEnd)
{
    Bytes data = LayoutText();
    PackImage image;
    image.entries.push_back({.name = "finished", .data = data, .method = 8});
    image.entries.push_back({.name = "unfinished", .data = data, .method = 8, .unfinished = true});
    Bytes built = image.Build();
    OpenPack p;
    ASSERT_EQ(p.Open(built), kPackOk);
    Bytes out;
    EXPECT_EQ(p.Read("finished", &out), kPackOk);
    EXPECT_EQ(out, data);
    EXPECT_EQ(p.Read("unfinished", &out), kPackOk);
    EXPECT_EQ(out, data);
    // An entry that claims more than its stream gives is refused, not half-filled.
    PackImage shortImage;
    shortImage.entries.push_back({.name = "short", .data = data, .method = 8, .centralSize = static_cast<int64_t>(data.size()) + 10});
    OpenPack q;
    ASSERT_EQ(q.Open(shortImage.Build()), kPackOk);
    EXPECT_EQ(q.Read("short", &out), kPackBadData);
}

TEST(ZipPack, DamagedDirectoriesAndEntries)
{
    auto openCode = [](PackImage image) {
        OpenPack p;
        return p.Open(image.Build());
    };
    PackImage base;
    base.entries.push_back({.name = "a.txt", .data = Text("alpha")});
    base.entries.push_back({.name = "b.txt", .data = Text("beta beta beta beta"), .method = 8});

    PackImage wrongSignature = base;
    wrongSignature.entries[1].centralSignature = 0x12345678;
    EXPECT_EQ(openCode(wrongSignature), kPackBadData);
    PackImage tooMany = base;
    tooMany.endCount = 3;
    EXPECT_EQ(openCode(tooMany), kPackBadData);
    PackImage hugeDirectory = base;
    hugeDirectory.endDirectorySize = 0x7FFFFFF0;
    EXPECT_EQ(openCode(hugeDirectory), kPackCannotOpen);
    // A directory cut inside its last header.
    Bytes cut = base.Build();
    size_t endAt = cut.size() - 22;
    uint32_t size = cut[endAt + 12] | (cut[endAt + 13] << 8);
    cut[endAt + 12] = static_cast<uint8_t>(size - 3);
    {
        OpenPack p;
        EXPECT_EQ(p.Open(cut), kPackBadData);
    }

    auto readCode = [](PackImage image, const char* name) {
        OpenPack p;
        EXPECT_EQ(p.Open(image.Build()), kPackOk);
        Bytes out;
        return p.Read(name, &out);
    };
    PackImage badLocal = base;
    badLocal.entries[0].localSignature = 0;
    EXPECT_EQ(readCode(badLocal, "a.txt"), kPackBadData);
    EXPECT_EQ(readCode(badLocal, "b.txt"), kPackOk);
    PackImage storedMismatch = base;
    storedMismatch.entries[0].localCompressed = 4000;
    EXPECT_EQ(readCode(storedMismatch, "a.txt"), kPackBadData);
    PackImage centralMismatch = base;
    centralMismatch.entries[0].centralSize = 6;
    EXPECT_EQ(readCode(centralMismatch, "a.txt"), kPackBadData);
    PackImage bomb = base;
    bomb.entries[1].centralSize = 0x7FFFFFFF;
    EXPECT_EQ(readCode(bomb, "b.txt"), kPackBadData);
    PackImage farOffset = base;
    farOffset.entries[1].localOffset = 1 << 20;
    EXPECT_EQ(readCode(farOffset, "b.txt"), kPackBadData);
    PackImage pastEnd = base;
    pastEnd.entries[1].localCompressed = 1 << 20;
    EXPECT_EQ(readCode(pastEnd, "b.txt"), kPackBadData);
    PackImage otherMethod = base;
    otherMethod.entries[0].method = 12;
    EXPECT_EQ(readCode(otherMethod, "a.txt"), kPackBadMethod);
}

TEST(ZipPack, MapPackNameComparesTheFolder)
{
    OpenPack p;
    PackImage image;
    image.entries.push_back({.name = "ui/keloui.txt", .data = Text("layout")});
    ASSERT_EQ(p.Open(image.Build()), kPackOk);
    String folder;
    p.pack.GetFolder(folder);
    EXPECT_EQ(std::string(folder.CStr()), p.folder.EngineFolder());

    String mapped;
    MapPackName(mapped, &p.pack, (p.folder.EngineFolder() + "ui\\keloui.txt").c_str());
    EXPECT_STREQ(mapped.CStr(), "ui\\keloui.txt");
    std::string upper = p.folder.EngineFolder();
    for (char& c : upper)
        c = static_cast<char>(toupper(c));
    MapPackName(mapped, &p.pack, (upper + "ui\\keloui.txt").c_str());
    EXPECT_STREQ(mapped.CStr(), "ui\\keloui.txt");
    MapPackName(mapped, &p.pack, p.folder.EngineFolder().c_str());
    EXPECT_STREQ(mapped.CStr(), "no_file_found");
    std::string elsewhere = "\\elsewhere" + std::string(folder.Length(), 'x') + "\\ui\\keloui.txt";
    MapPackName(mapped, &p.pack, elsewhere.c_str());
    EXPECT_STREQ(mapped.CStr(), "no_file_found");
    int index = 0;
    EXPECT_EQ(p.pack.FindEntry(mapped.CStr(), &index), kPackNotFound);
}

TEST(PackMemoryFile, OpensFromThePacksInOrder)
{
    ScratchFolder folder;
    auto makePack = [&](const char* file, std::vector<std::pair<std::string, std::string>> entries) {
        PackImage image;
        for (auto& [name, text] : entries)
            image.entries.push_back({.name = name, .data = Text(text), .method = 8});
        WriteHostFile(folder.Host(file), image.Build());
        auto* pack = new ZipPack(nullptr);
        EXPECT_EQ(pack->Open(folder.Engine(file).c_str()).value, kPackOk);
        return pack;
    };
    auto read = [&](FileTestApp& app, const char* name) {
        PackMemoryFile file;
        if (!file.Open(&app, (folder.EngineFolder() + name).c_str(), kStreamRead))
            return std::string("<none>");
        return std::string(static_cast<char*>(file.GetBuffer()), static_cast<size_t>(file.GetSize()));
    };

    FileTestApp app;
    app.SetPacks(makePack("common.pak", {{"shared.txt", "common"}, {"only_common.txt", "c"}}),
                 makePack("screen.pak", {{"shared.txt", "screen"}, {"screen.txt", "s"}, {"both.txt", "screen"}}),
                 makePack("extra.pak", {{"extra.txt", "e"}, {"both.txt", "extra"}}), false);
    EXPECT_EQ(read(app, "shared.txt"), "common");
    EXPECT_EQ(read(app, "screen.txt"), "s");
    EXPECT_EQ(read(app, "both.txt"), "screen");
    EXPECT_EQ(read(app, "extra.txt"), "e");
    EXPECT_EQ(read(app, "nowhere.txt"), "<none>");

    FileTestApp single;
    single.SetPacks(makePack("common2.pak", {{"shared.txt", "common"}}), makePack("screen2.pak", {{"screen.txt", "s"}}),
                    makePack("extra2.pak", {{"extra.txt", "e"}}), true);
    EXPECT_EQ(read(single, "screen.txt"), "<none>");
    EXPECT_EQ(read(single, "extra.txt"), "e");

    // A missing pack ends the search; there is no fallback to the disk.
    WriteHostFile(folder.Host("loose.txt"), Text("disk"));
    FileTestApp gap;
    gap.SetPacks(makePack("common3.pak", {{"shared.txt", "common"}}), nullptr, nullptr, false);
    EXPECT_EQ(read(gap, "shared.txt"), "common");
    EXPECT_EQ(read(gap, "loose.txt"), "<none>");
    FileTestApp disk;
    disk.DisablePacks();
    EXPECT_EQ(read(disk, "loose.txt"), "disk");
}
