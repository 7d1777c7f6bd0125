#include "game/app/game_app.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "engine/core/file_failures.h"
#include "engine/core/record_store.h"
#include "engine/graphics/font.h"
#include "engine/graphics/font_manager.h"
#include "engine/graphics/image_loader.h"
#include "engine/graphics/particle_manager.h"
#include "engine/graphics/resource_entry.h"
#include "engine/graphics/resource_list.h"
#include "engine/graphics/surface.h"
#include "engine/graphics/trig_table.h"
#include "engine/sound/sound_manager.h"
#include "engine/ui/string_table.h"
#include "game/app/profile_store.h"
#include "game/app/resource_folders.h"
#include "game/app/sound_bank.h"
#include "game/tables/display_mode.h"

namespace {

constexpr int kRendererSteps = 5760;
constexpr int kSpriteListGrowStep = 40;
constexpr int kParticleGrowStep = 20;
const char* const kBallNames[6] = {"Ball1", "Ball2", "Ball3", "Ball4", "Ball5", "Ball6"};

constexpr const char* kVersion = "1.0";
// The words of the start menu's buttons.
const char* const kMenuTextKeys[] = {"STR_ADVENTURE", "STR_GAUNTLET", "STR_HELP", "STR_OPTIONS", "STR_QUIT"};

}  // namespace

String BuildDateText(const char* compilerDate)
{
    // The compiler's "Mmm dd yyyy" as yyyy-mm-dd; anything else is shown as it stands.
    static const char kMonths[] = "JanFebMarAprMayJunJulAugSepOctNovDec";
    String out;
    if (!compilerDate || std::strlen(compilerDate) != 11) {
        out.Assign(compilerDate);
        return out;
    }
    int month = 0;
    for (int i = 0; i < 12; ++i) {
        if (std::strncmp(compilerDate, kMonths + i * 3, 3) == 0)
            month = i + 1;
    }
    int day = (compilerDate[4] == ' ' ? 0 : compilerDate[4] - '0') * 10 + (compilerDate[5] - '0');
    if (month == 0 || day < 1 || day > 31) {
        out.Assign(compilerDate);
        return out;
    }
    out.Format("%.4s-%02d-%02d", compilerDate + 7, month, day);
    return out;
}

String Joined(const String& a, const char* b)
{
    String out;
    String::Concat(out, a, String(b));
    return out;
}

const char* GameApp::GetBallName(int colour)
{
    return colour >= 0 && colour < 6 ? kBallNames[colour] : nullptr;
}

int GameApp::Random(int n)
{
    return GameRandom(n);
}

GameApp::GameApp()
{
    SetFrameRate(33, true, false);
    for (const GameResolution& size : kGameResolutions)
        AddSupportedResolution(size.width, size.height);
    rotationAllowed_ = true;
    forceLandscape_ = true;
    imageListEnabled_ = true;
    backgroundFill_ = true;
    backgroundColour_[0] = backgroundColour_[1] = backgroundColour_[2] = 255;
    statistics_ = false;
    singlePackMode_ = false;
    // What the player loses with each save, for the messages about them.
    DescribeSaveFile("global.opt", "the players and options", "the game begins as on its first run, with no players");
    DescribeSaveFile("saveresume.dat", "the games left in play",
                     "each player's adventure goes on from the stage reached, and the boards left in play are lost");
    // The support dialog shows these.
    versionText_.Assign(kVersion);
    buildDate_ = BuildDateText(__DATE__);
}

GameApp::~GameApp()
{
    SaveResumeState();
    DestroyScreens();
    levelKeep_.Drop();
    SaveOptions();
    DeleteAndNull(resumeStore_);
    DeleteAndNull(particleManager_);
    DeleteAndNull(renderer_);
    for (Surface*& image : pendingExit_)
        DeleteAndNull(image);
    DeleteAndNull(styleSheet_);
    mainFont_ = nullptr;
    smallFont_ = nullptr;
    DeleteAndNull(spriteList_);
    DeleteAndNull(soundBank_);
    for (Surface*& image : quakeImages_)
        DeleteAndNull(image);
}

OptionsRecord* GameApp::CreateOptionsRecord()
{
    return new (std::nothrow) ProfileStore();
}

ProfileStore* GameApp::GetProfiles() const
{
    return static_cast<ProfileStore*>(GetOptions());
}

bool GameApp::Init(int width, int height)
{
    renderer_ = new (std::nothrow) TrigTable(this, kRendererSteps);
    if (!renderer_ || !renderer_->Build()) {
        TellPlayer("cannot make the tables of turned pictures: no memory left; %s.", kCannotStart);
        return false;
    }
    renderer_->SetDrawMode(2);

    if (!Application::Init(width, height))
        return false;

    ProfileStore* profiles = GetProfiles();
    if (profiles && !profiles->defaultNamesFilled)
        profiles->FillDefaultNames(Random);

    resumeStore_ = new (std::nothrow) SaveFileHolder(this);
    if (!resumeStore_) {
        TellPlayer("cannot make the store of saved games: no memory left; %s.", kCannotStart);
        return false;
    }
    String resumePath = Joined(GetSaveDirectory(), "saveresume.dat");
    resumeStore_->SetFile(resumePath.CStr(), nullptr);

    spriteList_ = new (std::nothrow) ResourceList(this, kSpriteListGrowStep);
    LoadResult why = spriteList_ ? LoadSpriteScripts() : LoadResult::Failed("ui\\sprites.txt", "no memory left");
    if (why.failed()) {
        ReportLoadFailure("sprite scripts", why, kCannotStart);
        return false;
    }

    soundBank_ = new (std::nothrow) SoundBank(this);
    if (!soundBank_ || !soundBank_->LoadTable()) {
        TellPlayer("cannot make the sound effects' table: no memory left; %s.", kCannotStart);
        return false;
    }

    if (!levelTables_.Build()) {
        TellPlayer("cannot make the tables of levels: no memory left; %s.", kCannotStart);
        return false;
    }

    for (int8_t& offset : stageOffsets_)
        offset = static_cast<int8_t>(Random(4) - 2);
    // A loader or menu that cannot be shown settles the run itself (the menu quits with 1).
    ShowLoader();
    return true;
}

bool GameApp::ApplyLayout(int width, int height)
{
    int code = GetLayoutId(width, height);
    LayoutTable::FillInts(layoutTable_, code);
    LayoutTable::FillFixed(layoutTable_, code);
    return true;
}

int GameApp::GetLayoutId(int width, int height)
{
    return DisplayModeOf(width, height);
}

int GameApp::LayoutInt(const Application* app, int index)
{
    auto* game = dynamic_cast<const GameApp*>(app);
    return game ? game->layoutTable_.ints[static_cast<size_t>(index)] : 0;
}

String GameApp::GetCommonPackName()
{
    return String(CommonPakName());
}

String GameApp::GetScreenPackName()
{
    Surface* screen = GetScreenSurface();
    int code = screen ? GetLayoutId(screen->GetWidth(), screen->GetHeight()) : kDisplayModeOther;
    return String(ScreenPakName(code));
}

String GameApp::GetUiFolder()
{
    if (uiFolderCache_.Length() > 0)
        return uiFolderCache_;
    // Until the screen surface exists the code is unknown, and nothing is cached.
    int code = GetLayoutIdCached();
    String folder = Joined(GetExeDirectory(), UiFolderName(code));
    if (code != 0)
        uiFolderCache_ = folder;
    return folder;
}

String GameApp::GetImageFolder()
{
    Surface* screen = GetScreenSurface();
    int width = screen ? screen->GetWidth() : 0, height = screen ? screen->GetHeight() : 0;
    return Joined(GetExeDirectory(), ImageFolderName(width, height));
}

String GameApp::GetImageUiFolder()
{
    return Joined(GetImageFolder(), "ui\\");
}

String GameApp::GetSoundFolder()
{
    return Joined(GetExeDirectory(), "Sounds\\");
}

String GameApp::GetLevelsFolder()
{
    return Joined(GetExeDirectory(), "z_levels\\");
}

String GameApp::GetSaveDirectory()
{
    return ResolveSaveDirectory("software\\Morvalent\\Kelo", "SaveDir");
}

int GameApp::GetRotationFallback()
{
    ProfileStore* profiles = GetProfiles();
    return profiles ? profiles->autoOrientation : 1;
}

LoadResult GameApp::LoadStyles()
{
    DeleteAndNull(styleSheet_);
    String path = Joined(GetUiFolder(), "styles.txt");
    styleSheet_ = new (std::nothrow) FontManager(this);
    if (!styleSheet_)
        return LoadResult::Failed(path.CStr(), "no memory left");
    return styleSheet_->Load(path.CStr());
}

LoadResult GameApp::LoadLanguage()
{
    String list = Joined(GetExeDirectory(), "Languages\\kelo.csv");
    LoadResult why = CreateLanguageTable(list.CStr());
    if (why.failed())
        return why;
    StringTable* table = GetLanguageTable();
    ProfileStore* profiles = GetProfiles();
    if (profiles) {
        // Taken as the first, and said when it is the first word of global.opt read so.
        if (profiles->language < 0 || profiles->language >= table->GetLanguageCount()) {
            if (profiles->NoteTolerated("the language %d is not in the table, taken as 0", profiles->language))
                ReportToleratedWord(OptionsRecord::FilePath(this).CStr(), profiles->ToleratedWord());
            profiles->language = 0;
        }
        table->SelectLanguage(profiles->language);
    }
    // A table that lacks a word of the start menu (it has no rows, or rows not the game's) would
    // leave the menu wordless: it is damaged.
    for (const char* key : kMenuTextKeys) {
        String text;
        if (table->Lookup(text, key).IsEmpty())
            return table->Refused("damaged: it gives no text for the start menu");
    }

    String styles = Joined(GetUiFolder(), "styles.txt");
    if (!styleSheet_)
        return LoadResult::Failed(styles.CStr(), "not loaded");
    why = styleSheet_->BuildFonts();
    if (why.failed())
        return why;
    FontEntry* small = styleSheet_->GetFontEntry(0);
    FontEntry* main = styleSheet_->GetFontEntry(1);
    smallFont_ = small ? small->font : nullptr;
    mainFont_ = main ? main->font : nullptr;
    if (!styleSheet_->GetDefaultFont() || !mainFont_ || !smallFont_)
        return LoadResult::Failed(styles.CStr(), "its small and main fonts cannot be loaded");
    styleSheet_->ResolveStyleFonts();

    Surface* screen = GetScreenSurface();
    if (screen && screen->GetHeight() < 480) {
        mainFont_->SetSpaceWidth(3);
        smallFont_->SetSpaceWidth(3);
        // The small font's inverted exclamation mark takes the plain one's place and width.
        int lead = 0, width = 0, trail = 0;
        smallFont_->GetGlyph(33, &lead, &width, &trail);
        smallFont_->SetGlyph(161, lead, width, trail);
    } else {
        mainFont_->SetSpaceWidth(8);
    }
    return LoadResult();
}

LoadResult GameApp::LoadExitButton()
{
    for (Surface*& image : pendingExit_)
        DeleteAndNull(image);
    DeleteAndNull(exitNormal_);
    DeleteAndNull(exitPressed_);
    String folder = GetImageUiFolder();
    static const char* const names[2] = {"exit_0", "exit_1"};
    for (int i = 0; i < 2; ++i) {
        String path = Joined(folder, names[i]);
        pendingExit_[i] = CreateImage();
        if (!pendingExit_[i])
            return LoadResult::Failed(path.CStr(), "no memory left");
        LoadResult why = LoadImage(this, path.CStr(), pendingExit_[i]).why;
        if (why.failed())
            return why;
    }
    return LoadResult();
}

LoadResult GameApp::LoadSpriteScripts()
{
    static const char* const scripts[3] = {"ui\\sprites.txt", "ui\\sprite_atlases.txt", "ui\\game_sprites.txt"};
    for (const char* script : scripts) {
        String path = Joined(GetExeDirectory(), script);
        LoadResult why = LoadSpriteScript(this, path.CStr());
        if (why.failed())
            return why;
    }
    return LoadResult();
}

bool GameApp::CreateParticleManager()
{
    DeleteAndNull(particleManager_);
    particleManager_ = new (std::nothrow) ParticleManager(this, renderer_, kParticleGrowStep);
    return particleManager_ != nullptr;
}

LoadResult GameApp::LoadMusic()
{
    String path = Joined(GetSoundFolder(), "Music\\kelo.s3m");
    SoundManagerBase* sound = GetSoundManager();
    if (!sound)
        return LoadResult::Failed(path.CStr(), "no sound service");
    return sound->LoadMusic(path.CStr()).why;
}

bool GameApp::AcquireSprite(ResourceEntry*& slot, const char* name)
{
    slot = nullptr;
    if (!spriteList_)
        return false;
    LoadedValue<ResourceEntry*> found = spriteList_->Require(name);
    LoadResult why = found.value ? found.value->Load() : found.why;
    // A set that did not load holds no reference, so the slot must not claim one.
    if (found.value && why.ok())
        slot = found.value;
    if (why.failed()) {
        if (!makingScreen_)
            TellOnce("sprite set", why);
        else if (spriteFailure_.ok())
            spriteFailure_ = why;
    }
    return slot != nullptr;
}

void GameApp::ReleaseSprite(ResourceEntry*& slot)
{
    if (slot)
        slot->Release();
    slot = nullptr;
}

void GameApp::DestroyScreens()
{
    for (Widget*& screen : screens_)
        DetachAndDeleteWidget(screen);
}
