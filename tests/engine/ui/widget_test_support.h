#pragma once
// An application for the leaf widget tests: the UI test application with an image folder of its
// own, where the tests draw flat-coloured art, a sprite list, and optionally the made font with
// the styles "label" and "menu" and a language table.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/graphics/font_manager.h"
#include "engine/graphics/resource_list.h"
#include "engine/ui/string_table.h"
#include "engine/ui/ui_test_support.h"
#include "support/host_file.h"
#include "support/pixel_hash.h"
#include "tests/engine/graphics/image_fixtures.h"

struct Rgb {
    int r, g, b;
    uint16_t Packed() const { return uint16_t(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3)); }
};

class WidgetApp : public UiTestApp {
public:
    explicit WidgetApp(bool withFonts = false)
    {
        char pattern[] = "/tmp/kelo_widgets_XXXXXX";
        const char* made = mkdtemp(pattern);
        folder_ = made ? made : "/tmp";
        if (withFonts)
            LoadFonts();
    }
    ~WidgetApp() override
    {
        // The widgets release their sets into the list, so they go first.
        DeleteChildrenNow();
        sprites.Clear();
        if (folder_ != "/tmp")
            std::system(("rm -rf '" + folder_ + "'").c_str());
    }

    String GetImageFolder() override { return String((hostpath::FromHost(folder_) + "\\").c_str()); }
    ResourceList* GetSpriteList() override { return &sprites; }
    FontManager* GetFontManager() override { return fonts_ ? &fontManager_ : nullptr; }
    void SetVersion(const char* version, const char* date)
    {
        versionText_.Assign(version);
        buildDate_.Assign(date);
    }

    std::string Host(const std::string& name) const { return folder_ + "/" + name; }
    std::string Engine(const std::string& name) const { return hostpath::FromHost(Host(name)); }
    bool WriteText(const std::string& name, const std::string& text) const
    {
        return WriteHostFile(Host(name), text.data(), text.size());
    }
    // A sheet of frames side by side, each w x h and flat in its colour, opaque.
    bool WriteFrames(const std::string& name, int w, int h, const std::vector<Rgb>& colours) const
    {
        int count = static_cast<int>(colours.size());
        auto samples = fixtures::Fill(w * count, h, 3, [&](int x, int, unsigned char* p) {
            const Rgb& c = colours[size_t(x / w)];
            p[0] = static_cast<unsigned char>(c.r);
            p[1] = static_cast<unsigned char>(c.g);
            p[2] = static_cast<unsigned char>(c.b);
        });
        return fixtures::WritePng(Host(name), w * count, h, PNG_COLOR_TYPE_RGB, 8, samples);
    }
    bool LoadSprites(const std::string& script)
    {
        return WriteText("sprites.txt", script) && LoadSpriteScript(this, Engine("sprites.txt").c_str()).ok();
    }
    bool LoadLanguage(const std::string& csv)
    {
        return WriteText("kelo.csv", csv) && CreateLanguageTable(Engine("kelo.csv").c_str()).ok() &&
               GetLanguageTable()->SelectLanguage(0);
    }

    uint16_t Pixel(int x, int y) const { return screenSurface_->GetPixels()[y * screenSurface_->GetRawWidth() + x]; }
    uint64_t FrameHash() const
    {
        return PixelHash(screenSurface_->GetPixels(),
                         size_t(screenSurface_->GetRawWidth()) * size_t(screenSurface_->GetRawHeight()));
    }

    ResourceList sprites{this, 10};

private:
    void DeleteChildrenNow()
    {
        while (GetChildCount() > 0) {
            Widget* child = GetChild(GetChildCount() - 1);
            RemoveChild(child);
            delete child;
        }
    }
    void LoadFonts()
    {
        for (const char* ext : {".jpg", ".fdb"}) {
            std::string data = fixtures::ReadFile(std::string(KELO_TEST_FONTS) + "/sans16" + ext);
            WriteText(std::string("sans16") + ext, data);
        }
        WriteText("styles.txt", "font = sans\nfile = sans16.jpg\nend\n"
                                "style = label\nfont = sans\ncolor = 248, 248, 248\nend\n"
                                "style = menu\nfont = sans\ncolor = 248, 200, 0\neffect = shadow\nend\n");
        fonts_ = fontManager_.Load(Engine("styles.txt").c_str()).ok() && fontManager_.BuildFonts().ok();
        fontManager_.ResolveStyleFonts();
    }

    std::string folder_;
    FontManager fontManager_{this};
    bool fonts_ = false;
};
