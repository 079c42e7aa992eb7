#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes the glyph tables of the LCD driver templates from Debian's fonts.

    scripts/lcd_fonts.py            rewrite the tables in place
    scripts/lcd_fonts.py --check    exit 1 when a table differs from the fonts

Each template marks its table with the lines
    /* font:NAME begin: written by scripts/lcd_fonts.py */
    /* font:NAME end */
and everything between them is replaced. To show another character, add it
to the glyph list of its table below and run the script.

Fonts (Debian packages):
  unifont     /usr/share/unifont/unifont.hex           8x16 ASCII (KS0108)
  xfonts-wqy  /usr/share/fonts/X11/misc/wenquanyi_9pt.pcf  12x12 Chinese
  xfonts-base /usr/share/fonts/X11/misc/5x7.pcf.gz     5x7 ASCII (PCD8544, SED1520, GUI)
              /usr/share/fonts/X11/misc/5x8.pcf.gz     5x8 ASCII (GUI 8*8)
              /usr/share/fonts/X11/misc/12x24.pcf.gz   digits, scaled to 24x32 (GUI)
"""
import gzip
import os
import struct
import sys

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
TEMPLATES = os.path.join(ROOT, "src", "modlib", "templates")
UNIFONT = "/usr/share/unifont/unifont.hex"
WQY12 = "/usr/share/fonts/X11/misc/wenquanyi_9pt.pcf"
FIXED5X7 = "/usr/share/fonts/X11/misc/5x7.pcf.gz"
FIXED5X8 = "/usr/share/fonts/X11/misc/5x8.pcf.gz"
FIXED12X24 = "/usr/share/fonts/X11/misc/12x24.pcf.gz"

# The characters each driver can show: what the demos of main.c write, and
# the usual digits and signs for the user's own texts.
KS0108_ASCII = "1234567890.,:;-_ABCDEF =()VmH*"
KS0108_HANZI = "液晶显示的第一二三四五行"
PCD8544_HANZI = "欢迎光临单片机实验室"
GUI_HANZI = "欢迎使用图形界面中文显示液晶屏窗口菜单"
GUI_BIG = "0123456789:-. "


class Glyph:
    """A bitmap as rows of 0/1, `width` wide, with its top `top` rows below
    the cell's top line."""

    def __init__(self, width, rows, top=0):
        self.width, self.rows, self.top = width, rows, top

    def pixel(self, x, y):
        y -= self.top
        if 0 <= y < len(self.rows) and 0 <= x < self.width:
            return self.rows[y][x]
        return 0


def unifont(chars):
    wanted = {ord(c) for c in chars}
    glyphs = {}
    with open(UNIFONT) as f:
        for line in f:
            code, bits = line.strip().split(":")
            if int(code, 16) in wanted and len(bits) == 32:
                rows = [[(int(bits[2 * r:2 * r + 2], 16) >> (7 - x)) & 1 for x in range(8)] for r in range(16)]
                glyphs[chr(int(code, 16))] = Glyph(8, rows)
    missing = set(chars) - set(glyphs)
    if missing:
        sys.exit("unifont lacks " + "".join(sorted(missing)))
    return glyphs


def pcf(path, chars):
    """The glyphs of a PCF font (the X server's bitmap format) with the
    font's ascent: enough of the format for Debian's fixed and wqy fonts."""
    data = gzip.open(path).read() if path.endswith(".gz") else open(path, "rb").read()
    if data[:4] != b"\x01fcp":
        sys.exit(path + ": not a PCF font")
    (count,) = struct.unpack_from("<i", data, 4)
    tables = {}
    for i in range(count):
        kind, fmt, size, offset = struct.unpack_from("<iiii", data, 8 + 16 * i)
        tables[kind] = offset

    def reader(kind):
        offset = tables[kind]
        (fmt,) = struct.unpack_from("<i", data, offset)
        order = ">" if fmt & 4 else "<"
        return fmt, order, offset + 4

    fmt, order, at = reader(0x100 if 0x100 in tables else 2)  # (BDF) accelerators
    ascent, descent = struct.unpack_from(order + "ii", data, at + 8)

    fmt, order, at = reader(4)  # metrics
    metrics = []
    if fmt & 0x100:  # compressed
        (n,) = struct.unpack_from(order + "h", data, at)
        for i in range(n):
            m = [b - 0x80 for b in data[at + 2 + 5 * i:at + 7 + 5 * i]]
            metrics.append(m)
    else:
        (n,) = struct.unpack_from(order + "i", data, at)
        for i in range(n):
            metrics.append(list(struct.unpack_from(order + "hhhhh", data, at + 4 + 12 * i)))

    fmt, order, at = reader(8)  # bitmaps
    (n,) = struct.unpack_from(order + "i", data, at)
    offsets = struct.unpack_from(order + "%di" % n, data, at + 4)
    bits_at = at + 4 + 4 * n + 16
    pad = 1 << (fmt & 3)
    msb_bits = bool(fmt & 8)

    fmt, order, at = reader(32)  # encodings
    min2, max2, min1, max1, _ = struct.unpack_from(order + "hhhhh", data, at)
    cols = max2 - min2 + 1

    glyphs = {}
    for c in chars:
        code = ord(c)
        b1, b2 = code >> 8, code & 0xFF
        if not (min1 <= b1 <= max1 and min2 <= b2 <= max2):
            sys.exit("%s lacks %s" % (path, c))
        (index,) = struct.unpack_from(order + "H", data, at + 10 + 2 * ((b1 - min1) * cols + b2 - min2))
        if index == 0xFFFF:
            sys.exit("%s lacks %s" % (path, c))
        lsb, rsb, width, asc, desc = metrics[index]
        w, h = rsb - lsb, asc + desc
        stride = (w + 7) // 8
        stride = (stride + pad - 1) // pad * pad
        rows = []
        for y in range(h):
            row = []
            for x in range(w):
                byte = data[bits_at + offsets[index] + y * stride + x // 8]
                row.append((byte >> (7 - x % 8)) & 1 if msb_bits else (byte >> (x % 8)) & 1)
            rows.append(([0] * max(lsb, 0) + row + [0] * width)[:width])
        glyphs[c] = Glyph(width, rows, ascent - asc)
    return glyphs, ascent + descent


def columns(glyph, width, top, height):
    """Column bytes (bit 0 at the top) of `height` rows from row `top`, one
    page of 8 rows after the other."""
    out = []
    for page in range(0, height, 8):
        for x in range(width):
            byte = 0
            for bit in range(min(8, height - page)):
                byte |= glyph.pixel(x, top + page + bit) << bit
            out.append(byte)
    return out


def ink_rows(g):
    return [y for y in range(-8, 32) for x in range(g.width) if g.pixel(x, y)]


def cell_top(glyphs, height, low_lying=""):
    """The first cell row of a `height`-row window holding every glyph's ink,
    centred; exits when the ink is taller. Glyphs in `low_lying` (the
    underscore and the parentheses reach below the other letters) are left
    out and lifted into the window by fit(), losing a top row if taller."""
    rows = [y for c, g in glyphs.items() if c not in low_lying for y in ink_rows(g)]
    low, high = min(rows), max(rows)
    if high - low + 1 > height:
        sys.exit("the glyphs are %d rows high, more than %d" % (high - low + 1, height))
    return low - (height - (high - low + 1)) // 2


def fit(glyph, top, height):
    """`glyph` moved up just enough for its ink to end inside the window."""
    below = max(ink_rows(glyph), default=0) - (top + height - 1)
    return Glyph(glyph.width, glyph.rows, glyph.top - below) if below > 0 else glyph


def hex_rows(values, per_line, indent):
    lines = []
    for i in range(0, len(values), per_line):
        lines.append(indent + ",".join("0x%02X" % v for v in values[i:i + per_line]) + ",")
    return lines


def gbk_escape(ch):
    return "".join("\\x%02X" % b for b in ch.encode("gbk"))


def ks0108_tables():
    ascii_glyphs = unifont(KS0108_ASCII)
    # The driver shows 12 rows of each glyph (text rows are 12 dots high).
    top = cell_top(ascii_glyphs, 12, "_()")
    out = ["//8x16点阵ASCII字符（每字16字节：上8行8列，下8行8列，低位在上），取自GNU Unifont",
           "LCD_ROM ASC_FONT ASC_16[] = {"]
    for c in KS0108_ASCII:
        out.append("   {'%s', {" % ("\\'" if c == "'" else c))
        out += hex_rows(columns(fit(ascii_glyphs[c], top, 12), 8, top, 16), 8, "      ")
        out[-1] = out[-1][:-1]
        out.append("   }},")
    out[-1] = out[-1][:-1]
    out += ["};", ""]
    hanzi, _ = pcf(WQY12, KS0108_HANZI)
    top = cell_top(hanzi, 12)
    out += ["//12x16点阵汉字（每字24字节：上8行12列，下8行12列，低位在上），取自文泉驿点阵宋体",
            "LCD_ROM GB_FONT GB_16[] = {"]
    for c in KS0108_HANZI:
        out.append("   {\"%s\", {   // %s" % (gbk_escape(c), c))
        out += hex_rows(columns(hanzi[c], 12, top, 16), 12, "      ")
        out[-1] = out[-1][:-1]
        out.append("   }},")
    out[-1] = out[-1][:-1]
    out.append("};")
    return out


def pcd8544_tables():
    small, _ = pcf(FIXED5X7, [chr(c) for c in range(0x20, 0x7F)])
    out = ["//6x8点阵ASCII字符0x20..0x7E（每字6列，低位在上），取自X11 misc-fixed 5x7",
           "LCD_ROM unsigned char font6x8[][6] = {"]
    for code in range(0x20, 0x7F):
        c = chr(code)
        values = columns(small[c], 6, 0, 8)
        out.append("   {" + ",".join("0x%02X" % v for v in values) + "},   // " + {" ": "space", "\\": "backslash"}.get(c, c))
    out[-1] = out[-1].replace("},", "} ", 1)
    out += ["};", ""]
    hanzi, _ = pcf(WQY12, PCD8544_HANZI)
    out += ["//12x16点阵汉字（每字24字节：上8行12列，下8行12列，低位在上），取自文泉驿点阵宋体",
            "//" + PCD8544_HANZI,
            "LCD_ROM unsigned char write_chinese[][24] = {"]
    for c in PCD8544_HANZI:
        out.append("   {   // " + c)
        out += hex_rows(columns(hanzi[c], 12, -2, 16), 12, "      ")
        out[-1] = out[-1][:-1]
        out.append("   },")
    out[-1] = out[-1][:-1]
    out.append("};")
    return out


def sed1520_tables():
    small, _ = pcf(FIXED5X7, [chr(c) for c in range(0x20, 0x7F)])
    out = ["//6x8点阵ASCII字符0x20..0x7E（每字6列，低位在上），取自X11 misc-fixed 5x7",
           "LCD_ROM unsigned char ASCII[][6] = {"]
    for code in range(0x20, 0x7F):
        c = chr(code)
        values = columns(small[c], 6, 0, 8)
        out.append("   {" + ",".join("0x%02X" % v for v in values) + "},   // " + {" ": "space", "\\": "backslash"}.get(c, c))
    out[-1] = out[-1].replace("},", "} ", 1)
    out.append("};")
    return out


def printable():
    return [chr(c) for c in range(0x20, 0x7F)]


def name_of(c):
    return {" ": "space", "\\": "backslash"}.get(c, c)


def gui_stock_table():
    small, _ = pcf(FIXED5X7, printable())
    out = ["//6x8点阵ASCII字符0x20..0x7E（每字6列，低位在上），取自X11 misc-fixed 5x7",
           "GUI_ROM uint8 GUI_F6x8[95][6] = {"]
    for c in printable():
        out.append("   {" + ",".join("0x%02X" % v for v in columns(small[c], 6, 0, 8)) + "},   // " + name_of(c))
    out[-1] = out[-1].replace("},", "} ", 1)
    out.append("};")
    return out


def gui_font8x8_table():
    small, _ = pcf(FIXED5X8, printable())
    out = ["//8x8点阵ASCII字符0x20..0x7E（每字8列，低位在上），取自X11 misc-fixed 5x8，左空一列",
           "static GUI_ROM uint8 GUI_F8x8[95][8] = {"]
    for c in printable():
        g = small[c]
        shifted = Glyph(8, [[0] + row + [0] * (7 - len(row)) for row in g.rows], g.top)
        out.append("   {" + ",".join("0x%02X" % v for v in columns(shifted, 8, 0, 8)) + "},   // " + name_of(c))
    out[-1] = out[-1].replace("},", "} ", 1)
    out.append("};")
    return out


def gui_font24x32_table():
    big, height = pcf(FIXED12X24, GUI_BIG)
    out = ["//24x32点阵字符（每字4页，每页24列，低位在上），取自X11 misc-fixed 12x24，横向放大2倍、纵向放大4/3倍",
           "static const char GUI_F24x32_CODE[] = \"%s\";" % GUI_BIG,
           "#define GUI_F24x32_BLANK  %d" % GUI_BIG.index(" "),
           "static GUI_ROM uint8 GUI_F24x32[%d][96] = {" % len(GUI_BIG)]
    for c in GUI_BIG:
        g = big[c]
        rows = [[g.pixel(x // 2, y * height // 32) for x in range(24)] for y in range(32)]
        out.append("   {   // " + name_of(c))
        out += hex_rows(columns(Glyph(24, rows), 24, 0, 32), 12, "      ")
        out[-1] = out[-1][:-1]
        out.append("   },")
    out[-1] = out[-1][:-1]
    out.append("};")
    return out


def gui_hz_table():
    hanzi, _ = pcf(WQY12, GUI_HANZI)
    top = cell_top(hanzi, 12)
    out = ["//12x12点阵汉字（每字12行，每行2字节，高位在左），取自文泉驿点阵宋体",
           "//" + GUI_HANZI,
           "static GUI_ROM GUI_HZ12 GUI_HZ[] = {"]
    for c in GUI_HANZI:
        values = []
        for y in range(12):
            bits = 0
            for x in range(12):
                bits |= hanzi[c].pixel(x, top + y) << (15 - x)
            values += [bits >> 8, bits & 0xFF]
        out.append("   {\"%s\", {   // %s" % (gbk_escape(c), c))
        out += hex_rows(values, 12, "      ")
        out[-1] = out[-1][:-1]
        out.append("   }},")
    out[-1] = out[-1][:-1]
    out.append("};")
    return out


TARGETS = [
    ("memo/LCD128x64_KS0108.c", "ks0108", ks0108_tables),
    ("lcd/LCD240x64_KS0108/lcd.c", "ks0108", ks0108_tables),
    ("lcd/LCD3310_PCD8544/lcd.c", "pcd8544", pcd8544_tables),
    ("lcd/LCD122x32_SED1520/lcd.c", "sed1520", sed1520_tables),
    ("gui/GUI_StockC/GUI_StockC.c", "gui_stock", gui_stock_table),
    ("gui/font8_8/font8_8.c", "gui_font8x8", gui_font8x8_table),
    ("gui/font24_32/font24_32.c", "gui_font24x32", gui_font24x32_table),
    ("gui/loadbit/Loadbit.c", "gui_hz", gui_hz_table),
]


def main():
    check = "--check" in sys.argv[1:]
    stale = False
    for rel, name, make in TARGETS:
        path = os.path.join(TEMPLATES, rel)
        if not os.path.exists(path):
            continue
        lines = open(path, encoding="utf-8").read().split("\n")
        begin = "/* font:%s begin: written by scripts/lcd_fonts.py */" % name
        end = "/* font:%s end */" % name
        if begin not in lines or end not in lines:
            sys.exit("%s: no font:%s markers" % (rel, name))
        a, b = lines.index(begin), lines.index(end)
        new = lines[:a + 1] + make() + lines[b:]
        if new != lines:
            stale = True
            if check:
                print(rel + ": font tables differ from the fonts")
            else:
                open(path, "w", encoding="utf-8").write("\n".join(new))
                print(rel + ": font tables written")
    sys.exit(1 if check and stale else 0)


if __name__ == "__main__":
    main()
