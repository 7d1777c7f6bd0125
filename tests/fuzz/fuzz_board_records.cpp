// Saved board objects on any bytes: the type byte picks the class (0 the track sparkle), which is
// made, set up and loaded as the board loader does. A record that loads saves and loads back to
// the same bytes, and the object then runs and draws without harm.
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "engine/graphics/resource_entry.h"
#include "engine/graphics/resource_list.h"
#include "game/play/coin.h"
#include "game/play/effect_emitter.h"
#include "game/play/track_sparkle.h"
#include "tests/game/play/board_app.h"
#include "tests/game/play/record_io.h"

namespace {

BoardApp& App()
{
    static BoardApp* app = [] {
        auto* made = new BoardApp();
        made->AddBallSets(50);
        for (const char* name : {"BallExplosion", "Explosion", "Coin", "ParticleTrace", "ParticleStarSmall"})
            made->AddSet(name, 12, 8, 8);
        made->AddSet("ParticleBlik", 1, 8, 8);
        made->AddSet("Sparkle", 12, 8, 8);
        made->AddSet("Hole", 1, 16, 16);
        made->AddSet("Pitcover", 8, 16, 16);
        for (const char* name : {"Frog", "NextToShoot", "EyeBlink", "Tongue", "FrogNose", "FrogAll"})
            made->AddSet(name, 6, 8, 8);
        atexit([] { delete App().surface; });
        made->surface = made->CreateImage();
        made->surface->Create(64, 64);
        // Every set stays loaded for the run: objects acquire and release them on each input,
        // and decoding the pictures again each time would cost more than the record itself.
        ResourceList* sets = made->GetSpriteList();
        // A set of the target's own that will not load leaves nothing worth running.
        for (int i = 0; i < sets->GetCount(); ++i)
            if (sets->Get(i)->Load().failed())
                std::abort();
        return made;
    }();
    return *app;
}

// A coin that loads owns nothing of its trail: the board would put it in its list.
std::unique_ptr<GameObject> TakeTrail(std::unique_ptr<GameObject> object, std::unique_ptr<GameObject>& trail)
{
    if (object && object->Type() == kObjectCoin) {
        auto* coin = static_cast<Coin*>(object.get());
        trail.reset(coin->GetTrail());
    }
    return object;
}

void FuzzSparkle(BoardApp& app, const uint8_t* data, size_t size)
{
    static CurvePath* curve = [&] {
        auto* made = new CurvePath();
        made->Bind(&app);
        auto p = [](int x) { return FixedVec2(Fixed::FromInt(x), Fixed::FromInt(50)); };
        made->Segment(0).SetPoints(p(0), p(30), p(60), p(90));
        made->SetSegmentCount(1);
        made->BuildTable();
        return made;
    }();
    RecordingScreen screen;
    screen.curveCount = 1;
    screen.curves[0] = curve;
    TrackSparkle sparkle(&app, &screen);
    if (!sparkle.Init())
        abort();
    PackMemoryFile in;
    FillStream(in, std::vector<uint8_t>(data + 1, data + size));
    if (!sparkle.Serialize(&in, false))
        return;
    // A save writes what the load read, so the input's size bounds it: buffers of a megabyte
    // each cost more to clear than the whole record to check.
    PackMemoryFile first, second;
    first.Allocate(static_cast<int32_t>(size) + 64);
    second.Allocate(static_cast<int32_t>(size) + 64);
    if (!sparkle.Serialize(&first, true))
        abort();
    TrackSparkle again(&app, &screen);
    again.Init();
    PackMemoryFile back;
    auto* bytes = static_cast<uint8_t*>(first.GetBuffer());
    FillStream(back, std::vector<uint8_t>(bytes, bytes + first.Tell()));
    if (!again.Serialize(&back, false) || !again.Serialize(&second, true) || second.Tell() != first.Tell() ||
        memcmp(first.GetBuffer(), second.GetBuffer(), size_t(first.Tell())) != 0)
        abort();
    for (int i = 0; i < 4; ++i) {
        sparkle.Update();
        sparkle.Draw(app.surface);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1 || size > 6000)
        return 0;
    BoardApp& app = App();
    if (data[0] == 0) {
        FuzzSparkle(app, data, size);
        return 0;
    }
    std::vector<uint8_t> record(data, data + size);
    std::unique_ptr<GameObject> trail, trailAgain;
    std::unique_ptr<GameObject> object = TakeTrail(LoadObject(&app, record), trail);
    if (!object)
        return 0;
    std::vector<uint8_t> saved = SaveObject(*object);
    std::unique_ptr<GameObject> again = TakeTrail(LoadObject(&app, saved), trailAgain);
    if (saved.empty() || !again || SaveObject(*again) != saved)
        abort();
    for (int i = 0; i < 3; ++i) {
        object->Update();
        object->Draw(app.surface, 0, 0);
        if (trail) {
            trail->Update();
            trail->Draw(app.surface, 0, 0);
        }
    }
    if (auto* star = dynamic_cast<StarEmitter*>(object.get())) {
        star->DrawPass(app.surface, 0);
        star->DrawPass(app.surface, 1);
    }
    return 0;
}
