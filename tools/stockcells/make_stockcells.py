#!/usr/bin/env python3
"""Builds the four stock cells, the tiny VOB sequences the editor carries for
blank content and for the chooser menu of merged discs, and writes them as
the program's constant data:

    make_stockcells.py OUT.cpp

Every cell is one VOBU of 2048-byte MPEG-2 program-stream packs: a NAV pack,
then one MPEG-2 sequence holding a single intra-coded frame whose blocks
carry only their DC coefficient (a uniform black picture for the empty
cells, a vertical gradient for the chooser's background), and for the merge
cells a sub-picture pack and a highlight with two buttons. The output is the
same on every run.
"""
import sys

SECTOR = 2048
MUX_RATE = 25200  # units of 50 bytes/s
PACK_TICKS = 2048 * 27000000 / (MUX_RATE * 50)  # 27 MHz ticks per pack


class Bits:
    def __init__(self):
        self.out = bytearray()
        self.acc = 0
        self.n = 0

    def put(self, value, width):
        for i in range(width - 1, -1, -1):
            self.acc = (self.acc << 1) | ((value >> i) & 1)
            self.n += 1
            if self.n == 8:
                self.out.append(self.acc)
                self.acc = 0
                self.n = 0

    def code(self, text):
        for c in text:
            self.put(int(c), 1)

    def align(self):
        while self.n:
            self.put(0, 1)

    def start_code(self, code):
        self.align()
        self.out += bytes([0, 0, 1, code])

    def data(self):
        assert self.n == 0
        return bytes(self.out)


# ---- MPEG-2 video ---------------------------------------------------------

DC_LUMA = ['100', '00', '01', '101', '110', '1110', '11110', '111110', '1111110', '111111110', '111111111']
DC_CHROMA = ['00', '01', '10', '110', '1110', '11110', '111110', '1111110', '11111110', '111111110', '111111111']
EOB = '10'  # end of block in the intra table of intra_vlc_format 0


def dc_block(bits, table, diff):
    if diff == 0:
        bits.code(table[0])
    else:
        size = abs(diff).bit_length()
        bits.code(table[size])
        bits.put(diff if diff > 0 else diff + (1 << size) - 1, size)
    bits.code(EOB)


def video_es(pal, rows, size):
    """One sequence with one DC-only intra frame; rows(r) gives the (Y, Cb, Cr)
    of macroblock row r. Zero stuffing before the sequence end code brings the
    stream to size bytes."""
    width, height = 720, 576 if pal else 480
    b = Bits()
    b.start_code(0xB3)  # sequence header
    b.put(width, 12)
    b.put(height, 12)
    b.put(2, 4)  # 4:3
    b.put(3 if pal else 4, 4)  # 25 or 29.97 frames/s
    b.put(9800000 // 400, 18)
    b.put(1, 1)
    b.put(112, 10)  # VBV buffer
    b.put(0, 3)  # constrained, no matrices
    b.start_code(0xB5)  # sequence extension
    b.put(1, 4)
    b.put(0x48, 8)  # Main Profile at Main Level
    b.put(0, 1)  # progressive_sequence
    b.put(1, 2)  # 4:2:0
    b.put(0, 2)
    b.put(0, 2)
    b.put(0, 12)
    b.put(1, 1)
    b.put(0, 8)
    b.put(0, 1)  # low_delay
    b.put(0, 7)
    b.start_code(0xB5)  # sequence display extension
    b.put(2, 4)
    b.put(1 if pal else 2, 3)  # PAL or NTSC
    b.put(0, 1)
    b.put(width, 14)
    b.put(1, 1)
    b.put(height, 14)
    b.start_code(0xB8)  # GOP
    b.put(0, 1 + 5 + 6)
    b.put(1, 1)
    b.put(0, 6 + 6)
    b.put(1, 1)  # closed
    b.put(0, 1)
    b.start_code(0x00)  # picture
    b.put(0, 10)
    b.put(1, 3)  # I
    b.put(0xFFFF, 16)
    b.put(0, 1)
    b.start_code(0xB5)  # picture coding extension
    b.put(8, 4)
    b.put(0xFFFF, 16)  # f_codes unused
    b.put(0, 2)  # 8-bit DC
    b.put(3, 2)  # frame picture
    b.put(0, 1)  # top_field_first
    b.put(1, 1)  # frame_pred_frame_dct
    b.put(0, 5)  # concealment, q_scale_type, intra_vlc_format, alternate_scan, repeat_first_field
    b.put(1, 1)  # chroma_420_type
    b.put(1, 1)  # progressive_frame
    b.put(0, 1)
    for r in range(height // 16):
        y, cb, cr = rows(r)
        b.start_code(0x01 + r)
        b.put(8, 5)  # quantiser_scale_code
        b.put(0, 1)
        for m in range(width // 16):
            b.code('1')  # address increment 1
            b.code('1')  # intra
            for k in range(4):
                dc_block(b, DC_LUMA, y - 128 if m == 0 and k == 0 else 0)
            dc_block(b, DC_CHROMA, cb - 128 if m == 0 else 0)
            dc_block(b, DC_CHROMA, cr - 128 if m == 0 else 0)
    b.align()
    es = b.data()
    assert len(es) + 4 <= size, (len(es), size)
    return es + bytes(size - len(es) - 4) + bytes([0, 0, 1, 0xB7])


# ---- Sub-picture ----------------------------------------------------------

def rle_line(runs, width):
    """runs: (count, colour) pairs; the last run is extended to the line end."""
    b = Bits()
    x = 0
    for i, (count, colour) in enumerate(runs):
        if i == len(runs) - 1:
            b.put(0, 14)
            b.put(colour, 2)
            break
        x += count
        if count < 4:
            b.put(count, 2)
        elif count < 16:
            b.put(count, 6)
        elif count < 64:
            b.put(count, 10)
        else:
            b.put(count, 14)
        b.put(colour, 2)
    b.align()
    return b.data()


def subpicture(pal, buttons):
    top, bottom = 2, (575 if pal else 479)

    def line(y):
        for (x0, x1, y0, y1) in buttons:
            if y0 <= y <= y1:
                return rle_line([(x0, 0), (x1 - x0 + 1, 1), (0, 0)], 720)
        return rle_line([(0, 0)], 720)

    rows = list(range(top, bottom + 1))
    field0 = b''.join(line(y) for y in rows[0::2])
    field1 = b''.join(line(y) for y in rows[1::2])
    pixels0 = 4
    pixels1 = pixels0 + len(field0)
    dcsq = pixels1 + len(field1)
    ctl = bytearray()
    ctl += bytes([0, 0]) + dcsq.to_bytes(2, 'big')  # start at once, last sequence
    ctl += bytes([0x03, 0x32, 0x10])  # colours 3, 2, 1, 0
    ctl += bytes([0x04, 0x00, 0x00])  # contrasts 0
    x0, x1 = 0, 719
    ctl += bytes([0x05, x0 >> 4, ((x0 & 15) << 4) | (x1 >> 8), x1 & 255,
                  top >> 4, ((top & 15) << 4) | (bottom >> 8), bottom & 255])
    ctl += bytes([0x06]) + pixels0.to_bytes(2, 'big') + pixels1.to_bytes(2, 'big')
    ctl += bytes([0x00, 0xFF])  # forced start of display (a menu's overlay), end
    body = field0 + field1 + bytes(ctl)
    total = 4 + len(body)
    return total.to_bytes(2, 'big') + dcsq.to_bytes(2, 'big') + body


# ---- Packs ----------------------------------------------------------------

def pack_header(n, exact_step):
    scr = n * 43886 if exact_step else int(n * PACK_TICKS)
    base, ext = scr // 300, scr % 300
    b = Bits()
    b.put(0x000001BA, 32)
    b.put(1, 2)
    b.put(base >> 30, 3)
    b.put(1, 1)
    b.put((base >> 15) & 0x7FFF, 15)
    b.put(1, 1)
    b.put(base & 0x7FFF, 15)
    b.put(1, 1)
    b.put(ext, 9)
    b.put(1, 1)
    b.put(MUX_RATE, 22)
    b.put(3, 2)
    b.put(0x1F, 5)
    b.put(0, 3)  # no stuffing
    return b.data()


def timestamp(prefix, value):
    return bytes([(prefix << 4) | ((value >> 29) & 0x0E) | 1,
                  (value >> 22) & 0xFF, ((value >> 14) & 0xFE) | 1,
                  (value >> 7) & 0xFF, ((value << 1) & 0xFE) | 1])


def pes(stream, header_data, payload, flags=0x00):
    body = bytes([0x81, flags, len(header_data)]) + header_data + payload
    return bytes([0, 0, 1, stream]) + len(body).to_bytes(2, 'big') + body


def padding(size):
    return bytes([0, 0, 1, 0xBE]) + (size - 6).to_bytes(2, 'big') + b'\xff' * (size - 6)


SYSTEM_HEADER = bytes([0, 0, 1, 0xBB, 0, 18, 0x80, 0xC4, 0xE1, 0x04, 0xE1, 0xFF,
                       0xB9, 0xE0, 0xE8, 0xB8, 0xC0, 0x20, 0xBD, 0xE0, 0x3A, 0xBF, 0xE0, 0x02])


def be32(v):
    return (v & 0xFFFFFFFF).to_bytes(4, 'big')


def nav_pack(header, pal, last_sector, pts, hli):
    frame_period = 3600 if pal else 3003
    vobu_len = 43200 if pal else 45045
    eltm = bytes([0, 0, 0, 0x40 if pal else 0xC0])
    pci = bytearray(979)
    pci[0:4] = be32(0)  # NV_PCK_LBN
    pci[12:16] = be32(pts)
    pci[16:20] = be32(pts + vobu_len)
    pci[20:24] = be32(pts + frame_period)
    pci[24:28] = eltm
    if hli:
        buttons, commands = hli
        pci[96:98] = bytes([0, 1])  # HLI_SS
        pci[98:102] = be32(pts)
        pci[102:106] = be32(0xFFFFFFFF)
        pci[106:110] = be32(0xFFFFFFFF)
        pci[110:112] = bytes([0x10, 0x00])  # one group, display type 0
        pci[112] = 0  # BTN_OFN
        pci[113] = len(buttons)
        pci[114] = len(buttons)  # all numerically selectable
        pci[116] = 0
        pci[117] = 0
        pci[118:126] = bytes([0x76, 0x54, 0x85, 0x20, 0xBA, 0x98, 0x85, 0x20])
        for i, ((x0, x1, y0, y1), cmd) in enumerate(zip(buttons, commands)):
            e = 142 + 18 * i
            pci[e:e + 3] = ((1 << 22) | (x0 << 12) | x1).to_bytes(3, 'big')
            pci[e + 3:e + 6] = ((y0 << 12) | y1).to_bytes(3, 'big')
            pci[e + 6:e + 10] = bytes([1, 2, 1, 2])  # up, down, left, right
            pci[e + 10:e + 18] = cmd
    dsi = bytearray(1017)
    dsi[0:4] = be32(0)  # NV_PCK_SCR
    dsi[4:8] = be32(0)  # NV_PCK_LBN
    dsi[8:12] = be32(last_sector)
    dsi[12:16] = be32(last_sector)
    dsi[24:26] = (1).to_bytes(2, 'big')  # vob id
    dsi[27] = 1  # cell id
    dsi[28:32] = eltm
    dsi[44:48] = be32(pts)
    dsi[48:52] = be32(pts + vobu_len)
    sri = 234
    for w in range(42):
        empty = 0xBFFFFFFF if w in (0, 41) else 0x3FFFFFFF
        dsi[sri + 4 * w:sri + 4 * w + 4] = be32(empty)
    data = header + SYSTEM_HEADER
    data += bytes([0, 0, 1, 0xBF]) + (980).to_bytes(2, 'big') + b'\x00' + bytes(pci)
    data += bytes([0, 0, 1, 0xBF]) + (1018).to_bytes(2, 'big') + b'\x01' + bytes(dsi)
    assert len(data) == SECTOR
    return data


PAD = 20  # padding packet closing the last video pack


def cell(pal, merge, sectors, pts, dts):
    exact = pal and not merge
    video_packs = sectors - 1 - (1 if merge else 0)
    first_payload = SECTOR - 14 - 9 - 10
    other_payload = SECTOR - 14 - 9
    es_size = first_payload + (video_packs - 1) * other_payload - PAD
    if merge:
        rows = lambda r: (40 + r, 150, 110)
        height = 576 if pal else 480
        if pal:
            buttons = [(142, 191, 179, 232), (214, 263, 253, 306)]
        else:
            buttons = [(142, 191, 149, 193), (214, 263, 211, 254)]
        commands = [bytes([0x30, 0x05, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00]),
                    bytes([0x30, 0x05, 0x00, 0x02, 0x00, 0x01, 0x00, 0x00])]
        hli = (buttons, commands)
    else:
        rows = lambda r: (16, 128, 128)
        hli = None
    es = video_es(pal, rows, es_size)
    out = bytearray()
    out += nav_pack(pack_header(0, exact), pal, sectors - 1, pts, hli)
    pos = 0
    n = 1
    first = True
    while n < sectors:
        header = pack_header(n, exact)
        if merge and n == 2:
            spu = subpicture(pal, buttons)
            packet = pes(0xBD, timestamp(2, pts), b'\x20' + spu, 0x80)
            rest = SECTOR - 14 - len(packet)
            assert rest >= 6
            out += header + packet + padding(rest)
            n += 1
            continue
        if first:
            payload = es[pos:pos + first_payload]
            packet = pes(0xE0, timestamp(3, pts) + timestamp(1, dts), payload, 0xC0)
            first = False
        else:
            payload = es[pos:pos + other_payload]
            packet = pes(0xE0, b'', payload)
        pos += len(payload)
        sector = header + packet
        if len(sector) < SECTOR:
            sector += padding(SECTOR - len(sector))
        assert len(sector) == SECTOR
        out += sector
        n += 1
    assert pos == len(es)
    assert len(out) == sectors * SECTOR
    return bytes(out)


CELLS = [
    ('g_abStockEmptyPal', True, False, 5, 25854, 22254),
    ('g_abStockEmptyNtsc', False, False, 5, 25257, 22254),
    ('g_abStockMerge2Pal', True, True, 18, 19681, 16081),
    ('g_abStockMerge2Ntsc', False, True, 17, 19681, 16678),
]


def main():
    if len(sys.argv) != 2:
        sys.exit('usage: make_stockcells.py OUT.cpp')
    lines = ['// The sectors of the stock cells. Generated by tools/stockcells/make_stockcells.py;',
             '// edit the generator, not this file.',
             '#include "DVD/source/StockCells.h"', '', '// clang-format off']
    for name, pal, merge, sectors, pts, dts in CELLS:
        data = cell(pal, merge, sectors, pts, dts)
        lines.append('const BYTE %s[%d] = {' % (name, len(data)))
        for i in range(0, len(data), 32):
            lines.append('    ' + ','.join(str(v) for v in data[i:i + 32]) + ',')
        lines.append('};')
        lines.append('')
    lines.append('// clang-format on')
    lines.append('')
    with open(sys.argv[1], 'w', newline='\n') as f:
        f.write('\n'.join(lines))


if __name__ == '__main__':
    main()
