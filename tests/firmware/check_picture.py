#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""check_picture.py KIND PICTURE.pbm
Checks the picture a virtual graphic display showed at the end of a demo run
against what the generated project says it draws, and writes PICTURE.png
beside it (4x, LCD colours) for a person to look at. The project folder is
the "project" folder beside the run's work folder (gen_case.sh's layout).

  pcd8544_calls  the picture of samples/pcd8544_calls: LCD_write_chi,
            LCD_write_String and LCD_write_char, dot for dot
  ks0108    the five text rows of the start-up demo, each dot of each glyph
            against ASC_16 and GB_16 of lcd.c, and the top and right border
  pcd8544   AVR_bmp at column 0, page 2 and china_bmp at column 44, page 3
            (from bmp.h), the web address of main.c on page 5 in the 6x8
            font of lcd.c, and pages 0-1 showing only columns of the
            scrolling Chinese text (write_chinese of lcd.c).
  t6963     the demo without GUI: graphics on and every dot clear (the
            display RAM starts with a pattern)
  t6963_points  the picture of samples/t6963_points: border, diagonal,
            one dot cleared, the middle line drawn from GUI_ReadPoint
  sed1335   the panel demo: display and both layers on, the GBox, GLine
            and TextBox frames of main.c, the eight "Test" labels and the
            two text rows in the text layer (every other cell blank), the
            six letters of letters_lib.h found below their start row 55
            (the scroller moved) with the middle box filled or clear to
            match, and empty parts of the panels clear. The PNG shows the
            text layer drawn in the 5x7 font over the graphic layer.
  sed1335_points  samples/sed1335_points: the t6963_points picture on the
            SED1335's graphic layer
  The T6963 and SED1335 checks also fail on any access the driver made without the
  status the datasheet asks for (the model counts them).
  sed1520   the web address of main.c's Printf at the top left in the 6x8
            font ASCII of lcd.c, everything else blank; no byte lost to
            a busy chip.
  sed1520_calls  the picture of samples/sed1520_calls, byte for byte
  st7920_pic  the picture of samples/st7920_pic, dot for dot
  st7920    the LCD_chinese rows of the start-up demo, each at its display
            address (0x80, 0x90 on the top half; 0x88, 0x98 on the lower
            half of a 128x64), in GNU Unifont (the model's stand-in for
            the font ROM), the row at 0x90 (and 0x98) reversed when the
            demo ends with LCD_command(0x05); no byte lost to a busy chip.
  ks0108_gui  the GUI window demo on a 128x64 KS0108: the main window's
            title bar and frame, the menu bar with its texts, the message
            box over it with the "OK" button selected (inverted).
  ks0108_drawing  the GUI drawing demo on a 128x64 KS0108: the screen border,
            the framed box with its cross lines, a circle and a filled one.
"""
import os
import re
import struct
import sys
import zlib


def read_pbm(path):
    words = []
    for line in open(path):
        line = line.split("#")[0]
        words += line.split()
    assert words[0] == "P1", "not a plain PBM"
    w, h = int(words[1]), int(words[2])
    bits = "".join(words[3:])
    return w, h, [[bits[y * w + x] == "1" for x in range(w)] for y in range(h)]


def write_png(path, w, h, pixels, scale=4):
    on, off = (30, 40, 30), (150, 180, 130)
    rows = b""
    for y in range(h * scale):
        row = bytearray([0])
        for x in range(w * scale):
            row += bytes(on if pixels[y // scale][x // scale] else off)
        rows += bytes(row)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w * scale, h * scale, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b"")
    open(path, "wb").write(png)


def gbk_text(path):
    return open(path, "rb").read().decode("gbk")


def c_array(text, name):
    """The numbers of the C array NAME (hex or decimal), in order."""
    m = re.search(r"\b" + name + r"\s*\[[^=]*=\s*\{(.*?)\};", text, re.S)
    if not m:
        sys.exit("no array " + name)
    body = re.sub(r"//[^\n]*", "", m.group(1))
    return [int(v, 0) for v in re.findall(r"0x[0-9A-Fa-f]+|\b\d+\b", body)]


def page_byte(pixels, x, page):
    return sum(1 << b for b in range(8) if pixels[page * 8 + b][x])


def check_pcd8544(pixels, project):
    errors = []
    bmp = gbk_text(os.path.join(project, "bmp.h"))
    lcd = gbk_text(os.path.join(project, "lcd.c"))
    main = gbk_text(os.path.join(project, "main.c"))

    def expect_map(name, x0, page0, w, h):
        data = c_array(bmp, name)
        for p in range((h + 7) // 8):
            for x in range(w):
                got = page_byte(pixels, x0 + x, page0 + p)
                if got != data[p * w + x]:
                    errors.append("%s: page %d column %d shows 0x%02X, expected 0x%02X"
                                  % (name, page0 + p, x0 + x, got, data[p * w + x]))
                    return

    expect_map("AVR_bmp", 0, 2, 40, 24)
    expect_map("china_bmp", 44, 3, 36, 15)

    web = re.search(r'LCD_write_String\(0,5,"([^"]*)"\)', main).group(1)
    font = c_array(lcd, "font6x8")
    for i, ch in enumerate(web[:14]):
        for k in range(6):
            want = font[(ord(ch) - 0x20) * 6 + k]
            got = page_byte(pixels, i * 6 + k, 5)
            if got != want:
                errors.append("web address: '%s' column %d shows 0x%02X, expected 0x%02X" % (ch, k, got, want))
                break

    chinese = c_array(lcd, "write_chinese")
    upper = {chinese[g * 24 + k] for g in range(len(chinese) // 24) for k in range(12)} | {0}
    lower = {chinese[g * 24 + 12 + k] for g in range(len(chinese) // 24) for k in range(12)} | {0}
    lit = 0
    for x in range(84):
        a, b = page_byte(pixels, x, 0), page_byte(pixels, x, 1)
        lit += a != 0
        if a not in upper or b not in lower:
            errors.append("scrolling text: column %d (0x%02X, 0x%02X) is no column of write_chinese" % (x, a, b))
            break
    if lit < 10:
        errors.append("scrolling text: pages 0-1 are nearly blank")
    return errors


def check_pcd8544_calls(pixels, project):
    """The picture of samples/pcd8544_calls/main.c."""
    errors = []
    lcd = gbk_text(os.path.join(project, "lcd.c"))
    chinese = c_array(lcd, "write_chinese")
    font = c_array(lcd, "font6x8")
    want = [[0] * 84 for _ in range(6)]
    for x in range(84):
        want[0][x] = chinese[(x // 12) * 24 + x % 12]
        want[1][x] = chinese[(x // 12) * 24 + 12 + x % 12]
    for i, ch in enumerate("Tamberlo!~"):
        for k in range(6):
            want[3][6 + i * 6 + k] = font[(ord(ch) - 0x20) * 6 + k]
    for x in range(24):  # characters 1 and 2 at page 5: their upper halves
        want[5][60 + x] = chinese[(1 + x // 12) * 24 + x % 12]
    for page in range(6):
        for x in range(84):
            got = page_byte(pixels, x, page)
            if got != want[page][x]:
                errors.append("page %d column %d shows 0x%02X, expected 0x%02X" % (page, x, got, want[page][x]))
                return errors
    return errors


def ks0108_fonts(lcd):
    """ASC_16 and GB_16 of lcd.c as {character: its 16-bit dot columns}."""
    glyphs = {}
    asc = lcd[lcd.index("ASC_16[]"):]
    asc = asc[:asc.index("};")]
    for code, body in re.findall(r"\{'(\\?.)', \{(.*?)\}\}", asc, re.S):
        v = [int(x, 16) for x in re.findall(r"0x([0-9A-F]{2})", body)]
        glyphs[code[-1]] = [v[k] | v[8 + k] << 8 for k in range(8)]
    gb = lcd[lcd.index("GB_16[]"):]
    gb = gb[:gb.index("};")]
    for m in re.finditer(r"// (\S)\r?\n(.*?)\}\}", gb, re.S):
        v = [int(x, 16) for x in re.findall(r"0x([0-9A-F]{2})", m.group(2))]
        glyphs[m.group(1)] = [v[k] | v[12 + k] << 8 for k in range(12)]
    return glyphs


def check_ks0108(pixels, project):
    errors = []
    lcd = gbk_text(os.path.join(project, "lcd.c"))
    main = gbk_text(os.path.join(project, "main.c"))
    glyphs = ks0108_fonts(lcd)
    width = len(pixels[0])
    startup = main[:main.index("while(1)")]
    texts = re.findall(r'disp_str\("([^"]*)"\)', startup)
    if len(texts) != 5:
        return ["main.c shows %d text rows, not 5" % len(texts)]
    for row, text in enumerate(texts):
        top, x = 4 + 12 * row, 0
        for ch in text:
            cols = glyphs.get(ch)
            if cols is None:
                errors.append("row %d: '%s' has no glyph in lcd.c" % (row + 1, ch))
                break
            if ch in "-:":
                cols = cols[:6]
            for k, bits in enumerate(cols):
                for y in range(12):
                    if x + k < width and pixels[top + y][x + k] != bool(bits >> y & 1):
                        errors.append("row %d: '%s' differs at column %d, dot row %d" % (row + 1, ch, x + k, top + y))
                        break
                else:
                    continue
                break
            x += len(cols)
    if not all(pixels[0]):
        errors.append("the top border is not drawn")
    if not all(pixels[y][width - 1] for y in range(64)):
        errors.append("the right border is not drawn")
    return errors


def pbm_comment(path):
    for line in open(path):
        if line.startswith("#"):
            return line[1:].split()
    return []


def t6963_errors(pbm):
    words = pbm_comment(pbm)
    info = dict(zip(words[1::2], words[2::2]))
    errors = []
    if info.get("graphic") != "on":
        errors.append("the graphic layer is not switched on")
    if info.get("violations") != "0":
        errors.append("%s accesses without the status the datasheet asks for" % info.get("violations"))
    return errors


def check_t6963(pixels, project):
    lit = sum(row.count(True) for row in pixels)
    return ["%d dots are still lit after LCD_Init" % lit] if lit else []


def check_t6963_points(pixels, project):
    w, h = len(pixels[0]), len(pixels)
    want = [[x in (0, w - 1) or y in (0, h - 1, h // 2) or x == y for x in range(w)] for y in range(h)]
    want[5][5] = False
    want[h - 3][2] = True
    for y in range(h):
        for x in range(w):
            if pixels[y][x] != want[y][x]:
                return ["dot (%d,%d) is %s" % (x, y, "lit" if pixels[y][x] else "clear")]
    return []


def sed1335_text_rows(pbm):
    return [line.rstrip("\n") for line in open(pbm + ".txt")]


def draw_text_layer(pixels, rows):
    """The text layer in 8x8 cells, the character ROM approximated by X11's
    5x7 font, ORed over the graphic layer (the driver's overlay mode)."""
    sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts"))
    import lcd_fonts
    font, _ = lcd_fonts.pcf(lcd_fonts.FIXED5X7, [chr(c) for c in range(0x21, 0x7F)])
    out = [row[:] for row in pixels]
    for r, line in enumerate(rows):
        for c, ch in enumerate(line):
            g = font.get(ch)
            for y in range(8):
                for x in range(6):
                    if g and g.pixel(x, y) and r * 8 + y < len(out) and c * 8 + 1 + x < len(out[0]):
                        out[r * 8 + y][c * 8 + 1 + x] = True
    return out


def check_sed1335(pixels, project, pbm):
    errors = []
    words = pbm_comment(pbm)
    info = dict(zip(words[1::2], words[2::2]))
    for key in ("display", "text", "graphic"):
        if info.get(key) != "on":
            errors.append("%s is not switched on" % key)
    if info.get("violations") != "0":
        errors.append("%s accesses the controller would not take" % info.get("violations"))
    main = gbk_text(os.path.join(project, "main.c"))
    letters = gbk_text(os.path.join(project, "letters_lib.h"))
    startup = main[:main.index("while(1)")]
    rows = sed1335_text_rows(pbm)
    want = [[" "] * 40 for _ in range(30)]
    for lo, hi, text in re.findall(r'LCDWriteString\((0x[0-9A-Fa-f]+),(0x[0-9A-Fa-f]+),"([^"]*)"\)', startup):
        at = int(hi, 16) * 256 + int(lo, 16)
        for i, ch in enumerate(text):
            want[(at + i) // 40][(at + i) % 40] = ch
    for r in range(30):
        if r >= len(rows) or rows[r] != "".join(want[r]):
            errors.append("text row %d shows %r, expected %r" % (r, rows[r] if r < len(rows) else "", "".join(want[r])))
    lit = lambda x, y: pixels[y][x]

    def frame(x1, y1, x2, y2, what):
        edge = [(x, y) for x in range(x1, x2 + 1) for y in (y1, y2)] + [(x, y) for y in range(y1, y2 + 1) for x in (x1, x2)]
        if not all(lit(x, y) for x, y in edge):
            errors.append(what + " is not drawn whole")

    for a in re.findall(r"GBox\((\d+),(\d+),(\d+),(\d+),1\)", startup):
        frame(*map(int, a), what="GBox(%s)" % ",".join(a))
    for a in re.findall(r"TextBox\((\d+),(\d+),(\d+),1\)", startup):
        x, y, n = map(int, a)
        frame(x * 8 - 2, y * 8 - 2, (x + n) * 8 + 1, y * 8 + 9, "TextBox(%s)" % ",".join(a))
    for a in re.findall(r"GLine\((\d+),(\d+),(\d+),(\d+)\)", startup):
        x1, y1, x2, y2 = map(int, a)
        for t in range(max(abs(x2 - x1), abs(y2 - y1)) + 1):
            n = max(abs(x2 - x1), abs(y2 - y1))
            x, y = x1 + (x2 - x1) * t / n, y1 + (y2 - y1) * t / n
            if not any(lit(int(round(x)) + dx, int(round(y)) + dy) for dx in (-1, 0, 1) for dy in (-1, 0, 1)):
                errors.append("GLine(%s) has a gap near (%d,%d)" % (",".join(a), x, y))
                break
    tops = []
    for x, name in re.findall(r"LCDDisplay_bmp\((\d+),55,8,(\w)\)", startup):
        bmp, x = c_array(letters, name), int(x)
        found = [y for y in range(55, 240 - 8)
                 if all(lit(x + k, y + r) == bool(bmp[r] >> (7 - k) & 1) for r in range(8) for k in range(8))]
        tops.append((name, found))
    # Once the scroller starts again at 55 the letters last drawn at 219
    # stay below (main.c never clears them): the uppermost ones are current.
    lowest = min((min(f) for _, f in tops if f), default=None)
    tops = [(n, next((y for y in f if y in (lowest, lowest + 2)), None)) for n, f in tops]
    # The run may end inside a pass: the letters drawn in it stand 2 rows
    # below the others, and the one being drawn may be half way.
    rows_at = [t for _, t in tops if t is not None]

    def together(order):
        """A..Z drawn in this pass at one row, the rest 2 rows above, the
        one in between (if any) half drawn."""
        for split in range(len(order) + 1):
            new, old = order[:split], order[split:]
            if old and old[0] is None:
                old = old[1:]
            if None in new or None in old:
                continue
            if len(set(new)) <= 1 and len(set(old)) <= 1 and (not new or not old or new[0] == old[0] + 2):
                return True
        return False
    missing = [n for n, t in tops if t is None]
    order = [t for _, t in tops]
    if len(tops) != 6:
        errors.append("main.c draws %d letters, not 6" % len(tops))
    elif len(missing) > 1 or not rows_at:
        errors.append("letters %s are not shown" % "".join(missing))
    elif not together(order) or max(rows_at) <= 55:
        errors.append("the letters stand at rows %s: the scroller did not move them together" % order)
    else:
        box = [lit(x, y) for x in range(100, 149) for y in range(63, 109)]
        tops = rows_at
        if min(tops) >= 141 and not all(box):
            errors.append("the letters are past row 141 but the middle box is not filled")
        if max(tops) <= 139 and any(box):
            errors.append("the letters are above row 141 but the middle box is not clear")
    for x1, y1, x2, y2 in ((8, 56, 40, 215), (259, 56, 266, 230)):
        if any(lit(x, y) for x in range(x1, x2 + 1) for y in range(y1, y2 + 1)):
            errors.append("the empty area (%d,%d)-(%d,%d) is not clear" % (x1, y1, x2, y2))
    return errors


def unifont(code):
    for line in open("/usr/share/unifont/unifont.hex"):
        if int(line[:line.index(":")], 16) == code:
            hexa = line.strip().split(":")[1]
            n = len(hexa) // 16
            return [[int(hexa[y * n:(y + 1) * n], 16) >> (n * 4 - 1 - x) & 1 for x in range(n * 4)]
                    for y in range(16)]
    sys.exit("no glyph U+%04X in Unifont" % code)


def check_st7920(pixels, project, pbm):
    if "lost=0" not in open(pbm).read(200):
        return ["the chip lost bytes sent while it was busy: " + open(pbm).readline()]
    lcd = open(os.path.join(project, "lcd.c"), "rb").read()
    main = gbk_text(os.path.join(project, "main.c"))
    startup = main[:main.index("while(1)")]
    calls = re.findall(r"LCD_chinese\((0x[0-9A-Fa-f]+),(hanzi\d)\);", startup)
    reverse = startup.count("LCD_command(0x05);") % 2
    h, w = len(pixels), len(pixels[0])
    want = [[0] * w for _ in range(h)]
    for addr, name in calls:
        text = re.search(rb"\b" + name.encode() + rb"\[\]\s*=\s*\"([^\"]*)\"", lcd).group(1)
        a = int(addr, 16) & 0x1F
        x, top = (a & 15) * 16, (a >> 4) * 16
        for ch in text.decode("gbk"):
            glyph = unifont(ord(ch))
            for gy, row in enumerate(glyph):
                for gx, dot in enumerate(row):
                    px, py = x + gx, top + gy
                    if px >= 128:
                        px, py = px - 128, py + 32
                    if px < w and py < h:
                        want[py][px] = dot
            x += len(glyph[0])
    if reverse:
        for y in range(h):
            if (y % 32) >= 16:
                want[y] = [1 - v for v in want[y]]
    for y in range(h):
        for x in range(w):
            if pixels[y][x] != bool(want[y][x]):
                return ["dot (%d,%d) is %s, expected %s" % (x, y, int(pixels[y][x]), want[y][x])]
    if len(calls) != (4 if h == 64 else 2):
        return ["main.c shows %d rows" % len(calls)]
    return []


def check_sed1520(pixels, project, pbm):
    if "lost=0" not in open(pbm).read(200):
        return ["the chip lost bytes sent while it was busy: " + open(pbm).readline()]
    lcd = gbk_text(os.path.join(project, "lcd.c"))
    main = gbk_text(os.path.join(project, "main.c"))
    web = re.search(r'Printf\(0,0,"([^"]*)"\)', main).group(1)
    font = c_array(lcd, "ASCII")
    want = [[0] * 122 for _ in range(4)]
    for i, ch in enumerate(web[:20]):
        for k in range(6):
            want[0][i * 6 + k] = font[(ord(ch) - 0x20) * 6 + k]
    for page in range(4):
        for x in range(122):
            got = page_byte(pixels, x, page)
            if got != want[page][x]:
                return ["page %d column %d shows 0x%02X, expected 0x%02X" % (page, x, got, want[page][x])]
    return []


def check_st7920_pic(pixels, pbm):
    if "lost=0" not in open(pbm).read(200):
        return ["the chip lost bytes sent while it was busy: " + open(pbm).readline()]
    want = [[0] * 128 for _ in range(64)]
    for i in range(16):
        for x in range(16):
            want[40 + i][32 + x] = (x % 2 == 0) == (i % 2 == 0)  # rows of 0xAA, 0x55 in turn
    for x in range(128):
        want[63][x] = 1
    for y in range(64):
        want[y][127] = 1
        want[y][y] = 1
    want[10][100] = want[10][101] = 1
    for y in range(64):
        for x in range(128):
            if pixels[y][x] != bool(want[y][x]):
                return ["dot (%d,%d) is %d, expected %d" % (x, y, pixels[y][x], want[y][x])]
    return []


def check_sed1520_calls(pixels, project, pbm):
    if "lost=0" not in open(pbm).read(200):
        return ["the chip lost bytes sent while it was busy: " + open(pbm).readline()]
    font = c_array(gbk_text(os.path.join(project, "lcd.c")), "ASCII")
    want = [[0] * 122 for _ in range(4)]
    want[1] = list(range(122))
    want[2][60], want[2][61] = 0x81, 0x42
    want[0][70], want[0][71] = 0x18, 0x3C  # SetRam writes where the right half's column moved on to
    for i, ch in enumerate("Tamb"):  # characters 16-19 fill columns 96-119; the fifth would cross the edge
        for k in range(6):
            want[3][96 + i * 6 + k] = font[(ord(ch) - 0x20) * 6 + k]
    for page in range(4):
        for x in range(122):
            got = page_byte(pixels, x, page)
            if got != want[page][x]:
                return ["page %d column %d shows 0x%02X, expected 0x%02X" % (page, x, got, want[page][x])]
    return []


def check_ks0108_gui(pixels, project):
    errors = []
    width, height = len(pixels[0]), len(pixels)

    def ink(x0, y0, x1, y1):
        return sum(pixels[y][x] for y in range(y0, y1 + 1) for x in range(x0, x1 + 1))

    if not all(pixels[0]) or not all(pixels[1]):
        errors.append("the main window's title bar is not drawn")
    if not all(pixels[y][width - 1] for y in range(height)) or not all(pixels[height - 1]):
        errors.append("the main window's frame is not drawn")
    if not ink(3, 2, 19, 9) or ink(3, 2, 19, 9) == 17 * 8:
        errors.append("the title bar holds no text")
    if not all(pixels[22][x] for x in list(range(0, 20)) + list(range(120, width))):
        errors.append("the menu bar line is not drawn")
    if ink(3, 14, 19, 21) < 10:
        errors.append("the menu bar shows no \"File\"")
    if not all(pixels[10][x] for x in range(20, 120)):
        errors.append("the message box's title bar is not drawn")
    if ink(95, 25, 118, 37) < 24 * 13 // 2:
        errors.append("the selected OK button is not inverted")
    return errors


def check_ks0108_drawing(pixels, project):
    errors = []
    width, height = len(pixels[0]), len(pixels)
    if not (all(pixels[0]) and all(pixels[height - 1]) and
            all(pixels[y][0] and pixels[y][width - 1] for y in range(height))):
        errors.append("the screen border is not drawn")
    if not all(pixels[5][x] and pixels[59][x] and pixels[13][x] for x in range(60, 124)):
        errors.append("the box at 60,5..123,59 or its line at row 13 is not drawn")
    if not all(pixels[y][123] and pixels[y][60] for y in range(5, 60)):
        errors.append("the sides of the box are not drawn")
    if not all(pixels[5 + i][60 + i] and pixels[13 - i][60 + i] for i in range(9)):
        errors.append("the cross in the box's corner is not drawn")
    if not (pixels[20][35] and pixels[5][20] and not pixels[20][20]):
        errors.append("the circle round 20,20 is not drawn")
    if not all(pixels[40][x] for x in range(6, 35)):
        errors.append("the filled circle round 20,40 is not filled")
    return errors


def check_sed1335_aawin(pixels, project):
    """The analogue-window demo with the GUI on the SED1335's graphic layer:
    the window's frame and title bar across the top of the screen."""
    errors = []
    width = len(pixels[0])
    if not any(all(pixels[y][x] for x in range(8, width - 8)) for y in range(0, 24)):
        errors.append("no title bar or frame line across the top of the screen")
    lit = sum(row.count(True) for row in pixels)
    if lit < len(pixels) * width // 50:
        errors.append("only %d dots are lit: the window is not drawn" % lit)
    return errors


def main():
    kind, pbm = sys.argv[1], sys.argv[2]
    w, h, pixels = read_pbm(pbm)
    shown = draw_text_layer(pixels, sed1335_text_rows(pbm)) if kind == "sed1335" else pixels
    write_png(os.path.splitext(pbm)[0] + ".png", w, h, shown, 2 if w > 240 else 4)
    project = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(pbm))), "project")
    if kind == "sed1335":
        errors = check_sed1335(pixels, project, pbm)
        for e in errors:
            print("picture: " + e)
        sys.exit(1 if errors else 0)
    checks = {"pcd8544": check_pcd8544, "pcd8544_calls": check_pcd8544_calls, "ks0108": check_ks0108,
              "t6963": check_t6963, "t6963_points": check_t6963_points, "sed1335_points": check_t6963_points}
    checks["st7920"] = lambda p, d: check_st7920(p, d, pbm)
    checks["st7920_pic"] = lambda p, d: check_st7920_pic(p, pbm)
    checks["sed1520_calls"] = lambda p, d: check_sed1520_calls(p, d, pbm)
    checks["sed1520"] = lambda p, d: check_sed1520(p, d, pbm)
    checks["sed1335_aawin"] = check_sed1335_aawin
    checks["ks0108_gui"] = check_ks0108_gui
    checks["ks0108_drawing"] = check_ks0108_drawing
    errors = checks[kind](pixels, project)
    if kind.startswith("t6963") or kind == "sed1335_points":
        errors = t6963_errors(pbm) + errors
    for e in errors:
        print("picture: " + e)
    sys.exit(1 if errors else 0)


if __name__ == "__main__":
    main()
