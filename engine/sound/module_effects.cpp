// The player's row and tick work: reading each channel's cell, triggering its note, setting up
// its effects, and running envelopes, fade-outs and effects over the row's ticks.
#include "engine/sound/module_player.h"

#include <algorithm>

#include "engine/sound/module_tables.h"

namespace {

constexpr uint32_t kMaxPeriod = 1u << 20;

struct Trigger {
    uint8_t note;
    uint32_t instrument;
    uint8_t volume;
    uint16_t effect1, effect2;
};

bool IsTonePorta(uint16_t effect)
{
    return effect == kFxTonePorta || effect == kFxTonePortaVolumeSlide;
}

bool IsVibrato(uint16_t effect)
{
    return effect == kFxVibrato || effect == kFxVibratoVolumeSlide || effect == kFxFineVibrato;
}

bool IsNoteDelay(uint16_t effect, uint8_t param)
{
    return effect == kFxExtended && (param >> 4) == 0xD;
}

class RowWork {
public:
    explicit RowWork(ModulePlayer& player) : p_(player) {}

    void ProcessChannel(int c, const ModuleCell& cell);
    void TickChannel(ChannelRecord& channel);
    void NoteTrigger(ChannelRecord& channel, const Trigger& trigger);

private:
    bool S3m() const { return p_.format == 2; }
    bool Xm() const { return p_.format == 3; }
    // The memory rule: in S3M a zero parameter repeats the last one; elsewhere it is zero.
    uint8_t Remember(uint8_t* memory, uint8_t param) const
    {
        if (param != 0 || !S3m())
            *memory = param;
        return *memory;
    }
    ModuleInstrument* InstrumentOf(const ChannelRecord& channel) const
    {
        return channel.instrumentIndex < static_cast<uint32_t>(p_.instrumentCount)
                   ? &p_.instruments[channel.instrumentIndex]
                   : nullptr;
    }
    void SetPeriod(ChannelRecord& channel, int64_t period)
    {
        if (period < 1)
            period = 1;
        if (period > kMaxPeriod)
            period = kMaxPeriod;
        channel.period = static_cast<uint32_t>(period);
        channel.step = StepForPeriod(channel.period, p_.linearSlides, p_.outputRate);
    }
    // Note (octave * 16 + semitone) with the sample's relative note, kept inside the table.
    static uint8_t RelativeNote(const ModuleSample& sample, uint8_t note)
    {
        int semitone = note & 15;
        int n = (note >> 4) * 12 + (semitone > 11 ? 11 : semitone) + sample.relativeNote;
        n = std::clamp(n, 0, 119);
        return static_cast<uint8_t>(n / 12 * 16 + n % 12);
    }
    uint32_t PeriodForNote(const ModuleSample& sample, uint8_t note) const
    {
        int semitone = note & 15;
        int n = std::clamp((note >> 4) * 12 + (semitone > 11 ? 11 : semitone), 0, 119);
        return p_.linearSlides ? LinearPeriod(n, sample.finetune) : AmigaPeriod(n, sample.c4RateCurrent);
    }
    void SetNotePeriod(ChannelRecord& channel, uint8_t note)
    {
        ModuleInstrument* instrument = InstrumentOf(channel);
        uint8_t mapped = instrument ? instrument->noteForNote[note] : note;
        SetPeriod(channel, PeriodForNote(*channel.sample, mapped));
    }
    static void StartEnvelope(EnvelopeState& state, const ModuleEnvelope& envelope)
    {
        state.envelope = &envelope;
        state.active = envelope.on && envelope.points;
        state.sustained = true;
        state.point = 0;
        state.position = 0;
        state.value = state.active ? static_cast<int16_t>(envelope.points[0].y) : 0;
    }
    static int TickEnvelope(EnvelopeState& state, int none);
    void VolumeSlide(ChannelRecord& channel, uint8_t value)
    {
        int x = value & 15, h = value >> 4;
        channel.volume = static_cast<uint8_t>(x ? std::clamp(channel.volume - x, 0, 64)
                                                : std::clamp(channel.volume + h, 0, 64));
    }
    void VibratoStep(ChannelRecord& channel, EffectSlot& slot, int shift)
    {
        int wave = WaveformValue(slot.vibratoWaveform, slot.vibratoPos);
        SetPeriod(channel, static_cast<int64_t>(slot.vibratoBase) + ((wave * slot.vibratoDepth) >> shift));
        slot.vibratoPos = (slot.vibratoPos + slot.vibratoSpeed) & 63;
    }
    void TonePortaStep(ChannelRecord& channel, EffectSlot& slot)
    {
        int64_t period = channel.period;
        int64_t speed = int64_t{slot.tonePortaSpeed} * 4;
        if (period < slot.targetPeriod)
            period = period + speed > slot.targetPeriod ? slot.targetPeriod : period + speed;
        else if (period > slot.targetPeriod)
            period = period - speed < slot.targetPeriod ? slot.targetPeriod : period - speed;
        SetPeriod(channel, period);
    }
    void ApplyEffect(ChannelRecord& channel, EffectSlot& slot, const ModuleCell& cell, uint16_t effect,
                     uint8_t param);
    void TickEffect(ChannelRecord& channel, EffectSlot& slot);

    ModulePlayer& p_;
};

int RowWork::TickEnvelope(EnvelopeState& state, int none)
{
    const ModuleEnvelope* envelope = state.envelope;
    if (!envelope || !envelope->on || !envelope->points || !state.active)
        return none;
    int count = envelope->pointCount;
    if (count < 2)
        return state.value;
    if (state.sustained && state.point == envelope->sustain)
        return state.value;
    if (state.point >= count - 1 || state.position >= envelope->points[count - 1].x)
        return state.value;
    const EnvelopePoint& from = envelope->points[state.point];
    const EnvelopePoint& to = envelope->points[state.point + 1];
    state.position += 1;
    state.value = static_cast<int16_t>(from.y + ((state.position - from.x) * (to.y - from.y)) / (to.x - from.x));
    if (state.position >= to.x) {
        state.point += 1;
        if (state.point == envelope->loopEnd && envelope->loopStart <= envelope->loopEnd &&
            envelope->loopEnd < count) {
            state.point = envelope->loopStart;
            state.position = envelope->points[state.point].x;
            state.value = static_cast<int16_t>(envelope->points[state.point].y);
        }
    }
    return state.value;
}

void RowWork::NoteTrigger(ChannelRecord& channel, const Trigger& trigger)
{
    bool porta = IsTonePorta(trigger.effect1) || IsTonePorta(trigger.effect2);
    bool hasInstrument = trigger.instrument != 0 && trigger.instrument <= static_cast<uint32_t>(p_.instrumentCount);
    if (trigger.note < kNoteOff && !porta) {
        if (hasInstrument) {
            const ModuleInstrument& instrument = p_.instruments[trigger.instrument - 1];
            int s = instrument.sampleForNote[trigger.note];
            if (s < 0 || s >= p_.sampleCount)
                return;  // a note mapped to no sample triggers nothing
            channel.instrumentIndex = trigger.instrument - 1;
            channel.sampleIndex = static_cast<uint32_t>(s);
            channel.sample = &p_.samples[s];
        }
        if (!channel.sample)
            return;
        channel.position = 0;
        channel.forward = true;
        for (EffectSlot& slot : channel.slots) {
            if (slot.vibratoWaveform < 4)
                slot.vibratoPos = 0;
            if (slot.tremoloWaveform < 4)
                slot.tremoloPos = 0;
        }
        channel.keyed = true;
        channel.note = RelativeNote(*channel.sample, trigger.note);
        SetNotePeriod(channel, channel.note);
        for (EffectSlot& slot : channel.slots)
            slot.vibratoBase = channel.period;
    }
    if (hasInstrument && channel.sample) {
        const ModuleInstrument& instrument = p_.instruments[trigger.instrument - 1];
        const ModuleSample& sample = *channel.sample;
        channel.volume = sample.volume;
        channel.keyed = true;
        StartEnvelope(channel.volumeEnvelope, instrument.volumeEnvelope);
        StartEnvelope(channel.panEnvelope, instrument.panEnvelope);
        channel.fadeVolume = 32768;
        channel.fadeoutSpeed = 0;
        channel.pan = sample.pan > 64 ? channel.defaultPan : sample.pan == 64 ? 255 : static_cast<uint8_t>(sample.pan * 4);
    }
    if (trigger.volume <= 64)
        channel.volume = trigger.volume;
    if (trigger.note == kNoteOff && channel.keyed) {
        channel.panEnvelope.sustained = false;
        const ModuleEnvelope* envelope = channel.volumeEnvelope.envelope;
        if (!envelope || !envelope->on || !channel.volumeEnvelope.active)
            channel.keyed = false;
        else
            channel.volumeEnvelope.sustained = false;
        ModuleInstrument* instrument = InstrumentOf(channel);
        channel.fadeoutSpeed = instrument ? instrument->fadeout : 0;
    }
}

void RowWork::ProcessChannel(int c, const ModuleCell& cell)
{
    ChannelRecord& channel = p_.channels[c];
    auto rowHolds = [&](uint16_t effect) { return cell.effect1 == effect || cell.effect2 == effect; };

    for (EffectSlot& slot : channel.slots) {
        if (IsVibrato(slot.prevEffect) && !rowHolds(kFxArpeggio) && !rowHolds(kFxVibratoVolumeSlide) &&
            !rowHolds(kFxFineVibrato))
            SetPeriod(channel, slot.vibratoBase);
        if (slot.prevEffect == kFxTremolo && !rowHolds(kFxTremolo))
            channel.volume = slot.tremoloBase;
        if (slot.prevEffect == kFxArpeggio && !rowHolds(kFxArpeggio))
            SetPeriod(channel, slot.arpeggioBase);
    }

    if (!IsNoteDelay(cell.effect1, cell.param1) && !IsNoteDelay(cell.effect2, cell.param2))
        NoteTrigger(channel, Trigger{cell.note, cell.instrument, cell.volume, cell.effect1, cell.effect2});

    const uint16_t effects[2] = {cell.effect1, cell.effect2};
    const uint8_t params[2] = {cell.param1, cell.param2};
    for (int k = 0; k < 2; ++k) {
        EffectSlot& slot = channel.slots[k];
        slot.effect = kNoEffect;
        slot.param = 255;
        if (cell.note < kNoteOff && channel.sample)
            slot.targetPeriod = PeriodForNote(*channel.sample, RelativeNote(*channel.sample, cell.note));
        uint16_t effect = effects[k] == kNoEffect ? 0 : effects[k];
        ApplyEffect(channel, slot, cell, effect, params[k]);
        slot.prevEffect = effect;
    }
}

void RowWork::ApplyEffect(ChannelRecord& channel, EffectSlot& slot, const ModuleCell& cell, uint16_t effect,
                          uint8_t param)
{
    int x = param & 15, h = param >> 4;
    auto run = [&](uint8_t value) {
        slot.effect = effect;
        slot.param = value;
    };
    switch (effect) {
    case kFxSpeed:
        if (param)
            p_.speed = param;
        break;
    case kFxJump:
        p_.pendingJumpOrder = param;
        break;
    case kFxBreak:
        p_.pendingBreakRow = param >= 64 ? 0 : param;
        break;
    case kFxVolumeSlide:
        if (!Xm()) {
            uint8_t v = Remember(&slot.volumeSlideMemory, param);
            int vx = v & 15, vh = v >> 4;
            if (vx == 0xF && vh != 0)
                channel.volume = static_cast<uint8_t>(std::clamp(channel.volume + vh, 0, 64));
            else if (vh == 0xF && vx != 0 && vx != 0xF)
                channel.volume = static_cast<uint8_t>(std::clamp(channel.volume - vx, 0, 64));
            else
                run(v);
        } else if (x == 0xF) {
            if (param > 15)
                slot.fineUpMemory = static_cast<uint8_t>(h);
            channel.volume = static_cast<uint8_t>(std::clamp(channel.volume + slot.fineUpMemory, 0, 64));
        } else if (h == 0xF) {
            if (x)
                slot.fineDownMemory = static_cast<uint8_t>(x);
            channel.volume = static_cast<uint8_t>(std::clamp(channel.volume - slot.fineDownMemory, 0, 64));
        } else {
            slot.volumeSlideMemory = param;
            run(param);
        }
        break;
    case kFxPortaDown:
    case kFxPortaUp: {
        uint8_t v = Remember(&slot.portaMemory, param);
        int sign = effect == kFxPortaDown ? 1 : -1;
        if (v >= 0xF0)
            SetPeriod(channel, int64_t{channel.period} + sign * (v & 15) * 4);
        else if (v >= 0xE0)
            SetPeriod(channel, int64_t{channel.period} + sign * (v & 15));
        else
            run(v);
        break;
    }
    case kFxTonePorta:
        if (param)
            slot.tonePortaSpeed = param;
        run(param);
        break;
    case kFxVibrato:
    case kFxFineVibrato: {
        uint8_t v = param;
        if (effect == kFxFineVibrato)
            v = Remember(&slot.vibratoMemory, param);
        else if (param)
            slot.vibratoMemory = param;
        if (!IsVibrato(slot.prevEffect))
            slot.vibratoBase = channel.period;
        if (v & 15)
            slot.vibratoDepth = v & 15;
        if (v >> 4)
            slot.vibratoSpeed = v >> 4;
        run(v);
        break;
    }
    case kFxArpeggio:
        // A row that carries on an arpeggio without a new note keeps the note's own period as
        // the base: the period now is whatever pitch the last tick left.
        if (slot.prevEffect != kFxArpeggio || cell.note < kNoteOff)
            slot.arpeggioBase = channel.period;
        // Every row opens on the note itself, whatever the speed.
        slot.arpeggioStep = 0;
        run(Remember(&slot.arpeggioMemory, param));
        break;
    case kFxVibratoVolumeSlide:
        if (!IsVibrato(slot.prevEffect))
            slot.vibratoBase = channel.period;
        run(Remember(&slot.volumeSlideMemory, param));
        break;
    case kFxTonePortaVolumeSlide:
        run(Remember(&slot.volumeSlideMemory, param));
        break;
    case kFxSampleOffset: {
        uint32_t value = param;
        if (Xm()) {
            if (param)
                slot.offsetMemory = param;
            value = slot.offsetMemory;
        }
        if (cell.note < kNoteOff && channel.sample && channel.sample->length) {
            // Every read stays inside the sample, even for an offset at or past its end.
            uint32_t offset = value * 256;
            if (offset >= channel.sample->length)
                offset = channel.sample->length - 1;
            channel.position = offset << 10;
            channel.forward = true;
        }
        break;
    }
    case kFxRetrigger:
        slot.retrigCount = 0;
        run(Remember(&slot.retrigMemory, param));
        break;
    case kFxTremolo: {
        uint8_t v = Remember(&slot.tremoloMemory, param);
        if (slot.prevEffect != kFxTremolo)
            slot.tremoloBase = channel.volume;
        if (v & 15)
            slot.tremoloDepth = v & 15;
        if (v >> 4)
            slot.tremoloSpeed = v >> 4;
        run(v);
        break;
    }
    case kFxExtended:
        switch (h) {
        case 0x2:
            if (channel.sample)
                p_.samples[channel.sampleIndex].c4RateCurrent = kFinetuneRates[x];
            break;
        case 0x3: slot.vibratoWaveform = static_cast<uint32_t>(x & 7); break;
        case 0x4: slot.tremoloWaveform = static_cast<uint32_t>(x & 7); break;
        case 0x8: channel.pan = static_cast<uint8_t>(std::clamp((x + 1) * 16, 0, 255)); break;
        case 0xA: channel.pan = static_cast<uint8_t>(x < 8 ? (x + 9) * 16 : (x - 7) * 16); break;
        case 0xB:
            if (x == 0) {
                channel.loopRow = p_.row;
                break;
            }
            if (channel.loopCount == 0)
                channel.loopCount = x;
            else
                channel.loopCount -= 1;
            if (channel.loopCount != 0) {
                p_.loopRow = channel.loopRow;
                p_.pendingLoopJump = true;
            }
            break;
        case 0xC:
            slot.cutTick = static_cast<uint8_t>(x);
            run(param);
            break;
        case 0xD:
            slot.delayTick = static_cast<uint8_t>(x);
            slot.delayNote = cell.note;
            slot.delayInstrument = static_cast<uint8_t>(cell.instrument);
            slot.delayVolume = cell.volume;
            run(param);
            break;
        case 0xE: p_.patternDelay = x * p_.speed; break;
        default: break;
        }
        break;
    case kFxTempo:
        if (param >= 32)
            p_.SetTempo(param);
        break;
    case kFxGlobalVolume:
        p_.currentGlobalVolume = param > 64 ? 64 : param;
        break;
    case kFxSetVolume:
        if (param <= 64)
            channel.volume = param;
        break;
    case kFxSetPan:
        channel.pan = param;
        break;
    case kFxPanSlide:
        if (param)
            slot.panSlideMemory = param;
        run(slot.panSlideMemory);
        break;
    case kFxXmVolumeSlide:
        run(Remember(&slot.volumeSlideMemory, param));
        break;
    case kFxXmPortaDown:
    case kFxXmPortaUp:
        run(Remember(&slot.portaMemory, param));
        break;
    case kFxGlobalVolumeSlide:
        if (param)
            slot.globalSlideMemory = param;
        run(slot.globalSlideMemory);
        break;
    default:
        break;
    }
}

void RowWork::TickChannel(ChannelRecord& channel)
{
    channel.envelopeVolume = static_cast<uint8_t>(std::clamp(TickEnvelope(channel.volumeEnvelope, 64), 0, 64));
    channel.panEnvelopeValue = static_cast<uint8_t>(std::clamp(TickEnvelope(channel.panEnvelope, 32), 0, 64));
    channel.fadeVolume = channel.fadeVolume > channel.fadeoutSpeed ? channel.fadeVolume - channel.fadeoutSpeed : 0;
    for (EffectSlot& slot : channel.slots)
        TickEffect(channel, slot);
}

void RowWork::TickEffect(ChannelRecord& channel, EffectSlot& slot)
{
    uint8_t v = slot.param;
    int x = v & 15, h = v >> 4;
    bool first = p_.tick == 0;
    switch (slot.effect) {
    case kFxVolumeSlide:
    case kFxXmVolumeSlide:
        if (!first || S3m())
            VolumeSlide(channel, v);
        break;
    case kFxPortaDown:
    case kFxPortaUp:
        if (!first)
            SetPeriod(channel, int64_t{channel.period} + (slot.effect == kFxPortaDown ? 4 : -4) * int64_t{v});
        break;
    case kFxXmPortaDown:
    case kFxXmPortaUp:
        if (!first)
            SetPeriod(channel, int64_t{channel.period} +
                                   (slot.effect == kFxXmPortaDown ? 4 : -4) * int64_t{slot.portaMemory});
        break;
    case kFxTonePorta:
        if (!first)
            TonePortaStep(channel, slot);
        break;
    case kFxVibrato:
    case kFxFineVibrato:
        if (!first)
            VibratoStep(channel, slot, slot.effect == kFxVibrato ? 5 : 7);
        break;
    case kFxArpeggio: {
        if (!channel.sample)
            break;
        int add = slot.arpeggioStep == 0 ? 0 : slot.arpeggioStep == 1 ? h : x;
        int octave = channel.note >> 4, semitone = (channel.note & 15) + add;
        while (semitone > 11) {
            semitone -= 12;
            octave += 1;
        }
        SetNotePeriod(channel, static_cast<uint8_t>(std::clamp(octave, 0, 9) * 16 + semitone));
        slot.arpeggioStep = static_cast<uint8_t>((slot.arpeggioStep + 1) % 3);
        break;
    }
    case kFxVibratoVolumeSlide:
        if (!first)
            VibratoStep(channel, slot, 5);
        if (!first || S3m())
            VolumeSlide(channel, v);
        break;
    case kFxTonePortaVolumeSlide:
        if (!first)
            TonePortaStep(channel, slot);
        if (!first || S3m())
            VolumeSlide(channel, v);
        break;
    case kFxRetrigger:
        // Only the ticks after the row's first count, so x restarts on ticks x, 2x, ...
        if (first)
            break;
        slot.retrigCount += 1;
        if (slot.retrigCount >= x) {
            slot.retrigCount = 0;
            channel.volume = static_cast<uint8_t>(RetriggerVolume(channel.volume, h));
            if (channel.sample) {
                channel.position = 0;
                channel.keyed = true;
                channel.forward = true;
            }
        }
        break;
    case kFxTremolo:
        if (!first) {
            int wave = WaveformValue(slot.tremoloWaveform, slot.tremoloPos);
            channel.volume = static_cast<uint8_t>(std::clamp(slot.tremoloBase - ((wave * slot.tremoloDepth) >> 8), 0, 64));
            slot.tremoloPos = (slot.tremoloPos + slot.tremoloSpeed) & 63;
        }
        break;
    case kFxExtended:
        if (first)
            break;
        if (h == 0xC && p_.tick == slot.cutTick) {
            channel.volume = 0;
        } else if (h == 0xD && p_.tick == slot.delayTick) {
            NoteTrigger(channel, Trigger{slot.delayNote, slot.delayInstrument, slot.delayVolume,
                                         channel.slots[0].prevEffect, channel.slots[1].prevEffect});
        }
        break;
    case kFxPanSlide:
        channel.pan = static_cast<uint8_t>(h ? std::clamp(channel.pan + h, 0, 255) : std::clamp(channel.pan - x, 0, 255));
        break;
    case kFxGlobalVolumeSlide:
        if (!first)
            p_.currentGlobalVolume = static_cast<uint8_t>(x ? std::clamp(p_.currentGlobalVolume - x, 0, 64)
                                                            : std::clamp(p_.currentGlobalVolume + h, 0, 64));
        break;
    default:
        break;
    }
}

}  // namespace

void ModulePlayer::ProcessRow()
{
    if (endPending) {
        Stop();
        return;
    }
    bool wrapped = false;
    if (!OrderPlayable(orderPos) && (!SeekOrder(orderPos, &wrapped) || (wrapped && !loop))) {
        Stop();
        return;
    }
    int pattern = orders[orderPos];
    if (row < 0 || row >= patternRows[pattern])
        row = 0;
    pendingBreakRow = pendingJumpOrder = -1;
    pendingLoopJump = false;
    RowWork work(*this);
    const ModuleCell* cells = patterns[pattern] + row * channelCount;
    for (int c = 0; c < channelCount; ++c)
        if (channels[c].enabled)
            work.ProcessChannel(c, cells[c]);
    AdvanceSong();
}

void ModulePlayer::ProcessTick()
{
    RowWork work(*this);
    for (int c = 0; c < channelCount; ++c)
        if (channels[c].enabled)
            work.TickChannel(channels[c]);
}
