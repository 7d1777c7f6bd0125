#pragma once
// The one in-memory form of a tracker module, whichever format it came from, and the playback
// state that runs over it. Plain data: ModulePlayer (module_player.h) owns and frees the blocks.
#include <cstdint>

constexpr int kModuleMaxChannels = 32;
constexpr int kModuleMaxOrders = 256;
constexpr int kModuleMaxPatterns = 256;
constexpr int kModuleMaxInstruments = 255;
constexpr int kModuleMaxRows = 256;
// Keeps 22.10 positions and their steps inside 32 bits.
constexpr uint32_t kModuleMaxSampleLength = 1u << 21;

constexpr uint8_t kNoteOff = 254;
constexpr uint8_t kNoNote = 255;
constexpr uint8_t kNoVolume = 255;
constexpr uint16_t kNoEffect = 65535;

// Internal effect numbers: S3M letters A = 1 .. Z = 26, then the player's own.
enum ModuleEffect : uint16_t {
    kFxSpeed = 1,
    kFxJump = 2,
    kFxBreak = 3,
    kFxVolumeSlide = 4,
    kFxPortaDown = 5,
    kFxPortaUp = 6,
    kFxTonePorta = 7,
    kFxVibrato = 8,
    kFxTremor = 9,
    kFxArpeggio = 10,
    kFxVibratoVolumeSlide = 11,
    kFxTonePortaVolumeSlide = 12,
    kFxSampleOffset = 15,
    kFxRetrigger = 17,
    kFxTremolo = 18,
    kFxExtended = 19,
    kFxTempo = 20,
    kFxFineVibrato = 21,
    kFxGlobalVolume = 22,
    kFxSetVolume = 23,
    kFxSetPan = 24,
    kFxPanSlide = 25,
    kFxXmVolumeSlide = 32,
    kFxXmPortaDown = 33,
    kFxXmPortaUp = 34,
    kFxGlobalVolumeSlide = 35,
};

struct ModuleCell {
    uint32_t instrument = 0;  // 1-based, 0 = none
    uint8_t volume = kNoVolume;
    uint8_t note = kNoNote;  // octave * 16 + semitone
    uint16_t effect1 = 0;
    uint16_t effect2 = 0;
    uint8_t param1 = 0;
    uint8_t param2 = 0;
};

struct EnvelopePoint {
    uint16_t x;  // ticks
    uint16_t y;  // 0..64
};

struct ModuleEnvelope {
    bool on;
    uint8_t pointCount;
    uint8_t loopStart;  // 255 = none
    uint8_t loopEnd;
    uint8_t sustain;
    EnvelopePoint* points;
};

struct ModuleInstrument {
    char name[28];
    int32_t sampleForNote[256];  // -1 = none
    uint8_t noteForNote[256];
    ModuleEnvelope panEnvelope;
    ModuleEnvelope volumeEnvelope;
    uint16_t fadeout;
};

struct ModuleSample {
    uint32_t length;  // samples
    uint32_t loopStart;
    uint32_t loopEnd;
    bool looping;
    bool pingPong;
    void* data;  // int8_t or int16_t values
    bool sixteenBit;
    bool stereo;
    char name[23];
    uint8_t volume;
    uint32_t c4Rate;
    uint32_t c4RateCurrent;
    int8_t finetune;
    int8_t relativeNote;
    uint8_t pan;  // 0..63, 255 = the channel's
    uint8_t defaultVolume;
};

struct EffectSlot {
    uint16_t effect;
    uint8_t param;
    uint16_t prevEffect;
    uint8_t panSlideMemory, volumeSlideMemory, portaMemory, tonePortaSpeed;
    uint32_t targetPeriod;
    uint8_t vibratoDepth, vibratoSpeed, vibratoMemory;
    uint32_t vibratoWaveform, vibratoBase, vibratoPos;
    uint8_t tremoloDepth, tremoloSpeed, tremoloMemory;
    uint32_t tremoloWaveform;
    uint8_t tremoloBase;
    uint32_t tremoloPos;
    uint8_t retrigCount, retrigMemory, delayNote, delayInstrument, delayVolume, delayTick, cutTick,
        arpeggioStep, arpeggioMemory;
    uint32_t arpeggioBase;
    uint8_t offsetMemory, fineDownMemory, fineUpMemory, globalSlideMemory;
};

struct EnvelopeState {
    const ModuleEnvelope* envelope;
    bool active;
    bool sustained;
    uint8_t point;
    int16_t value;
    uint16_t position;
};

struct ChannelRecord {
    uint16_t fadeVolume;
    uint16_t fadeoutSpeed;
    uint32_t instrumentIndex;
    uint32_t sampleIndex;
    bool enabled;
    bool keyed;
    bool forward;
    uint8_t pan;
    uint8_t panEnvelopeValue;
    uint32_t position;  // 22.10
    uint32_t step;
    uint8_t volume;
    uint8_t envelopeVolume;
    const ModuleSample* sample;
    EnvelopeState panEnvelope;
    EnvelopeState volumeEnvelope;
    uint8_t defaultPan;
    uint8_t note;
    uint32_t period;
    EffectSlot slots[2];
    // Pattern loop: each channel keeps its own start row and count, so two channels looping over
    // the same rows each count their own passes instead of undoing each other's.
    int loopRow;
    int loopCount;
};

// The whole record; ModulePlayer adds the operations. Zeroing it gives the cleared state.
struct ModuleState {
    // Module part, filled by a loader.
    char name[28];
    int channelCount;
    int orderCount;
    int instrumentCount, sampleCount, patternCount;
    int restartOrder;
    bool linearSlides;
    bool st2Tempo, amigaSlides, zeroVolumeOptimise, amigaLimits, filterEnable, fastVolumeSlides;
    bool unsignedSamples;
    uint8_t globalVolume;
    uint8_t initialSpeed;
    uint8_t initialTempo;
    uint16_t trackerVersion;
    uint8_t orders[kModuleMaxOrders];
    ModuleInstrument* instruments;
    ModuleSample* samples;
    ModuleCell** patterns;
    int* patternRows;
    int format;  // 1 MOD, 2 S3M, 3 XM
    bool loaded;

    // Playback part.
    uint8_t moduleVolume;
    uint8_t currentGlobalVolume;
    ChannelRecord channels[kModuleMaxChannels];
    int outputRate;
    int outputBits;
    void* outputBuffer;
    int outputBytes;
    int outputChannels;
    bool signedOutput;
    int patternDelay;
    int row;
    int orderPos;
    int tick;
    int speed;
    int tempo;
    int samplesPerTick;
    int tickPos;
    bool loop;
    int loopRow;  // where a pending pattern-loop jump goes (the channel's that asked last)
    int32_t* mixBuffer;
    bool playing;
    // Set by the row that passed the song's last order; the song stops when the next row is due,
    // so that last row still plays out.
    bool endPending;
    // Row sequencing requests gathered while a row is read.
    int pendingBreakRow;  // -1 = none
    int pendingJumpOrder;
    bool pendingLoopJump;
};
