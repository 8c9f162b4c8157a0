#!/usr/bin/env python3
"""Turns X bitmap fonts (PCF, as Debian's xfonts packages ship them, gzipped
or not) into a C++ source of glyph tables for text/bitmap_font.h.

  font_to_cpp.py OUT.cpp NAME=FONT.pcf.gz[,CODE=FROM...] [NAME=...]

Each NAME becomes a function `const BitmapFont& NAME()`. Characters 32 to 126
are kept, the ones the program writes; a character the font lacks is an
error, not a blank, so a wrong font file cannot slip through. CODE=FROM
takes character CODE's glyph from the font's character FROM (numbers, 0x
for hex): GLUT's bitmaps were made from older editions of these fonts, in
which ' ` and - held the typographic quotes and the minus sign, and the
Unicode edition still has those glyphs at their own places.

Each glyph's ink is cut to its advance, as in GLUT's bitmaps, whose every
glyph is a box from the origin to the next one (12-pixel Helvetica's f
reaches one pixel further in the X font). The output is
written beside and then renamed over the old one, so a failed run never
leaves half a table for the compiler.
"""
import gzip
import os
import struct
import sys

FIRST, LAST = 32, 126

PCF_ACCELERATORS = 1 << 1
PCF_METRICS = 1 << 2
PCF_BITMAPS = 1 << 3
PCF_BDF_ENCODINGS = 1 << 5
PCF_BDF_ACCELERATORS = 1 << 8

PCF_COMPRESSED_METRICS = 0x100
PCF_BYTE_MSB = 1 << 2   # multi-byte numbers (and scan units) most significant byte first
PCF_BIT_MSB = 1 << 3    # the leftmost pixel of a byte is its top bit


class FontError(Exception):
    pass


def read_pcf(path, codes=range(FIRST, LAST + 1), every=True):
    opener = gzip.open if path.endswith('.gz') else open
    with opener(path, 'rb') as f:
        data = f.read()
    if data[:4] != b'\x01fcp':
        raise FontError(f'{path}: not a PCF font')
    (count,) = struct.unpack_from('<i', data, 4)
    tables = {}
    for i in range(count):
        kind, fmt, size, offset = struct.unpack_from('<iiii', data, 8 + 16 * i)
        tables[kind] = (fmt, offset)

    def table(kind):
        if kind not in tables:
            raise FontError(f'{path}: no table {kind}')
        fmt, offset = tables[kind]
        # Each table repeats its format, always least significant byte first.
        (fmt2,) = struct.unpack_from('<i', data, offset)
        if fmt2 != fmt:
            raise FontError(f'{path}: table {kind} disagrees with the table of contents')
        return fmt, offset + 4, '>' if fmt & PCF_BYTE_MSB else '<'

    # Metrics: left and right bearing, advance, ascent, descent per glyph.
    fmt, at, e = table(PCF_METRICS)
    metrics = []
    if fmt & 0xffffff00 == PCF_COMPRESSED_METRICS:
        (n,) = struct.unpack_from(e + 'h', data, at)
        at += 2
        for i in range(n):
            metrics.append(tuple(b - 0x80 for b in data[at + 5 * i:at + 5 * i + 5]))
    else:
        (n,) = struct.unpack_from(e + 'i', data, at)
        at += 4
        for i in range(n):
            metrics.append(struct.unpack_from(e + 'hhhhh', data, at + 12 * i))

    # Bitmaps: rows top to bottom, each padded to the table's glyph padding.
    fmt, at, e = table(PCF_BITMAPS)
    (n,) = struct.unpack_from(e + 'i', data, at)
    offsets = struct.unpack_from(e + f'{n}i', data, at + 4)
    sizes = struct.unpack_from(e + '4i', data, at + 4 + 4 * n)
    pad = 1 << (fmt & 3)
    unit = 1 << ((fmt >> 4) & 3)
    bits_start = at + 4 + 4 * n + 16
    bits = data[bits_start:bits_start + sizes[fmt & 3]]

    def glyph_rows(index):
        lsb, rsb, _, ascent, descent = metrics[index]
        width, height = rsb - lsb, ascent + descent
        stride = ((width + 7) // 8 + pad - 1) // pad * pad
        rows = []
        for r in range(height):
            raw = bytearray(bits[offsets[index] + r * stride:offsets[index] + (r + 1) * stride])
            # Scan units in the other byte order than the bytes' own: swap them back.
            if unit > 1 and bool(fmt & PCF_BYTE_MSB) != bool(fmt & PCF_BIT_MSB):
                for u in range(0, len(raw), unit):
                    raw[u:u + unit] = raw[u:u + unit][::-1]
            row = []
            for x in range(width):
                byte = raw[x // 8]
                bit = (byte >> (7 - x % 8)) & 1 if fmt & PCF_BIT_MSB else (byte >> (x % 8)) & 1
                row.append(bit)
            rows.append(row)
        return rows

    # Encodings: character code to glyph index.
    fmt, at, e = table(PCF_BDF_ENCODINGS)
    min2, max2, min1, max1, _default = struct.unpack_from(e + '5h', data, at)
    index_at = at + 10

    def glyph_index(code):
        # Two-byte fonts (the Unicode editions) index by high byte, then low.
        high, low = code >> 8, code & 0xff
        if not (min1 <= high <= max1 and min2 <= low <= max2):
            return None
        cell = (high - min1) * (max2 - min2 + 1) + (low - min2)
        (index,) = struct.unpack_from(e + 'H', data, index_at + 2 * cell)
        return None if index == 0xffff else index

    # The font's ascent and descent, whose sum is its line height.
    kind = PCF_BDF_ACCELERATORS if PCF_BDF_ACCELERATORS in tables else PCF_ACCELERATORS
    fmt, at, e = table(kind)
    font_ascent, font_descent = struct.unpack_from(e + 'ii', data, at + 8)

    glyphs = {}
    for code in codes:
        index = glyph_index(code)
        if index is None:
            if not every:
                continue
            raise FontError(f'{path}: no glyph for character {code}')
        lsb, rsb, advance, ascent, descent = metrics[index][:5]
        glyphs[code] = dict(advance=advance, left=lsb, bottom=-descent, width=rsb - lsb,
                            height=ascent + descent, rows=glyph_rows(index))
    return dict(ascent=font_ascent, descent=font_descent, glyphs=glyphs)


def cut_to_advance(g):
    keep = [x for x in range(g['width']) if 0 <= g['left'] + x < g['advance']]
    if len(keep) == g['width']:
        return g
    first = keep[0] if keep else 0
    rows = [[row[x] for x in keep] for row in g['rows']]
    return dict(g, left=g['left'] + first, width=len(keep), rows=rows)


def load(font_arg):
    name, _, rest = font_arg.partition('=')
    source, *swaps = rest.split(',')
    if not name or not source:
        raise FontError(f'expected NAME=FONT[,CODE=FROM...], got "{font_arg}"')
    mapping = {}
    for swap in swaps:
        code, _, origin = swap.partition('=')
        try:
            mapping[int(code, 0)] = int(origin, 0)
        except ValueError:
            raise FontError(f'expected CODE=FROM, got "{swap}"') from None
    codes = sorted(set(range(FIRST, LAST + 1)) | set(mapping.values()))
    font = read_pcf(source, codes)
    glyphs = {code: cut_to_advance(font['glyphs'][mapping.get(code, code)])
              for code in range(FIRST, LAST + 1)}
    return name, source, dict(font, glyphs=glyphs)


def emit(out, name, source, font):
    """One font: the rows of every glyph bottom to top, a byte per 8 pixels
    with the leftmost pixel in the top bit, then the glyph table."""
    out.append(f'// {os.path.basename(source)}')
    out.append(f'const unsigned char k{name}Bits[] = {{')
    start = 0
    starts = {}
    for code, g in font['glyphs'].items():
        starts[code] = start
        row_bytes = []
        for row in reversed(g['rows']):
            for b in range(0, g['width'], 8):
                value = 0
                for i, bit in enumerate(row[b:b + 8]):
                    value |= bit << (7 - i)
                row_bytes.append(value)
        start += len(row_bytes)
        shown = chr(code) if chr(code) not in '\\' else 'backslash'
        out.append(f'  /* {code} {shown} */ ' + ''.join(f'0x{v:02x}, ' for v in row_bytes))
    if start == 0:
        out.append('  0')
    out.append('};')
    out.append(f'const BitmapGlyph k{name}Glyphs[] = {{')
    for code, g in font['glyphs'].items():
        out.append(f"  {{{g['advance']}, {g['left']}, {g['bottom']}, {g['width']}, "
                   f"{g['height']}, {starts[code]}}},  // {code}")
    out.append('};')
    out.append(f'}}  // namespace\n\nconst BitmapFont& {name}() {{')
    out.append(f"  static const BitmapFont font{{{font['ascent']}, {font['descent']}, "
               f'k{name}Glyphs, k{name}Bits}};')
    out.append('  return font;\n}\n\nnamespace {')


def main(argv):
    if len(argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    target = argv[1]
    out = ['// Made by scripts/font_to_cpp.py from X bitmap fonts; not edited by hand.',
           '#include "text/bitmap_font.h"', '', 'namespace {']
    try:
        for font_arg in argv[2:]:
            emit(out, *load(font_arg))
    except (FontError, OSError, struct.error) as err:
        print(f'font_to_cpp: {err}', file=sys.stderr)
        return 1
    out.append('}  // namespace')
    temporary = target + '.tmp'
    with open(temporary, 'w') as f:
        f.write('\n'.join(out) + '\n')
    os.replace(temporary, target)
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
