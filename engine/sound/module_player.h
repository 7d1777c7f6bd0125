#pragma once
// Plays a tracker module (MOD, S3M, XM) held in memory: the loaders fill the module part of the
// record, Render runs the song in ticks and mixes its channels into the output buffer.
#include <cstddef>
#include <cstdint>

#include "engine/sound/module_record.h"

class ModulePlayer : public ModuleState {
public:
    ModulePlayer() : ModuleState{} {}
    ModulePlayer(const ModulePlayer&) = delete;
    ModulePlayer& operator=(const ModulePlayer&) = delete;
    ~ModulePlayer();

    // 0 loaded, -1 bad input (or a player already loaded), -2 out of memory. Everything the load
    // allocated is freed on failure; nothing of `data` is kept.
    static int Load(const uint8_t* data, size_t size, ModulePlayer* player);
    static void Clear(ModulePlayer* player);
    static void Unload(ModulePlayer* player);

    void SetOutputFormat(int rate, int channelCount, int bits, bool isSigned);
    // False when the mix buffer cannot be had; the player then stays stopped.
    bool Start();
    void Stop();
    void SetTempo(int newTempo);
    // Renders outputBytes of outputBuffer. When the song ends without looping the rest of the
    // buffer is left silent.
    void Render();

    // Row and tick work (module_effects.cpp).
    void ProcessRow();
    void ProcessTick();

private:
    void Mix(int frameOffset, int frames);
    void WriteOutput(int frameOffset, int frames);
    void SilenceOutput(int frameOffset, int frames);
    void FreeModule();

    // Song sequencing (module_sequence.cpp).
    bool OrderPlayable(int order) const;
    // Moves orderPos forward from `order` to the first playable entry, wrapping once; false when
    // the song ran off its end (or holds nothing playable).
    bool SeekOrder(int order, bool* wrapped);
    void AdvanceSong();
    void EndOfSong();
};
