#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "engine/core/memory.h"
#include "engine/core/pack_memory_file.h"
#include "engine/sound/ogg_sample.h"
#include "engine/sound/wav_sample.h"
#include "synth/render.h"
#include "tools/tool_run.h"

namespace {

synth::Patch Parse(const std::string& text)
{
    synth::Patch patch;
    std::string error;
    EXPECT_TRUE(synth::ParsePatch(text, "test.patch", &patch, &error)) << error;
    return patch;
}

std::string ParseError(const std::string& text)
{
    synth::Patch patch;
    std::string error;
    EXPECT_FALSE(synth::ParsePatch(text, "test.patch", &patch, &error));
    return error;
}

float Peak(const std::vector<float>& samples)
{
    float peak = 0;
    for (float s : samples)
        peak = std::max(peak, std::fabs(s));
    return peak;
}

}  // namespace

TEST(Synth, OnePatchRendersTheSameSamplesEveryTime)
{
    const std::string text =
        "length 0.3\npeak 0.6\necho delay=0.05 feedback=0.4 mix=0.3\n"
        "voice wave=noise seed=9 filter=bandpass cutoff=0:500,0.3:4000 q=2 amp=0:1,0.3:0\n"
        "voice wave=saw pitch=0:220,0.3:110 vowel=a:o vibrato=5:0.2\n";
    synth::Rendered first = synth::Render(Parse(text));
    synth::Rendered second = synth::Render(Parse(text));
    ASSERT_EQ(first.samples.size(), 6615u);  // 0.3 s at 22050 Hz
    EXPECT_EQ(first.samples, second.samples);
    EXPECT_FLOAT_EQ(Peak(first.samples), 0.6f);
    // Another seed is another noise.
    synth::Rendered reseeded = synth::Render(Parse("length 0.3\nvoice wave=noise seed=10\n"));
    synth::Rendered seeded = synth::Render(Parse("length 0.3\nvoice wave=noise seed=9\n"));
    EXPECT_NE(reseeded.samples, seeded.samples);
}

TEST(Synth, ABadPatchNamesItsFileAndLine)
{
    EXPECT_EQ(ParseError("length 1\n\nvoice wave=sine\n   colour=red\n"), "test.patch:4: unknown key 'colour'");
    EXPECT_EQ(ParseError("length 1\nvoice pitch=-40\n"), "test.patch:2: bad value '-40' for pitch");
    EXPECT_EQ(ParseError("length 1\nvoice wave=organ\n"), "test.patch:2: bad value 'organ' for wave");
    EXPECT_EQ(ParseError("length 1\nvoice amp=0.5:1,0.2:0\n"), "test.patch:2: bad value '0.5:1,0.2:0' for amp");
    EXPECT_EQ(ParseError("# nothing sounds\nlength 1\n"), "test.patch:2: no voice");
    EXPECT_EQ(ParseError("speed 3\nvoice\n"), "test.patch:1: unknown key 'speed'");
    EXPECT_EQ(ParseError("length two\nvoice\n"), "test.patch:1: bad value 'two' for length");
    EXPECT_EQ(ParseError("pitch=100\n"), "test.patch:1: 'pitch=100' belongs to no voice");
    EXPECT_EQ(ParseError("echo delay=0.1 wet=1\nvoice\n"), "test.patch:1: unknown key 'wet'");
    EXPECT_EQ(ParseError("length 1\nloop 0.99\ncrossfade 0.05\nvoice\n"), "test.patch:4: loop too short for its crossfade");
}

TEST(Synth, EnvelopesGlideLinearlyAndPitchesExponentially)
{
    synth::Envelope envelope;
    envelope.points = {{0, 100}, {1, 400}, {2, 400}};
    EXPECT_DOUBLE_EQ(envelope.At(0.5, false), 250);
    EXPECT_DOUBLE_EQ(envelope.At(0.5, true), 200);  // halfway between 100 and 400 in octaves
    EXPECT_DOUBLE_EQ(envelope.At(-1, true), 100);
    EXPECT_DOUBLE_EQ(envelope.At(5, true), 400);
}

TEST(Synth, ASineSoundsAtItsPitchAndFollowsItsEnvelope)
{
    // 441 Hz is a period of 50 samples: 882 sign changes a second.
    synth::Rendered tone = synth::Render(Parse("length 1\npeak 0.5\nvoice wave=sine pitch=441 amp=0:0,0.5:1\n"));
    ASSERT_EQ(tone.samples.size(), 22050u);
    int changes = 0;
    for (size_t i = 1; i < tone.samples.size(); ++i)
        changes += (tone.samples[i - 1] < 0) != (tone.samples[i] < 0);
    EXPECT_NEAR(changes, 882, 2);
    // The level rises linearly to its top at 0.5 s: around 0.25 s it is half of it.
    float quarter = 0;
    for (size_t i = 5512 - 25; i < 5512 + 25; ++i)
        quarter = std::max(quarter, std::fabs(tone.samples[i]));
    EXPECT_NEAR(quarter, 0.25, 0.01);
    EXPECT_FLOAT_EQ(Peak(tone.samples), 0.5f);
    EXPECT_EQ(tone.loopStart, -1);
    EXPECT_EQ(tone.samples.back(), 0.0f);  // faded out at the end
}

TEST(Synth, LoopsJoinWithoutAJump)
{
    // Noise never repeats by itself, so only the crossfade can hide the seam.
    synth::Rendered whole = synth::Render(Parse("length 1\nloop 0\nvoice wave=noise seed=3 filter=lowpass cutoff=300\n"));
    synth::Rendered held = synth::Render(Parse("length 1\nloop 0.4\nvoice wave=noise seed=3 filter=lowpass cutoff=300\n"));
    for (const synth::Rendered* sound : {&whole, &held}) {
        ASSERT_EQ(sound->samples.size(), 22050u);
        double steps = 0;
        for (size_t i = 1; i < sound->samples.size(); ++i)
            steps += std::fabs(sound->samples[i] - sound->samples[i - 1]);
        double typical = steps / static_cast<double>(sound->samples.size() - 1);
        size_t start = static_cast<size_t>(sound->loopStart);
        EXPECT_LT(std::fabs(sound->samples.back() - sound->samples[start]), 4 * typical);
    }
    EXPECT_EQ(whole.loopStart, 0);
    EXPECT_EQ(held.loopStart, 8820);  // 0.4 s
}

TEST(Modwriter, InstrumentsComeFromPatchesAndBadOnesNameTheirLine)
{
    ToolScratch scratch;
    scratch.Write("pluck.patch", "length 0.5\nloop 0.2\ncrossfade 0.05\nvoice wave=sine pitch=523.25\n");
    scratch.Write("broken.patch", "length 0.5\nvoice wave=sine pitch=oops\n");
    scratch.Write("good.txt", "format s3m\nchannels 1\norders 0\nsample 1 patch=pluck.patch bits=16 c4=11025\n"
                              "pattern 0 rows=64\n0: C-5 01 32 ...\n");
    scratch.Write("bad.txt", "format s3m\n\nsample 1 patch=broken.patch bits=16\n");
    scratch.Write("missing.txt", "format s3m\nsample 1 patch=none.patch\n");
    auto run = [&](const std::string& name) {
        return scratch.Run("modwriter", "'" + scratch.Path(name + ".txt") + "' '" + scratch.Path(name + ".s3m") + "'");
    };
    ToolRun good = run("good");
    ASSERT_EQ(good.status, 0) << good.output;
    std::vector<uint8_t> bytes = ReadHostFile(scratch.Path("good.s3m"));
    // The one instrument header follows the 96-byte header, the order and the two pointers.
    ASSERT_GE(bytes.size(), 112u + 80u);
    auto u32 = [&](size_t at) {
        return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | uint32_t{bytes[at + 3]} << 24;
    };
    EXPECT_EQ(u32(112 + 16), 11025u);   // length: 0.5 s rendered at 22050 Hz
    EXPECT_EQ(u32(112 + 20), 4410u);    // the patch's loop start, 0.2 s
    EXPECT_EQ(u32(112 + 24), 11025u);   // to its end
    EXPECT_EQ(bytes[112 + 31], 1 | 4);  // looped, 16-bit

    ToolRun bad = run("bad");
    EXPECT_NE(bad.status, 0);
    EXPECT_EQ(bad.output, scratch.Path("broken.patch") + ":2: bad value 'oops' for pitch\n");
    ToolRun missing = run("missing");
    EXPECT_NE(missing.status, 0);
    EXPECT_EQ(missing.output, scratch.Path("missing.txt") + ":2: cannot read patch none.patch\n");
}

TEST(Sfxrender, APatchBecomesTheSameMonoOggEveryTimeWithNoSampleAdded)
{
    ToolScratch scratch;
    scratch.Write("blip.patch", "length 0.25\npeak 0.5\nloop 0\nvoice wave=noise seed=4 filter=lowpass cutoff=800\n");
    scratch.Write("bad.patch", "length 0.25\nvoice wave=sine\n  index=0:1,0.1:x\n");
    for (const char* folder : {"first", "second"}) {
        ToolRun run = scratch.Run("sfxrender", "'" + scratch.Path(folder) + "' '" + scratch.Path("blip.patch") + "'");
        ASSERT_EQ(run.status, 0) << run.output;
    }
    std::vector<uint8_t> first = ReadHostFile(scratch.Path("first/blip.ogg"));
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(first, ReadHostFile(scratch.Path("second/blip.ogg")));

    // Decoded as the game decodes it: one channel at 22050 Hz, exactly as long as the patch, so
    // a looped sound wraps where it was made to.
    PackMemoryFile file;
    void* copy = Alloc(first.size());
    memcpy(copy, first.data(), first.size());
    ASSERT_TRUE(file.SetBuffer(copy, static_cast<int32_t>(first.size())));
    DecodedOggSample decoded = DecodeOggSample(&file);
    ASSERT_TRUE(decoded.why.ok()) << decoded.why.Reason();
    uint8_t* image = decoded.image;
    WavSample sample;
    ASSERT_TRUE(sample.LoadFromMemory(image, decoded.bytes).ok());
    EXPECT_EQ(sample.GetRate(), 22050u);
    EXPECT_EQ(sample.GetLength(), 5513u);  // 0.25 s, rounded
    Free(image);

    ToolRun bad = scratch.Run("sfxrender", "'" + scratch.Path("out") + "' '" + scratch.Path("bad.patch") + "'");
    EXPECT_NE(bad.status, 0);
    EXPECT_EQ(bad.output, scratch.Path("bad.patch") + ":3: bad value '0:1,0.1:x' for index\n");
}
