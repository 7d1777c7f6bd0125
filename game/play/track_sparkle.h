#pragma once
// The runner that travels along the tracks: in preview mode it leaves a short-lived trail showing
// where the balls will roll and tells the screen when it reaches a hole; in sweep mode, at the end
// of a won level, it sets off a bomb explosion and awards 100 points at every step.
#include <cstdint>

#include "engine/core/arrays.h"
#include "engine/core/fixed.h"

class BoardScreen;
class GameApp;
class ResourceEntry;
class Stream;
class Surface;

struct SparkleRecord {
    int32_t x = 0, y = 0;
    Fixed life;
};

using SparkleRecordArray = ItemArrayOf<SparkleRecord>;

class TrackSparkle {
public:
    static constexpr int kPreview = 0;
    static constexpr int kSweep = 1;
    static constexpr int kCurves = 2;

    TrackSparkle(GameApp* application, BoardScreen* screen);
    TrackSparkle(const TrackSparkle&) = delete;
    TrackSparkle& operator=(const TrackSparkle&) = delete;
    virtual ~TrackSparkle();

    bool Init();
    void SetEnds();
    void Start(int curve, Fixed startDistance, int mode);
    void SetRepeat(int curve, Fixed rate, Fixed startDistance);
    // The mode is shared by both tracks: a preview left running would pay once a sweep starts.
    void EndPreviews();
    void Update();
    void Draw(Surface* surface);
    bool Serialize(Stream* stream, bool saving);

    bool IsActive(int curve) const { return active_[curve] != 0; }
    int GetRecordCount(int curve) const { return records_[curve].Count(); }
    const SparkleRecord& GetRecord(int curve, int i) const { return *records_[curve].At(i); }
    Fixed GetRunner(int curve) const { return runner_[curve]; }
    Fixed GetEnd(int curve) const { return end_[curve]; }
    void SetEnd(int curve, Fixed end) { end_[curve] = end; }
    int GetMode() const { return mode_; }

private:
    void PlacePoint(int curve, Fixed distance);

    GameApp* application_;
    BoardScreen* screen_;
    ResourceEntry* sparkle_ = nullptr;
    int32_t frameCount_ = 0;
    int32_t halfWidth_ = 0;
    int32_t halfHeight_ = 0;
    Fixed speed_;
    Fixed previewSpeed_;
    Fixed sweepSpeed_;
    Fixed step_;
    Fixed previewStep_;
    Fixed sweepStep_;
    Fixed fadeRate_ = Fixed::FromInt(1);
    Fixed repeatThreshold_ = Fixed::FromInt(1);
    Fixed end_[kCurves];
    SparkleRecordArray records_[kCurves];
    uint8_t active_[kCurves] = {};
    uint8_t done_[kCurves] = {};
    Fixed runner_[kCurves];
    Fixed lastPlaced_[kCurves];
    Fixed repeatTimer_[kCurves] = {Fixed::FromInt(1), Fixed::FromInt(1)};
    Fixed repeatRate_[kCurves];
    Fixed repeatStart_[kCurves];
    int32_t mode_ = kPreview;
    Fixed sweepAngle_;
    Fixed sweepRadius_;
    FixedVec2 sweepPoint_;
};

// Deletes the sparkle when there is one and nulls the pointer.
void DeleteTrackSparkle(TrackSparkle*& sparkle);
