#include "scripted_game.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <new>
#include <sstream>
#include <thread>

#include "contact_sheet.h"
#include "engine/core/box_text.h"
#include "engine/core/display.h"
#include "engine/core/frame_shot.h"
#include "engine/core/main_window.h"
#include "engine/ui/button_widget.h"
#include "engine/ui/script_widget.h"
#include "engine/ui/text_widgets.h"
#include "game/app/game_screen.h"
#include "game/app/profile_store.h"
#include "game/play/gameplay_screen.h"
#include "platform/capture.h"
#include "platform/clock.h"
#include "platform/crt.h"
#include "platform/device.h"
#include "platform/null/sound_hooks.h"
#include "platform/null/test_hooks.h"
#include "platform/null/window_hooks.h"
#include "platform/window.h"
#include "tests/game/play/board_valid.h"
#include "tests/support/handheld_fixture.h"
#include "tests/support/pixel_hash.h"

// The program under test is the shipped one: its factory makes the real application.
Application* CreateApplication()
{
    return new (std::nothrow) GameApp();
}

const std::vector<FlowSize> kFlowSizes = {{800, 480}, {640, 480}, {320, 320}, {400, 240}, {320, 240}, {240, 240}};

std::string FlowSizeName(const FlowSize& size)
{
    return std::to_string(size.width) + "x" + std::to_string(size.height);
}

namespace {

int g_module;  // the program's instance handle points here

// 22050 Hz, 16-bit, mono: what the game's sound service opens the device with.
constexpr uint32_t kSoundBytesPerSecond = 22050 * 2;
constexpr int kMostCatchUp = 6;

std::string MakeTempFolder(bool inMemory = false)
{
    char pattern[] = "/tmp/kelo_flow_XXXXXX";
    char memoryPattern[] = "/dev/shm/kelo_flow_XXXXXX";
    const char* made = inMemory ? mkdtemp(memoryPattern) : nullptr;
    if (!made)
        made = mkdtemp(pattern);
    return made ? made : "";
}

// "Sizes/FirstStart" -> "first_start".
std::string RunningSuiteName()
{
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string suite = info ? info->test_suite_name() : "flow";
    size_t slash = suite.rfind('/');
    if (slash != std::string::npos)
        suite = suite.substr(slash + 1);
    std::string out;
    for (char c : suite) {
        if (std::isupper(static_cast<unsigned char>(c))) {
            if (!out.empty())
                out += '_';
            out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        } else {
            out += c;
        }
    }
    return out;
}

double WallSeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

long PeakResidentKb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return 0;
}

// Appends one line in a single write, so that flows running side by side do not mix their lines.
void AppendLine(const std::string& path, const std::string& line)
{
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (fd < 0)
        return;
    std::string text = line + "\n";
    ssize_t written = write(fd, text.data(), text.size());
    (void)written;
    close(fd);
}

std::string Text(const String& text)
{
    return text.CStr() ? text.CStr() : "";
}

bool Visible(Widget* widget)
{
    for (Widget* w = widget; w; w = w->GetParent()) {
        if (!w->IsVisible())
            return false;
    }
    return widget != nullptr;
}

std::vector<uint32_t> DecodeUtf8(const std::string& text)
{
    std::vector<uint32_t> out;
    for (size_t i = 0; i < text.size();) {
        auto byte = static_cast<unsigned char>(text[i]);
        int extra = byte < 0x80 ? 0 : byte >= 0xF0 ? 3 : byte >= 0xE0 ? 2 : byte >= 0xC0 ? 1 : -1;
        if (extra < 0 || (extra > 0 && i + static_cast<size_t>(extra) >= text.size())) {
            ++i;
            continue;
        }
        uint32_t cp = extra == 0 ? byte : byte & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k)
            cp = cp << 6 | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        out.push_back(cp);
        i += static_cast<size_t>(extra) + 1;
    }
    return out;
}

template <class Done>
bool WaitReal(Done done)
{
    for (int i = 0; i < 2500 && !done(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    return done();
}

}  // namespace

FlowFolder::FlowFolder(bool inMemory) : path_(MakeTempFolder(inMemory)) {}

FlowFolder::~FlowFolder()
{
    std::error_code ignored;
    if (!path_.empty())
        std::filesystem::remove_all(path_, ignored);
}

std::string FlowFolder::Read(const std::string& name) const
{
    std::ifstream in(path_ + "/" + name, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

bool FlowFolder::Write(const std::string& name, const std::string& bytes) const
{
    std::ofstream out(path_ + "/" + name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

ScriptedGame::ScriptedGame(int width, int height, std::string saveFolder)
    : flow_(RunningSuiteName()), width_(width), height_(height), saveFolder_(std::move(saveFolder))
{
    if (saveFolder_.empty()) {
        saveFolder_ = MakeTempFolder();
        ownsFolder_ = !saveFolder_.empty();
    }
}

ScriptedGame::~ScriptedGame()
{
    if (running_)
        EndProgram(MSG());
    nullbackend::WatchMessageBoxes(nullptr);
    for (const std::string& fault : boxFaults_)
        ADD_FAILURE() << fault;
    if (started_) {
        std::vector<std::string> boxes = MessageBoxes();
        EXPECT_TRUE(boxes.empty()) << "the program showed a message box no step answered: " << boxes.front();
        if (keepRecords_) {
            KeepSavedFiles();
            WriteFigures();
        }
    }
    SetRunOptions(RunOptions());
    SetDeviceProfile(DeviceProfile());
    nullbackend::ResetHandheld();
    nullbackend::ClearMessageBoxes();
    nullbackend::ClearCapturedSound();
    ResetHandheldGlobals();
    std::error_code ignored;
    if (ownsFolder_)
        std::filesystem::remove_all(saveFolder_, ignored);
}

std::string ScriptedGame::SizeName() const
{
    return FlowSizeName(FlowSize{width_, height_});
}

bool ScriptedGame::Start()
{
    if (started_ || saveFolder_.empty())
        return false;
    setenv("KELO_SAVE_DIR", saveFolder_.c_str(), 1);
    // A fresh handheld, as a new process finds it.
    DeviceProfile profile;
    profile.screenWidth = width_;
    profile.screenHeight = height_;
    profile.rawFrameBuffer = true;
    profile.minorVersion = 20;  // the system sends power notices
    SetRunOptions(RunOptions());
    SetDeviceProfile(profile);
    nullbackend::ResetHandheld();
    nullbackend::ClearMessageBoxes();
    nullbackend::ClearCapturedSound();
    ResetHandheldGlobals();
    nullbackend::SetClock(0);
    crt::srand(1);
    SetStringResource(102, "Kelo_Window");
    SetStringResource(103, "Kelo");
    startSeconds_ = WallSeconds();
    started_ = true;
    nullbackend::WatchMessageBoxes([this](const std::string& text) { CheckBox(text); });
    running_ = BeginRun(&g_module, SW_SHOW);
    ended_ = !running_;
    if (!running_)
        quitCode_ = ProcessExitStatus();
    return running_;
}

bool ScriptedGame::MenuAtRest() const
{
    GameScreen* screen = CurrentScreen();
    GameApp* app = App();
    return screen && app && screen == app->GetScreen(kSlotStartMenu) && !screen->IsScreenFading() &&
           OpenDialog() == nullptr && Shows("btn_sm_adventure");
}

bool ScriptedGame::ReachMenu(const std::string& firstName)
{
    auto entryOpen = [this] { return Shows("dlg_EditPlayer") && Shows("btnA"); };
    if (!WaitUntil([&] { return MenuAtRest() || entryOpen(); }, 2000))
        return false;
    if (entryOpen()) {
        Wait(12);
        Type(firstName);
        if (!TapWidget("btnPlayerOK"))
            return false;
    }
    return WaitUntil([this] { return MenuAtRest(); }, 300);
}

GameApp* ScriptedGame::App() const
{
    return running_ ? dynamic_cast<GameApp*>(g_application) : nullptr;
}

GameScreen* ScriptedGame::CurrentScreen() const
{
    GameApp* app = App();
    if (!app)
        return nullptr;
    for (int i = app->GetChildCount() - 1; i >= 0; --i) {
        if (GameScreen* screen = AsGameScreen(app->GetChild(i)))
            return screen;
    }
    return nullptr;
}

ScriptWidget* ScriptedGame::OpenDialog() const
{
    Widget* at = CurrentScreen();
    ScriptWidget* dialog = nullptr;
    while (at) {
        Widget* modal = at->FindModalChild();
        ScriptWidget* next = AsScriptWidget(modal);
        if (!next)
            break;
        dialog = next;
        at = next;
    }
    return dialog;
}

BoardScreen* ScriptedGame::Board() const
{
    GameApp* app = App();
    return app ? app->GetBoardScreen() : nullptr;
}

ProfileStore* ScriptedGame::Profiles() const
{
    GameApp* app = App();
    return app ? app->GetProfiles() : nullptr;
}

PlayerRecord* ScriptedGame::Player() const
{
    ProfileStore* profiles = Profiles();
    return profiles ? profiles->CurrentPlayer() : nullptr;
}

ScriptWidget* ScriptedGame::Find(const char* name) const
{
    if (ScriptWidget* dialog = OpenDialog()) {
        if (ScriptWidget* found = ScriptWidget::FindByName(dialog, name))
            return found;
    }
    GameScreen* screen = CurrentScreen();
    return screen ? ScriptWidget::FindByName(screen, name) : nullptr;
}

bool ScriptedGame::Shows(const char* name) const
{
    return Visible(Find(name));
}

std::string ScriptedGame::TextOf(const char* name) const
{
    ScriptWidget* widget = Find(name);
    if (!widget)
        return "";
    if (auto* text = dynamic_cast<TextWidget*>(widget))
        return Text(text->GetText());
    if (auto* button = dynamic_cast<ButtonWidget*>(widget))
        return Text(button->GetCaption());
    String caption;
    widget->GetCaptionText(caption);
    return Text(caption);
}

bool ScriptedGame::IsTicked(const char* name) const
{
    auto* box = dynamic_cast<CheckBoxWidget*>(Find(name));
    return box && box->IsChecked();
}

void ScriptedGame::CheckBox(const std::string& text)
{
    // Between start and end the box stands over the screen the player is on, drawn and still;
    // without one only as the run ends.
    GameScreen* screen = CurrentScreen();
    if (running_ && (screen ? screen->IsScreenFading() : !App()->IsQuitRequested()))
        boxFaults_.push_back("a box shown over " + std::string(screen ? "a fading screen" : "no screen") + ": " + text);
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        size_t columns = 0;
        for (char c : line)
            columns += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        if (columns > static_cast<size_t>(kBoxColumns))
            boxFaults_.push_back("a line of " + std::to_string(columns) + " columns in a box: " + line);
        if (std::any_of(line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }))
            boxFaults_.push_back("a control byte in a box: " + line);
    }
}

std::vector<std::string> ScriptedGame::MessageBoxes() const
{
    std::vector<std::string> boxes = nullbackend::MessageBoxes();
    for (std::string& box : boxes)
        std::replace(box.begin(), box.end(), '\n', ' ');
    return boxes;
}

std::vector<std::string> ScriptedGame::AnswerMessageBoxes()
{
    std::vector<std::string> boxes = MessageBoxes();
    nullbackend::ClearMessageBoxes();
    return boxes;
}

int ScriptedGame::FramePeriod() const
{
    GameApp* app = App();
    return app ? app->GetFrameInterval() : 30;
}

void ScriptedGame::RunFor(uint32_t milliseconds)
{
    DWORD end = GetTickCount() + milliseconds;
    while (running_) {
        bool queued = !nullbackend::QueuedMessages().empty() || nullbackend::IsQuitPosted();
        auto left = static_cast<int32_t>(end - GetTickCount());
        if (!queued) {
            if (left <= 0)
                break;
            // Nothing could come: a wait now would only end in the back end's give-up.
            if (nullbackend::TimerCount() == 0) {
                nullbackend::AdvanceClock(static_cast<DWORD>(left));
                break;
            }
        }
        MSG msg;
        if (!GetMessage(&msg, nullptr, 0, 0)) {
            EndProgram(msg);
            break;
        }
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
    if (!running_) {
        auto left = static_cast<int32_t>(end - GetTickCount());
        if (left > 0)
            nullbackend::AdvanceClock(static_cast<DWORD>(left));
    }
    PumpSound(milliseconds);
}

void ScriptedGame::PumpSound(uint32_t milliseconds)
{
    uint64_t scaled = static_cast<uint64_t>(milliseconds) * kSoundBytesPerSecond + soundRemainder_;
    soundRemainder_ = static_cast<uint32_t>(scaled % 1000);
    auto bytes = static_cast<size_t>(scaled / 1000) & ~size_t{1};
    if (!running_ || bytes == 0 || !nullbackend::PumpSound(bytes))
        return;
    for (uint8_t b : nullbackend::CapturedSound())
        audible_ += b != 0;
    nullbackend::ClearCapturedSound();
}

void ScriptedGame::Step(int periods)
{
    if (!running_)
        return;
    int period = FramePeriod();
    // The clock jumps all but the last period at once: the engine's fixed step catches up with
    // one update per period missed, at most six per draw.
    if (periods > 1)
        nullbackend::AdvanceClock(static_cast<DWORD>((periods - 1) * period));
    RunFor(static_cast<uint32_t>(period));
    framesRun_ += periods;
    CheckBoard();
}

void ScriptedGame::CheckBoard()
{
    auto* board = dynamic_cast<GameplayScreen*>(Board());
    if (!board || boardFaultSeen_)
        return;
    const ::testing::AssertionResult valid = BoardValid(*board);
    if (valid)
        return;
    boardFaultSeen_ = true;
    ADD_FAILURE() << FlowName() << " at " << SizeName() << ", frame " << framesRun_ << ": " << valid.message();
}

void ScriptedGame::Frame()
{
    Step(1);
}

void ScriptedGame::Frames(int count)
{
    for (int i = 0; i < count && running_; ++i)
        Step(1);
}

void ScriptedGame::Wait(int frames)
{
    while (frames > 0 && running_) {
        int n = std::min(frames, catchUp_);
        Step(n);
        frames -= n;
    }
}

bool ScriptedGame::WaitUntil(const std::function<bool()>& done, int maxFrames)
{
    for (int waited = 0; waited < maxFrames; waited += catchUp_) {
        if (done())
            return true;
        if (!running_)
            return false;
        Step(std::min(catchUp_, maxFrames - waited));
    }
    return done();
}

bool ScriptedGame::WaitUntilEachFrame(const std::function<bool()>& done, int maxFrames)
{
    for (int waited = 0; waited < maxFrames && running_; ++waited) {
        if (done())
            return true;
        Frame();
    }
    return done();
}

void ScriptedGame::SetCatchUp(int updates)
{
    catchUp_ = std::clamp(updates, 1, kMostCatchUp);
}

void ScriptedGame::GameToDisplay(int x, int y, int* displayX, int* displayY) const
{
    GameApp* app = App();
    if (!app) {
        *displayX = x;
        *displayY = y;
        return;
    }
    const GameArea& area = app->GetGameArea();
    int rotation = app->GetRotation();
    // Undone in the order the application's pointer code does it: borders, turn, scale, offset.
    if (rotation == 0) {
        x += app->GetBorderWidth();
        y += app->GetBorderHeight();
    } else {
        y += app->GetBorderWidth();
        x += app->GetBorderHeight();
    }
    int dx = x, dy = y;
    if (rotation == 1) {
        dx = y;
        dy = area.gameHeight - 1 - x;
    } else if (rotation == 2) {
        dx = area.gameWidth - 1 - y;
        dy = x;
    }
    if (area.scaled && area.gameWidth > 0 && area.gameHeight > 0) {
        dx = static_cast<int>((2LL * dx + 1) * area.drawWidth / (2LL * area.gameWidth));
        dy = static_cast<int>((2LL * dy + 1) * area.drawHeight / (2LL * area.gameHeight));
    }
    dx += std::max(area.offsetX, 0);
    dy += std::max(area.offsetY, 0);
    *displayX = dx << g_halfResShift;
    *displayY = dy << g_halfResShift;
}

void ScriptedGame::Stylus(int kind, int x, int y)
{
    int dx, dy;
    GameToDisplay(x, y, &dx, &dy);
    nullbackend::InjectStylus(kind, dx, dy);
    Frame();
}

void ScriptedGame::Press(int x, int y)
{
    Stylus(1, x, y);
}

void ScriptedGame::Drag(int x, int y)
{
    Stylus(3, x, y);
}

void ScriptedGame::Release(int x, int y)
{
    Stylus(2, x, y);
}

void ScriptedGame::Tap(int x, int y)
{
    Press(x, y);
    Release(x, y);
}

bool ScriptedGame::CanTap(const char* name) const
{
    ScriptWidget* widget = Find(name);
    if (!Visible(widget) || widget->IsInputBlocked())
        return false;
    GameScreen* screen = CurrentScreen();
    if (screen && screen->IsScreenFading())
        return false;
    ScriptWidget* dialog = OpenDialog();
    for (Widget* w = widget; dialog && w; w = w->GetParent()) {
        if (w == dialog)
            return true;
    }
    return dialog == nullptr;
}

bool ScriptedGame::TapWidget(const char* name)
{
    if (!WaitUntilEachFrame([&] { return CanTap(name); }, 60))
        return false;
    ScriptWidget* widget = Find(name);
    Point centre;
    widget->GetCenter(centre);
    Tap(centre.x, centre.y);
    return true;
}

void ScriptedGame::Key(unsigned virtualKey)
{
    KeyDown(virtualKey);
    KeyUp(virtualKey);
}

void ScriptedGame::KeyDown(unsigned virtualKey)
{
    nullbackend::InjectKey(virtualKey, true);
    Frame();
}

void ScriptedGame::KeyUp(unsigned virtualKey)
{
    nullbackend::InjectKey(virtualKey, false);
    Frame();
}

void ScriptedGame::Type(const std::string& utf8)
{
    for (uint32_t character : DecodeUtf8(utf8)) {
        nullbackend::InjectChar(character);
        Frame();
    }
}

void ScriptedGame::Focus(bool gained)
{
    nullbackend::InjectFocus(gained);
    Frame();
}

void ScriptedGame::Close()
{
    nullbackend::InjectClose();
    Frame();
}

bool ScriptedGame::Suspend()
{
    // The watcher asks for notices on its own thread; a notice sent before that is not its.
    if (!WaitReal([] { return nullbackend::CallCount("RequestPowerNotifications") > 0; }))
        return false;
    nullbackend::SimulatePowerSuspend();
    return WaitReal([] { return g_suspended.load(); });
}

bool ScriptedGame::PowerOn()
{
    nullbackend::SimulatePowerOn();
    return WaitReal([] { return !g_suspended.load(); });
}

uint64_t ScriptedGame::FrameHash() const
{
    PresentedFrame frame;
    if (!GetPresentedFrame(&frame))
        return 0;
    return PixelHash(frame.pixels.data(), frame.pixels.size());
}

bool ScriptedGame::MatchesStoredHash(const std::string& checkpoint) const
{
    if (width_ != 800 || height_ != 480)
        return true;
    std::string path = std::string(KELO_TEST_DATA) + "/flow_hashes.txt";
    std::string key = "flow hash " + flow_ + " " + checkpoint + " ";
    char hex[17];
    snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(FrameHash()));
    const char* record = getenv("KELO_RECORD_HASHES");
    if (record && std::string(record) == "1") {
        // Flows record side by side: the file is rewritten under a lock.
        int fd = open(path.c_str(), O_RDWR | O_CREAT, 0644);
        if (fd < 0)
            return false;
        flock(fd, LOCK_EX);
        std::ifstream in(path);
        std::string line, kept;
        while (std::getline(in, line)) {
            if (line.rfind(key, 0) != 0)
                kept += line + "\n";
        }
        kept += key + hex + "\n";
        std::ofstream out(path, std::ios::trunc);
        out << kept;
        bool ok = static_cast<bool>(out);
        out.close();
        flock(fd, LOCK_UN);
        close(fd);
        return ok;
    }
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(key, 0) == 0)
            return line.substr(key.size()) == hex;
    }
    ADD_FAILURE() << "no stored hash for " << flow_ << " " << checkpoint << " (record with KELO_RECORD_HASHES=1)";
    return false;
}

bool ScriptedGame::Shot(const std::string& name)
{
    std::string folder = KELO_LOOK_DIR;
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    std::string stem = folder + "/flow_" + flow_ + "_" + SizeName();
    if (WritePresentedFramePng((stem + "_" + name + ".png").c_str()).failed())
        return false;
    PresentedFrame frame;
    if (!GetPresentedFrame(&frame))
        return false;
    // One sheet per flow and size for the whole process: a flow that starts the program again
    // goes on filling the same sheet.
    static std::map<std::string, ContactSheet> sheets;
    ContactSheet& sheet = sheets[stem];
    sheet.Add(frame.pixels.data(), frame.width, frame.height);
    return sheet.Write(stem + "_sheet.png");
}

int ScriptedGame::Quit()
{
    if (running_) {
        // The menu's quit where the menu is at rest; anywhere else the window's close.
        WaitUntil([this] { return MenuAtRest() || !running_; }, 300);
        if (!MenuAtRest() || !TapWidget("btn_sm_quit"))
            Close();
        WaitUntil([this] { return !running_; }, 600);
    }
    return running_ ? -1 : ProcessExitStatus();
}

void ScriptedGame::EndProgram(const MSG& quit)
{
    running_ = false;
    ended_ = true;
    quitCode_ = EndRun(quit);
}

void ScriptedGame::KeepSavedFiles()
{
    std::string seeds = KELO_FUZZ_SEEDS;
    std::error_code ignored;
    std::filesystem::create_directories(seeds, ignored);
    for (const char* name : {"global.opt", "saveresume.dat"}) {
        std::filesystem::path from = std::filesystem::path(saveFolder_) / name;
        if (std::filesystem::exists(from, ignored))
            std::filesystem::copy_file(from, seeds + "/" + flow_ + "_" + SizeName() + "_" + name,
                                       std::filesystem::copy_options::overwrite_existing, ignored);
    }
}

void ScriptedGame::WriteFigures()
{
    char line[200];
    snprintf(line, sizeof line, "%s %s %ld %lld %.2f", flow_.c_str(), SizeName().c_str(), PeakResidentKb(),
             static_cast<long long>(framesRun_), WallSeconds() - startSeconds_);
    AppendLine(std::string(KELO_DATA_DIR) + "/flow-figures.txt", line);
}
