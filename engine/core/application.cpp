#include "engine/core/application.h"

#include <cstring>
#include <memory>

#include "engine/core/device_info.h"
#include "engine/core/display.h"
#include "engine/core/file_failures.h"
#include "engine/core/options_record.h"
#include "engine/core/owned_block.h"
#include "engine/core/record_store.h"
#include "engine/core/set_aside.h"
#include "engine/core/zip_pack.h"
#include "engine/graphics/surface.h"
#include "engine/sound/sound_manager.h"
#include "engine/ui/string_table.h"
#include "engine/ui/ui_layout.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/registry.h"

Application::Application() : Widget(nullptr, nullptr)
{
    stepClock_ = GetTickCount();
    companyName_.Assign("Tarvane");
    productName_.Assign("product");
    versionText_.Assign("0.01 ");
    softKeyQuirk_ = OemInfoContains("X1i") || OemInfoContains("X1a");
}

Application::~Application()
{
    DeleteAndNull(soundManager_);
    DeleteAndNull(firstBorder_);
    DeleteAndNull(secondBorder_);
    DeleteAndNull(screenSurface_);
    drawTarget_ = nullptr;
    DeleteAndNull(firstPack_);
    DeleteAndNull(secondPack_);
    DeleteAndNull(thirdPack_);
    for (Surface*& art : borderArt_)
        DeleteAndNull(art);
    DeleteAndNull(exitNormal_);
    DeleteAndNull(exitPressed_);
    DeleteAndNull(languageTable_);
    DeleteAndNull(options_);
    // The image list holds surfaces owned by their loaders; only the array is freed.
    imageList_.FreeStorage();
    for (int i = 0; i < resolutions_.Count(); ++i)
        delete static_cast<Resolution*>(resolutions_.At(i));
    resolutions_.FreeStorage();
    for (int i = 0; i < layoutDocuments_.Count(); ++i)
        delete static_cast<LayoutDocument*>(layoutDocuments_.At(i));
    layoutDocuments_.FreeStorage();
    // The widget part must not reach back into the application once it is gone.
    if (application_ == this)
        application_ = nullptr;
}

// The root: events end here.
bool Application::OnEvent(Widget*, int, const char*, int)
{
    return false;
}

bool Application::Init(int width, int height)
{
    areaWidth_ = width;
    areaHeight_ = height;

    if (rotationAllowed_ && width < height) {
        int32_t unset = -2;
        int32_t& word = options_ ? options_->rotation : unset;
        if (word == -2 || word == 0) {
            rotation_ = requestedRotation_;
            word = -2;
        } else if (optionsDefaultsUsed_) {
            rotation_ = requestedRotation_;
            word = rotation_;
        } else {
            rotation_ = word;
        }
        if (forceLandscape_ && rotation_ == 0)
            rotation_ = GetRotationFallback();
    } else {
        rotation_ = 0;
    }

    borderWidth_ = GetBorderWidth();
    borderHeight_ = GetBorderHeight();

    bool laidOut = false;
    if (rotation_ == 0)
        laidOut = ApplyLayout(width, height);
    else if (rotation_ == 1 || rotation_ == 2)
        laidOut = ApplyLayout(height, width);
    if (!laidOut) {
        initError_ = kInitBadRotation;
        return false;
    }

    if (!CreateScreenSurface(width, height, borderWidth_, borderHeight_)) {
        initError_ = kInitScreenSurface;
        return false;
    }
    if ((borderWidth_ > 0 || borderHeight_ > 0) && !CreateBorderSurfaces(width, height, borderWidth_, borderHeight_)) {
        initError_ = kInitBorderSurfaces;
        return false;
    }

    if (packsEnabled_) {
        auto openPack = [this](ZipPack*& slot, const String& name, int allocCode) -> bool {
            slot = new (std::nothrow) ZipPack(this);
            if (!slot) {
                initError_ = allocCode;
                return false;
            }
            String path;
            String::Concat(path, GetExeDirectory(), name);
            LoadedValue<int> opened = slot->Open(path.CStr());
            if (opened.value != kPackOk) {
                ReportLoadFailure("pack", opened.why, kCannotStart);
                DeleteAndNull(slot);
                initError_ = allocCode + 1;
                return false;
            }
            return true;
        };
        if (singlePackMode_) {
            if (!openPack(firstPack_, GetCommonPackName(), kInitSinglePackAlloc))
                return false;
        } else {
            if (!openPack(firstPack_, GetCommonPackName(), kInitFirstPackAlloc))
                return false;
            if (!openPack(secondPack_, GetScreenPackName(), kInitSecondPackAlloc))
                return false;
        }
    }

    if (!soundManager_) {
        CreateSoundManager();
        if (soundManager_) {
            BeforeSoundStart();
            if (soundManager_->Init() != 1) {
                DeleteAndNull(soundManager_);
            } else {
                soundManager_->EnableSfx(IsSoundOn());
                soundManager_->EnableMusic(IsMusicOn());
                soundManager_->SetSfxVolume(GetSoundVolume());
                soundManager_->SetMusicVolume(GetMusicVolume());
            }
        }
    }

    if (!DerivedCheck()) {
        initError_ = kInitDerivedCheck;
        return false;
    }

    modalWidget_ = nullptr;
    memset(keyLatch_, 0, sizeof keyLatch_);

    LoadResult why = LoadStyles();
    if (why.failed()) {
        ReportLoadFailure("styles", why, kCannotStart);
        initError_ = kInitStyles;
        return false;
    }
    why = LoadLanguage();
    if (why.failed()) {
        ReportLoadFailure("texts and fonts", why, kCannotStart);
        initError_ = kInitLanguage;
        return false;
    }
    why = LoadExitButton();
    if (why.failed()) {
        ReportLoadFailure("close button", why, kCannotStart);
        initError_ = kInitExitButton;
        return false;
    }
    initError_ = kInitOk;
    return true;
}

int Application::MapKey(int)
{
    return -1;
}

bool Application::ApplyLayout(int, int)
{
    return false;
}

bool Application::SetScreenRotation(int rotation)
{
    if (rotationAllowed_ && forceLandscape_ && rotation == 0)
        rotation = 1;
    requestedRotation_ = rotation;
    return true;
}

bool Application::IsSoundOn()
{
    return options_ && options_->soundOn && !options_->mute && !soundDisabled_;
}

bool Application::IsMusicOn()
{
    return options_ && options_->musicOn && !options_->mute && !soundDisabled_;
}

int Application::GetSoundVolume()
{
    return options_ ? options_->soundVolume : 0;
}

int Application::GetMusicVolume()
{
    return options_ ? options_->musicVolume : 0;
}

void Application::SetSoundVolume(int volume)
{
    if (options_)
        options_->soundVolume = volume;
    if (soundManager_)
        soundManager_->SetSfxVolume(volume);
}

void Application::SetMusicVolume(int volume)
{
    if (options_)
        options_->musicVolume = volume;
    if (soundManager_)
        soundManager_->SetMusicVolume(volume);
}

// The program's folder with its trailing backslash. The module path may be longer than the
// handheld's 256 characters, so the buffer grows until it fits.
String Application::GetExeDirectory()
{
    for (DWORD size = 256; size <= 65536; size *= 2) {
        OwnedBlock<char> buffer(static_cast<char*>(Alloc(size)));
        if (!buffer)
            return String();
        DWORD n = GetModuleFileName(nullptr, buffer.get(), size);
        if (n == 0)
            return String();
        if (n < size - 1) {
            char* cut = strrchr(buffer.get(), '\\');
            if (cut)
                cut[1] = 0;
            else
                buffer.get()[0] = 0;
            return String(buffer.get());
        }
    }
    return String();
}

void Application::EnsureDirectory(const char* path)
{
    if (!path)
        return;
    if (GetExeDirectory().Equals(path))
        return;
    size_t length = strlen(path);
    char* prefix = static_cast<char*>(Alloc(length + 1));
    if (!prefix)
        return;
    for (size_t i = 0; i < length; ++i) {
        if (path[i] != '\\' || i == 0)
            continue;
        memcpy(prefix, path, i);
        prefix[i] = 0;
        WIN32_FIND_DATA data;
        HANDLE find = FindFirstFile(prefix, &data);
        if (find != INVALID_HANDLE_VALUE)
            FindClose(find);
        else
            CreateDirectory(prefix, nullptr);
    }
    Free(prefix);
    CreateDirectory(path, nullptr);
}

bool Application::LoadOptions()
{
    if (!options_) {
        options_ = CreateOptionsRecord();
        if (!options_)
            return false;
    }
    options_->SetDefaults();
    String path = OptionsRecord::FilePath(this);
    LoadResult why = options_->Load(this);
    if (why.ok()) {
        optionsDefaultsUsed_ = false;
        // A word out of its range that is read tolerantly is said, the file's first only.
        if (options_->ToleratedWord()[0])
            ReportToleratedWord(path.CStr(), options_->ToleratedWord());
        return true;
    }
    options_->SetDefaults();
    optionsDefaultsUsed_ = true;
    // A file that is there but cannot be loaded (damaged, too large, no plain file, unreadable)
    // holds what the player saved: it is kept aside before anything is written in its place, and
    // where it cannot be, nothing is.
    if (StoreFileExists(path.CStr()) && !SetAsideDamaged(path.CStr(), why.Reason()))
        optionsUnwritable_ = true;
    return true;
}

bool Application::SaveOptions()
{
    return options_ && !optionsUnwritable_ ? options_->Save(this) : false;
}

bool Application::OnChar(int)
{
    return true;
}

int Application::GetLayoutId(int, int)
{
    return 0;
}

int Application::GetLayoutIdCached()
{
    if (layoutIdCache_ == 0 && screenSurface_)
        layoutIdCache_ = GetLayoutId(screenSurface_->GetWidth(), screenSurface_->GetHeight());
    return layoutIdCache_;
}

bool Application::AddSupportedResolution(int width, int height)
{
    std::unique_ptr<Resolution> record(new (std::nothrow) Resolution{width, height});
    if (!record || !resolutions_.Add(record.get()))
        return false;
    record.release();
    return true;
}

GameArea Application::FitGameArea(int screenWidth, int screenHeight) const
{
    GameArea area;
    area.screenWidth = screenWidth;
    area.screenHeight = screenHeight;
    auto unscaled = [&](const Resolution& r, int offsetX, int offsetY) {
        area.gameWidth = area.drawWidth = r.width;
        area.gameHeight = area.drawHeight = r.height;
        area.offsetX = offsetX;
        area.offsetY = offsetY;
        area.scaled = false;
        return area;
    };
    int count = resolutions_.Count();
    if (count == 0)
        return unscaled(Resolution{screenWidth, screenHeight}, 0, 0);
    auto at = [&](int i) -> const Resolution& { return *static_cast<const Resolution*>(resolutions_.At(i)); };

    for (int i = 0; i < count; ++i) {
        if (at(i).width == screenWidth && at(i).height == screenHeight)
            return unscaled(at(i), 0, 0);
    }

    // Same width or height, centred. When every such entry leaves a negative margin the search
    // goes on to the scaled fits.
    int best = -1;
    long long bestLeft = 0;
    for (int i = 0; i < count; ++i) {
        const Resolution& r = at(i);
        if (r.width != screenWidth && r.height != screenHeight)
            continue;
        long long left = (long long)(screenWidth - r.width) + (screenHeight - r.height);
        if (left >= 0 && (best < 0 || left < bestLeft)) {
            best = i;
            bestLeft = left;
        }
    }
    if (best >= 0)
        return unscaled(at(best), (screenWidth - at(best).width) >> 1, (screenHeight - at(best).height) >> 1);

    best = -1;
    long long bestDiff = 0;
    for (int i = 0; i < count; ++i) {
        const Resolution& r = at(i);
        if (r.height <= 0 || (long long)r.width * screenHeight / r.height != screenWidth)
            continue;
        long long diff = screenWidth > r.width ? screenWidth - r.width : r.width - screenWidth;
        if (best < 0 || diff < bestDiff) {
            best = i;
            bestDiff = diff;
        }
    }
    if (best >= 0) {
        area.gameWidth = at(best).width;
        area.gameHeight = at(best).height;
        area.offsetX = area.offsetY = 0;
        area.drawWidth = screenWidth;
        area.drawHeight = screenHeight;
        area.scaled = true;
        return area;
    }

    best = -1;
    long long bestLeftover = 0;
    int bestDrawW = 0, bestDrawH = 0;
    for (int i = 0; i < count; ++i) {
        const Resolution& r = at(i);
        if (r.width <= 0 || r.height <= 0)
            continue;
        double rw = double(screenWidth) / r.width;
        double rh = double(screenHeight) / r.height;
        int drawW, drawH;
        long long leftover;
        if (rw < rh) {
            drawW = screenWidth;
            drawH = static_cast<int>(r.height * rw);
            leftover = screenHeight - drawH;
        } else {
            drawW = static_cast<int>(r.width * rh);
            drawH = screenHeight;
            leftover = screenWidth - drawW;
        }
        if (best < 0 || leftover < bestLeftover) {
            best = i;
            bestLeftover = leftover;
            bestDrawW = drawW;
            bestDrawH = drawH;
        }
    }
    if (best < 0)
        return unscaled(Resolution{screenWidth, screenHeight}, 0, 0);
    area.gameWidth = at(best).width;
    area.gameHeight = at(best).height;
    area.offsetX = (screenWidth - bestDrawW) >> 1;
    area.offsetY = (screenHeight - bestDrawH) >> 1;
    area.drawWidth = bestDrawW;
    area.drawHeight = bestDrawH;
    area.scaled = true;
    return area;
}

String Application::ResolveSaveDirectory(const char* registryKey, const char* valueName)
{
    if (saveDirResolved_)
        return saveDirectory_;
    saveDirResolved_ = true;
    saveDirectory_ = GetExeDirectory();

    HKEY key = nullptr;
    if (RegOpenKeyEx(HKEY_CURRENT_USER, registryKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return saveDirectory_;
    // A value longer than the usual buffer is read whole into one of its size, never cut short.
    BYTE local[260];
    BYTE* value = local;
    DWORD capacity = sizeof local;
    DWORD size = capacity;
    DWORD type = 0;
    LONG result = RegQueryValueEx(key, valueName, nullptr, &type, value, &size);
    if (result == ERROR_MORE_DATA && size > capacity) {
        value = static_cast<BYTE*>(Alloc(size));
        capacity = size;
        result = value ? RegQueryValueEx(key, valueName, nullptr, &type, value, &size) : ERROR_NOT_ENOUGH_MEMORY;
    }
    RegCloseKey(key);
    String folderText;
    if (result == ERROR_SUCCESS && size <= capacity && size > 0) {
        value[capacity - 1] = 0;
        folderText.Assign(reinterpret_cast<const char*>(value));
    }
    if (value != local)
        Free(value);
    if (folderText.IsEmpty())
        return saveDirectory_;
    const char* folder = folderText.CStr();

    WIN32_FIND_DATA data;
    HANDLE find = FindFirstFile(folder, &data);
    if (find == INVALID_HANDLE_VALUE) {
        SetLastError(0);
        EnsureDirectory(folder);
        const DWORD error = GetLastError();
        find = FindFirstFile(folder, &data);
        if (find == INVALID_HANDLE_VALUE) {
            // The program's own folder keeps the saves, but the player is told where they went.
            ReportSaveFolderRefused(folder, error, saveDirectory_.CStr());
            return saveDirectory_;
        }
    }
    FindClose(find);
    String::Concat(saveDirectory_, String(folder), String("\\"));
    return saveDirectory_;
}

Surface* Application::CreateImage()
{
    std::unique_ptr<Surface> surface(new (std::nothrow) Surface(this));
    if (!surface || (imageListEnabled_ && !imageList_.Add(surface.get())))
        return nullptr;
    return surface.release();
}

void Application::GetDefaultDisplayProperties(DisplayProperties& out)
{
    out.width = 240;
    out.height = 320;
    out.xPitch = 2;
    out.yPitch = 480;
    out.bitsPerPixel = 16;
    out.formatFlags = 2;
}

void Application::RemoveFromImageList(const Surface* surface)
{
    if (!imageListEnabled_)
        return;
    int index = imageList_.IndexOf(surface);
    if (index >= 0)
        imageList_.RemoveAt(index);
}

bool Application::CreateScreenSurface(int width, int height, int borderWidth, int borderHeight)
{
    if (!screenSurface_) {
        screenSurface_ = new (std::nothrow) Surface(this);
        if (!screenSurface_)
            return false;
    }
    drawTarget_ = screenSurface_;
    int w = borderWidth > 0 ? width - 2 * borderWidth : width;
    int h = borderHeight > 0 ? height - 2 * borderHeight : height;
    if (!screenSurface_->Create(w, h))
        return false;
    screenSurface_->FreeAlpha();
    screenSurface_->Clear(0, 0, 0);
    return true;
}

bool Application::CreateBorderSurfaces(int width, int height, int borderWidth, int borderHeight)
{
    int w, h;
    BorderStripSize(width, height, borderWidth, borderHeight, &w, &h);
    for (Surface** slot : {&firstBorder_, &secondBorder_}) {
        if (!*slot) {
            *slot = new (std::nothrow) Surface(this);
            if (!*slot)
                return false;
        }
        if (!(*slot)->Create(w, h))
            return false;
        (*slot)->FreeAlpha();
        (*slot)->Clear(0, 0, 0);
    }
    return true;
}

LoadResult Application::CreateLanguageTable(const char* listFile)
{
    if (!languageTable_) {
        languageTable_ = new (std::nothrow) StringTable(this);
        if (!languageTable_)
            return LoadResult::Failed(listFile, "no memory left");
    }
    return languageTable_->Load(listFile, 200);
}

void Application::CreateSoundManager()
{
    soundManager_ = new (std::nothrow) SoundManager(this);
}

void Application::RequestQuit(int code)
{
    exitCode_ = code;
    quitRequested_ = true;
}
