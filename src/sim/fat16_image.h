// SPDX-License-Identifier: GPL-3.0-or-later
/*
 * A small FAT16 volume for the board's disks (the SD card, the CH375's
 * flash disk) when the user gives none: 16 MiB, 2 KiB clusters, one file
 * in the root folder.
 */
#ifndef FAT16_IMAGE_H
#define FAT16_IMAGE_H
#include <stddef.h>
#include <stdio.h>

/* Writes the volume to `f` (at its start) with the file NAME8.EXT
   ("SONG01  MP3", 11 characters, space padded) holding `size` bytes of
   `data`; 0, or -1 when the write fails or the file does not fit. */
int fat16_write_image(FILE* f, const char name83[11], const unsigned char* data, size_t size);
#endif
