#include <gtest/gtest.h>

#include <algorithm>

#include "engine/sound/module_music.h"
#include "engine/sound/module_player.h"
#include "engine/sound/module_tables.h"
#include "module_support.h"

namespace {

constexpr int kTick = 441;  // frames per tick at tempo 125
constexpr int kRow = 6 * kTick;

// First frames played after the channel-0 position fell back: a sample restart or a loop wrap.
// The restart happens at the end of the render that reaches the tick boundary.
std::vector<long> Restarts(const PlayerRun& run)
{
    std::vector<long> frames;
    for (size_t i = 1; i < run.positions.size(); ++i)
        if (run.positions[i] < run.positions[i - 1])
            frames.push_back(static_cast<long>(i) + 1);
    return frames;
}

// Row r of the events fixture begins at this frame (speed 6, tempo 125).
long RowStart(int row)
{
    return kRow + static_cast<long>(row) * kRow;
}

TEST(ModuleEffects, NoteOnsetsCutsDelaysAndRetriggers)
{
    PlayerRun run(BuildModule("events"));
    ASSERT_TRUE(run.loaded);
    run.Run(RowStart(12) + 10);
    const std::vector<int16_t>& out = run.output;
    // Output frame f is rendered after the frame's tick boundary, so f = tick start.
    EXPECT_EQ(out[static_cast<size_t>(RowStart(0) - 1)], 0);
    EXPECT_NE(out[static_cast<size_t>(RowStart(0))], 0);
    // SC3 on row 2 silences from tick 3; SD2 on row 4 sounds again from tick 2.
    EXPECT_NE(out[static_cast<size_t>(RowStart(2) + 3 * kTick - 1)], 0);
    EXPECT_EQ(out[static_cast<size_t>(RowStart(2) + 3 * kTick)], 0);
    EXPECT_EQ(out[static_cast<size_t>(RowStart(4) + 2 * kTick - 1)], 0);
    EXPECT_NE(out[static_cast<size_t>(RowStart(4) + 2 * kTick)], 0);
    // SC0 on row 10 does nothing; SD0 on row 11 never plays its note.
    for (long f = RowStart(10); f < RowStart(12); f += 97)
        EXPECT_NE(out[static_cast<size_t>(f)], 0) << f;

    std::vector<long> expected = {RowStart(4) + 2 * kTick,
                                  // Q03: only the ticks after the row's first count, so tick 3
                                  // alone (a sixth tick would be needed for a second restart).
                                  RowStart(6) + 3 * kTick};
    // Q80 (x = 0): every tick after the row's first.
    for (int t = 1; t < 6; ++t)
        expected.push_back(RowStart(8) + t * kTick);
    EXPECT_EQ(Restarts(run), expected);
}

TEST(ModuleEffects, ModRetriggerCountsTheTicksAfterTheFirst)
{
    PlayerRun run(BuildModule("mod_retrigger"));
    ASSERT_TRUE(run.loaded);
    run.Run(RowStart(3));
    // E93 on row 1 restarts on tick 3 alone; E90 on row 2 on ticks 1 to 5.
    std::vector<long> expected = {RowStart(1) + 3 * kTick};
    for (int t = 1; t < 6; ++t)
        expected.push_back(RowStart(2) + t * kTick);
    EXPECT_EQ(Restarts(run), expected);
}

// Channel 0's period at the start of each tick, from the start of the next row on.
std::vector<uint32_t> PeriodsPerTick(PlayerRun& run, size_t ticks)
{
    run.RunRows(1);
    std::vector<uint32_t> periods = {run.player.channels[0].period};
    while (periods.size() < ticks && run.player.playing) {
        size_t seen = run.tickStarts.size();
        while (run.tickStarts.size() == seen && run.player.playing)
            run.Run(1);
        periods.push_back(run.player.channels[0].period);
    }
    return periods;
}

// Octave-4 periods of a sample whose C-4 rate is 8363: the Amiga base periods themselves.
constexpr uint32_t kC4 = 1712, kE4 = 1356, kG4 = 1140, kGSharp4 = 1076, kB4 = 907;

TEST(ModuleEffects, TheNotesPitchReturnsAfterALongArpeggio)
{
    PlayerRun run(BuildModule("arpeggio"));
    ASSERT_TRUE(run.loaded);
    // J47 on rows 0 and 1 at speed 6, nothing on row 2: C, E, G on every row with it, then C.
    std::vector<uint32_t> expected;
    for (int row = 0; row < 2; ++row)
        expected.insert(expected.end(), {kC4, kE4, kG4, kC4, kE4, kG4});
    expected.insert(expected.end(), 6, kC4);
    EXPECT_EQ(PeriodsPerTick(run, 18), expected);
}

TEST(ModuleEffects, ArpeggioRowsOpenOnTheNoteAtSpeedFour)
{
    PlayerRun run(BuildModule("arpeggio"));
    ASSERT_TRUE(run.loaded);
    run.RunRows(4);  // rows 0 to 3; A04 on row 3
    // E-4 with J47 on rows 4 and 5 at 4 ticks a row: each row opens on E, and row 6 stays there.
    std::vector<uint32_t> expected = {kE4, kGSharp4, kB4, kE4, kE4, kGSharp4, kB4, kE4, kE4, kE4, kE4, kE4};
    EXPECT_EQ(PeriodsPerTick(run, 12), expected);
}

// A player on the events fixture whose pattern 0 the test fills itself.
class EffectRun : public PlayerRun {
public:
    EffectRun() : PlayerRun(BuildModule("events"))
    {
        for (int i = 0; i < player.patternRows[0] * player.channelCount; ++i)
            player.patterns[0][i] = ModuleCell{};
    }
    ModuleCell& At(int row) { return player.patterns[0][row * player.channelCount]; }
    void Note(int row, uint16_t effect, uint8_t param, uint8_t volume = kNoVolume)
    {
        ModuleCell& cell = At(row);
        cell.note = 0x40;
        cell.instrument = 1;
        cell.volume = volume;
        cell.effect1 = effect;
        cell.param1 = param;
    }
    void Effect(int row, uint16_t effect, uint8_t param)
    {
        At(row).effect1 = effect;
        At(row).param1 = param;
    }
    ChannelRecord& Channel() { return player.channels[0]; }
};

uint16_t S3m(char letter)
{
    return static_cast<uint16_t>(letter - 'A' + 1);
}

TEST(ModuleEffects, FineVolumeSlidesActOnceAtTheRow)
{
    EffectRun run;
    ASSERT_TRUE(run.loaded);
    run.Note(0, S3m('D'), 0xF3, 32);
    run.Effect(1, S3m('D'), 0x3F);
    run.Effect(2, S3m('D'), 0xFF);
    run.RunRows(1);
    EXPECT_EQ(run.Channel().volume, 29);
    run.RunRows(1);
    EXPECT_EQ(run.Channel().volume, 32);
    run.RunRows(1);
    EXPECT_EQ(run.Channel().volume, 47);
    run.RunRows(1);
    EXPECT_EQ(run.Channel().volume, 47);
}

TEST(ModuleEffects, SlideMemoryDependsOnTheFormat)
{
    // S3M D04 then D00 slides again (on every tick, the row's first included).
    PlayerRun s3m(BuildModule("s3m_channels"));
    ASSERT_TRUE(s3m.loaded);
    s3m.RunRows(3);
    EXPECT_EQ(s3m.player.channels[2].volume, 64 - 2 * 6 * 4);
    // MOD A04 then A00 does not (and tick 0 is left out).
    PlayerRun mod(BuildModule("mod_effects"));
    ASSERT_TRUE(mod.loaded);
    mod.RunRows(3);
    EXPECT_EQ(mod.player.channels[0].volume, 64 - 5 * 4);
    // D64 on row 2 breaks to row 0 of the next order.
    mod.RunRows(1);
    EXPECT_EQ(mod.rows.back().order, 1);
    EXPECT_EQ(mod.rows.back().row, 0);
}

TEST(ModuleEffects, TremoloStaysWithinTheVolumeRange)
{
    EffectRun run;
    ASSERT_TRUE(run.loaded);
    run.Note(0, S3m('R'), 0x8F, 60);
    run.Effect(1, S3m('R'), 0x00);
    run.Note(3, S3m('R'), 0x8F, 4);
    run.Effect(4, S3m('R'), 0x00);
    int high = 0, low = 64;
    run.RunRows(1);
    for (int i = 0; i < 2 * kRow; ++i) {
        run.Run(1);
        high = std::max<int>(high, run.Channel().volume);
    }
    // Without tremolo on the next row the volume returns to its base.
    EXPECT_EQ(run.Channel().volume, 60);
    run.RunRows(1);
    for (int i = 0; i < 2 * kRow; ++i) {
        run.Run(1);
        low = std::min<int>(low, run.Channel().volume);
    }
    EXPECT_EQ(high, 64);
    EXPECT_EQ(low, 0);
    EXPECT_EQ(run.Channel().volume, 4);
}

TEST(ModuleEffects, PanningCommands)
{
    EffectRun run;
    ASSERT_TRUE(run.loaded);
    run.Note(0, S3m('S'), 0x8F);
    run.Effect(1, S3m('S'), 0xA0);
    run.Effect(2, S3m('S'), 0x83);
    run.Effect(3, kFxSetPan, 0x20);
    run.Effect(4, kFxPanSlide, 0x40);
    run.Effect(5, kFxPanSlide, 0x00);  // repeats its memory
    const int expected[] = {255, 144, 64, 0x20, 0x20 + 6 * 4, 0x20 + 12 * 4};
    for (int pan : expected) {
        run.RunRows(1);
        if (pan > 0x20)
            run.Run(6 * kTick - 1);  // the slide runs on every tick, the first included
        EXPECT_EQ(run.Channel().pan, pan);
    }
}

TEST(ModuleEffects, PatternLoopAndPatternDelay)
{
    EffectRun run;
    ASSERT_TRUE(run.loaded);
    run.Effect(8, S3m('S'), 0xB0);
    run.Effect(15, S3m('S'), 0xB2);
    run.Effect(16, S3m('S'), 0xE2);  // the row lasts 3 rows' worth of ticks
    run.RunRows(8 + 8 * 3 + 2);
    std::vector<int> rows;
    for (const PlayedRow& played : run.rows)
        rows.push_back(played.row);
    std::vector<int> expected;
    for (int r = 0; r < 16; ++r)
        expected.push_back(r);
    for (int pass = 0; pass < 2; ++pass)
        for (int r = 8; r < 16; ++r)
            expected.push_back(r);
    expected.push_back(16);
    expected.push_back(17);
    EXPECT_EQ(rows, expected);
    EXPECT_EQ(run.rows.back().frame - run.rows[run.rows.size() - 2].frame, 3 * kRow);
}

TEST(ModuleEffects, PortamentosAndTonePortamento)
{
    EffectRun run;
    ASSERT_TRUE(run.loaded);
    run.Note(0, S3m('E'), 0x02);  // down: the period grows by 8 on ticks 1 to 5
    run.Effect(1, S3m('E'), 0xF2);  // fine: 8 once
    run.Effect(2, S3m('E'), 0xE2);  // extra fine: 2 once
    run.Effect(3, S3m('F'), 0x00);  // S3M: up by the remembered E2 value, 2 at the row
    run.RunRows(1);
    EXPECT_EQ(run.Channel().period, 1712u);
    run.RunRows(1);
    EXPECT_EQ(run.Channel().period, 1712u + 40 + 8);
    run.RunRows(1);
    EXPECT_EQ(run.Channel().period, 1712u + 50);
    run.RunRows(1);
    EXPECT_EQ(run.Channel().period, 1712u + 48);
    EXPECT_EQ(run.Channel().step, StepForPeriod(1712 + 48, false, 22050));

    // Tone portamento toward C-5 (856) at 16 * 4 per tick, stopping there.
    EffectRun porta;
    porta.Note(0, 0, 0);
    ModuleCell& cell = porta.At(1);
    cell.note = 0x50;
    cell.effect1 = S3m('G');
    cell.param1 = 0x10;
    porta.Effect(2, S3m('G'), 0x00);
    porta.Effect(3, S3m('G'), 0x40);
    porta.RunRows(2);
    EXPECT_EQ(porta.Channel().period, 1712u);  // the note did not restart or retune
    porta.RunRows(1);
    EXPECT_EQ(porta.Channel().period, 1712u - 5 * 64);
    porta.RunRows(1);
    EXPECT_EQ(porta.Channel().period, 1712u - 10 * 64);  // G00 keeps the speed
    porta.RunRows(1);
    EXPECT_EQ(porta.Channel().period, 856u);
}

TEST(ModuleEffects, VibratoAndArpeggioReturnToTheirBase)
{
    EffectRun run;
    ASSERT_TRUE(run.loaded);
    run.Note(0, S3m('H'), 0x4F);
    run.Effect(1, S3m('H'), 0x00);
    run.Effect(3, S3m('J'), 0x47);
    run.RunRows(1);
    uint32_t low = ~0u, high = 0;
    for (int i = 0; i < 2 * kRow - 1; ++i) {
        run.Run(1);
        low = std::min(low, run.Channel().period);
        high = std::max(high, run.Channel().period);
    }
    EXPECT_LT(low, 1712u);
    EXPECT_GT(high, 1712u);
    run.RunRows(1);
    EXPECT_EQ(run.Channel().period, 1712u);

    // Arpeggio: note, +4, +7 semitones on successive ticks, tick 0 included.
    std::vector<uint32_t> periods;
    run.RunRows(1);
    periods.push_back(run.Channel().period);
    for (int t = 1; t < 6; ++t) {
        run.Run(kTick);
        periods.push_back(run.Channel().period);
    }
    const uint32_t c4 = AmigaPeriod(48, 8363), e4 = AmigaPeriod(52, 8363), g4 = AmigaPeriod(55, 8363);
    EXPECT_EQ(periods, (std::vector<uint32_t>{c4, e4, g4, c4, e4, g4}));
    run.RunRows(1);
    EXPECT_EQ(run.Channel().period, c4);  // the arpeggio base: the period at its row
}

TEST(ModuleEffects, SpeedTempoAndGlobalVolume)
{
    EffectRun run;
    ASSERT_TRUE(run.loaded);
    run.Note(0, S3m('T'), 31);  // below 32: ignored
    run.Effect(1, S3m('A'), 0);  // speed 0: ignored
    run.Effect(2, S3m('V'), 90);
    run.RunRows(1);
    EXPECT_EQ(run.player.tempo, 125);
    run.RunRows(1);
    EXPECT_EQ(run.player.speed, 6);
    run.RunRows(1);
    EXPECT_EQ(run.player.currentGlobalVolume, 64);
}

TEST(ModuleEffects, SampleOffsetStaysInsideTheSample)
{
    EffectRun run;
    ASSERT_TRUE(run.loaded);
    run.Note(0, S3m('O'), 0x10);
    run.Note(1, S3m('O'), 0xFF);  // far past the 20000 samples
    run.RunRows(1);
    EXPECT_EQ(run.Channel().position, (0x10u * 256) << 10);
    run.RunRows(1);
    EXPECT_EQ(run.Channel().position, 19999u << 10);
    run.Run(kRow);
    EXPECT_TRUE(run.Channel().keyed);  // it loops on
}

TEST(ModuleEffects, KeyOffReleasesTheEnvelopeOrCutsTheNote)
{
    PlayerRun run(BuildModule("xm_instruments"));
    ASSERT_TRUE(run.loaded);
    run.RunRows(1);
    // 64 toward 32 over four ticks, then held at the sustain point.
    EXPECT_EQ(run.player.channels[0].envelopeVolume, 56);
    run.RunRows(7);
    EXPECT_EQ(run.player.channels[0].envelopeVolume, 32);
    EXPECT_TRUE(run.player.channels[1].keyed);
    EXPECT_EQ(run.player.channels[0].fadeVolume, 32768);

    run.RunRows(1);  // row 8: key-off in both channels
    EXPECT_FALSE(run.player.channels[1].keyed);  // no envelope: cut at once
    EXPECT_TRUE(run.player.channels[0].keyed);
    EXPECT_EQ(run.player.channels[0].envelopeVolume, 28);  // on from the sustain point
    EXPECT_EQ(run.player.channels[0].fadeVolume, 32768 - 1024);
    run.Run(5 * kTick);
    EXPECT_EQ(run.player.channels[0].envelopeVolume, 14);
    EXPECT_EQ(run.player.channels[0].fadeVolume, 32768 - 6 * 1024);
    // The volume column's G20 and H0F act on the global volume.
    EXPECT_EQ(run.player.channels[3].volume, 40);
    EXPECT_EQ(run.player.currentGlobalVolume, 0x20);
    run.RunRows(1);
    run.Run(2 * kTick);
    EXPECT_EQ(run.player.currentGlobalVolume, 0x20 - 2 * 15);
    run.Run(kTick);
    EXPECT_EQ(run.player.currentGlobalVolume, 0);
}

TEST(ModuleEffects, NotesWithoutSamplesTriggerNothing)
{
    PlayerRun run(BuildModule("xm_instruments"));
    ASSERT_TRUE(run.loaded);
    run.RunRows(1);
    const ChannelRecord& split = run.player.channels[2];
    EXPECT_EQ(split.sampleIndex, 3u);  // C-4 maps to the instrument's second sample
    uint32_t period = split.period;
    run.RunRows(1);  // C-5 maps to a sample the instrument lacks
    EXPECT_EQ(split.sampleIndex, 3u);
    EXPECT_EQ(split.period, period);
    // The relative note of +12 plays C-4 as C-5.
    EXPECT_EQ(split.note, 0x50);
}

TEST(ModuleEffects, OutOfRangeModulesPlayCleanly)
{
    for (const char* name : {"broken_s3m", "broken_xm", "mod_effects", "xm_instruments"}) {
        std::vector<uint8_t> bytes = BuildModule(name);
        for (bool loop : {false, true}) {
            ModuleMusic music;
            ASSERT_TRUE(music.Init());
            music.SetSampleRate(22050);
            ASSERT_TRUE(music.Load(bytes.data(), bytes.size())) << name;
            music.SetVolume(255);
            music.Play();
            music.GetPlayer()->loop = loop;
            std::vector<int16_t> out(22050 * 8);
            for (size_t done = 0; done + 1001 <= out.size(); done += 1001)
                music.Render(out.data() + done, 1001);
            EXPECT_TRUE(std::any_of(out.begin(), out.end(), [](int16_t v) { return v != 0; })) << name;
        }
    }
}

}  // namespace
