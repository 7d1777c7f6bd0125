#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "engine/core/memory.h"
#include "engine/core/pack_memory_file.h"
#include "engine/graphics/particle_manager.h"
#include "engine/graphics/particle_path.h"
#include "engine/graphics/particle_sprites.h"
#include "engine/graphics/particle_system.h"
#include "engine/graphics/pixel_formats.h"
#include "engine/graphics/resource_entry.h"
#include "engine/graphics/resource_list.h"
#include "engine/graphics/trig_table.h"
#include "platform/crt.h"
#include "support/sprite_app.h"
#include "surface_test_support.h"

using namespace drawing_test;

namespace {

constexpr int32_t kOne = 65536;
constexpr int32_t kStep = 1984;  // 1/33 s as the system computes it

// The colour and alpha of the particle sheet: twelve 8 x 8 cells in rows of four, each a soft
// disc of its own colour.
void SheetPixel(int x, int y, unsigned char* p)
{
    int cell = (y / 8) * 4 + x / 8;
    int dx = x % 8 * 2 - 7, dy = y % 8 * 2 - 7;  // doubled offsets from the cell centre
    int d2 = dx * dx + dy * dy;
    p[0] = static_cast<unsigned char>(255 - cell * 16);
    p[1] = static_cast<unsigned char>(60 + cell * 15);
    p[2] = static_cast<unsigned char>(128 + cell * 10);
    p[3] = static_cast<unsigned char>(d2 <= 36 ? 255 : d2 <= 64 ? 128 : 0);
}

// A disk application whose image folder holds the sheet as "sheet.png" and whose program folder
// is the test data's particle definitions, unless a test points it elsewhere.
class ParticleApp : public SpriteApp {
public:
    ParticleApp()
    {
        exeDirectory = hostpath::FromHost(std::string(KELO_TEST_DATA) + "/particles/");
        EXPECT_TRUE(fixtures::WritePng(Host("sheet.png"), 32, 24, PNG_COLOR_TYPE_RGBA, 8,
                                       fixtures::Fill(32, 24, 4, SheetPixel)));
    }
    String GetExeDirectory() override { return String(exeDirectory.c_str()); }
    std::string exeDirectory;
};

// A private, loaded set of the sheet's twelve frames.
ResourceEntry* MakeSprites(ParticleApp& app)
{
    auto* sprites = new ResourceEntry();
    sprites->SetSingle(&app, "sheet", "sheet", 12, 4);
    EXPECT_TRUE(sprites->Load().ok());
    return sprites;
}

bool ParseText(ParticleSystem& system, const std::string& text, ResourceEntry* sprites,
               Fixed16 rate = Fixed16::Raw(0))
{
    PackMemoryFile stream;
    void* block = Alloc(text.size());
    memcpy(block, text.data(), text.size());
    stream.SetBuffer(block, int32_t(text.size()));
    return system.Parse(&stream, sprites, rate);
}

struct Renderer {
    Renderer() { EXPECT_TRUE(table.Build()); }
    TrigTable table{nullptr, 5760};
};

const char* kPlain =
    "ParticleNumSprites = 12\nParticleNumSpritesPerRow = 4\nParticleLifeMin = 10\nParticleLifeMax = 10\n"
    "ParticleSizeStart = 1\nParticleSizeEnd = 1\nMaxParticles = 200\nSystemLifetime = -1\n";

}  // namespace

TEST(ParticleFixed, LengthAndNormalize)
{
    EXPECT_EQ(Fixed16Length(Fixed16::FromInt(3), Fixed16::FromInt(4)).raw, 5 * kOne);
    // Long vectors go through the scaled path and still come out whole.
    EXPECT_NEAR(Fixed16Length(Fixed16::FromInt(300), Fixed16::FromInt(-400)).raw, 500 * kOne, 128 * 2);
    Fixed16Vec2 v{300 * kOne, 400 * kOne};
    Fixed16Normalize(v);
    EXPECT_NEAR(v.x, kOne * 6 / 10, 64);
    EXPECT_NEAR(v.y, kOne * 8 / 10, 64);
    Fixed16Vec2 zero;
    Fixed16Normalize(zero);
    EXPECT_EQ(zero, Fixed16Vec2{});

}

TEST(ParticleDefinition, KeysValuesAndRepeats)
{
    ParticleApp app;
    ParticleSystem system(nullptr, nullptr, nullptr);
    ASSERT_TRUE(ParseText(system,
                          "// a comment\nAdditiveBlend = 1\nEmissionSpeed: 12\nEmissionSpeed = 14 // last wins\n"
                          "ParticleLifeMax = 1.5\nColorEnd_G = 200\nAnimateSpeed = 0.5\nParticleSprites = spark\n"
                          "GridEffect = 1\nmaxparticles = 99\nMaxParticles = 7\nAnimateLooped = 0\nRandomPos =\n"
                          "Unknown = 5\n",
                          MakeSprites(app)));
    const ParticleDefinition& d = system.GetDefinition();
    EXPECT_EQ(d.additiveBlend, 1);
    EXPECT_EQ(d.emissionSpeed, 14);
    EXPECT_EQ(d.lifeMax, kOne * 3 / 2);
    EXPECT_EQ(d.endGreen, 200 * kOne);
    EXPECT_EQ(d.animateSpeed, 3 * kOne / 2);  // three times the value
    EXPECT_STREQ(d.sprites.CStr(), "spark");
    EXPECT_EQ(d.gridEffect, 1);
    EXPECT_EQ(d.maxParticles, 7);  // keys are case-sensitive
    EXPECT_EQ(d.randomPos, 0);
    EXPECT_EQ(system.GetCapacity(), 7);
    EXPECT_TRUE(system.IsTinted());  // an end green other than 255
    EXPECT_FALSE(d.fastDraw);       // sizes of 0 are not 1.0
    EXPECT_EQ(system.GetAge(), kParticleStopped);

    // GridEffect is cleared before each read; the rest carries over.
    ASSERT_TRUE(ParseText(system, "ParticleSizeStart = 1\nParticleSizeEnd = 1\n", MakeSprites(app)));
    EXPECT_EQ(system.GetDefinition().gridEffect, 0);
    EXPECT_EQ(system.GetDefinition().emissionSpeed, 14);
    EXPECT_TRUE(system.GetDefinition().fastDraw);

    // A negative lifetime runs without end; no sprites to be had fails the parse.
    ASSERT_TRUE(ParseText(system, "SystemLifetime = -1\n", MakeSprites(app)));
    EXPECT_EQ(system.GetAge(), -kOne);
    EXPECT_FALSE(ParseText(system, "ParticleSprites = spark\nParticleNumSprites = 0\n", nullptr));
    EXPECT_EQ(system.GetSprites(), nullptr);
}

TEST(ParticleDefinition, FrameRateAndCapacityLimits)
{
    ParticleApp app;
    ParticleSystem system(nullptr, nullptr, nullptr);
    EXPECT_EQ(system.GetFrameRate().raw, 33 * kOne);
    EXPECT_EQ(system.GetTimeStep().raw, kStep);
    // Rates below 1/256 are ignored like 0; others replace the system's.
    ASSERT_TRUE(ParseText(system, kPlain, MakeSprites(app), Fixed16::Raw(255)));
    EXPECT_EQ(system.GetFrameRate().raw, 33 * kOne);
    ASSERT_TRUE(ParseText(system, kPlain, MakeSprites(app), Fixed16::FromInt(20)));
    EXPECT_EQ(system.GetTimeStep().raw, Fixed16::Divide(Fixed16::Raw(kOne), Fixed16::FromInt(20)).raw);

    Renderer renderer;
    ParticleSystem live(nullptr, &renderer.table, nullptr);
    ASSERT_TRUE(ParseText(live, std::string(kPlain) + "EmissionSpeed = 660\n", MakeSprites(app)));
    live.Start();
    for (int i = 0; i < 5; ++i)
        live.Update(live.GetTimeStep());
    ASSERT_GT(live.GetCount(), 50);
    // Shrinking keeps the first particles and no more than fit.
    ASSERT_TRUE(ParseText(live, "MaxParticles = 10\n", MakeSprites(app)));
    EXPECT_EQ(live.GetCapacity(), 10);
    EXPECT_EQ(live.GetCount(), 10);
    live.Start();
    live.Update(live.GetTimeStep());
    EXPECT_EQ(live.GetCount(), 10);
    ASSERT_TRUE(ParseText(live, "MaxParticles = -4\n", MakeSprites(app)));
    EXPECT_EQ(live.GetCount(), 0);
    EXPECT_EQ(live.GetDefinition().maxParticles, 0);
    ASSERT_TRUE(ParseText(live, "MaxParticles = 100000\n", MakeSprites(app)));
    EXPECT_EQ(live.GetCapacity(), kParticleMaxCapacity);
}

TEST(ParticleSystem, EmissionCarriesItsFraction)
{
    ParticleApp app;
    Renderer renderer;
    ParticleSystem system(nullptr, &renderer.table, nullptr);
    ASSERT_TRUE(ParseText(system, std::string(kPlain) + "EmissionSpeed = 10\n", MakeSprites(app)));
    system.Start();
    // 10 a second at 33 updates a second: one about every 3.3 updates.
    const int expected[] = {0, 0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 3, 4};
    for (int i = 0; i < 14; ++i) {
        system.Update(system.GetTimeStep());
        EXPECT_EQ(system.GetCount(), expected[i]) << "update " << i + 1;
    }
    for (int i = 14; i < 100; ++i)
        system.Update(system.GetTimeStep());
    EXPECT_EQ(system.GetCount(), 30);
    // A stopped system emits nothing while its particles live on.
    system.Stop();
    system.Update(system.GetTimeStep());
    EXPECT_EQ(system.GetCount(), 30);
}

TEST(ParticleSystem, GridBurstsItsCells)
{
    ParticleApp app;
    Renderer renderer;
    ParticleSystem system(nullptr, &renderer.table, nullptr);
    ASSERT_TRUE(ParseText(system, std::string(kPlain) + "EmissionSpeed = 10\nGridEffect = 1\n", MakeSprites(app)));
    system.SetPosition(Fixed16::FromInt(100), Fixed16::FromInt(100));
    system.Start();
    system.Update(system.GetTimeStep());
    ASSERT_EQ(system.GetCount(), 12);
    // A 4 x 3 grid of 8-pixel cells centred on (100, 100); each particle shows its own cell.
    bool seen[12] = {};
    for (int i = 0; i < 12; ++i) {
        const Particle& p = system.GetParticle(i);
        int cell = p.frame >> 16;
        ASSERT_GE(cell, 0);
        ASSERT_LT(cell, 12);
        EXPECT_FALSE(seen[cell]);
        seen[cell] = true;
        EXPECT_EQ(p.x, (88 + (cell % 4) * 8) * kOne) << cell;
        EXPECT_EQ(p.y, (92 + (cell / 4) * 8) * kOne) << cell;
    }
    // Then it waits until the accumulator is positive again: 12 / (10 / 33) updates.
    int next = 0;
    for (int i = 2; i < 60 && !next; ++i) {
        system.Update(system.GetTimeStep());
        if (system.GetCount() > 12)
            next = i;
    }
    EXPECT_EQ(next, 40);
}

TEST(ParticleSystem, RemovalBySwapProcessesTheMovedParticle)
{
    ParticleApp app;
    Renderer renderer;
    ParticleSystem system(nullptr, &renderer.table, nullptr);
    // 50 a second gives one particle in the first update and two in the second.
    ASSERT_TRUE(ParseText(system,
                          "ParticleNumSprites = 12\nParticleNumSpritesPerRow = 4\nParticleLifeMin = 0.5\n"
                          "ParticleLifeMax = 0.5\nEmissionSpeed = 50\nMaxParticles = 8\nSystemLifetime = -1\n",
                          MakeSprites(app)));
    system.Start();
    system.Update(system.GetTimeStep());
    ASSERT_EQ(system.GetCount(), 1);
    system.Update(system.GetTimeStep());
    ASSERT_EQ(system.GetCount(), 3);
    system.Stop();
    // The first dies alone; the last takes its place and must age in the same update, so the
    // two of the second update die together.
    int counts[40];
    for (int& count : counts) {
        system.Update(system.GetTimeStep());
        count = system.GetCount();
    }
    int dropToTwo = -1;
    for (int i = 0; i < 40 && dropToTwo < 0; ++i) {
        if (counts[i] == 2)
            dropToTwo = i;
    }
    ASSERT_GE(dropToTwo, 0);
    ASSERT_LT(dropToTwo, 39);
    EXPECT_EQ(counts[dropToTwo + 1], 0);
}

TEST(ParticleSystem, ZeroLivesDoNotDivideByZero)
{
    ParticleApp app;
    Renderer renderer;
    ParticleSystem system(nullptr, &renderer.table, nullptr);
    ASSERT_TRUE(ParseText(system,
                          "ParticleNumSprites = 12\nParticleNumSpritesPerRow = 4\nEmissionSpeed = 100\n"
                          "ColorMiddleAge = 0.5\nColorStart_A = 255\nColorMiddle_A = 0\nParticleSizeEnd = 2\nSystemLifetime = -1\n"
                          "MaxParticles = 20\n",
                          MakeSprites(app)));
    system.Start();
    for (int i = 0; i < 3; ++i) {
        system.Update(system.GetTimeStep());
        // Every particle dies in the update after its birth.
        ASSERT_LE(system.GetCount(), 4);
        for (int k = 0; k < system.GetCount(); ++k)
            EXPECT_EQ(system.GetParticle(k).sizeSpeed, 0);
    }
}

TEST(ParticleManager, ListUpdateAndKill)
{
    ParticleApp app;
    Renderer renderer;
    ParticleManager manager(nullptr, &renderer.table, 20);
    EXPECT_EQ(manager.GetSystem(0), nullptr);
    ParticleSystem* a = manager.CreateSystem();
    ParticleSystem* b = manager.CreateSystem();
    ASSERT_TRUE(manager.AddSystem(a));
    ASSERT_TRUE(manager.AddSystem(b));
    EXPECT_FALSE(manager.AddSystem(nullptr));
    EXPECT_EQ(manager.GetCount(), 2);
    EXPECT_EQ(manager.GetSystem(1), b);
    EXPECT_EQ(manager.GetSystem(2), nullptr);  // an index equal to the count
    EXPECT_EQ(manager.GetSystem(-1), nullptr);

    ASSERT_TRUE(ParseText(*a, std::string(kPlain) + "EmissionSpeed = 66\n", MakeSprites(app)));
    // A system at a third of the rate takes three times the step.
    ASSERT_TRUE(ParseText(*b, std::string(kPlain) + "EmissionSpeed = 66\n", MakeSprites(app), Fixed16::FromInt(11)));
    a->Start();
    b->Start();
    for (int i = 0; i < 10; ++i)
        manager.UpdateAll();
    EXPECT_EQ(a->GetParticle(0).age, 9 * kStep);
    EXPECT_EQ(b->GetParticle(0).age, 9 * b->GetTimeStep().raw);
    EXPECT_GT(b->GetCount(), a->GetCount() * 2);

    manager.KillAll(0);
    EXPECT_EQ(a->GetAge(), kParticleStopped);
    int live = a->GetCount();
    manager.UpdateAll();
    EXPECT_EQ(a->GetCount(), live);
    manager.KillAll(1);
    EXPECT_EQ(a->GetCount() + b->GetCount(), 0);

    // Loading by name needs a name.
    EXPECT_TRUE(a->LoadByName().failed());
}

TEST(ParticleSystem, LoadByNameReadsTheProgramFolderAndTheImages)
{
    ParticleApp app;
    Renderer renderer;
    ParticleSystem system(&app, &renderer.table, nullptr);
    EXPECT_TRUE(system.LoadByName().failed());  // no name
    system.SetFileName("missing.txt");
    EXPECT_TRUE(system.LoadByName().failed());
    system.SetFileName("grid.txt");
    ASSERT_TRUE(system.LoadByName().ok());
    EXPECT_EQ(system.GetAge(), kParticleStopped);
    EXPECT_EQ(system.GetDefinition().maxParticles, 48);
    // Without a cache the system cuts the sheet into a set of its own, alpha and all.
    const ResourceEntry* sprites = system.GetSprites();
    ASSERT_NE(sprites, nullptr);
    EXPECT_FALSE(sprites->IsMadeByCache());
    EXPECT_EQ(sprites->GetKind(), kSpriteSingle);
    EXPECT_EQ(sprites->GetLoadCount(), 1);
    ASSERT_EQ(sprites->GetFrameCount(), 12);
    for (int cell : {0, 5, 11}) {
        Surface* frame = sprites->GetFrame(cell);
        ASSERT_EQ(frame->GetWidth(), 8);
        ASSERT_EQ(frame->GetHeight(), 8);
        unsigned char p[4];
        SheetPixel(cell % 4 * 8 + 4, cell / 4 * 8 + 4, p);
        EXPECT_EQ(frame->GetPixels()[4 * 8 + 4], pixel::Pack565(p[0], p[1], p[2])) << cell;
        EXPECT_EQ(frame->GetAlpha()[4 * 8 + 4], 255) << cell;
        EXPECT_EQ(frame->GetAlpha()[0], 0) << cell;
    }

    // A sheet that is not there fails the load and leaves no set behind.
    app.exeDirectory = app.Engine("");
    app.Write("nowhere.txt", std::string(kPlain) + "ParticleSprites = nowhere\n");
    system.SetFileName("nowhere.txt");
    EXPECT_TRUE(system.LoadByName().failed());
    EXPECT_EQ(system.GetSprites(), nullptr);
}

TEST(ParticleSystem, LoadByNameTakesAJpegSheetWithItsAlphaCompanion)
{
    ParticleApp app;
    app.exeDirectory = app.Engine("");
    // Four 8 x 8 cells, two to a row: flat colours, and an alpha companion of flat greys.
    const unsigned char colours[4][3] = {{240, 40, 40}, {40, 240, 40}, {40, 40, 240}, {240, 240, 40}};
    const unsigned char alphas[4] = {255, 192, 128, 64};
    ASSERT_TRUE(fixtures::WriteJpeg(app.Host("embers.jpg"), 16, 16, 3, fixtures::Fill(16, 16, 3, [&](int x, int y, unsigned char* p) {
        memcpy(p, colours[(y / 8) * 2 + x / 8], 3);
    })));
    ASSERT_TRUE(fixtures::WriteJpeg(app.Host("embers_a.jpg"), 16, 16, 1, fixtures::Fill(16, 16, 1, [&](int x, int y, unsigned char* p) {
        *p = alphas[(y / 8) * 2 + x / 8];
    })));
    app.Write("embers.txt", "ParticleSprites = embers.jpg\nParticleNumSprites = 4\nParticleNumSpritesPerRow = 2\n"
                            "MaxParticles = 8\n");
    ParticleSystem system(&app, nullptr, nullptr);
    system.SetFileName("embers.txt");
    ASSERT_TRUE(system.LoadByName().ok());
    const ResourceEntry* sprites = system.GetSprites();
    ASSERT_NE(sprites, nullptr);
    ASSERT_EQ(sprites->GetFrameCount(), 4);
    for (int cell = 0; cell < 4; ++cell) {
        Surface* frame = sprites->GetFrame(cell);
        ASSERT_EQ(frame->GetWidth(), 8);
        ASSERT_NE(frame->GetAlpha(), nullptr);
        uint16_t pixel = frame->GetPixels()[3 * 8 + 3];
        // JPEG is lossy: close to the drawn colour in 5:6:5 steps.
        EXPECT_NEAR(Red(pixel), colours[cell][0] >> 3, 2) << cell;
        EXPECT_NEAR(Green(pixel), colours[cell][1] >> 2, 3) << cell;
        EXPECT_NEAR(Blue(pixel), colours[cell][2] >> 3, 2) << cell;
        EXPECT_NEAR(frame->GetAlpha()[3 * 8 + 3], alphas[cell], 4) << cell;
    }
}

TEST(ParticleSpriteCache, OneKindOneSetPerSheetAndNumbers)
{
    ParticleApp app;
    ParticleSpriteCache cache(&app);
    ResourceList* list = cache.GetList();
    ASSERT_NE(list, nullptr);
    ResourceEntry* first = cache.FindOrCreate("sheet", "sheet", 12, 4);
    ASSERT_NE(first, nullptr);
    EXPECT_STREQ(first->GetName().CStr(), "set_0");
    EXPECT_TRUE(first->IsMadeByCache());
    EXPECT_EQ(first->GetKind(), kSpriteSingle);
    EXPECT_STREQ(first->GetAlphaFile().CStr(), "sheet");
    EXPECT_EQ(first->GetCount(), 12);
    EXPECT_EQ(first->GetColumnsOrFirst(), 4);
    EXPECT_EQ(first->GetLoadCount(), 0);  // declared only; the system loads it
    EXPECT_EQ(cache.FindOrCreate("sheet", "sheet", 12, 4), first);

    // Any value that differs makes a new set, named by the count before it.
    ResourceEntry* rows = cache.FindOrCreate("sheet", "sheet", 12, 3);
    ResourceEntry* opaque = cache.FindOrCreate("sheet", nullptr, 12, 4);
    ASSERT_NE(rows, nullptr);
    ASSERT_NE(opaque, nullptr);
    EXPECT_NE(rows, first);
    EXPECT_NE(opaque, first);
    EXPECT_STREQ(opaque->GetName().CStr(), "set_2");
    EXPECT_EQ(cache.FindOrCreate("sheet", "", 12, 4), opaque);  // no alpha file either way
    // Only kind-1 sets match.
    ASSERT_TRUE(list->AddSpriteSetMulti("frames", "other", "other", 2, 1, false, false));
    ResourceEntry* other = cache.FindOrCreate("other", "other", 2, 1);
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(other->GetKind(), kSpriteSingle);
    EXPECT_STREQ(other->GetName().CStr(), "set_4");
    EXPECT_EQ(list->GetCount(), 5);

    ParticleSpriteCache orphan(nullptr);
    EXPECT_EQ(orphan.FindOrCreate("sheet", "sheet", 12, 4), nullptr);
}

TEST(ParticleSpriteCache, SystemsShareASetAndGiveTheirLoadsBack)
{
    ParticleApp app;
    Renderer renderer;
    ParticleManager manager(&app, &renderer.table, 20);
    const std::string definition = std::string(kPlain) + "ParticleSprites = sheet\n";
    std::unique_ptr<ParticleSystem> a(manager.CreateSystem());
    std::unique_ptr<ParticleSystem> b(manager.CreateSystem());
    ASSERT_TRUE(ParseText(*a, definition, nullptr));
    ASSERT_TRUE(ParseText(*b, definition, nullptr));
    const ResourceEntry* shared = a->GetSprites();
    ASSERT_NE(shared, nullptr);
    EXPECT_EQ(b->GetSprites(), shared);
    EXPECT_TRUE(shared->IsMadeByCache());
    EXPECT_EQ(manager.GetSpriteCache()->GetList()->GetCount(), 1);
    EXPECT_EQ(shared->GetLoadCount(), 2);
    ASSERT_EQ(shared->GetFrameCount(), 12);

    // Reading the same definition again keeps the loaded frames and the one load.
    Surface* frame = shared->GetFrame(0);
    ASSERT_TRUE(ParseText(*a, definition, nullptr));
    EXPECT_EQ(a->GetSprites(), shared);
    EXPECT_EQ(shared->GetFrame(0), frame);
    EXPECT_EQ(shared->GetLoadCount(), 2);

    // Another layout of the sheet is another set; the old one gets its load back.
    ASSERT_TRUE(ParseText(*a, "ParticleNumSpritesPerRow = 6\n", nullptr));
    EXPECT_NE(a->GetSprites(), shared);
    EXPECT_EQ(a->GetSprites()->GetFrame(0)->GetWidth(), 5);
    EXPECT_EQ(shared->GetLoadCount(), 1);

    // A failed load declares the set but holds nothing.
    ASSERT_FALSE(ParseText(*a, "ParticleSprites = nowhere\n", nullptr));
    EXPECT_EQ(a->GetSprites(), nullptr);
    EXPECT_EQ(manager.GetSpriteCache()->GetList()->GetCount(), 3);
    EXPECT_EQ(manager.GetSpriteCache()->GetList()->Get(1)->GetLoadCount(), 0);

    // The last system to let go frees the frames; the set stays declared in the cache.
    b.reset();
    EXPECT_EQ(shared->GetLoadCount(), 0);
    EXPECT_EQ(shared->GetFrameCount(), 0);
    EXPECT_EQ(manager.GetSpriteCache()->GetList()->Get(0), shared);
}

TEST(ParticleSystem, AnglesFromTheEmitterAndItsMovement)
{
    struct RightOfEmitter : ParticlePointSource {
        void GetOffset(Fixed16Vec2& out) override { out = {10 * kOne, 0}; }
    };
    ParticleApp app;
    Renderer renderer;
    RightOfEmitter source;
    ParticleSystem system(&app, &renderer.table, nullptr);
    system.SetPointSource(&source);
    // A particle straight right of the emitter lies at 360 degrees, the same as 0: half a
    // 180-degree cone from 90 turns it to 45.
    ASSERT_TRUE(ParseText(system,
                          std::string(kPlain) + "ParticleSprites = sheet\nDirectionalParticles = 1\nDirection = 90\n"
                                                "Spread = 180\nParticleSpeedMin = 33\nParticleSpeedMax = 33\n"
                                                "EmissionSpeed = 34\n",
                          nullptr));
    system.SetPosition(Fixed16::FromInt(50), Fixed16::FromInt(50));
    system.Start();
    system.Update(system.GetTimeStep());
    ASSERT_EQ(system.GetCount(), 1);
    EXPECT_GT(system.GetParticle(0).vx, kOne / 2);
    EXPECT_NEAR(system.GetParticle(0).vx, system.GetParticle(0).vy, 512);

    // A relative direction turns by the way from the emitter back to where it was: moving right,
    // particles leave to the left; standing still counts as 270 (up), as the angle helper has it.
    system.SetPointSource(nullptr);
    ASSERT_TRUE(ParseText(system, "DirectionalParticles = 0\nDirection = 0\nSpread = 0\nDirectionIsRelative = 1\n",
                          nullptr));
    system.KillParticles();
    system.Start();
    system.SetPosition(Fixed16::FromInt(54), Fixed16::FromInt(50));
    system.Update(system.GetTimeStep());
    ASSERT_EQ(system.GetCount(), 1);
    EXPECT_LT(system.GetParticle(0).vx, -kOne / 2);
    EXPECT_NEAR(system.GetParticle(0).vy, 0, 512);
    system.Update(system.GetTimeStep());
    ASSERT_EQ(system.GetCount(), 2);
    EXPECT_LT(system.GetParticle(1).vy, -kOne / 2);
    EXPECT_NEAR(system.GetParticle(1).vx, 0, 512);
}

TEST(ParticlePath, WalksAndPicksPointsOnTheSegments)
{
    ParticlePath path(nullptr);
    const Fixed16Vec2 starts[] = {{0, 0}, {10 * kOne, 0}};
    const Fixed16Vec2 ends[] = {{10 * kOne, 0}, {10 * kOne, 10 * kOne}};
    ASSERT_TRUE(path.SetSegments(starts, ends, 2));
    EXPECT_EQ(path.GetTotalLength(), 20 * kOne);
    path.SetMode(1);
    path.SetStep(6 * kOne);
    Fixed16Vec2 p;
    const Fixed16Vec2 walked[] = {{0, 0}, {6 * kOne, 0}, {10 * kOne, 2 * kOne}, {10 * kOne, 8 * kOne}, {4 * kOne, 0}};
    for (const Fixed16Vec2& expected : walked) {
        path.NextPoint(p);
        // The 16.16 division keeps about 12 bits of the fraction.
        EXPECT_NEAR(p.x, expected.x, 256);
        EXPECT_NEAR(p.y, expected.y, 256);
    }
    crt::srand(5);
    for (int i = 0; i < 20; ++i) {
        path.RandomPoint(p);
        EXPECT_TRUE((p.y == 0 && p.x >= 0 && p.x <= 10 * kOne) || (p.x == 10 * kOne && p.y >= 0 && p.y <= 10 * kOne));
    }
    // A path of no length stays on its start.
    const Fixed16Vec2 dot[] = {{3 * kOne, 4 * kOne}};
    ASSERT_TRUE(path.SetSegments(dot, dot, 1));
    path.NextPoint(p);
    EXPECT_EQ(p, dot[0]);
}

namespace {

struct FrameRun {
    uint64_t hash = 0;
    int count = 0;
    int changed = 0;
};

// Loads a definition of tests/data/particles by name through a manager's sprite cache, runs it for
// a number of updates from a fixed seed, moving the emitter when asked, and draws the particles
// once onto a dark 5:6:5 frame.
FrameRun RunDefinition(const char* name, int updates, int moveX)
{
    ParticleApp app;
    Renderer renderer;
    ParticleManager manager(&app, &renderer.table, 20);
    ParticleSystem* added = manager.CreateSystem();
    EXPECT_TRUE(manager.AddSystem(added));
    ParticleSystem& system = *added;
    system.SetFileName(name);
    EXPECT_TRUE(system.LoadByName().ok()) << name;
    EXPECT_TRUE(system.GetSprites() && system.GetSprites()->IsMadeByCache()) << name;
    crt::srand(1234);
    system.SetPosition(Fixed16::FromInt(120), Fixed16::FromInt(120));
    system.Start();
    for (int i = 0; i < updates; ++i) {
        system.SetPosition(Fixed16::FromInt(120 + i * moveX), Fixed16::FromInt(120));
        system.Update(system.GetTimeStep());
    }
    auto frame = Make565(240, 240, 0, false);
    const uint16_t background = pixel::Pack565(16, 24, 40);
    Fill(*frame, background);
    system.Draw(frame.get());
    FrameRun run;
    run.hash = Checksum(*frame);
    run.count = system.GetCount();
    for (int i = 0; i < 240 * 240; ++i)
        run.changed += frame->GetPixels()[i] != background;
    return run;
}

}  // namespace

TEST(ParticleFrames, EachFamilyDrawsTheSameFrameFromTheSameSeed)
{
    struct Case {
        const char* name;
        int updates, moveX;
        uint64_t hash;
    };
    const Case cases[] = {
        {"grid.txt", 20, 0, 0x7493ac52999ae445ull},
        {"animated.txt", 40, 0, 0xad744e9552d49d3eull},
        {"directional.txt", 30, 2, 0x827cb284cbea6e2bull},
        {"additive.txt", 40, 0, 0xcf1cf9074ce1a09eull},
    };
    for (const Case& c : cases) {
        FrameRun first = RunDefinition(c.name, c.updates, c.moveX);
        FrameRun second = RunDefinition(c.name, c.updates, c.moveX);
        EXPECT_GT(first.count, 5) << c.name;
        EXPECT_GT(first.changed, 100) << c.name;
        EXPECT_EQ(first.hash, second.hash) << c.name;
        // Recorded from a run whose frames were looked at; a change here is a change in behaviour.
        EXPECT_EQ(first.hash, c.hash) << c.name << std::hex << " 0x" << first.hash;
    }
}
