#include <memory>

#include "engine/core/archive.h"
#include "engine/core/stream.h"
#include "game/app/game_app.h"
#include "game/app/player_record.h"
#include "game/play/ball_sprite.h"
#include "game/play/board_validation.h"
#include "game/play/coin.h"
#include "game/play/effect_emitter.h"
#include "game/play/frog.h"
#include "game/play/game_hud.h"
#include "game/play/gameplay_rules_end.h"
#include "game/play/gameplay_screen.h"
#include "game/play/track_sparkle.h"
#include "game/tables/progression.h"

// The board record of a level left in progress: one routine writes and reads the same fields in
// the same order. Reading starts from the level's files, so only the changing state is stored,
// and every value read is checked before the board takes it: a damaged record fails the load
// and leaves the player's progress as it was.

namespace {

constexpr const char* kLayoutFile = "keloui.txt";
constexpr int kPlayStates = 7;
constexpr int kMaxShots = 1;
// The smallest saved effect: the type byte, the byte 1 and the common fields.
constexpr int kSmallestEffectBytes = 11;
// What a board can hold, far above any played level: a record beyond these is a damaged one, so
// no sum or product of them overflows in play.
constexpr int32_t kMaxCounter = 1000000;
constexpr int32_t kMaxPoints = 100000000;

bool InRange(int32_t value, int32_t most)
{
    return value >= 0 && value <= most;
}

bool IsColour(int32_t colour)
{
    return colour >= 0 && colour < kBallColours;
}

// Bytes the stream still holds, or -1 when it cannot tell.
int64_t BytesLeft(Stream* stream)
{
    int32_t size = stream->GetSize();
    int32_t at = stream->Tell();
    return size >= 0 && at >= 0 ? int64_t(size) - at : -1;
}

void SerializeFixed(Archive& archive, Fixed& value)
{
    archive.SerializeValue(value.raw);
}

void SerializeVec(Archive& archive, FixedVec2& value)
{
    archive.SerializeValue(value.x.raw);
    archive.SerializeValue(value.y.raw);
}

void SerializeFlag(Archive& archive, uint8_t& flag)
{
    bool on = flag != 0;
    archive.SerializeBool(on);
    flag = on ? 1 : 0;
}

// The fields a chain ball and a shot share, from the previous position to the pull speed.
void SerializeMotion(Archive& archive, Ball& ball)
{
    SerializeVec(archive, ball.previousPosition);
    SerializeVec(archive, ball.velocity);
    SerializeFixed(archive, ball.radius);
    SerializeVec(archive, ball.insertStart);
    SerializeFixed(archive, ball.growth);
    SerializeFlag(archive, ball.matched);
    archive.SerializeValue(ball.isNew);
    archive.SerializeValue(ball.colour);
    SerializeFlag(archive, ball.tunnel);
    SerializeFixed(archive, ball.pullSpeed);
}

// The save number of the chain ball with the serial (its place in writing order), 0 for none.
int32_t SaveNumberOfSerial(GameplayScreen& screen, int32_t serial)
{
    if (serial == 0)
        return 0;
    int running = 0;
    for (BallChain* chain : screen.chains) {
        for (int i = 0; chain && i < chain->count; ++i) {
            ++running;
            if (chain->balls[i].serial == serial)
                return running;
        }
    }
    return 0;
}

BallChain* ChainOf(GameplayScreen& screen, int slot)
{
    return slot >= 0 && slot < kMaxChains ? screen.chains[slot] : nullptr;
}

// Reads or writes the whole board after the progress number; false at the first failure.
class BoardRecord {
public:
    BoardRecord(GameplayScreen& screen, Stream* stream, bool saving)
        : s_(screen), stream_(stream), saving_(saving), archive_(stream, saving)
    {
    }

    bool Run();

private:
    bool Ok() const { return archive_.Succeeded(); }
    bool Counters();
    bool Chains();
    bool Chain(int written, int& lastCurve, int& saveNumber);
    bool FrogAndBalls();
    bool FrogBall(BallSprite*& sprite);
    bool LossSequence();
    bool Shots();
    bool Effects();
    bool Tail();
    bool CoinGuards();

    GameplayScreen& s_;
    Stream* stream_;
    bool saving_;
    Archive archive_;
};

bool BoardRecord::Run()
{
    return Counters() && Chains() && FrogAndBalls() && LossSequence() && Shots() && Effects() && Tail() &&
           CoinGuards();
}

bool BoardRecord::Counters()
{
    Archive& a = archive_;
    int32_t score = s_.levelScore;
    a.SerializeValue(score);
    a.SerializeValue(s_.coinsCollected);
    a.SerializeValue(s_.powerUpsUsed);
    a.SerializeValue(s_.timeBonus);
    a.SerializeValue(s_.targetScore);
    SerializeFixed(a, s_.progressScale);
    if (!Ok())
        return false;
    if (!saving_) {
        if (!InRange(score, kMaxPoints) || !InRange(s_.timeBonus, kMaxPoints) || !InRange(s_.targetScore, kMaxPoints) ||
            !InRange(s_.coinsCollected, kMaxCounter) || !InRange(s_.powerUpsUsed, kMaxCounter))
            return false;
        s_.SetLevelScore(score);
    }
    a.SerializeValue(s_.playState);
    if (!Ok() || s_.playState < 0 || s_.playState >= kPlayStates)
        return false;
    a.SerializeValue(s_.frameCounter);
    a.SerializeValue(s_.levelTime);
    return Ok();
}

bool BoardRecord::Chains()
{
    Archive& a = archive_;
    // The writer declares the chains it writes: those that hold balls.
    int32_t written = 0;
    if (saving_) {
        for (BallChain* chain : s_.chains)
            written += chain && chain->count > 0 ? 1 : 0;
    }
    a.SerializeValue(written);
    if (!Ok() || written < 0 || written > s_.curveCount)
        return false;
    s_.chainCount = written;
    SerializeFlag(a, s_.lifeLost);
    SerializeFlag(a, s_.levelFinished);
    SerializeFlag(a, s_.targetReached);
    for (int32_t& frame : s_.lastSpawnFrame)
        a.SerializeValue(frame);
    a.SerializeValue(s_.reverseTimer);
    a.SerializeValue(s_.slowTimer);
    a.SerializeValue(s_.accuracyTimer);
    a.SerializeValue(s_.frogReloadTimer);
    for (int32_t& count : s_.colourCount)
        a.SerializeValue(count);
    if (!Ok())
        return false;
    for (int32_t count : s_.colourCount) {
        if (count < 0)
            return false;
    }
    int lastCurve = -1, saveNumber = 0;
    int slot = 0;
    for (int i = 0; i < written; ++i) {
        if (saving_) {
            while (slot < kMaxChains && !(s_.chains[slot] && s_.chains[slot]->count > 0))
                ++slot;
            if (!Chain(slot++, lastCurve, saveNumber))
                return false;
        } else if (!Chain(-1, lastCurve, saveNumber)) {
            return false;
        }
    }
    if (!saving_) {
        // Feeding takes slot c as curve c: an empty slot keeps its curve for the balls to come.
        for (int c = 0; c < s_.curveCount && c < kBoardCurves; ++c) {
            BallChain* chain = s_.chains[c];
            if (chain && chain->count == 0)
                chain->SetPath(&s_.curves[c], c);
        }
    }
    return true;
}

// One chain: on saving the one in slot, on loading into the slot of its curve. Curves come in
// rising order, so no slot is filled twice.
bool BoardRecord::Chain(int slot, int& lastCurve, int& saveNumber)
{
    Archive& a = archive_;
    BallChain* chain = saving_ ? ChainOf(s_, slot) : nullptr;
    int32_t count = chain ? chain->count : 0;
    int32_t curve = chain ? chain->curveIndex : 0;
    a.SerializeValue(count);
    a.SerializeValue(curve);
    if (!Ok() || count < 1 || count > kMaxChainBalls || curve < 0 || curve >= s_.curveCount || curve <= lastCurve)
        return false;
    lastCurve = curve;
    if (!saving_) {
        chain = ChainOf(s_, curve);
        if (!chain)
            return false;
        chain->Reset();
        chain->SetPath(&s_.curves[curve], curve);
    }
    SerializeFixed(a, chain->speed);
    SerializeFixed(a, chain->targetSpeed);
    SerializeFixed(a, chain->speedStep);
    a.SerializeValue(chain->speedDelay);
    a.SerializeValue(chain->pullBackDelay);
    a.SerializeValue(chain->pullRelaxDelay);
    SerializeFixed(a, chain->pathLength);
    SerializeFlag(a, chain->entering);
    if (!Ok())
        return false;
    for (int i = 0; i < count; ++i) {
        Ball& ball = chain->balls[i];
        if (!saving_)
            ball.Reset();
        SerializeFixed(a, ball.distance);
        SerializeVec(a, ball.position);
        SerializeMotion(a, ball);
        a.SerializeInt16(ball.gapBonusPoints);
        a.SerializeInt16(ball.gapBonusCount);
        // Balls are numbered 1.. in writing order; a shot's gaps name their balls by it.
        int32_t number = ++saveNumber;
        a.SerializeValue(number);
        if (saving_)
            continue;
        if (!Ok() || number != saveNumber || !IsColour(ball.colour))
            return false;
        std::unique_ptr<BallSprite> sprite(s_.CreateBallSprite(ball.colour));
        if (!sprite)
            return false;
        sprite->SetPositionAndSize(FixedVec2(Fixed::FromInt(-400), Fixed::FromInt(-400)),
                                   FixedVec2(sprite->Bounds().w, sprite->Bounds().h));
        if (!s_.ballSprites.Append(sprite.get()))
            return false;
        ball.sprite = sprite.release();
        ball.serial = Ball::NewSerial();
        chain->count = i + 1;
    }
    if (!Ok())
        return false;
    // The balls are placed as they were saved: a ball going in grows on the next frame, not here.
    if (!saving_)
        chain->Update(&s_, false);
    return true;
}

bool BoardRecord::FrogAndBalls()
{
    Archive& a = archive_;
    FixedVec2 frogPosition;
    if (s_.frog)
        frogPosition = FixedVec2(s_.frog->Bounds().x, s_.frog->Bounds().y);
    SerializeVec(a, frogPosition);
    SerializeVec(a, s_.mouthPoint);
    if (!Ok())
        return false;
    if (!saving_ && s_.frog) {
        FixedRect bounds = s_.frog->Bounds();
        bounds.x = frogPosition.x;
        bounds.y = frogPosition.y;
        s_.frog->SetBounds(bounds);
    }
    return FrogBall(s_.currentBall) && FrogBall(s_.nextBall);
}

// A ball of the frog: its colour, then (when there is one) its sprite's own record.
bool BoardRecord::FrogBall(BallSprite*& sprite)
{
    Archive& a = archive_;
    int32_t colour = sprite ? sprite->GetColour() : -1;
    a.SerializeValue(colour);
    if (!Ok())
        return false;
    if (saving_)
        return !sprite || sprite->Serialize(stream_, true);
    if (colour == -1)
        return true;
    if (!IsColour(colour))
        return false;
    delete sprite;
    sprite = s_.CreateBallSprite(colour);
    // Without the sprite its record's length is unknown: the rest cannot be read.
    if (!sprite)
        return false;
    uint8_t type = 0, one = 0;
    a.SerializeInt8(type);
    a.SerializeInt8(one);
    return Ok() && type == kObjectBallSprite && sprite->Serialize(stream_, false);
}

bool BoardRecord::LossSequence()
{
    Archive& a = archive_;
    a.SerializeValue(s_.shotCount);
    a.SerializeValue(s_.shotPending);
    a.SerializeValue(s_.holeCountdown);
    SerializeFlag(a, s_.waitingAfterLoss);
    a.SerializeValue(s_.lossFade);
    a.SerializeValue(s_.messageFrames);
    a.SerializeString(s_.lossMessage);
    a.SerializeValue(s_.messageX);
    a.SerializeValue(s_.messageY);
    SerializeFixed(a, s_.frogSpinAngle);
    SerializeFixed(a, s_.frogSpinSpeed);
    a.SerializeValue(s_.lossFadeValue);
    return Ok() && s_.shotCount >= 0 && s_.shotCount <= kMaxShots;
}

bool BoardRecord::Shots()
{
    Archive& a = archive_;
    for (int i = 0; i < s_.shotCount; ++i) {
        Ball& shot = s_.shot;
        if (!saving_)
            shot.Reset();
        SerializeFixed(a, shot.distance);
        SerializeVec(a, shot.position);
        SerializeMotion(a, shot);
        for (int32_t& distance : shot.trackDistance)
            a.SerializeValue(distance);
        a.SerializeValue(shot.gapCount);
        if (!Ok() || shot.gapCount < 0 || shot.gapCount > kMaxGapsCrossed)
            return false;
        for (int g = 0; g < shot.gapCount; ++g) {
            GapCrossed& gap = shot.gaps[g];
            a.SerializeValue(gap.curve);
            a.SerializeValue(gap.width);
            int32_t number = saving_ ? SaveNumberOfSerial(s_, gap.key) : 0;
            a.SerializeValue(number);
            if (!saving_) {
                Ball* key = s_.FindBallBySaveNumber(number);
                gap.key = key ? key->serial : 0;
            }
        }
        if (!Ok())
            return false;
        if (saving_)
            continue;
        if (!IsColour(shot.colour))
            return false;
        std::unique_ptr<BallSprite> sprite(s_.CreateBallSprite(shot.colour));
        if (!sprite)
            return false;
        FixedRect bounds = sprite->Bounds();
        bounds.x = shot.position.x - Fixed::FromInt(bounds.w.ToInt() >> 1);
        bounds.y = shot.position.y - Fixed::FromInt(bounds.h.ToInt() >> 1);
        sprite->SetBounds(bounds);
        if (!s_.effects.Append(sprite.get()))
            return false;
        shot.sprite = sprite.release();
        // A shot becomes a chain ball when it lands, so it is numbered as the chain's balls are.
        shot.serial = Ball::NewSerial();
    }
    return true;
}

bool IsSavedEffect(const GameObject* object)
{
    const int type = object->Type();
    // A coin already hit has paid: its swell is not worth a record that would read it back unpaid.
    if (type == kObjectCoin && static_cast<const Coin*>(object)->IsCollected())
        return false;
    return type != kObjectBallSprite && type != kObjectHole && type != kObjectTraceEmitter;
}

// Holes come from the level and ball sprites from the balls; a coin carries its own trail.
bool IsLoadableEffect(int type)
{
    return type == kObjectExplosion || type == kObjectStarEmitter || type == kObjectSparkEmitter ||
           type == kObjectCoin;
}

bool BoardRecord::Effects()
{
    Archive& a = archive_;
    int32_t count = 0;
    if (saving_) {
        for (int i = 0; i < s_.effects.Count(); ++i)
            count += IsSavedEffect(s_.effects.Get(i)) ? 1 : 0;
    }
    a.SerializeValue(count);
    if (!Ok())
        return false;
    if (saving_) {
        for (int i = 0; i < s_.effects.Count(); ++i) {
            GameObject* object = s_.effects.Get(i);
            if (IsSavedEffect(object) && !object->Serialize(stream_, true))
                return false;
        }
        return true;
    }
    int64_t left = BytesLeft(stream_);
    if (count < 0 || (left >= 0 && int64_t(count) * kSmallestEffectBytes > left))
        return false;
    ObjectFactory factory(s_.application);
    for (int i = 0; i < count; ++i) {
        uint8_t type = 0, one = 0;
        a.SerializeInt8(type);
        a.SerializeInt8(one);
        if (!Ok() || one != 1 || !IsLoadableEffect(type))
            return false;
        std::unique_ptr<GameObject> owned(factory.Create(type));
        if (!owned || !owned->Init() || !owned->Serialize(stream_, false) || !s_.effects.Append(owned.get()))
            return false;
        GameObject* object = owned.release();
        if (type != kObjectCoin)
            continue;
        auto* coin = static_cast<Coin*>(object);
        if (TraceEmitter* trail = coin->GetTrail()) {
            if (!s_.effects.Append(trail)) {
                coin->SetTrail(nullptr);
                delete trail;
                return false;
            }
        }
    }
    return true;
}

bool BoardRecord::Tail()
{
    Archive& a = archive_;
    for (int c = 0; c < s_.curveCount && c < kBoardCurves; ++c) {
        SerializeFixed(a, s_.curveLength[c]);
        SerializeFlag(a, s_.rollInActive[c]);
        SerializeFixed(a, s_.startDistance[c]);
    }
    SerializeFlag(a, s_.matchedFlag);
    // "Chains entered" stands twice; the second is the one kept.
    for (int32_t* counter : {&s_.combo, &s_.chain, &s_.combos, &s_.chainsEntered, &s_.bestCombo, &s_.bestChain,
                             &s_.gapShots, &s_.chainsEntered, &s_.shotsTaken}) {
        a.SerializeValue(*counter);
        if (!saving_ && (!Ok() || !InRange(*counter, kMaxCounter)))
            return false;
    }
    SerializeFixed(a, s_.endSweepStart[0]);
    SerializeFixed(a, s_.endSweepStart[1]);
    SerializeFlag(a, s_.statisticsClosed);
    a.SerializeValue(s_.lastChainColour);
    SerializeVec(a, s_.loadedBallPoint);
    if (!Ok() || (s_.lastChainColour != -1 && !IsColour(s_.lastChainColour)))
        return false;
    if (!saving_) {
        s_.PlaceFrogBalls();
        s_.shootRequest = 0;
    }
    for (int32_t& word : s_.recordReserved)
        a.SerializeValue(word);
    a.SerializeValue(s_.endSweepCurve);
    a.SerializeValue(s_.previewSweeps);
    a.SerializeValue(s_.quietFrames);
    a.SerializeValue(s_.introFrames);
    a.SerializeValue(s_.recordResetWord);
    if (!Ok())
        return false;
    // The in-game display keeps nothing of its own in the record.
    if (s_.trackSparkle && !s_.trackSparkle->Serialize(stream_, saving_))
        return false;
    bool nebula = s_.nebula != nullptr;
    a.SerializeBool(nebula);
    Fixed angle = s_.frog ? s_.frog->GetAngle() : Fixed();
    SerializeFixed(a, angle);
    if (!Ok())
        return false;
    if (!saving_ && s_.frog) {
        s_.frog->SetAngle(angle);
        s_.SetAim(s_.frog->GetAngle());
    }
    return true;
}

bool BoardRecord::CoinGuards()
{
    Archive& a = archive_;
    FixedArray* first = s_.coinGuards[0];
    FixedArray* second = s_.coinGuards[1];
    int32_t count = saving_ && first ? first->Count() : 0;
    a.SerializeValue(count);
    if (!Ok())
        return false;
    if (saving_) {
        for (int i = 0; i < count; ++i) {
            Fixed near = *first->At(i);
            Fixed far = second && i < second->Count() ? *second->At(i) : Fixed();
            SerializeFixed(a, near);
            SerializeFixed(a, far);
        }
        return Ok();
    }
    // A guard belongs to a coin spot of the map: no more guards than spots.
    int spots = s_.coinPoints ? s_.coinPoints->Count() : 0;
    if (count < 0 || count > spots || (count > 0 && (!first || !second)))
        return false;
    if (first)
        first->Free();
    if (second)
        second->Free();
    for (int i = 0; i < count; ++i) {
        Fixed near, far;
        SerializeFixed(a, near);
        SerializeFixed(a, far);
        if (!Ok() || !first->Append(near) || !second->Append(far))
            return false;
    }
    return true;
}

bool ProgressNumberValid(GameplayScreen& screen, int32_t number)
{
    PlayerRecord* player = gameplay_end::CurrentPlayer(screen);
    if (!player || number < 1)
        return false;
    return player->mode != 0 || number <= kAdventureStageCount;
}

}  // namespace

bool GameplayScreen::SaveGame(Stream* stream)
{
    return SerializeState(stream, true);
}

bool GameplayScreen::Serialize(Stream* stream, bool saving)
{
    return saving ? SaveGame(stream) : LoadSavedGame(stream);
}

bool GameplayScreen::LoadSavedGame(Stream* stream)
{
    levelLoad = LoadResult();
    ModeProgress* progress = gameplay_end::Progress(*this);
    if (!stream || !progress)
        return false;
    // A record of a level before the profile's own was left behind when the progress moved on
    // without it (the program ended between the two saves): the profile's level starts instead.
    int32_t at = stream->Tell();
    int32_t number = 0;
    if (stream->ReadInt32(&number) != 4 || !stream->Seek(at, kSeekStart))
        return false;
    PlayerRecord* player = gameplay_end::CurrentPlayer(*this);
    if (player && player->PassedLevel(player->mode, number)) {
        levelLoad = StartLevel();
        return levelLoad.ok();
    }
    if (!SerializeState(stream, false))
        return false;
    RunActionFromFile(kLayoutFile, "acn_show_ready_go");
    return true;
}

bool GameplayScreen::SerializeState(Stream* stream, bool saving)
{
    ModeProgress* progress = gameplay_end::Progress(*this);
    if (!stream || !progress)
        return false;
    Archive archive(stream, saving);
    int32_t number = progress->stage;
    if (saving) {
        archive.SerializeValue(number);
        return archive.Succeeded() && BoardRecord(*this, stream, true).Run();
    }
    ClearBoard();
    levelLoad = LoadResult();
    archive.SerializeValue(number);
    if (!archive.Succeeded() || !ProgressNumberValid(*this, number))
        return false;
    const int32_t stored = progress->stage;
    progress->stage = number;
    levelLoad = LoadLevel();
    if (levelLoad.ok() && !SetupDifficulty())
        levelLoad = DifficultyFailure();
    bool loaded = levelLoad.ok() && BoardRecord(*this, stream, false).Run();
    if (!loaded) {
        progress->stage = stored;
        return false;
    }
    // Each field in range is not yet a board: one that breaks the board's rules (balls out of
    // order, counts that differ from the balls) is a damaged record, refused before anything of
    // it reaches the profile.
    if (!ValidateBoard(*this)) {
        progress->stage = stored;
        return false;
    }
    if (hud)
        hud->RefreshLabels();
    // Once the whole board is back: the target rule (which in survival moves on a level and
    // folds the counters just read into the profile) and the bomb's pattern, which only a level
    // start builds.
    CheckTargetReached();
    BuildBombPattern();
    return true;
}

Ball* GameplayScreen::FindBallBySaveNumber(int number)
{
    if (number < 1)
        return nullptr;
    int running = 0;
    for (BallChain* chain : chains) {
        for (int i = 0; chain && i < chain->count; ++i) {
            if (++running == number)
                return &chain->balls[i];
        }
    }
    return nullptr;
}

