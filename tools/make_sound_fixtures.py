#!/usr/bin/env python3
"""Writes the sound test fixtures: WAV files in every layout the engine reads and Ogg Vorbis files
encoded with oggenc (vorbis-tools).

    make_sound_fixtures.py OUTDIR

Every signal is synthesised here: sines and a square wave, nothing recorded.
"""
import math
import os
import struct
import subprocess
import sys
import tempfile

ADAPTATION = [230, 230, 230, 230, 307, 409, 512, 614, 768, 614, 512, 409, 307, 230, 230, 230]
COEFF1 = [256, 512, 0, 192, 240, 460, 392]
COEFF2 = [0, -256, 0, 64, 0, -208, -232]


def sine(count, rate, freq, amp):
    return [int(round(amp * math.sin(2 * math.pi * freq * i / rate))) for i in range(count)]


def square(count, period, amp):
    return [amp if (i // (period // 2)) % 2 == 0 else -amp for i in range(count)]


def chunk(tag, body):
    return tag + struct.pack('<I', len(body)) + body


def riff(chunks):
    body = b'WAVE' + b''.join(chunks)
    return b'RIFF' + struct.pack('<I', len(body)) + body


def pcm_fmt(channels, rate, bits, extra=None):
    align = channels * bits // 8
    body = struct.pack('<HHIIHH', 1, channels, rate, rate * align, align, bits)
    if extra is not None:
        body += struct.pack('<H', extra)  # the 18-byte form with its cbSize word
    return chunk(b'fmt ', body)


def pcm16(samples):
    return struct.pack('<%dh' % len(samples), *samples)


def pcm8(samples):
    return bytes((s >> 8) + 128 for s in samples)


def adpcm_encode(samples, block_align, per_block, predictor=0):
    """One-channel MS-ADPCM: each code is the one whose decoded value lies nearest the input."""
    c1, c2 = COEFF1[predictor], COEFF2[predictor]
    out = bytearray()
    for start in range(0, len(samples) - per_block + 1, per_block):
        block = samples[start:start + per_block]
        delta = 512  # a start that suits a loud signal
        s2, s1 = block[0], block[1]
        data = bytearray(struct.pack('<Bhhh', predictor, delta, s1, s2))
        codes = []
        for target in block[2:]:
            predicted = int((s1 * c1 + s2 * c2) / 256)
            best = None
            for code in range(16):
                e = code - 16 if code >= 8 else code
                value = max(-32768, min(32767, predicted + e * delta))
                if best is None or abs(value - target) < best[0]:
                    best = (abs(value - target), code, value)
            _, code, value = best
            codes.append(code)
            delta = max(16, int(ADAPTATION[code] * delta / 256))
            s2, s1 = s1, value
        if len(codes) % 2:
            codes.append(0)
        for i in range(0, len(codes), 2):
            data.append((codes[i] << 4) | codes[i + 1])
        data += bytes(block_align - len(data))
        out += data
    return bytes(out)


def adpcm_fmt(rate, block_align, per_block, coefficients=7):
    body = struct.pack('<HHIIHHHHH', 2, 1, rate, rate * block_align // per_block, block_align, 4, 32,
                       per_block, coefficients)
    for a, b in zip(COEFF1, COEFF2):
        body += struct.pack('<hh', a, b)
    return chunk(b'fmt ', body)


def write(path, data):
    with open(path, 'wb') as f:
        f.write(data)


def make_wavs(out):
    rate = 22050
    tone = sine(2205, rate, 441, 12000)
    write(os.path.join(out, 'tone16.wav'), riff([pcm_fmt(1, rate, 16), chunk(b'data', pcm16(tone))]))
    write(os.path.join(out, 'tone8.wav'), riff([pcm_fmt(1, 11025, 8), chunk(b'data', pcm8(tone[:1103]))]))
    info = chunk(b'LIST', b'INFOINAM' + struct.pack('<I', 6) + b'Kelo\x00\x00')
    write(os.path.join(out, 'tone16_list.wav'),
          riff([pcm_fmt(1, rate, 16), info, chunk(b'data', pcm16(tone))]))
    write(os.path.join(out, 'tone16_fmt18.wav'), riff([pcm_fmt(1, rate, 16, extra=0), chunk(b'data', pcm16(tone))]))
    stereo = []
    for left, right in zip(tone, square(len(tone), 50, 6000)):
        stereo += [left, right]
    write(os.path.join(out, 'stereo16.wav'), riff([pcm_fmt(2, rate, 16), chunk(b'data', pcm16(stereo))]))
    block_align, per_block = 256, 500
    write(os.path.join(out, 'tone_adpcm.wav'),
          riff([adpcm_fmt(rate, block_align, per_block),
                chunk(b'data', adpcm_encode(tone[:2000], block_align, per_block))]))


def make_oggs(out):
    seconds = 0.25
    for rate in (11025, 22050, 44100):
        count = int(rate * seconds) & ~1
        left = sine(count, rate, 441, 16000)
        right = square(count, 100, 6000)
        for channels, name in ((1, 'mono'), (2, 'stereo')):
            frames = left if channels == 1 else [v for pair in zip(left, right) for v in pair]
            with tempfile.NamedTemporaryFile(suffix='.raw', delete=False) as raw:
                raw.write(pcm16(frames))
            target = os.path.join(out, 'tone_%s_%d.ogg' % (name, rate))
            subprocess.run(['oggenc', '-Q', '-r', '-B', '16', '-C', str(channels), '-R', str(rate),
                            '--raw-endianness', '0', '-q', '2', '-o', target, raw.name], check=True)
            os.unlink(raw.name)


def main():
    if len(sys.argv) != 2:
        sys.stderr.write(__doc__)
        return 2
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    make_wavs(out)
    make_oggs(out)
    return 0


if __name__ == '__main__':
    sys.exit(main())
