#include "engine/core/tell_player.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "engine/core/box_text.h"
#include "engine/core/file_failures.h"
#include "engine/core/load_result.h"
#include "platform/null/test_hooks.h"

namespace {

class Told : public ::testing::Test {
protected:
    void SetUp() override
    {
        ForgetWhatWasSaid();
        nullbackend::ClearMessageBoxes();
    }
    void TearDown() override
    {
        ForgetWhatWasSaid();
        nullbackend::ClearMessageBoxes();
    }
};

}  // namespace

// However many causes a run meets, and however often, each is said once: a map's forty pictures
// on every lap of its Next, a save written forty ways over and over.
TEST_F(Told, EachCauseIsSaidOnceHoweverOften)
{
    constexpr int kCauses = 40;
    testing::internal::CaptureStderr();
    for (int lap = 0; lap < 3; ++lap) {
        for (int i = 0; i < kCauses; ++i) {
            std::string picture = "i_800x480\\thumbs\\map" + std::to_string(i) + ".jpg";
            ReportLoadFailure("map's picture", LoadResult::Failed(picture.c_str(), "cut short"), kGoesOnWithout);
            std::string save = "\\tmp\\saves" + std::to_string(i) + "\\global.opt";
            ReportSaveFailure(save.c_str(), ERROR_DISK_FULL);
        }
    }
    std::string said = testing::internal::GetCapturedStderr();
    const std::vector<std::string>& boxes = nullbackend::MessageBoxes();
    EXPECT_EQ(boxes.size(), 2u * kCauses);
    EXPECT_EQ(std::set<std::string>(boxes.begin(), boxes.end()).size(), boxes.size()) << "a box came again";
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 2 * kCauses) << said;
}

// A name or text from a file reaches stderr and the box as text: what a terminal would act on, and
// what is no UTF-8, written out; UTF-8 itself kept.
TEST_F(Told, TextFromAFileIsSaidAsText)
{
    const char name[] = "AN\x1b]2;owned\x07N\r\n\x9b" "2J\xc2\x9b\x7f\xff Jos\xc3\xa9";
    testing::internal::CaptureStderr();
    TellPlayer("the saved adventure of %s cannot be continued", name);
    std::string said = testing::internal::GetCapturedStderr();
    const char shown[] = "AN\\x1b]2;owned\\x07N\\x0d\\x0a\\x9b2J\\xc2\\x9b\\x7f\\xff Jos\xc3\xa9";
    EXPECT_EQ(said, std::string("kelo: the saved adventure of ") + shown + " cannot be continued\n");
    ASSERT_EQ(nullbackend::MessageBoxes().size(), 1u);
    std::string box = nullbackend::MessageBoxes()[0];
    std::replace(box.begin(), box.end(), '\n', ' ');
    EXPECT_NE(box.find(shown), std::string::npos) << box;
}

// Lines fit the box and read back as the text: broken at spaces, a path too long for a line after
// a folder separator, a character counted once however many bytes it takes.
TEST(BoxText, LinesFitTheBoxAndReadAsTheText)
{
    std::string folder = "/home/" + std::string(30, 'a') + "/" + std::string(30, 'b') + "/" + std::string(30, 'c');
    std::string text = "the games left in play could not be read from saveresume.dat. It is kept in the folder " +
                       folder + " as saveresume.dat.bad, and a new one is begun: Jos\xc3\xa9's adventure goes on";
    char lines[kSaidBytes];
    LayOutForBox(text.c_str(), kBoxColumns, lines, sizeof lines);
    std::string laid = lines;
    std::string joined;
    size_t at = 0;
    while (at <= laid.size()) {
        size_t end = std::min(laid.find('\n', at), laid.size());
        std::string line = laid.substr(at, end - at);
        EXPECT_LE(line.size() - (line.find("\xc3\xa9") != std::string::npos), static_cast<size_t>(kBoxColumns))
            << line;
        // A line ends a word or a folder.
        EXPECT_TRUE(end == laid.size() || line.back() != ' ') << line;
        joined += line + (end < laid.size() && line.back() != '/' ? " " : "");
        at = end + 1;
    }
    std::string capital = text;
    capital[0] = 'T';
    EXPECT_EQ(joined, capital) << "a sentence begins";
    EXPECT_NE(laid.find(std::string(30, 'b').append("/\n")), std::string::npos) << "cut after a separator: " << laid;
}
