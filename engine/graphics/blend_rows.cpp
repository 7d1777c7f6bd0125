#include "engine/graphics/blend_rows.h"

namespace blend_rows {
namespace {

using F = pixel::Format565;

const Kernels kReference = {
    AlphaRow<F>, AlphaOffsetRow<F>, ConstantRow<F>, AdditiveRow<F>, TintedRow<F>, FillBlendRow<F>, MaskRow<F>,
};

bool fastEnabled = true;

}  // namespace

const Kernels& Reference()
{
    return kReference;
}

const Kernels& Fast()
{
    static const Kernels* const fast = Avx2Kernels() ? Avx2Kernels() : Sse2Kernels();
    return fast ? *fast : kReference;
}

const Kernels& Active()
{
    return fastEnabled ? Fast() : kReference;
}

void SetFastPathsEnabled(bool on)
{
    fastEnabled = on;
}

bool FastPathsEnabled()
{
    return fastEnabled;
}

#if !defined(__SSE2__)
const Kernels* Sse2Kernels()
{
    return nullptr;
}
#endif

}  // namespace blend_rows
