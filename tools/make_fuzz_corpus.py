#!/usr/bin/env python3
"""Writes the seed inputs of the fuzz targets to tests/fuzz/corpus/<target>/.

Each seed follows its target's input layout (see the comment at the top of
tests/fuzz/<target>_fuzz.cpp). The seeds are small, typical inputs and the
edge cases of each format; the fuzzers find the rest. Run it again after a
layout changes; it replaces the folders it writes.
"""

import os
import shutil
import struct

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "fuzz", "corpus")


def pattern(length, seed=1):
    """Bytes that look random and are the same on every run."""
    out = bytearray()
    state = seed
    while len(out) < length:
        state = (state * 1103515245 + 12345) & 0x7FFFFFFF
        out.append(state >> 16 & 0xFF)
    return bytes(out)


def nonzero(length, seed=1):
    return bytes(b or 1 for b in pattern(length, seed))


def b64(data):
    import base64
    return base64.b64encode(data)


KEY = b"12345678"

SEEDS = {
    "byte_string": [b"AD 3E B2", b"AD3EB2", b"A", b"ABCD", b" \t\nA F\r\v\f", b"00 0a FF 7f", b""],
    "hash_value": [b"AD 3E", b"AD3E", b"ADE", b"A D", b"0x12", b"\t00 ff\t", b"d41d8cd98f00b204e9800998ecf8427e"],
    # A split byte, then the text.
    "base64": [
        b"\x80TWFu", b"\x40TWE=", b"\x10TQ==", b"\xffTQ=x",
        b"\x55" + b"\r\n".join(b64(pattern(171, 2))[i:i + 76] for i in range(0, 228, 76)),
        b"\x99" + b64(pattern(240, 3)), b"\x33" + b64(pattern(96, 4))[:64] + b"=" + b64(pattern(30, 5)),
    ],
    # The key, a repeat byte, the data.
    "des": [KEY + b"\x00", KEY + b"\x00abcdefg", KEY + b"\x00" + pattern(8), KEY + b"\x02" + pattern(200, 6),
            b"\x01" * 8 + b"\x07" + pattern(520, 7)],
    # The key, a mode byte (even: decrypt the data; odd: a round trip), the data.
    "des_file": [KEY + b"\x01", KEY + b"\x01a", KEY + b"\x01" + pattern(1015, 8), KEY + b"\x01" + pattern(1016, 9),
                 KEY + b"\x01" + pattern(1024, 10), KEY + b"\x00" + pattern(8, 11),
                 KEY + b"\x00" + pattern(1032, 12), KEY + b"\x00" + pattern(13, 13)],
    "radix": [b"\x08" + b"12345678901234567890", b"\x0edeadBEEF", b"\x001010", b"\x22zz", b"\x08000", b"\x08 1 2 x",
              b"\x08" + bytes(48 + b % 10 for b in pattern(700, 14)),
              b"\x0e" + bytes(b"0123456789abcdef"[b % 16] for b in pattern(600, 15))],
    "rsa_key": [b"c5\n10001\n3d\n", b"C5\r\n10001\r\n3D\r\n\r\n\n", b"c5 7\n1 0001\nd", b"c5\n\n3d\n",
                b"c5\n10001\n3d\nff\n", b"c5\nxyz\n3d\n"],
    # A flags byte (algorithm, report, strict, whole check), then the list.
    "sum_check": [
        b"\x20d41d8cd98f00b204e9800998ecf8427e  file\n",
        b"\x20MD5 (file) = d41d8cd98f00b204e9800998ecf8427e\n# comment\n\n",
        b"\x20\\d41d8cd98f00b204e9800998ecf8427e  a\\nb\\\\c\r\n",
        b"\x30d41d8cd98f00b204e9800998ecf8427e file\nd41d8cd98f00b204e9800998ecf8427e *other\n",
        b"\x21SHA2-256(x y)= " + b"ab" * 32 + b"\n" + b"AB" * 32 + b" *x\n",
        b"\x26CRC32 (-) = cbf43926\ncbf43926  ?unreadable\n",
        b"\x2b" + b"0" * 40 + b"  \x00name\n",
    ],
    # GBK bytes (also read as UTF-16 text).
    # The code page (index into GBK, UTF-8, UTF-16LE, UTF-16BE, GB18030, Big5,
    # Shift_JIS, ISO-8859-1), a split point, then the bytes.
    "text_codec": [b"\x00\x03" + "你好, world".encode("gbk"), b"\x00\x01\x80 euro", b"\x00\x00\x81",
                   b"\x04\x02\xc4\xe3\x81\x30\x81\x30", b"\x01\x01a\r\nb\nc\r", b"\x01\x02" + "你好".encode("utf-8"),
                   b"\x02\x01" + "中文".encode("utf-16-le"), b"\x03\x03" + "中文".encode("utf-16-be"),
                   b"\x02\x00\x00\xd8\x00\xdc", b"\x05\x01" + "中文".encode("big5"),
                   b"\x06\x01" + "日本\\".encode("shift_jis"), b"\x07\x02caf\xe9"],
    # Flags (bit 0 hexadecimal, bit 1 copy errors, bit 2 lower case,
    # then the width), prefix and suffix lengths, a split point, prefix, suffix, text.
    "code_decoder": [b"\x01\x01\x00\x05%%41%42%43", b"\x00\x02\x01\x04&#;&#65;&#66;", b"\x01\x02\x00\x03\\x\\x41\\x4",
                     b"\x00\x00\x00\x02065066 067", b"\x03\x01\x01\x07<>< 41>x<42>"],
    "config_file": [open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "res", "quillhorn.conf"),
                         "rb").read(),
                    b"[A]\nkey=value\n; note\n[B]\r\nx=\r\n", b"key=no domain\n[\n", b"[A]\n=\n==\n[A]\nk=1\nk=2"],
}


def rsa_seeds():
    """A flags byte (bit 0 the 256-bit key, bits 1-2 the mode, 3-5 a stop, 6-7
    the buffer), then the data."""

    def block(k, layout, first, data):
        lead = (b"\x02" if layout == 2 else b"") + struct.pack(">Q", len(data)) if first else b""
        payload = lead + data
        return b"\x00\x02" + nonzero(k - 3 - len(payload), k) + b"\x00" + payload

    text = 0 << 1
    file = 1 << 1
    forged = 2 << 1
    trip = 3 << 1
    return [
        bytes([text | 0x80]) + pattern(64, 16).hex().encode(),
        bytes([text | 1 | 0x40]) + pattern(32, 17).hex().encode(),
        bytes([file]) + b"QHRSA\x02\x00\x00\x00\x40" + pattern(64, 18),
        bytes([forged | 0x40]) + block(64, 2, True, b"hello"),
        bytes([forged | 1]) + block(32, 1, True, b"") ,
        bytes([forged | 1]) + block(32, 1, True, b"") + block(32, 1, False, b""),
        bytes([forged]) + block(64, 2, True, pattern(43, 19)) + block(64, 2, False, b"tail"),
        bytes([trip]) + b"hello",
        bytes([trip | 1 | 0x10]) + pattern(100, 20),
    ]


def main():
    SEEDS["rsa"] = rsa_seeds()
    for target, seeds in SEEDS.items():
        folder = os.path.join(ROOT, target)
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(folder)
        for number, seed in enumerate(seeds):
            with open(os.path.join(folder, "seed-%02d" % number), "wb") as out:
                out.write(seed)


if __name__ == "__main__":
    main()
