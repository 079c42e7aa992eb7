// SPDX-License-Identifier: GPL-3.0-or-later
/*
 * The FAT16 volume of fat16_image.h, laid out as Microsoft's "FAT: General
 * Overview of On-Disk Format" gives it: boot
 * sector with the BIOS parameter block and 0x55AA, 4 reserved sectors, two
 * FATs, a 512-entry root folder, then the clusters. 32768 sectors of 512
 * bytes at 4 sectors a cluster make about 8170 clusters: FAT16, which
 * needs 4085 to 65524.
 */
#include "fat16_image.h"

#include <string.h>

#define SECTORS 32768u
#define PER_CLUSTER 4u
#define RESERVED 4u
#define ROOT_ENTRIES 512u
#define FAT_SECTORS 32u /* 8192 entries of 2 bytes */

static void put16(unsigned char* p, unsigned v) {
  p[0] = (unsigned char)v, p[1] = (unsigned char)(v >> 8);
}
static void put32(unsigned char* p, unsigned long v) {
  put16(p, (unsigned)(v & 0xFFFF)), put16(p + 2, (unsigned)(v >> 16));
}

int fat16_write_image(FILE* f, const char name83[11], const unsigned char* data, size_t size) {
  const unsigned root_sectors = ROOT_ENTRIES * 32 / 512;
  const unsigned first_data = RESERVED + 2 * FAT_SECTORS + root_sectors;
  const unsigned long clusters = (SECTORS - first_data) / PER_CLUSTER;
  const unsigned long need = (size + PER_CLUSTER * 512 - 1) / (PER_CLUSTER * 512);
  if (need > clusters || clusters + 2 > FAT_SECTORS * 256) return -1;
  unsigned char s[512];

  memset(s, 0, sizeof s);
  memcpy(s, "\xEB\x3C\x90TAMBERLO", 11);
  put16(s + 11, 512);
  s[13] = PER_CLUSTER;
  put16(s + 14, RESERVED);
  s[16] = 2;
  put16(s + 17, ROOT_ENTRIES);
  put16(s + 19, SECTORS);
  s[21] = 0xF8; /* fixed disk */
  put16(s + 22, FAT_SECTORS);
  put16(s + 24, 32), put16(s + 26, 64);
  s[36] = 0x80, s[38] = 0x29;
  put32(s + 39, 0x20261209ul);
  memcpy(s + 43, "TAMBERLO   FAT16   ", 19);
  s[510] = 0x55, s[511] = 0xAA;
  if (fseek(f, 0, SEEK_SET) || fwrite(s, 1, 512, f) != 512) return -1;

  memset(s, 0, sizeof s);
  for (unsigned i = 1; i < SECTORS; i++)
    if (fwrite(s, 1, 512, f) != 512) return -1;

  /* the FATs: media and end marks, then the file's chain from cluster 2 */
  for (int copy = 0; copy < 2; copy++) {
    for (unsigned sector = 0; sector < FAT_SECTORS; sector++) {
      memset(s, 0, sizeof s);
      for (unsigned e = 0; e < 256; e++) {
        unsigned long n = sector * 256ul + e;
        unsigned v = n == 0 ? 0xFFF8 : n == 1 ? 0xFFFF : (n >= 2 && n < 2 + need) ? (n + 1 < 2 + need ? (unsigned)(n + 1) : 0xFFFF) : 0;
        put16(s + e * 2, v);
      }
      long at = (long)(RESERVED + (unsigned)copy * FAT_SECTORS + sector) * 512;
      if (fseek(f, at, SEEK_SET) || fwrite(s, 1, 512, f) != 512) return -1;
    }
  }

  /* the root folder: the volume label and the file */
  memset(s, 0, sizeof s);
  memcpy(s, "TAMBERLO   ", 11);
  s[11] = 0x08;
  memcpy(s + 32, name83, 11);
  s[32 + 11] = 0x20; /* archive */
  put16(s + 32 + 24, (2026 - 1980) << 9 | 12 << 5 | 9); /* 2026-12-09 */
  put16(s + 32 + 26, size ? 2 : 0);
  put32(s + 32 + 28, (unsigned long)size);
  if (fseek(f, (long)(RESERVED + 2 * FAT_SECTORS) * 512, SEEK_SET) || fwrite(s, 1, 512, f) != 512) return -1;

  if (size && (fseek(f, (long)first_data * 512, SEEK_SET) || fwrite(data, 1, size, f) != size)) return -1;
  return fflush(f) == 0 ? 0 : -1;
}
