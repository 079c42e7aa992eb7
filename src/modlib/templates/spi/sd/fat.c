/*
 * Read-only FAT16 on an SD card: finds a file in the root folder and reads
 * it sector by sector through BUFFER. The card may carry a partition table
 * (the first primary partition is used) or start directly with the boot
 * sector ("superfloppy"). Only 512-byte sectors are supported.
 */
#include <macros.h>
#include "sd.h"
#include "fat.h"

/* Loads a sector into BUFFER. No caching: the program may use BUFFER and
   SD_Read_Block itself between two FAT calls. */
static unsigned char read_sector(unsigned long sector)
{
   if(SD_Read_Block(sector * 512) != 0)
      return FAT_ERR_CARD;
   return FAT_OK;
}

@include shared/fat16_reader.c
