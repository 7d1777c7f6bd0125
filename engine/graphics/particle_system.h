#pragma once
// Particle systems: sprite particles emitted from a point and moved, grown, spun and faded in
// 16.16 fixed point, their behaviour read from a text definition. Every value named "16.16" below
// is a raw Fixed16 word.
#include <cstdint>

#include "engine/core/fixed.h"
#include "engine/core/load_result.h"
#include "engine/core/strings.h"

class Application;
class ParticlePath;
class ParticleSpriteCache;
class ResourceEntry;
class Stream;
class SurfaceBase;
class TrigTable;

// A point or vector of particle space: pixels in 16.16.
struct Fixed16Vec2 {
    int32_t x = 0, y = 0;
    bool operator==(const Fixed16Vec2&) const = default;
};

// Length of (x, y); long vectors are scaled down by 128 on the way, the arguments stay as given.
Fixed16 Fixed16Length(Fixed16 x, Fixed16 y);
// The vector divided by its length (16.16 division); a zero vector stays.
void Fixed16Normalize(Fixed16Vec2& v);

// What an owner may attach to give particles an offset from the emitter at birth.
class ParticlePointSource {
public:
    virtual ~ParticlePointSource() = default;
    virtual void GetOffset(Fixed16Vec2& out) = 0;
};

struct Particle {
    int32_t x, y;
    int32_t vx, vy;  // per update step
    int32_t gravity;
    int32_t radial;
    int32_t tangential;
    int32_t spin, spinSpeed;
    int32_t size, sizeSpeed;
    int32_t red, green, blue, alpha;
    int32_t redSpeed, greenSpeed, blueSpeed, alphaSpeed;
    int32_t age;
    int32_t life;
    int32_t frame;  // integer part is the frame index
    int32_t middleAge;
    uint8_t middleReached;
};

// The 46 values of a definition file, in the system's order; see the key table in the parser.
struct ParticleDefinition {
    String sprites;
    int32_t numSprites = 0;
    int32_t numSpritesPerRow = 0;
    uint8_t additiveBlend = 0, fastDraw = 0, gridEffect = 0, animateEffect = 0, animateLooped = 0,
            animateRandom = 0;
    int32_t animateSpeed = 0;  // three times the value read
    int32_t emissionSpeed = 0;
    int32_t systemLifetime = 0;
    int32_t lifeMin = 0, lifeMax = 0;
    int32_t direction = 0, spread = 0;
    uint8_t directionIsRelative = 0;
    int32_t speedMin = 0, speedMax = 0;
    int32_t gravityMin = 0, gravityMax = 0;
    int32_t radialAccMin = 0, radialAccMax = 0;
    int32_t tangAccMin = 0, tangAccMax = 0;
    int32_t sizeStart = 0, sizeEnd = 0, sizeVar = 0;
    int32_t spinStart = 0, spinEnd = 0, spinVar = 0;
    int32_t startRed = 0, startGreen = 0, startBlue = 0, startAlpha = 0;
    int32_t endRed = 0, endGreen = 0, endBlue = 0, endAlpha = 0;
    int32_t middleAlpha = 0, middleAge = 0;
    int32_t colorVar = 0, alphaVar = 0;
    uint8_t directionalParticles = 0;
    int32_t randomPos = 0;
    int32_t maxParticles = 0;
};

// Applies one key/value pair of a definition; unknown keys are ignored. False for an unknown key.
bool ApplyParticleKey(ParticleDefinition& definition, const char* key, const char* value);

constexpr int32_t kParticleStopped = -2 * 65536;
constexpr int32_t kParticleMaxCapacity = 65536;

class ParticleSystem {
public:
    ParticleSystem(Application* application, TrigTable* renderer, ParticleSpriteCache* spriteCache);
    ParticleSystem(const ParticleSystem&) = delete;
    ParticleSystem& operator=(const ParticleSystem&) = delete;
    virtual ~ParticleSystem();

    // Reads the definition file named by SetFileName from the program's folder and loads its
    // sprite set; the system is stopped afterwards.
    LoadResult LoadByName();
    // Reads a definition. A given sprite set is taken over (deleted with the system), unless it is
    // one of the sprite cache's; without one the set is the definition's sheet, from the cache when
    // the system has one, else a private set. A frame rate of 1/256 or more replaces the system's;
    // it gets the rate in use.
    bool Parse(Stream* stream, ResourceEntry* sprites, Fixed16& frameRate);
    void Update(Fixed16 dt);

    // The owner's operations: start, place, pace and draw. Start() begins the lifetime, or runs
    // without end when the definition has none; an explicit age other than -2.0 starts there.
    void Start();
    void Start(Fixed16 age);
    void Stop() { age_ = kParticleStopped; }
    void SetPosition(Fixed16 x, Fixed16 y);
    // Rates below 1/256 per second are ignored.
    void SetFrameRate(Fixed16 rate);
    void Draw(SurfaceBase* destination);
    void SetFileName(const char* name) { fileName_ = String(name); }
    const String& GetFileName() const { return fileName_; }
    void SetPath(ParticlePath* path) { path_ = path; }
    void SetPointSource(ParticlePointSource* source) { pointSource_ = source; }
    void KillParticles() { count_ = 0; }

    const ParticleDefinition& GetDefinition() const { return definition_; }
    int32_t GetAge() const { return age_; }
    int GetCount() const { return count_; }
    int GetCapacity() const { return capacity_; }
    const Particle& GetParticle(int i) const { return particles_[i]; }
    Fixed16 GetFrameRate() const { return frameRate_; }
    Fixed16 GetTimeStep() const { return timeStep_; }
    bool IsTinted() const { return tinted_; }
    const ResourceEntry* GetSprites() const { return sprites_; }
    Fixed16Vec2 GetPosition() const { return position_; }

private:
    bool LoadSprites();
    void Prepare();
    void ReplaceSprites(ResourceEntry* sprites, bool loaded);
    void Spawn(bool grid);
    int32_t SpawnAngle(const Particle& p, bool grid);

    TrigTable* renderer_;
    Application* application_;
    ResourceEntry* sprites_ = nullptr;
    bool spritesLoaded_ = false;  // this system holds one load of the cache's set
    ParticleSpriteCache* spriteCache_;
    ParticlePath* path_ = nullptr;
    ParticlePointSource* pointSource_ = nullptr;
    ParticleDefinition definition_;
    int32_t age_ = kParticleStopped;
    int32_t accumulator_ = 0;
    Fixed16Vec2 previousPosition_;
    Fixed16Vec2 position_;
    int count_ = 0;
    Particle* particles_ = nullptr;
    int capacity_ = 0;
    bool tinted_ = false;
    Fixed16 frameRate_;
    Fixed16 timeStep_;
    int gridCell_ = 0;
    String fileName_;
};
