#pragma once
// The engine's sound service. Stand-in until the mixer lands: it accepts every call and plays
// nothing.
class Application;

class SoundManagerBase {
public:
    virtual ~SoundManagerBase() = default;
    virtual int Init() = 0;
    virtual void Shutdown() = 0;
    virtual void SetSfxVolume(int) {}
    virtual int GetSfxVolume() { return 100; }
    virtual void SetMusicVolume(int) {}
    virtual int GetMusicVolume() { return 100; }
    virtual void EnableSfx(bool) {}
    virtual void EnableMusic(bool) {}
    virtual void SetPaused(bool) {}
};

class SoundManager : public SoundManagerBase {
public:
    explicit SoundManager(Application* application) : application_(application) {}
    ~SoundManager() override { Shutdown(); }
    int Init() override { return 1; }
    void Shutdown() override {}
    void SetSfxVolume(int percent) override { sfxVolume_ = percent; }
    int GetSfxVolume() override { return sfxVolume_; }
    void SetMusicVolume(int percent) override { musicVolume_ = percent; }
    int GetMusicVolume() override { return musicVolume_; }
    void EnableSfx(bool on) override { sfxOn_ = on; }
    void EnableMusic(bool on) override { musicOn_ = on; }
    bool IsSfxEnabled() const { return sfxOn_; }
    bool IsMusicEnabled() const { return musicOn_; }

private:
    Application* application_;
    bool sfxOn_ = false;
    bool musicOn_ = false;
    int sfxVolume_ = 100;
    int musicVolume_ = 100;
};
