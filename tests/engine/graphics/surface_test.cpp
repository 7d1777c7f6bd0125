#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "engine/core/memory.h"
#include "platform/null/test_hooks.h"
#include "support/plain_app.h"
#include "surface_test_support.h"

using namespace drawing_test;

namespace {

class ListApplication : public PlainApp {
public:
    ListApplication() { SetImageListEnabled(true); }
    void SetRotationForTest(int rotation) { rotation_ = rotation; }
    OptionsRecord* CreateOptionsRecord() override { return nullptr; }
};

}  // namespace

TEST(Surface, CreateGivesOpaquePlaneOr32BitZeros)
{
    Surface s(nullptr);
    EXPECT_EQ(s.GetFormat(), 2);
    EXPECT_EQ(s.GetBitDepth(), 16);
    ASSERT_TRUE(s.Create(10, 20));
    EXPECT_EQ(s.GetWidth(), 10);
    EXPECT_EQ(s.GetHeight(), 20);
    for (int i = 0; i < 200; ++i)
        ASSERT_EQ(s.GetAlpha()[i], 255);

    Surface wide(nullptr, FormatProperties(4));
    ASSERT_TRUE(wide.Create(10, 20));
    EXPECT_EQ(static_cast<void*>(wide.GetAlpha()), static_cast<void*>(wide.GetPixels()));
    const uint8_t* bytes = wide.GetPixelBytes();
    for (int i = 0; i < 800; ++i)
        ASSERT_EQ(bytes[i], 0);
    // Clearing a 32-bit surface keeps its alpha bytes.
    wide.GetPixelBytes()[3] = 77;
    wide.Clear(1, 2, 3);
    EXPECT_EQ(bytes[0], 3);
    EXPECT_EQ(bytes[2], 1);
    EXPECT_EQ(bytes[3], 77);
}

TEST(Surface, CreateRejectsBadSizesAndEmptySurfacesDrawNothing)
{
    Surface s(nullptr);
    EXPECT_FALSE(s.Create(-1, 10));
    EXPECT_FALSE(s.Create(10, -1));
    EXPECT_FALSE(s.Create(INT_MAX, INT_MAX));
    EXPECT_EQ(s.GetPixels(), nullptr);

    ASSERT_TRUE(s.Create(0, 10));
    EXPECT_EQ(s.GetPixels(), nullptr);
    auto target = Make565(8, 8);
    Fill(*target, 0x1234);
    s.Clear(255, 255, 255);
    s.FillRect(0, 0, 5, 5, 255, 255, 255);
    s.BlitRegion(target.get(), 0, 0, 0, 0, 0, 0, 0);
    s.Blit(target.get(), 0, 0, 0, 0, 0);
    s.CopyTo(target.get(), 0, 0, 0, 0);
    EXPECT_EQ(At(*target, 0, 0), 0x1234);
}

TEST(Surface, AttachUnderOrientationAndSizeChecks)
{
    Surface s(nullptr);
    s.SetOrientation(1);
    void* buffer = Alloc(320 * 240 * 2);
    ASSERT_TRUE(s.AttachPixels(buffer, 320, 240));
    EXPECT_EQ(s.GetRawWidth(), 240);
    EXPECT_EQ(s.GetRawHeight(), 320);
    EXPECT_EQ(s.GetWidth(), 320);
    EXPECT_EQ(s.GetHeight(), 240);

    // A plane of another size is refused and stays the caller's.
    auto* small = static_cast<uint8_t*>(Alloc(10 * 10));
    EXPECT_FALSE(s.AttachAlpha(small, 10, 10));
    EXPECT_EQ(s.GetAlpha(), nullptr);
    Free(small);
    auto* plane = static_cast<uint8_t*>(Alloc(320 * 240));
    EXPECT_TRUE(s.AttachAlpha(plane, 320, 240));
    EXPECT_EQ(s.GetAlpha(), plane);

    // New pixels of the same size keep the plane; of another size drop it.
    ASSERT_TRUE(s.AttachPixels(Alloc(320 * 240 * 2), 320, 240));
    EXPECT_EQ(s.GetAlpha(), plane);
    ASSERT_TRUE(s.AttachPixels(Alloc(16 * 8 * 2), 16, 8));
    EXPECT_EQ(s.GetAlpha(), nullptr);
    EXPECT_EQ(s.GetRawWidth(), 8);
}

TEST(Surface, SharedPlanesAndFrameBuffersAreNotFreed)
{
    uint8_t plane[4 * 4];
    memset(plane, 200, sizeof plane);
    uint16_t frame[4 * 4] = {};
    {
        auto s = Make565(4, 4);
        s->SetAlpha(plane);
        EXPECT_TRUE(s->IsAlphaShared());
        s->AttachFrameBuffer(frame, 4, 4);
        s->Clear(255, 255, 255);
        EXPECT_TRUE(s->Release());
        EXPECT_FALSE(s->IsAlphaShared());
    }
    EXPECT_EQ(frame[0], 0xFFFF);
    EXPECT_EQ(plane[15], 200);

    // Creating over a frame buffer lets it go without freeing it.
    Surface s(nullptr);
    s.AttachFrameBuffer(frame, 4, 4);
    ASSERT_TRUE(s.Create(2, 2));
    EXPECT_NE(s.GetPixels(), frame);
}

TEST(Surface, ColourKeyReplacesTranslucentPixels)
{
    auto s = Make565(4, 1);
    for (int i = 0; i < 4; ++i)
        s->GetPixels()[i] = 0x1111;
    s->GetAlpha()[0] = 0;
    s->GetAlpha()[1] = 127;
    s->GetAlpha()[2] = 128;
    s->BuildColourKey();
    EXPECT_EQ(s->GetAlpha(), nullptr);
    EXPECT_TRUE(s->IsColourKeyed());
    EXPECT_EQ(s->GetPixels()[0], 0xF81F);
    EXPECT_EQ(s->GetPixels()[1], 0xF81F);
    EXPECT_EQ(s->GetPixels()[2], 0x1111);
    EXPECT_EQ(s->GetPixels()[3], 0x1111);

    // A keyed region copy leaves the key pixels out.
    auto target = Make565(4, 1);
    Fill(*target, 0x0001);
    s->BlitRegion(target.get(), 0, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(At(*target, 0, 0), 0x0001);
    EXPECT_EQ(At(*target, 2, 0), 0x1111);
}

TEST(Surface, ClearsEveryFormat)
{
    Surface s444(nullptr, FormatProperties(0));
    ASSERT_TRUE(s444.Create(3, 3));
    s444.Clear(255, 128, 16);
    for (int i = 0; i < 9; ++i)
        ASSERT_EQ(s444.GetPixels()[i], 0x0F81);
    Surface s555(nullptr, FormatProperties(1));
    ASSERT_TRUE(s555.Create(3, 1));
    s555.Clear(255, 0, 255);
    EXPECT_EQ(s555.GetPixels()[2], 0x7C1F);
    auto s565 = Make565(11, 1);
    s565->Clear(255, 255, 255);
    for (int i = 0; i < 11; ++i)
        ASSERT_EQ(s565->GetPixels()[i], 0xFFFF);
    Surface s24(nullptr, FormatProperties(3));
    ASSERT_TRUE(s24.Create(2, 1));
    s24.Clear(1, 2, 3);
    EXPECT_EQ(s24.GetPixelBytes()[3], 3);
    EXPECT_EQ(s24.GetPixelBytes()[5], 1);
}

// The depth is only stored: buffers made after it are still sized by the format, so clears and
// blits stay inside them.
TEST(Surface, BitDepthLeavesTheBytesPerPixelToTheFormat)
{
    Surface s16(nullptr, FormatProperties(2));
    s16.SetBitDepth(32);
    EXPECT_EQ(s16.GetBitDepth(), 32);
    EXPECT_EQ(s16.GetBytesPerPixel(), 2);

    Surface s32(nullptr, FormatProperties(4));
    s32.SetBitDepth(32);
    ASSERT_TRUE(s32.Create(5, 3));
    EXPECT_EQ(s32.GetBytesPerPixel(), 4);
    s32.Clear(9, 8, 7);
    EXPECT_EQ(s32.GetPixelBytes()[4 * 14 + 2], 9);  // the last pixel's red
    EXPECT_EQ(s32.GetPixelBytes()[4 * 14 + 3], 0);

    Surface s24(nullptr, FormatProperties(3));
    s24.SetBitDepth(16);
    ASSERT_TRUE(s24.Create(5, 3));
    EXPECT_EQ(s24.GetBytesPerPixel(), 3);
    s24.Clear(1, 2, 3);
    EXPECT_EQ(s24.GetPixelBytes()[3 * 14 + 2], 1);
    Surface target(nullptr, FormatProperties(3));
    ASSERT_TRUE(target.Create(5, 3));
    target.Clear(0, 0, 0);
    s24.Blit(&target, 0, 0, 0, 0, 0);
    EXPECT_EQ(target.GetPixelBytes()[3 * 14], 3);
}

TEST(Surface, SizeFollowsThePixelsHeld)
{
    // A plane that cannot be had leaves the new pixels with their own size, not the old one.
    Surface s(nullptr);
    ASSERT_TRUE(s.Create(100, 100));
    nullbackend::FailAllocations(1, 16, 1);
    EXPECT_FALSE(s.Create(4, 4));
    nullbackend::FailAllocations(0);
    nullbackend::ClearMessageBoxes();
    ASSERT_NE(s.GetPixels(), nullptr);
    EXPECT_EQ(s.GetAlpha(), nullptr);
    EXPECT_EQ(s.GetRawWidth(), 4);
    EXPECT_EQ(s.GetRawHeight(), 4);
    s.Clear(255, 255, 255);
    s.FillRect(0, 0, 100, 100, 0, 0, 0);
    EXPECT_EQ(s.GetPixels()[15], 0);

    // Released, the surface is empty.
    ASSERT_TRUE(s.Create(8, 8));
    s.Release();
    EXPECT_EQ(s.GetWidth(), 0);
    EXPECT_EQ(s.GetHeight(), 0);
}

TEST(Surface, FrameBuffersReplaceOnlyWhatNoLongerFits)
{
    // A frame buffer of another size drops the plane made for the old pixels; one of the same
    // size keeps it.
    uint16_t frame[8 * 8] = {};
    auto keyed = Make565(8, 8);
    uint8_t* plane = keyed->GetAlpha();
    keyed->AttachFrameBuffer(frame, 8, 8);
    EXPECT_EQ(keyed->GetAlpha(), plane);
    auto small = Make565(4, 4);
    small->AttachFrameBuffer(frame, 8, 8);
    EXPECT_EQ(small->GetAlpha(), nullptr);
    auto target = Make565(8, 8);
    Fill(*target, 0);
    frame[63] = 0x4321;
    small->BlitRegion(target.get(), 0, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(At(*target, 7, 7), 0x4321);

    // A 32-bit frame buffer carries its own alpha, which is never freed with the surface.
    uint8_t frame32[4 * 4 * 4] = {};
    {
        Surface wide(nullptr, FormatProperties(4));
        ASSERT_TRUE(wide.Create(2, 2));
        wide.AttachFrameBuffer(frame32, 4, 4);
        EXPECT_EQ(static_cast<void*>(wide.GetAlpha()), static_cast<void*>(frame32));
        wide.Clear(5, 6, 7);
    }
    EXPECT_EQ(frame32[4 * 15 + 2], 5);
}

TEST(Surface, DestructionLeavesTheImageListInOrder)
{
    ListApplication app;
    Surface* a = app.CreateImage();
    Surface* b = app.CreateImage();
    Surface* c = app.CreateImage();
    ASSERT_EQ(app.GetImageList().Count(), 3);
    delete b;
    ASSERT_EQ(app.GetImageList().Count(), 2);
    EXPECT_EQ(app.GetImageList().At(0), a);
    EXPECT_EQ(app.GetImageList().At(1), c);
    delete a;
    delete c;
    EXPECT_EQ(app.GetImageList().Count(), 0);

    app.SetRotationForTest(2);
    Surface turned(&app);
    EXPECT_EQ(turned.GetOrientation(), 2);
}

TEST(Surface, RowWritesAndCopiesAreClipped)
{
    auto s = Make565(4, 2);
    Fill(*s, 0);
    const uint16_t row[6] = {1, 2, 3, 4, 5, 6};
    s->WriteRow(-2, 1, row, 6);
    EXPECT_EQ(At(*s, 0, 1), 3);
    EXPECT_EQ(At(*s, 3, 1), 6);
    EXPECT_EQ(At(*s, 0, 0), 0);
    s->WriteRow(2, 2, row, 6);  // below the last row: nothing
    const uint8_t alpha[6] = {9, 9, 9, 9, 9, 9};
    s->WriteAlphaRow(3, 0, alpha, 6);
    EXPECT_EQ(s->GetAlpha()[3], 9);
    EXPECT_EQ(s->GetAlpha()[4], 255);

    // CopyPixels refuses indices beyond either buffer.
    auto other = Make565(2, 2);
    Fill(*other, 7);
    s->CopyPixels(other.get(), 0, 2, 4);
    EXPECT_EQ(At(*other, 0, 1), 7);
    s->CopyPixels(other.get(), 4, 0, 4);
    EXPECT_EQ(At(*other, 0, 0), 3);
}
