#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <vector>

#include "engine/core/zip_pack.h"
#include "platform/files.h"
#include "support/host_file.h"
#include "support/plain_app.h"
#include "tools/tool_run.h"

namespace {

struct PackFixture {
    PackFixture()
    {
        mkdir(scratch.Path("stage").c_str(), 0755);
        mkdir(scratch.Path("stage/ui").c_str(), 0755);
        mkdir(scratch.Path("stage/ui/ui_vga").c_str(), 0755);
        mkdir(scratch.Path("stage/Sounds").c_str(), 0755);
    }
    ToolRun Pack(const std::string& out, const std::string& folders)
    {
        return scratch.Run("packwriter", scratch.Path(out) + " " + scratch.Path("stage") + " " + folders);
    }
    std::vector<uint8_t> Entry(ZipPack& pack, const char* name)
    {
        int index = -1;
        int32_t size = 0;
        if (pack.FindEntry(name, &index) != 1 || pack.GetEntrySize(index, &size) != 1)
            return {};
        std::vector<uint8_t> bytes(static_cast<size_t>(size));
        if (pack.ReadEntry(index, bytes.data()) != 1)
            return {};
        return bytes;
    }

    ToolScratch scratch;
    PlainApp app;
};

}  // namespace

TEST(PackWriter, PacksTheFoldersUnderTheGamesNamesAndReadsBack)
{
    PackFixture f;
    std::string layout(3000, 'x');
    f.scratch.Write("stage/ui/ui_vga/keloui.txt", layout);
    std::string ogg = "OggS fake sound body";
    f.scratch.Write("stage/Sounds/Pop.ogg", ogg);
    f.scratch.Write("stage/outside.txt", "not packed");
    ToolRun run = f.Pack("common.pak", "ui Sounds z_levels");
    ASSERT_EQ(run.status, 0) << run.output;

    ZipPack pack(&f.app);
    ASSERT_EQ(pack.Open(hostpath::FromHost(f.scratch.Path("common.pak")).c_str()).value, kPackOk);
    int count = 0;
    ASSERT_EQ(pack.GetEntryCount(&count), 1);
    EXPECT_EQ(count, 2);
    // Found with backslashes in their exact case, and in no other form.
    std::vector<uint8_t> text = f.Entry(pack, "ui\\ui_vga\\keloui.txt");
    EXPECT_EQ(std::string(text.begin(), text.end()), layout);
    std::vector<uint8_t> sound = f.Entry(pack, "Sounds\\Pop.ogg");
    EXPECT_EQ(std::string(sound.begin(), sound.end()), ogg);
    int index;
    EXPECT_EQ(pack.FindEntry("sounds\\pop.ogg", &index), 0);
    EXPECT_EQ(pack.FindEntry("ui/ui_vga/keloui.txt", &index), 0);
    EXPECT_EQ(pack.FindEntry("UI\\ui_vga\\keloui.txt", &index), 0);

    // Text is deflated, Ogg stored: the local headers say so and carry the sizes.
    std::vector<uint8_t> bytes = ReadHostFile(f.scratch.Path("common.pak"));
    ASSERT_GT(bytes.size(), 30u);
    auto le16 = [&](size_t at) { return bytes[at] | bytes[at + 1] << 8; };
    auto le32 = [&](size_t at) { return uint32_t(le16(at)) | uint32_t(le16(at + 2)) << 16; };
    size_t at = 0;
    std::vector<int> methods;
    while (le32(at) == 0x04034B50) {
        EXPECT_EQ(le16(at + 6) & 8, 0) << "no trailing data descriptor";
        methods.push_back(le16(at + 8));
        EXPECT_NE(le32(at + 22), 0u) << "size in the local header";
        at += 30 + le16(at + 26) + le16(at + 28) + le32(at + 18);
    }
    EXPECT_EQ(methods, (std::vector<int>{0, 8}));  // Sounds\Pop.ogg sorts before ui\...
    // No archive comment: the end record closes the file.
    EXPECT_EQ(le32(bytes.size() - 22), 0x06054B50u);

    // Same sources, same bytes.
    ASSERT_EQ(f.Pack("again.pak", "ui Sounds z_levels").status, 0);
    EXPECT_EQ(ReadHostFile(f.scratch.Path("again.pak")), bytes);
}

TEST(PackWriter, RefusesANameTooLongForTheGamesIndex)
{
    PackFixture f;
    // "ui/" + 125 bytes = 128 bytes; one fewer is still packed.
    std::string longName = std::string(124, 'a') + ".";
    f.scratch.Write("stage/ui/" + longName.substr(1), "fits");
    ASSERT_EQ(f.Pack("fits.pak", "ui").status, 0);
    f.scratch.Write("stage/ui/" + longName, "too long");
    ToolRun run = f.Pack("long.pak", "ui");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("longer than 127 bytes"), std::string::npos) << run.output;
    struct stat st;
    EXPECT_NE(stat(f.scratch.Path("long.pak").c_str(), &st), 0) << "no pack is left behind";
}
