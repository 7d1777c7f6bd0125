#include "game/app/game_app.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "engine/graphics/font.h"
#include "engine/graphics/resource_list.h"
#include "engine/graphics/surface.h"
#include "engine/ui/image_widgets.h"
#include "game/app/profile_store.h"
#include "game/app/sound_bank.h"
#include "game/screens/loader_screen.h"
#include "platform/crt.h"
#include "support/host_file.h"

namespace fs = std::filesystem;

namespace {

std::string Handheld(std::string path)
{
    for (char& c : path)
        c = c == '/' ? '\\' : c;
    return path + "\\";
}

std::string Ending(const String& text)
{
    std::string s = text.CStr() ? text.CStr() : "";
    size_t cut = s.rfind('\\', s.size() - 2);
    return cut == std::string::npos ? s : s.substr(cut + 1);
}

// The save folder the registry names, for as long as the object lives.
class SaveFolder {
public:
    explicit SaveFolder(const std::string& folder)
    {
        const char* old = getenv("KELO_SAVE_DIR");
        had_ = old != nullptr;
        old_ = old ? old : "";
        setenv("KELO_SAVE_DIR", folder.c_str(), 1);
    }
    ~SaveFolder()
    {
        if (had_)
            setenv("KELO_SAVE_DIR", old_.c_str(), 1);
        else
            unsetenv("KELO_SAVE_DIR");
    }

private:
    bool had_;
    std::string old_;
};

// The game as the program runs it, with its program folder on a data folder and its saves in a
// scratch folder of the test's own (the registry's answer, which the destructor still sees).
class DataGameApp : public GameApp {
public:
    DataGameApp(const std::string& dataDir, const std::string& saveDir) : data_(Handheld(dataDir)), save_(saveDir) {}
    String GetExeDirectory() override { return String(data_.c_str()); }

private:
    std::string data_;
    SaveFolder save_;
};

class Scratch {
public:
    Scratch()
    {
        char pattern[] = "/tmp/kelo_gameapp_XXXXXX";
        const char* made = mkdtemp(pattern);
        folder = made ? made : "/tmp";
    }
    ~Scratch() { fs::remove_all(folder); }
    std::string folder;
};

std::unique_ptr<DataGameApp> Started(const std::string& data, const std::string& save, int w, int h, bool expectOk = true)
{
    auto app = std::make_unique<DataGameApp>(data, save);
    app->SetApplication(app.get());
    app->LoadOptions();
    bool ok = app->Init(w, h);
    EXPECT_EQ(ok, expectOk) << w << "x" << h << " error " << app->GetInitError();
    return app;
}

// A copy of the build's staging tree with one change, packed by the build's own pack writer.
std::string PackedVariant(const Scratch& scratch, void (*change)(const fs::path& stage))
{
    fs::path stage = fs::path(scratch.folder) / "stage";
    fs::copy(fs::path(KELO_DATA_DIR) / "stage", stage, fs::copy_options::recursive);
    change(stage);
    fs::path out = fs::path(scratch.folder) / "data";
    fs::create_directories(out);
    struct Pack {
        const char* file;
        const char* folders;
    } packs[] = {{"_game_common.pak", "ui Languages"}, {"_game_800x480.pak", "i_800x480"}};
    for (const Pack& pack : packs) {
        std::string command = std::string(KELO_TOOLS_DIR) + "/packwriter '" + (out / pack.file).string() + "' '" +
                              stage.string() + "' " + pack.folders;
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
    }
    return out.string();
}

}  // namespace

TEST(GameAppStart, EverySizeFindsItsFoldersPacksAndFonts)
{
    struct Row {
        int w, h;
        const char *ui, *images, *pack;
        int mainSpace, smallSpace;
    } rows[] = {
        {800, 480, "ui_800x480\\", "i_800x480\\", "_game_800x480.pak", 8, -1},
        {640, 480, "ui_vga\\", "i_VGA\\", "_game_640x480.pak", 8, -1},
        {320, 320, "ui_320x320\\", "i_320x320\\", "_game_320x320.pak", 3, 3},
        {400, 240, "ui_400x240\\", "i_400x240\\", "_game_400x240.pak", 3, 3},
        {320, 240, "ui_qvga\\", "i_QVGA\\", "_game_320x240.pak", 3, 3},
        {240, 240, "ui_240x240\\", "i_240x240\\", "_game_240x240.pak", 3, 3},
        {480, 640, "ui_vga\\", "i_VGA\\", "_game_640x480.pak", 8, -1},  // turned to landscape
        {1024, 600, "ui_320x320\\", "i_VGA\\", "_game_640x480.pak", 8, -1},  // no set of its own
    };
    for (const Row& row : rows) {
        Scratch save;
        auto app = Started(KELO_DATA_DIR, save.folder, row.w, row.h);
        if (app->GetInitError() != kInitOk)
            continue;
        SCOPED_TRACE(std::to_string(row.w) + "x" + std::to_string(row.h));
        EXPECT_EQ(Ending(app->GetUiFolder()), row.ui);
        EXPECT_EQ(Ending(app->GetImageFolder()), row.images);
        EXPECT_STREQ(app->GetScreenPackName().CStr(), row.pack);
        EXPECT_EQ(Ending(app->GetSoundFolder()), "Sounds\\");
        EXPECT_EQ(Ending(app->GetLevelsFolder()), "z_levels\\");
        ASSERT_NE(app->GetMainFont(), nullptr);
        ASSERT_NE(app->GetSmallFont(), nullptr);
        EXPECT_NE(app->GetMainFont(), app->GetSmallFont());
        EXPECT_EQ(app->GetDebugFont(), app->GetSmallFont());
        EXPECT_EQ(app->GetMainFont()->GetSpaceWidth(), row.mainSpace);
        if (row.smallSpace >= 0) {
            EXPECT_EQ(app->GetSmallFont()->GetSpaceWidth(), row.smallSpace);
            int lead[2], width[2], trail[2];
            app->GetSmallFont()->GetGlyph(33, &lead[0], &width[0], &trail[0]);
            app->GetSmallFont()->GetGlyph(161, &lead[1], &width[1], &trail[1]);
            EXPECT_EQ(width[1], width[0]);
            EXPECT_EQ(lead[1], lead[0]);
        }
        EXPECT_EQ(app->GetLevelTables().maps.Count(), 22);
        EXPECT_EQ(app->GetLevelTables().adventure.Count(), 76);
        EXPECT_EQ(app->GetLevelTables().gauntlet.Count(), 30);
        EXPECT_EQ(app->GetLevelTables().dual.Count(), 24);
        EXPECT_EQ(app->GetSoundBank()->Count(), kSoundBankSize);
        EXPECT_NE(app->GetPendingExitImage(0), nullptr);
        EXPECT_NE(app->GetPendingExitImage(1), nullptr);
        EXPECT_NE(app->GetSpriteList()->GetCount(), 0);
        EXPECT_NE(app->GetRenderer(), nullptr);
    }
}

TEST(GameAppStart, StageOffsetsComeFromTheSeededSource)
{
    Scratch save;
    crt::srand(1234);
    auto app = Started(KELO_DATA_DIR, save.folder, 800, 480);
    // A first start draws the default high-score names (one pool name per practice place and per
    // empty survival place), then the 21 offsets.
    crt::srand(1234);
    for (int i = 0; i < 22 * 3 + 3; ++i)
        crt::rand();
    for (int i = 0; i < kStageOffsetCount; ++i)
        EXPECT_EQ(app->GetStageOffset(i), crt::rand() % 4 - 2) << i;
    EXPECT_TRUE(app->GetProfiles()->defaultNamesFilled);
}

TEST(GameAppStart, EndingWritesTheOptionsThatTheNextStartReads)
{
    Scratch save;
    {
        auto app = Started(KELO_DATA_DIR, save.folder, 640, 480);
        ProfileStore* profiles = app->GetProfiles();
        ASSERT_EQ(profiles->AddPlayer(), 0);
        profiles->SetPlayerName(0, String("Ixchel"));
        profiles->graphicsQuality = 2;
    }
    struct stat info {};
    ASSERT_EQ(stat((save.folder + "/global.opt").c_str(), &info), 0);
    EXPECT_EQ(info.st_size, 5749);
    auto again = Started(KELO_DATA_DIR, save.folder, 640, 480);
    EXPECT_FALSE(again->OptionsDefaultsUsed());
    String name;
    again->GetProfiles()->GetPlayerName(0, name);
    EXPECT_STREQ(name.CStr(), "Ixchel");
    EXPECT_EQ(again->GetProfiles()->graphicsQuality, 2);
}

TEST(GameAppStart, MissingDataFailsWithItsCode)
{
    {
        Scratch scratch, save;
        std::string data = PackedVariant(scratch, [](const fs::path& stage) {
            // A style sheet of one font: the game needs a small and a main one.
            fs::path styles = stage / "ui" / "ui_800x480" / "styles.txt";
            std::ifstream in(styles);
            std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            size_t second = text.find("\nfont = ", text.find("\nfont = ") + 1);
            size_t style = text.find("\nstyle = ");
            ASSERT_NE(second, std::string::npos);
            ASSERT_NE(style, std::string::npos);
            std::ofstream(styles) << text.substr(0, std::min(second, style)) << text.substr(style);
        });
        auto app = Started(data, save.folder, 800, 480, false);
        EXPECT_EQ(app->GetInitError(), kInitLanguage);
    }
    {
        Scratch scratch, save;
        std::string data = PackedVariant(scratch, [](const fs::path& stage) {
            for (const char* file : {"exit_1.jpg", "exit_1_a.jpg", "exit_1.png"})
                fs::remove(stage / "i_800x480" / "ui" / file);
        });
        auto app = Started(data, save.folder, 800, 480, false);
        EXPECT_EQ(app->GetInitError(), kInitExitButton);
    }
}

// The shipped loader: the name's fade-in and the loading end together, so the channel is full
// when the menu is asked for, and every shipped set, effect and particle system loads.
TEST(GameAppStart, TheShippedLoaderFillsItsBarAsTheLastItemLoads)
{
    Scratch save;
    auto app = Started(KELO_DATA_DIR, save.folder, 800, 480);
    auto* loader = dynamic_cast<LoaderScreen*>(app->GetScreen(kSlotLoader));
    ASSERT_NE(loader, nullptr);
    ASSERT_NE(loader->GetBar(), nullptr);
    EXPECT_EQ(loader->GetTotalItems(), app->GetSpriteList()->GetCount() + kSoundBankSize);
    int frames = 0;
    while (!loader->IsScreenFadingOut() && !app->IsQuitRequested() && frames < 1000) {
        app->Update();
        ++frames;
    }
    EXPECT_FALSE(app->IsQuitRequested());
    ASSERT_TRUE(loader->IsScreenFadingOut());
    EXPECT_EQ(loader->GetBar()->GetValue(), 256);
    // Full no more than a few frames before the end: the fade-in covers the 132 frames added.
    EXPECT_GE(loader->GetFramesElapsed(), loader->GetExpectedFrames());
    EXPECT_LE(loader->GetFramesElapsed(), loader->GetExpectedFrames() + 4);
    EXPECT_NE(app->GetParticleManager(), nullptr);
}
