#include <gtest/gtest.h>

#include <cmath>

#include "engine/sound/module_music.h"
#include "engine/sound/module_player.h"
#include "shipped_sounds.h"

using namespace shipped;

TEST(ShippedMusic, TheSongPlaysOverNinetySecondsOnEveryChannelAndLoopsToItsStartUnclipped)
{
    Service service;
    ASSERT_TRUE(service.app.PacksOpen());
    ASSERT_EQ(service.sound.LoadMusic(service.SoundPath("Music\\kelo.s3m").c_str()).value, 0);
    ASSERT_EQ(service.sound.PlayMusic(0, true), 0);
    auto* music = static_cast<ModuleMusic*>(service.sound.GetMusic());
    ModulePlayer* player = music->GetPlayer();
    ASSERT_NE(player, nullptr);
    EXPECT_EQ(player->moduleVolume, 191);  // music at 100 %
    ASSERT_GE(player->channelCount, 6);

    const int chunk = 441;  // 20 ms
    std::vector<int16_t> buffer(chunk);
    std::vector<bool> sounded(static_cast<size_t>(player->channelCount), false);
    long frames = 0, clipped = 0, wrappedAt = -1;
    double beforeWrap = 0, afterWrap = 0;
    int lastOrder = player->orderPos;
    while (frames < 200L * 22050 && (wrappedAt < 0 || frames < wrappedAt + 2 * 22050)) {
        music->Render(buffer.data(), chunk);
        frames += chunk;
        double energy = 0;
        for (int16_t v : buffer) {
            clipped += v == 32767 || v == -32768;
            energy += static_cast<double>(v) * v;
        }
        for (int c = 0; c < player->channelCount; ++c) {
            const ChannelRecord& channel = player->channels[c];
            if (channel.keyed && channel.sample && channel.volume > 0)
                sounded[static_cast<size_t>(c)] = true;
        }
        if (wrappedAt < 0 && player->orderPos < lastOrder) {
            wrappedAt = frames;
            EXPECT_EQ(player->orderPos, 0);
            EXPECT_LE(player->row, 1);
        }
        if (wrappedAt < 0 && frames > 60L * 22050)
            beforeWrap = energy;  // the last chunk before the song starts over
        if (wrappedAt >= 0 && afterWrap == 0 && frames > wrappedAt + 22050 / 2)
            afterWrap = energy;
        lastOrder = player->orderPos;
        ASSERT_TRUE(music->IsPlaying());
    }
    ASSERT_GT(wrappedAt, 0) << "the song never came back to its start";
    EXPECT_GE(wrappedAt, 90L * 22050) << wrappedAt / 22050.0 << " s";
    EXPECT_EQ(clipped, 0);
    for (size_t c = 0; c < sounded.size(); ++c)
        EXPECT_TRUE(sounded[c]) << "channel " << c;
    // No gap of silence where the song runs back into its start.
    EXPECT_GT(beforeWrap, 0);
    EXPECT_GT(afterWrap, 0);
}
