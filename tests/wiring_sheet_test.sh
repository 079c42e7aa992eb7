#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# wiring_sheet_test.sh GEN WORK [--shot]
# Writes wiring sheets with tamberlo-gen --wiring for a DIP and a QFP chip,
# clean and with a conflict, and parses each with xmllint (the SVG and the
# HTML as XML, the HTML also as HTML). With --shot it renders one sheet with
# scripts/wiring_shot.sh instead and checks the picture: an A4 page at 96 dpi
# with drawing on it (exit 77, skipped, without Chromium).
set -euo pipefail
gen=$1 work=$2 mode=${3:-}
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$work"
mkdir -p "$work/exe"

lcd=(--set MCU.mcutype=3 --set LCD.Lcd_use=1 --set LCD.Lcd_type=1 --set LCD.Data_io=3
     --set LCD.Text1=PB0 --set LCD.Text2=PB1 --set LCD.Text3=PB2)

if [ "$mode" = "--shot" ]; then
  "$gen" --exe-dir "$work/exe" "${lcd[@]}" --set LCD.Text2=PB0 --wiring "$work/sheet.html" 2>/dev/null
  set +e
  "$here/../scripts/wiring_shot.sh" "$work/sheet.html" "$work/sheet.png"
  rc=$?
  set -e
  [ $rc -eq 0 ] || exit $rc
  python3 - "$work/sheet.png" <<'PY'
import struct, sys, zlib
data = open(sys.argv[1], 'rb').read()
assert data[:8] == b'\x89PNG\r\n\x1a\n', 'not a PNG'
w, h, depth, colour = struct.unpack('>IIBB', data[16:26])
assert (w, h) == (794, 1123), (w, h)
# Decode the rows and count the pixels that are not white: text and lines.
at, idat = 8, b''
while at < len(data):
    n, kind = struct.unpack('>I4s', data[at:at + 8])
    if kind == b'IDAT':
        idat += data[at + 8:at + 8 + n]
    at += 12 + n
raw = zlib.decompress(idat)
bpp = {2: 3, 6: 4}[colour]
stride = w * bpp + 1
prev = bytearray(stride - 1)
ink = red = 0
for y in range(h):
    f, line = raw[y * stride], bytearray(raw[y * stride + 1:(y + 1) * stride])
    for i in range(len(line)):
        a = line[i - bpp] if i >= bpp else 0
        b, c = prev[i], prev[i - bpp] if i >= bpp else 0
        if f == 1: line[i] = (line[i] + a) & 255
        elif f == 2: line[i] = (line[i] + b) & 255
        elif f == 3: line[i] = (line[i] + (a + b) // 2) & 255
        elif f == 4:
            p = a + b - c
            pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
            line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
    for x in range(0, len(line), bpp):
        r, g, bl = line[x], line[x + 1], line[x + 2]
        if r < 200 or g < 200 or bl < 200: ink += 1
        if r > 180 and g < 80 and bl < 80: red += 1
    prev = line
print(f'{w}x{h}, {ink} inked pixels, {red} red')
assert ink > 5000, 'the page is nearly blank'
assert red > 50, 'the conflict is not drawn in red'
PY
  exit 0
fi

command -v xmllint >/dev/null || { echo "xmllint is missing (package libxml2-utils)"; exit 1; }
check() {  # NAME ARGS...: writes NAME.svg and NAME.html and parses both
  local name=$1; shift
  for ext in svg html; do
    "$gen" --exe-dir "$work/exe" "$@" --wiring "$work/$name.$ext" 2>"$work/$name.$ext.log"
    xmllint --noout "$work/$name.$ext"
  done
  xmllint --html --noout "$work/$name.html"
  grep -q 'width="210mm" height="297mm"' "$work/$name.svg"
}
check clean16 "${lcd[@]}"
[ ! -s "$work/clean16.svg.log" ] || { cat "$work/clean16.svg.log"; echo "a clean configuration was warned"; exit 1; }
check shared16 "${lcd[@]}" --set LCD.Text2=PB0
grep -q '^tamberlo-gen: warning: Pins: PB0 is taken twice, by LCD E on PB0 and by LCD WR on PB0' "$work/shared16.svg.log"
grep -q 'LCD E / LCD WR' "$work/shared16.svg"
check mega8 "${lcd[@]}" --set MCU.mcutype=0 --set LCD.Text1=PB6
grep -q 'PB6 of the ATMega8 is XTAL1' "$work/mega8.svg.log"
check mega128 --set MCU.mcutype=6 --set UART0.Uart0_use=1 --set UART0.Tx_en=1 --set "LCD.Lcd_use=1" \
  --set LCD.Lcd_type=9 --set LCD.Data_io=0 --set 'LCD.Text1=PA3'
grep -q 'TQFP-64' "$work/mega128.svg"
# Another ending is refused and writes nothing.
if "$gen" --exe-dir "$work/exe" --wiring "$work/sheet.pdf" 2>"$work/pdf.log"; then exit 1; fi
grep -q 'must end in .svg, .html or .htm' "$work/pdf.log"
[ ! -e "$work/sheet.pdf" ]
echo "wiring sheets parse"
