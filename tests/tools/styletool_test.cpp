#include <gtest/gtest.h>

#include "tools/tool_run.h"

TEST(StyleTool, RejectsAStyleOfAnUnknownFontNamingFileAndLine)
{
    ToolScratch scratch;
    std::string source = scratch.Write("styles.txt",
                                       "font small\n"
                                       "    face DejaVuSans.ttf\n"
                                       "    size 640x480 12 800x480 12 320x240 8 400x240 8 320x320 8 240x240 8\n"
                                       "end\n"
                                       "font main\n"
                                       "    face DejaVuSans.ttf\n"
                                       "    size 640x480 16 800x480 16 320x240 9 400x240 9 320x320 9 240x240 9\n"
                                       "end\n"
                                       "style title\n"
                                       "    font heading\n"
                                       "end\n");
    ToolRun run = scratch.Run("styletool", source + " " + scratch.Path("stage") + " " + KELO_TOOLS_DIR +
                                               "/fontmaker /usr/share/fonts/truetype/dejavu " + scratch.Path("s") +
                                               " " + scratch.Path("s.d"));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find(source + ":10: no font named heading"), std::string::npos) << run.output;
}
