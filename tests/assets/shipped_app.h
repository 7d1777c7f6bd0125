#pragma once
// An application that reads the data the build shipped beside the program, at one resolution:
// the common pack and the screen pack the game would open there, its image and UI folders, a
// sprite list and a style sheet, as the game's start-up leaves them.
#include <string>
#include <vector>

#include "engine/core/main_window.h"
#include "engine/core/zip_pack.h"
#include "engine/graphics/font_manager.h"
#include "engine/graphics/resource_list.h"
#include "engine/graphics/surface.h"
#include "game/app/resource_folders.h"
#include "game/tables/display_mode.h"
#include "platform/files.h"
#include "tests/engine/graphics/image_fixtures.h"
#include "support/plain_app.h"

struct ShippedResolution {
    int width, height;
};
inline const std::vector<ShippedResolution> kShippedResolutions = {
    {640, 480}, {800, 480}, {320, 240}, {400, 240}, {320, 320}, {240, 240}};

inline std::string ShippedName(const ShippedResolution& r)
{
    return std::to_string(r.width) + "x" + std::to_string(r.height);
}

// The host folder of the packs; the staging tree lies below it.
inline std::string ProgramFolder()
{
    return KELO_DATA_DIR;
}

class ShippedApp : public PlainApp {
public:
    ShippedApp(int width, int height) : width_(width), height_(height)
    {
        // Widgets reach the application through the global, as in the game.
        SetApplication(this);
        g_application = this;
        packsEnabled_ = true;
        singlePackMode_ = false;  // the game asks the common pack, then the screen pack
        mode_ = DisplayModeOf(width, height);
        firstPack_ = OpenPack(CommonPakName());
        secondPack_ = OpenPack(ScreenPakName(mode_));
        CreateScreenSurface(width, height, 0, 0);
    }
    ~ShippedApp() override
    {
        if (g_application == this)
            g_application = nullptr;
        sprites.Clear();
        delete styles;
    }

    bool PacksOpen() const { return firstPack_ && secondPack_; }
    String GetExeDirectory() override { return String((hostpath::FromHost(ProgramFolder()) + "\\").c_str()); }
    String GetImageFolder() override { return Folder(ImageFolderName(width_, height_)); }
    String GetUiFolder() override { return Folder(UiFolderName(mode_)); }
    String GetCommonPackName() override { return String(CommonPakName()); }
    String GetScreenPackName() override { return String(ScreenPakName(mode_)); }
    ResourceList* GetSpriteList() override { return &sprites; }
    FontManager* GetFontManager() override { return styles; }

    // The three sprite scripts, in the game's order.
    bool LoadSpriteScripts()
    {
        for (const char* script : {"ui\\sprites.txt", "ui\\sprite_atlases.txt", "ui\\game_sprites.txt"})
            if (LoadSpriteScript(this, Folder(script).CStr()).failed())
                return false;
        return true;
    }
    // The style sheet with its fonts built and styles resolved, as the game's start-up has them.
    LoadResult LoadStyles() override
    {
        delete styles;
        styles = new FontManager(this);
        String path;
        String::Concat(path, GetUiFolder(), String("styles.txt"));
        LoadResult why = styles->Load(path.CStr());
        if (why.ok())
            why = styles->BuildFonts();
        if (why.ok())
            styles->ResolveStyleFonts();
        return why;
    }
    bool LoadLanguageTable() { return CreateLanguageTable(Path("Languages\\kelo.csv").c_str()).ok(); }
    std::string Path(const std::string& below) { return std::string(GetExeDirectory().CStr()) + below; }
    String Folder(const char* below) { return String(Path(below).c_str()); }

    ResourceList sprites{this, 40};
    FontManager* styles = nullptr;

private:
    ZipPack* OpenPack(const char* name)
    {
        ZipPack* pack = new ZipPack(this);
        if (pack->Open(Path(name).c_str()).value != kPackOk) {
            delete pack;
            return nullptr;
        }
        return pack;
    }

    int width_, height_, mode_;
};

// A 5:6:5 surface written out as an 8-bit RGB PNG.
inline bool WriteScreenPng(Surface* screen, const std::string& path)
{
    int w = screen->GetWidth(), h = screen->GetHeight();
    const uint16_t* pixels = screen->GetPixels();
    auto samples = fixtures::Fill(w, h, 3, [&](int x, int y, unsigned char* p) {
        uint16_t v = pixels[y * screen->GetRawWidth() + x];
        p[0] = static_cast<unsigned char>(((v >> 11) & 31) * 255 / 31);
        p[1] = static_cast<unsigned char>(((v >> 5) & 63) * 255 / 63);
        p[2] = static_cast<unsigned char>((v & 31) * 255 / 31);
    });
    return fixtures::WritePng(path, w, h, PNG_COLOR_TYPE_RGB, 8, samples);
}
