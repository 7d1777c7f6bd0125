#include "game/play/track_sparkle.h"

#include <cstdint>
#include <cstdlib>

#include "engine/core/archive.h"
#include "engine/core/stream.h"
#include "engine/graphics/resource_entry.h"
#include "engine/graphics/surface.h"
#include "game/app/game_app.h"
#include "game/app/sound_bank.h"
#include "game/play/board_screen.h"
#include "game/play/curve_path.h"

namespace {

constexpr int kReservedRecords = 20;
constexpr int kRecordBytes = 12;
// Far more than a runner's speed over its step in any display mode (40 / 15 on 640x480).
constexpr int kMaxStepsPerUpdate = 256;
constexpr int64_t kFarOff = 1 << 20;

}  // namespace

TrackSparkle::TrackSparkle(GameApp* application, BoardScreen* screen) : application_(application), screen_(screen)
{
    const LayoutTable& layout = application->GetLayoutTable();
    previewSpeed_ = layout.fixed[kLayoutPreviewSparkleSpeed];
    sweepSpeed_ = layout.fixed[kLayoutSweepSparkleSpeed];
    previewStep_ = layout.fixed[kLayoutPreviewSparkleStep];
    sweepStep_ = layout.fixed[kLayoutSweepSparkleStep];
    speed_ = previewSpeed_;
    step_ = previewStep_;
    sweepPoint_ = FixedVec2(Fixed::FromInt(-100), Fixed::FromInt(-100));
}

TrackSparkle::~TrackSparkle()
{
    application_->ReleaseSprite(sparkle_);
}

bool TrackSparkle::Init()
{
    if (!application_->AcquireSprite(sparkle_, "Sparkle") || sparkle_->GetFrameCount() < 1)
        return false;
    frameCount_ = sparkle_->GetFrameCount();
    Surface* first = sparkle_->GetFrame(0);
    halfWidth_ = first ? first->GetWidth() / 2 : 0;
    halfHeight_ = first ? first->GetHeight() / 2 : 0;
    for (SparkleRecordArray& records : records_)
        if (!records.Reserve(kReservedRecords))
            return false;
    return true;
}

void TrackSparkle::SetEnds()
{
    if (!screen_)
        return;
    int count = screen_->GetCurveCount();
    for (int c = 0; c < kCurves && c < count; ++c) {
        CurvePath* curve = screen_->GetCurve(c);
        if (curve)
            end_[c] = curve->Length() - Fixed::FromInt(application_->GetLayoutTable().ints[kLayoutSparkleEndMargin]);
    }
}

void TrackSparkle::PlacePoint(int curve, Fixed distance)
{
    CurvePath* path = screen_ ? screen_->GetCurve(curve) : nullptr;
    FixedVec2 p = path ? path->TablePoint(distance, nullptr, nullptr)
                       : FixedVec2(Fixed::FromInt(-400), Fixed::FromInt(-400));
    SparkleRecord record;
    record.x = p.x.ToInt();
    record.y = p.y.ToInt();
    records_[curve].Append(record);
    lastPlaced_[curve] = distance;
}

void TrackSparkle::Start(int curve, Fixed startDistance, int mode)
{
    if (curve < 0 || curve >= kCurves)
        return;
    records_[curve].Clear();
    active_[curve] = 1;
    runner_[curve] = lastPlaced_[curve] = startDistance;
    done_[curve] = 0;
    mode_ = mode;
    if (mode == kSweep) {
        step_ = sweepStep_;
        speed_ = sweepSpeed_;
        sweepAngle_ = Fixed();
        sweepRadius_ = application_->GetLayoutTable().fixed[kLayoutSweepRadius];
        sweepPoint_ = FixedVec2(Fixed::FromInt(-100), Fixed::FromInt(-100));
    } else {
        step_ = previewStep_;
        speed_ = previewSpeed_;
        PlacePoint(curve, startDistance);
    }
}

void TrackSparkle::SetRepeat(int curve, Fixed rate, Fixed startDistance)
{
    if (curve < 0 || curve >= kCurves)
        return;
    repeatRate_[curve] = rate;
    repeatStart_[curve] = startDistance;
}

void TrackSparkle::EndPreviews()
{
    if (mode_ != kPreview)
        return;
    for (int c = 0; c < kCurves; ++c) {
        active_[c] = 0;
        records_[c].Clear();
    }
}

void TrackSparkle::Update()
{
    for (int c = 0; c < kCurves; ++c) {
        if (end_[c].raw <= 0)
            continue;
        if (repeatRate_[c].raw > 0) {
            repeatTimer_[c] += repeatRate_[c];
            if (repeatTimer_[c] > repeatThreshold_) {
                repeatTimer_[c] -= Fixed::FromInt(1);
                Start(c, repeatStart_[c], kPreview);
            }
        }
        if (!active_[c])
            continue;
        if (runner_[c] < end_[c]) {
            runner_[c] += speed_;
            if (runner_[c] >= end_[c]) {
                runner_[c] = end_[c];
                if (mode_ == kSweep) {
                    if (SoundBank* bank = application_->GetSoundBank())
                        bank->Stop(kEndPopSound);
                } else if (screen_) {
                    screen_->OnSparkleAtHole(c);
                }
            }
        }
        // The step is at least one raw unit so a zeroed step cannot stall the walk, and a restored
        // record whose runner lies far ahead of its last point catches up over several updates.
        Fixed step = step_.raw > 0 ? step_ : Fixed::Raw(1);
        int steps = 0;
        for (Fixed d = lastPlaced_[c]; d < runner_[c] && steps < kMaxStepsPerUpdate; ++steps) {
            d += step;
            if (d > runner_[c])
                break;
            if (mode_ == kPreview) {
                PlacePoint(c, d);
                continue;
            }
            CurvePath* path = screen_ ? screen_->GetCurve(c) : nullptr;
            FixedVec2 p = path ? path->TablePoint(d, nullptr, nullptr) : FixedVec2();
            if (screen_)
                screen_->SpawnDelayedExplosion(p.x, p.y, 0);
            sweepAngle_ += Fixed::FromInt(15);
            if (sweepAngle_ >= Fixed::FromInt(360))
                sweepAngle_ -= Fixed::FromInt(360);
            Fixed ox, oy;
            if (TrigTable* trig = application_->GetRenderer())
                RotateAround(*trig, Fixed(), Fixed(), Fixed(), sweepRadius_, sweepAngle_, ox, oy, nullptr);
            if (screen_)
                screen_->AddPlainBonus((p.x + ox).ToInt(), (p.y + oy).ToInt(), 100);
            lastPlaced_[c] = d;
        }
        SparkleRecordArray& records = records_[c];
        for (int i = records.Count() - 1; i >= 0; --i) {
            SparkleRecord* record = records.At(i);
            record->life += fadeRate_;
            if (record->life >= Fixed::FromInt(frameCount_))
                records.RemoveAt(i);
        }
        if (mode_ == kSweep ? runner_[c] >= end_[c] : records.Count() == 0)
            active_[c] = 0;
    }
}

void TrackSparkle::Draw(Surface* surface)
{
    if (mode_ != kPreview || !surface || !sparkle_)
        return;
    for (int c = 0; c < kCurves; ++c) {
        if (!active_[c])
            continue;
        for (int i = records_[c].Count() - 1; i >= 0; --i) {
            const SparkleRecord* record = records_[c].At(i);
            int life = record->life.ToInt();
            Surface* image = life >= 0 && life < frameCount_ ? sparkle_->GetFrame(life) : nullptr;
            // A record read back from a damaged file may lie anywhere; one that far off shows nothing.
            const int64_t x = int64_t(record->x) - halfWidth_, y = int64_t(record->y) - halfHeight_;
            if (image && std::abs(x) <= kFarOff && std::abs(y) <= kFarOff)
                image->Draw(surface, int(x), int(y), image->GetWidth(), image->GetHeight(), 0, 0);
        }
    }
}

bool TrackSparkle::Serialize(Stream* stream, bool saving)
{
    Archive archive(stream, saving);
    for (Fixed* f : {&speed_, &previewSpeed_, &sweepSpeed_, &step_, &previewStep_, &sweepStep_, &fadeRate_,
                     &repeatThreshold_})
        archive.SerializeValue(f->raw);
    for (int c = 0; c < kCurves; ++c) {
        archive.SerializeValue(end_[c].raw);
        bool active = active_[c] != 0, done = done_[c] != 0;
        archive.SerializeBool(active);
        archive.SerializeBool(done);
        active_[c] = active;
        done_[c] = done;
        for (Fixed* f : {&runner_[c], &lastPlaced_[c], &repeatTimer_[c], &repeatRate_[c], &repeatStart_[c]})
            archive.SerializeValue(f->raw);
        int32_t count = records_[c].Count();
        archive.SerializeValue(count);
        if (!archive.Succeeded())
            return false;
        if (!saving) {
            // Each record takes 12 bytes; a count the stream cannot hold is refused before growing.
            int64_t left = int64_t(stream->GetSize()) - stream->Tell();
            if (count < 0 || int64_t(count) * kRecordBytes > left)
                return false;
            records_[c].Clear();
        }
        for (int i = 0; i < count; ++i) {
            SparkleRecord record = saving ? *records_[c].At(i) : SparkleRecord();
            archive.SerializeValue(record.life.raw);
            archive.SerializeValue(record.x);
            archive.SerializeValue(record.y);
            if (!archive.Succeeded() || (!saving && !records_[c].Append(record)))
                return false;
        }
    }
    bool sweep = mode_ != 0;
    archive.SerializeBool(sweep);
    mode_ = sweep ? kSweep : kPreview;
    archive.SerializeValue(sweepAngle_.raw);
    archive.SerializeValue(sweepRadius_.raw);
    archive.SerializeValue(sweepPoint_.x.raw);
    archive.SerializeValue(sweepPoint_.y.raw);
    return archive.Succeeded();
}

void DeleteTrackSparkle(TrackSparkle*& sparkle)
{
    delete sparkle;
    sparkle = nullptr;
}
