/*
 * Read-only FAT16 on an SD card: finds a file in the root folder and reads
 * it sector by sector through BUFFER. The card may carry a partition table
 * (the first primary partition is used) or start directly with the boot
 * sector ("superfloppy"). Only 512-byte sectors are supported. FAT12 and
 * FAT32 volumes are refused: the FAT type follows from the cluster count
 * alone (FAT16 has 4085 to 65524 clusters), whatever the boot sector says.
 * Sizes are figured in unsigned long where an int of 16 bits would overflow.
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
