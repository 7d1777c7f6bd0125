#pragma once
// The fixed tables of the tracker player: MOD periods, finetune rates, the Amiga and linear
// frequency tables, the vibrato and tremolo waveforms and the retrigger volume table.
#include <cstdint>

#include "engine/sound/mod_periods.h"

// C-4 rates of the 16 finetunes -8..7 (index finetune + 8).
extern const uint32_t kFinetuneRates[16];
// Vibrato and tremolo waveforms 0..3 (sine, ramp, square, fixed pseudo-random), -255..255.
int WaveformValue(uint32_t waveform, uint32_t position);

// The MOD note (octave * 16 + semitone) of a period; false when the table lacks it.
bool ModNoteForPeriod(unsigned period, uint8_t* note);
// C-4 rate of an XM finetune -128..127.
uint32_t XmFinetuneRate(int finetune);

// n = octave * 12 + semitone, 0..119.
uint32_t AmigaPeriod(int n, uint32_t c4Rate);
uint32_t LinearPeriod(int n, int finetune);
// 22.10 step per output frame; 0 for a silent period.
uint32_t StepForPeriod(uint32_t period, bool linearSlides, int outputRate);
// Applies the retrigger table entry h to a volume, within 0..64.
int RetriggerVolume(int volume, int h);
