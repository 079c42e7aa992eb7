#!/usr/bin/env python3
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


def main():
    kind, pbm = sys.argv[1], sys.argv[2]
    w, h, pixels = read_pbm(pbm)
    write_png(os.path.splitext(pbm)[0] + ".png", w, h, pixels)
    project = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(pbm))), "project")
    checks = {"pcd8544": check_pcd8544, "pcd8544_calls": check_pcd8544_calls, "ks0108": check_ks0108,
              "ks0108_gui": check_ks0108_gui, "ks0108_drawing": check_ks0108_drawing}
    errors = checks[kind](pixels, project)
    for e in errors:
        print("picture: " + e)
    sys.exit(1 if errors else 0)


if __name__ == "__main__":
    main()
