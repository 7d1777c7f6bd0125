#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "engine/sound/module_music.h"
#include "engine/sound/module_player.h"
#include "engine/sound/module_tables.h"
#include "module_support.h"

namespace {

int FramesPerTick(int tempo)
{
    return 110250 / (2 * tempo);
}

TEST(ModulePlayback, FramesPerTickFollowTheTempo)
{
    std::vector<uint8_t> bytes = BuildModule("events");
    for (int tempo : {35, 45, 49, 63, 75, 105, 125, 147, 175, 225, 245}) {
        std::vector<uint8_t> module = bytes;
        module[50] = static_cast<uint8_t>(tempo);
        PlayerRun run(module);
        ASSERT_TRUE(run.loaded) << tempo;
        ASSERT_EQ(110250 % (2 * tempo), 0);
        EXPECT_EQ(run.player.samplesPerTick, FramesPerTick(tempo));
        run.RunRows(3);
        ASSERT_GE(run.tickStarts.size(), 18u);
        long previous = 0;
        for (long start : run.tickStarts) {
            EXPECT_EQ(start - previous, FramesPerTick(tempo)) << tempo;
            previous = start;
        }
        // The first row is read once `speed` ticks have passed, then one row every 6 ticks.
        ASSERT_EQ(run.rows.size(), 3u);
        for (int r = 0; r < 3; ++r)
            EXPECT_EQ(run.rows[static_cast<size_t>(r)].frame, (6 + 6 * r) * FramesPerTick(tempo));
    }
}

struct ExpectedRow {
    int order, row, ticks, tempo;
};

// speed 3 from the first row; a break past the skip entry to row 5; SB0/SB2 on rows 6 and 7;
// SE2 on row 8; tempo 75 from row 9; B03 with C04 on row 10; C00 on the last order.
const ExpectedRow kSequence[] = {
    {0, 0, 3, 125}, {0, 1, 3, 125}, {0, 2, 3, 125}, {2, 5, 3, 125}, {2, 6, 3, 125},
    {2, 7, 3, 125}, {2, 6, 3, 125}, {2, 7, 3, 125}, {2, 6, 3, 125}, {2, 7, 3, 125},
    {2, 8, 9, 125}, {2, 9, 3, 75},  {2, 10, 3, 75}, {3, 4, 3, 75},  {3, 5, 3, 75},
};

void ExpectSequence(const PlayerRun& run, size_t count)
{
    ASSERT_GE(run.rows.size(), count);
    long frame = 6 * FramesPerTick(125);
    for (size_t i = 0; i < count; ++i) {
        const ExpectedRow& e = kSequence[i];
        EXPECT_EQ(run.rows[i].order, e.order) << i;
        EXPECT_EQ(run.rows[i].row, e.row) << i;
        EXPECT_EQ(run.rows[i].frame, frame) << i;
        frame += e.ticks * FramesPerTick(e.tempo);
    }
}

TEST(ModulePlayback, SequenceThroughSpeedBreakLoopDelayTempoAndJump)
{
    PlayerRun run(BuildModule("sequence"));
    ASSERT_TRUE(run.loaded);
    run.Run(200000);
    ExpectSequence(run, std::size(kSequence));
    // The break on the last order ends the song once that row has played its ticks.
    EXPECT_EQ(run.rows.size(), std::size(kSequence));
    EXPECT_FALSE(run.player.playing);
    EXPECT_EQ(run.frame, run.rows.back().frame + 3 * FramesPerTick(75));
}

TEST(ModulePlayback, S3mBreakRowsAreDecimal)
{
    PlayerRun run(BuildModule("s3m_breaks"));
    ASSERT_TRUE(run.loaded);
    run.RunRows(6);
    std::vector<std::pair<int, int>> trace;
    for (const PlayedRow& played : run.rows)
        trace.push_back({played.order, played.row});
    // C10, C09 and C40 go to rows 10, 9 and 40 of the next order; C70 to row 0.
    std::vector<std::pair<int, int>> expected = {{0, 0}, {1, 10}, {2, 9}, {3, 40}, {4, 0}, {4, 1}};
    EXPECT_EQ(trace, expected);
}

TEST(ModulePlayback, MissingPatternIsSkippedLike254)
{
    std::vector<uint8_t> bytes = BuildModule("sequence");
    bytes[96 + 1] = 9;  // the 254 entry now names a pattern the module lacks
    PlayerRun run(bytes);
    ASSERT_TRUE(run.loaded);
    run.Run(200000);
    ExpectSequence(run, std::size(kSequence));
}

TEST(ModulePlayback, LoopingSongRestartsAtOrderZero)
{
    PlayerRun run(BuildModule("sequence"), true);
    ASSERT_TRUE(run.loaded);
    run.RunRows(static_cast<int>(std::size(kSequence)) + 2);
    ExpectSequence(run, std::size(kSequence));
    ASSERT_EQ(run.rows.size(), std::size(kSequence) + 2);
    EXPECT_EQ(run.rows[std::size(kSequence)].order, 0);
    EXPECT_EQ(run.rows[std::size(kSequence)].row, 0);
    EXPECT_TRUE(run.player.playing);
}

TEST(ModulePlayback, OrdersOfOnlySkipsStop)
{
    std::vector<uint8_t> bytes = BuildModule("sequence");
    for (int i = 0; i < 4; ++i)
        bytes[96 + static_cast<size_t>(i)] = 254;
    PlayerRun run(bytes, true);
    ASSERT_TRUE(run.loaded);
    run.Run(100000);
    EXPECT_FALSE(run.player.playing);
    EXPECT_TRUE(run.rows.empty());
}

TEST(ModulePlayback, EachChannelCountsItsOwnPatternLoop)
{
    // Both channels looping the same rows once play them twice, as the loop on one channel does.
    std::vector<std::pair<int, int>> expected;
    for (int pass = 0; pass < 2; ++pass)
        for (int r = 0; r < 4; ++r)
            expected.push_back({0, r});
    for (int r = 0; r < 4; ++r)
        expected.push_back({1, r});
    for (const char* name : {"channel_loop", "channel_loops"}) {
        PlayerRun run(BuildModule(name));
        ASSERT_TRUE(run.loaded) << name;
        run.Run(40 * 6 * FramesPerTick(125));
        std::vector<std::pair<int, int>> trace;
        for (const PlayedRow& played : run.rows)
            trace.push_back({played.order, played.row});
        EXPECT_EQ(trace, expected) << name;
        EXPECT_FALSE(run.player.playing) << name;
    }
}

TEST(ModulePlayback, MusicStopsAtTheSongsEndAndLeavesSilence)
{
    std::vector<uint8_t> bytes = BuildModule("sequence");
    ModuleMusic music;
    ASSERT_TRUE(music.Init());
    music.SetSampleRate(22050);
    ASSERT_TRUE(music.Load(bytes.data(), bytes.size()));
    music.SetVolume(255);
    EXPECT_EQ(music.GetVolume(), 255);
    EXPECT_EQ(music.GetMaxVolume(), 255);
    music.Play();
    ASSERT_TRUE(music.IsPlaying());

    long end = 0;
    for (const ExpectedRow& e : kSequence)
        end += e.ticks * FramesPerTick(e.tempo);
    end += 6 * FramesPerTick(125);
    std::vector<int16_t> out(static_cast<size_t>(end) + 5000, 0x1234);
    // Odd chunk sizes that cross ticks and rows.
    size_t done = 0, stoppedAt = 0;
    while (done < out.size()) {
        int chunk = static_cast<int>(std::min<size_t>(777, out.size() - done));
        music.Render(out.data() + done, chunk);
        done += static_cast<size_t>(chunk);
        if (!music.IsPlaying() && !stoppedAt)
            stoppedAt = done;
    }
    EXPECT_FALSE(music.IsPlaying());
    EXPECT_NE(out[static_cast<size_t>(6 * FramesPerTick(125))], 0);
    EXPECT_NE(out[static_cast<size_t>(end) - 1], 0);
    // The render that met the end leaves the rest of its buffer silent; later ones write nothing.
    ASSERT_GT(stoppedAt, static_cast<size_t>(end));
    for (size_t i = static_cast<size_t>(end); i < stoppedAt; ++i)
        ASSERT_EQ(out[i], 0) << i;
    EXPECT_EQ(out[stoppedAt], 0x1234);
    // Not playing: a render leaves the buffer alone; Play starts the song again.
    std::vector<int16_t> untouched(100, 7);
    music.Render(untouched.data(), 100);
    EXPECT_EQ(untouched[50], 7);
    music.Play();
    EXPECT_TRUE(music.IsPlaying());
}

TEST(ModulePlayback, CFourAt8363StepsTheSameInBothTables)
{
    PlayerRun amiga(BuildModule("events"));
    ASSERT_TRUE(amiga.loaded);
    amiga.RunRows(1);
    EXPECT_FALSE(amiga.player.linearSlides);
    EXPECT_EQ(amiga.player.channels[0].period, 1712u);
    EXPECT_EQ(amiga.player.channels[0].step, 388u);

    PlayerRun linear(BuildModule("pingpong"));
    ASSERT_TRUE(linear.loaded);
    linear.RunRows(1);
    EXPECT_TRUE(linear.player.linearSlides);
    EXPECT_EQ(linear.player.channels[0].period, 4608u);
    EXPECT_EQ(linear.player.channels[0].step, 388u);
    EXPECT_EQ(StepForPeriod(1712, false, 11025), 776u);
}

TEST(ModulePlayback, PingPongLoopReversesAndAShortSampleStops)
{
    PlayerRun run(BuildModule("pingpong"));
    ASSERT_TRUE(run.loaded);
    run.Run(6 * 441);
    run.Run(300);
    // 100 samples at 388/1024 of a sample per frame: stopped on its last sample.
    EXPECT_FALSE(run.player.channels[1].keyed);
    EXPECT_EQ(run.player.channels[1].position, 99u << 10);

    int turns = 0;
    bool forward = true;
    uint32_t low = ~0u, high = 0;
    for (int i = 0; i < 8000; ++i) {
        run.Run(1);
        const ChannelRecord& channel = run.player.channels[0];
        if (channel.forward != forward) {
            ++turns;
            forward = channel.forward;
        }
        if (channel.position >= (500u << 10)) {
            low = std::min(low, channel.position);
            high = std::max(high, channel.position);
        }
    }
    EXPECT_GE(turns, 3);
    EXPECT_LT(high, 1000u << 10);
    EXPECT_GE(low, 500u << 10);
    // The sample rises through the loop, so the output falls after each turn at the end.
    EXPECT_TRUE(run.player.channels[0].keyed);
}

TEST(ModulePlayback, OutputFormatsAndSampleRateChanges)
{
    std::vector<uint8_t> bytes = BuildModule("events");
    ModulePlayer player;
    ASSERT_EQ(ModulePlayer::Load(bytes.data(), bytes.size(), &player), 0);
    player.moduleVolume = 255;
    player.SetOutputFormat(22050, 2, 8, false);
    ASSERT_TRUE(player.Start());
    std::vector<uint8_t> out(2 * 3000);
    player.outputBuffer = out.data();
    player.outputBytes = static_cast<int>(out.size());
    player.Render();
    EXPECT_EQ(out[0], 128);  // unsigned 8-bit silence before the first row
    // Channel 0 pans to 86 of 255: louder on the left.
    EXPECT_GT(out[2 * 2700], out[2 * 2700 + 1]);
    EXPECT_GT(out[2 * 2700 + 1], 128);
    player.SetOutputFormat(11025, 1, 16, true);
    EXPECT_EQ(player.samplesPerTick, 5 * 11025 / (2 * 125));

    ModuleMusic music;
    ASSERT_TRUE(music.Init());
    music.SetSampleRate(12345);  // not one of the rates: ignored
    EXPECT_EQ(music.GetPlayer()->outputRate, 16000);
    music.SetSampleRate(44100);
    EXPECT_EQ(music.GetPlayer()->outputRate, 44100);
}

}  // namespace
