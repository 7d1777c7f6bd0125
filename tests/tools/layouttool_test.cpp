#include <gtest/gtest.h>

#include "support/host_file.h"
#include "tools/tool_run.h"

namespace {

std::string Read(const std::string& path)
{
    std::vector<uint8_t> bytes = ReadHostFile(path);
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace

// Design units become each resolution's pixels: halves truncate toward zero, 240x240 takes 3/8,
// a position on the design area moves with the area, and an override replaces its key.
TEST(LayoutTool, MapsDesignUnitsToEveryResolution)
{
    ToolScratch scratch;
    std::string source = scratch.Write("keloui.txt",
                                       "root: \"root_x\"\n"
                                       "    child: \"img_x\"\n"
                                       "        area_position: 101, -7\n"
                                       "    end\n"
                                       "end\n"
                                       "image: \"img_x\"\n"
                                       "    size: 1, 75\n"
                                       "    [240x240] size: 1, 40\n"
                                       "    [!640x480,800x480] frame: 2\n"
                                       "end\n");
    ToolRun run = scratch.Run("layouttool", source + " " + scratch.Path("stage") + " " + scratch.Path("s") + " " +
                                                scratch.Path("s.d"));
    ASSERT_EQ(run.status, 0) << run.output;
    std::string vga = Read(scratch.Path("stage/ui/ui_vga/keloui.txt"));
    std::string wide = Read(scratch.Path("stage/ui/ui_800x480/keloui.txt"));
    std::string qvga = Read(scratch.Path("stage/ui/ui_qvga/keloui.txt"));
    std::string half_wide = Read(scratch.Path("stage/ui/ui_400x240/keloui.txt"));
    std::string square = Read(scratch.Path("stage/ui/ui_320x320/keloui.txt"));
    std::string tiny = Read(scratch.Path("stage/ui/ui_240x240/keloui.txt"));
    EXPECT_NE(vga.find("position: 101, -7\r\n"), std::string::npos) << vga;
    EXPECT_NE(wide.find("position: 181, -7\r\n"), std::string::npos) << wide;
    EXPECT_NE(qvga.find("position: 50, -3\r\n"), std::string::npos) << qvga;
    EXPECT_NE(half_wide.find("position: 90, -3\r\n"), std::string::npos) << half_wide;
    EXPECT_NE(square.find("position: 50, 37\r\n"), std::string::npos) << square;
    EXPECT_NE(tiny.find("position: 37, 28\r\n"), std::string::npos) << tiny;
    // A size below 2 is "automatic" and stays; 75 halves to 37.
    EXPECT_NE(qvga.find("size: 1, 37\r\n"), std::string::npos) << qvga;
    EXPECT_NE(tiny.find("size: 1, 15\r\n"), std::string::npos) << tiny;
    EXPECT_EQ(tiny.find("size: 1, 28"), std::string::npos) << tiny;
    EXPECT_EQ(vga.find("frame"), std::string::npos);
    EXPECT_NE(qvga.find("frame: 2"), std::string::npos);
}

TEST(LayoutTool, RejectsAChildThatNamesNoDescription)
{
    ToolScratch scratch;
    scratch.Write("part.txt",
                  "dialog: \"dlg_x\"\n"
                  "    child: \"btn_missing\"\n"
                  "    end\n"
                  "end\n");
    std::string source = scratch.Write("keloui.txt", "// the dialogs\ninclude \"part.txt\"\n");
    ToolRun run = scratch.Run("layouttool", source + " " + scratch.Path("stage") + " " + scratch.Path("s") + " " +
                                                scratch.Path("s.d"));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find(scratch.Path("part.txt") + ":2: no description named btn_missing"), std::string::npos)
        << run.output;
}
