#pragma once
// The game application over the shipped packs at one resolution, as its start-up leaves it, for
// the captures that draw board pieces and whole maps.
#include <string>

#include "engine/graphics/trig_table.h"
#include "game/app/game_app.h"
#include "game/play/curve_file.h"
#include "shipped_app.h"

// The game application over the shipped packs at one resolution, as its start-up leaves it.
class BoardLookApp : public GameApp {
public:
    BoardLookApp(int width, int height)
    {
        packsEnabled_ = true;
        singlePackMode_ = false;
        int mode = DisplayModeOf(width, height);
        firstPack_ = OpenPack(CommonPakName());
        secondPack_ = OpenPack(ScreenPakName(mode));
        CreateScreenSurface(width, height, 0, 0);
        ApplyLayout(width, height);
        renderer_ = new TrigTable(this, 5760);
        renderer_->Build();
        spriteList_ = new ResourceList(this, 40);
    }
    String GetExeDirectory() override { return String((hostpath::FromHost(ProgramFolder()) + "\\").c_str()); }
    bool Ready() { return firstPack_ && secondPack_ && LoadSpriteScripts().ok(); }
    Font* MainFont()
    {
        if (LoadStyles().failed() || styleSheet_->BuildFonts().failed())
            return nullptr;
        styleSheet_->ResolveStyleFonts();
        return styleSheet_->GetFontEntry(1)->font;
    }
    // The small letters the board writes its caption and score in; MainFont builds the fonts.
    Font* SmallFont() { return MainFont() ? styleSheet_->GetFontEntry(0)->font : nullptr; }

private:
    ZipPack* OpenPack(const char* name)
    {
        auto* pack = new ZipPack(this);
        if (pack->Open((std::string(GetExeDirectory().CStr()) + name).c_str()).value != kPackOk) {
            delete pack;
            return nullptr;
        }
        return pack;
    }
};

inline FixedVec2 Design(const DesignMapping& mapping, float x, float y)
{
    MapDesignPoint(mapping, x, y);
    return FixedVec2(Fixed::FromDouble(x), Fixed::FromDouble(y));
}
