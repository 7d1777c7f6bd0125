#include "engine/graphics/particle_path.h"

#include "engine/core/memory.h"
#include "engine/graphics/particle_fixed.h"

using namespace particle_fixed;

ParticlePath::~ParticlePath()
{
    Clear();
}

void ParticlePath::Clear()
{
    Free(starts_);
    Free(ends_);
    Free(lengths_);
    starts_ = ends_ = nullptr;
    lengths_ = nullptr;
    count_ = 0;
    total_ = 0;
    current_ = 0;
    distance_ = 0;
}

bool ParticlePath::SetSegments(const Fixed16Vec2* starts, const Fixed16Vec2* ends, int count)
{
    Clear();
    if (!starts || !ends || count < 1)
        return false;
    starts_ = static_cast<Fixed16Vec2*>(Alloc(sizeof(Fixed16Vec2) * size_t(count)));
    ends_ = static_cast<Fixed16Vec2*>(Alloc(sizeof(Fixed16Vec2) * size_t(count)));
    lengths_ = static_cast<int32_t*>(Alloc(sizeof(int32_t) * size_t(count)));
    if (!starts_ || !ends_ || !lengths_) {
        Clear();
        return false;
    }
    count_ = count;
    for (int i = 0; i < count; ++i) {
        starts_[i] = starts[i];
        ends_[i] = ends[i];
        lengths_[i] = Fixed16Length(Fixed16::Raw(Sub(ends[i].x, starts[i].x)),
                                    Fixed16::Raw(Sub(ends[i].y, starts[i].y))).raw;
        total_ = Add(total_, lengths_[i]);
    }
    return true;
}

void ParticlePath::Walk(int& segment, int32_t& distance, Fixed16Vec2& out) const
{
    // A path of no length has nowhere to walk; a distance of whole laps comes back to the same
    // point, so laps are dropped before the walk rather than walked one segment at a time.
    if (total_ > 0) {
        if (distance >= total_)
            distance %= total_;
        while (distance >= lengths_[segment]) {
            distance -= lengths_[segment];
            segment = segment + 1 < count_ ? segment + 1 : 0;
        }
    }
    const Fixed16Vec2& a = starts_[segment];
    const Fixed16Vec2& b = ends_[segment];
    out = a;
    if (lengths_[segment] > 0) {
        int32_t t = Div(distance, lengths_[segment]);
        out.x = Add(a.x, Mul(Sub(b.x, a.x), t));
        out.y = Add(a.y, Mul(Sub(b.y, a.y), t));
    }
}

void ParticlePath::NextPoint(Fixed16Vec2& out)
{
    out = {};
    if (count_ == 0)
        return;
    Walk(current_, distance_, out);
    distance_ = Add(distance_, step_);
}

void ParticlePath::RandomPoint(Fixed16Vec2& out)
{
    out = {};
    if (count_ == 0)
        return;
    int segment = 0;
    int32_t distance = FromInt(Random(total_ >> 16));
    Walk(segment, distance, out);
    distance_ = Add(distance_, step_);
}
