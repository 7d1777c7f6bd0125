#pragma once
// The null back end's sound device for tests: no thread plays it; a test pumps it by hand, as
// the audio thread would, and reads back the PCM the device played.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/base.h"

namespace nullbackend {

// How many devices waveOutGetNumDevs reports (1 by default).
void SetSoundDeviceCount(UINT count);
// While set, opening a device fails with MMSYSERR_NOTENABLED.
void FailSoundOpen(bool fail);
// Plays `bytes` of output through the device opened last now; false when none is open.
bool PumpSound(size_t bytes);
// Every byte pumped since the last clear (silence included).
const std::vector<uint8_t>& CapturedSound();
void ClearCapturedSound();
bool SoundDeviceIsOpen();
// Headers waiting in the open device's queue.
size_t QueuedSoundHeaders();

}  // namespace nullbackend
