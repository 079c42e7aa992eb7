#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# ch375_case.sh GEN RUNNER CHIP WORK MKFS_FAT MCOPY FOSC HZ
# The CH375 file layer against the CH375 model and two disks, with
# samples/ch375_files/main.c as main: a disk whose MBR has the FAT16 volume
# in its third entry (the first is a Linux one), holding a file over 64 KiB,
# a file with a long name (opened by its 8.3 alias), and entries made corrupt
# after mkfs.fat and mcopy wrote them: a cluster chain that loops, one that
# runs into a bad cluster (0xFFF7), a size beyond the volume, a first cluster
# outside it. Then a FAT32 volume, which must be refused. Each file's line
# is checked against what the disk holds.
set -euo pipefail

[ $# -eq 8 ] || { echo "usage: ch375_case.sh GEN RUNNER CHIP WORK MKFS_FAT MCOPY FOSC HZ" >&2; exit 2; }
gen=$1 runner=$2 chip=$3 work=$4 mkfs=$5 mcopy=$6 fosc=$7 hz=$8
case $chip in
  atmega16) mcu=3 ;; atmega32) mcu=4 ;; atmega64) mcu=5 ;; atmega128) mcu=6 ;;
  *) echo "ch375_case.sh: not for $chip" >&2; exit 2 ;;
esac
here=$(cd "$(dirname "$0")" && pwd)

rm -rf "$work"
mkdir -p "$work/exe" "$work/files"
"$gen" --exe-dir "$work/exe" -o "$work/project" --set MCU.mcutype=$mcu --set MCU.Fosc=$fosc \
  --set UART0.Uart0_use=1 --set UART0.Tx_en=1 \
  --set USB.Usb_use=1 --set USB.Data_io=0 --set USB.Text1=PC4 --set USB.Text2=PC3 \
  --set USB.Text3=PC2 --set USB.Text4=PC0 --set USB.Text5=PC1 --set USB.Text6=PD2 >"$work/gen.log" 2>&1 || {
  echo "FAILED: tamberlo-gen"; cat "$work/gen.log"; exit 1; }
cp "$here/samples/ch375_files/main.c" "$work/project/main.c"
"$here/build_project.sh" "$chip" "$work/project" "$work/build"

# The files, then the FAT16 volume (16 MiB, 2 KiB clusters) placed at LBA
# 2048 behind an MBR, and the FAT32 volume.
export MTOOLS_SKIP_CHECK=1
python3 - "$work/files" <<'PY'
import os, sys
d = sys.argv[1]
def write(name, data):
    open(os.path.join(d, name), "wb").write(bytes(data))
write("BIG.BIN", [(i * 7) % 251 for i in range(70000)])
write("Long File Name.txt", b"a long name, opened by its short alias\n")
for name in ("LOOP.BIN", "BADCHAIN.BIN", "BADSIZE.BIN", "OUTSIDE.BIN"):
    write(name, [(i * 13 + len(name)) % 256 for i in range(6000)])
PY
"$mkfs" -C -F 16 -s 4 -h 2048 -n TAMBERLO "$work/volume.img" 16384 >/dev/null
for f in BIG.BIN "Long File Name.txt" LOOP.BIN BADCHAIN.BIN BADSIZE.BIN OUTSIDE.BIN; do
  "$mcopy" -i "$work/volume.img" "$work/files/$f" "::$f"
done
"$mkfs" -C -F 32 -s 1 -n BIGVOL "$work/fat32.img" 40000 >/dev/null
"$mcopy" -i "$work/fat32.img" "$work/files/BIG.BIN" ::BIG.BIN

python3 - "$work" <<'PY'
import struct, sys
work = sys.argv[1]
vol = bytearray(open(work + "/volume.img", "rb").read())
bps, spc, res, nfats, roots = struct.unpack_from("<HBHBH", vol, 11)
spf = struct.unpack_from("<H", vol, 22)[0]
total = struct.unpack_from("<H", vol, 19)[0] or struct.unpack_from("<I", vol, 32)[0]
fat0 = res * bps
root = fat0 + nfats * spf * bps
data = root + roots * 32
clusters = (total - data // bps) // spc
def entry(short):
    for at in range(root, data, 32):
        if vol[at:at + 11] == short:
            return at
    raise SystemExit("no entry " + short.decode())
def set_fat(c, v):
    for k in range(nfats):
        struct.pack_into("<H", vol, fat0 + k * spf * bps + 2 * c, v)
def get_fat(c):
    return struct.unpack_from("<H", vol, fat0 + 2 * c)[0]
def chain(at):
    c, out = struct.unpack_from("<H", vol, at + 26)[0], []
    while 2 <= c < 0xFFF8:
        out.append(c)
        c = get_fat(c)
    return out
def content(at):
    size = struct.unpack_from("<I", vol, at + 28)[0]
    out = bytearray()
    for c in chain(at):
        off = data + (c - 2) * spc * bps
        out += vol[off:off + spc * bps]
    return size, bytes(out[:size])

last = clusters + 1
def walk(at):
    """What the file layer reads of an entry: its sectors and bytes, and
    whether it stopped on a broken chain (a loop found by Brent's check as
    the reader does it, a cluster outside the volume)."""
    c = struct.unpack_from("<H", vol, at + 26)[0]
    size = struct.unpack_from("<I", vol, at + 28)[0]
    sector, pos, seen, steps, limit, sectors, out = 0, 0, c, 0, 1, 0, bytearray()
    while pos < size:
        if sector == spc:
            c = get_fat(c) if 2 <= c <= last else 0
            sector = 0
            if c == seen:
                return size, sectors, out, True
            steps += 1
            if steps == limit:
                seen, limit, steps = c, limit * 2, 0
        if c < 2 or c > last:
            return size, sectors, out, True
        off = data + (c - 2) * spc * bps + sector * bps
        n = min(512, size - pos)
        out += vol[off:off + n]
        pos, sector, sectors = pos + n, sector + 1, sectors + 1
    return size, sectors, out, False

lines = []
def line(name, short):
    size, sectors, body, broken = walk(entry(short))
    lines.append("%s 00 %08X %s %04X %04X" % (name, size, "81" if broken else "00", sectors, sum(body) & 0xFFFF))
line("/BIG.BIN", b"BIG     BIN")
line("/LONGFI~1.TXT", b"LONGFI~1TXT")
# LOOP.BIN: its third cluster leads back to the first, and the size claims
# 100 clusters' worth: the loop is found when the chain comes round.
at = entry(b"LOOP    BIN")
c = chain(at)
set_fat(c[2], c[0])
struct.pack_into("<I", vol, at + 28, 100 * spc * bps)
line("/LOOP.BIN", b"LOOP    BIN")
# BADCHAIN.BIN: its first cluster's entry marks the next as bad (0xFFF7),
# before the size is read.
at = entry(b"BADCHAINBIN")
set_fat(chain(at)[0], 0xFFF7)
line("/BADCHAIN.BIN", b"BADCHAINBIN")
# BADSIZE.BIN: a size beyond the volume; OUTSIDE.BIN: a first cluster past its end.
struct.pack_into("<I", vol, entry(b"BADSIZE BIN") + 28, 0xFFFFFFF0)
lines.append("/BADSIZE.BIN 43")
struct.pack_into("<H", vol, entry(b"OUTSIDE BIN") + 26, clusters + 2)
lines.append("/OUTSIDE.BIN 43")
lines.append("/NONE.BIN 42")
assert " 81 " in lines[2] and " 81 " in lines[3] and lines[0].startswith("/BIG.BIN 00 00011170 00 ")
open(work + "/expect16.txt", "w").write("\n".join(lines) + "\n.\n")
# The disk: an MBR with a Linux partition first and the FAT16 volume third.
mbr = bytearray(512)
def part(i, kind, start, count):
    struct.pack_into("<BBBBBBBBII", mbr, 446 + 16 * i, 0, 0, 0, 0, kind, 0, 0, 0, start, count)
part(0, 0x83, 1, 2047)
part(2, 0x06, 2048, len(vol) // 512)
mbr[510:512] = b"\x55\xAA"
open(work + "/disk16.img", "wb").write(bytes(mbr) + bytes(512 * 2047) + bytes(vol))
# FAT32: nothing opens, the volume is refused.
names = ["/BIG.BIN", "/LONGFI~1.TXT", "/LOOP.BIN", "/BADCHAIN.BIN", "/BADSIZE.BIN", "/OUTSIDE.BIN", "/NONE.BIN"]
open(work + "/expect32.txt", "w").write("".join(n + " 43\n" for n in names) + ".\n")
PY

status=0
for disk in 16 32; do
  img=$work/disk$disk.img
  [ $disk = 32 ] && img=$work/fat32.img
  "$runner" -m "$chip" -f "$hz" -c 400000000 -u "A:C0:C1:C2:C3:C4:D2:$img" -o "0:$work/got$disk.txt" \
    "$work/build/firmware.elf" >"$work/run$disk.txt" 2>"$work/run$disk.err" || {
    echo "FAILED: the simulation ended badly"; cat "$work/run$disk.txt" "$work/run$disk.err"; exit 1; }
  grep -a "^ch375 \|^state " "$work/run$disk.txt"
  grep -q "^ch375 .* faults=0$" "$work/run$disk.txt" || { echo "FAILED: CH375 bus faults"; cat "$work/run$disk.err"; status=1; }
  diff -u --label expected --label got "$work/expect$disk.txt" "$work/got$disk.txt" ||
    { echo "FAILED: the file layer read the FAT$disk disk otherwise"; status=1; }
done
exit $status
