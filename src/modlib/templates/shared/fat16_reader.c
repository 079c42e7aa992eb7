/* FAT16 reader: read_sector loads a sector into BUFFER, the code below finds
   a file in the root folder and follows its cluster chain. */
#define SECTOR_SIZE         512
#define DIR_ENTRY_SIZE      32
#define DIR_ENTRIES_PER_SECTOR  (SECTOR_SIZE / DIR_ENTRY_SIZE)

/* Boot sector (BPB) field offsets */
#define BPB_BYTES_PER_SECTOR    11
#define BPB_SECTORS_PER_CLUSTER 13
#define BPB_RESERVED_SECTORS    14
#define BPB_NUM_FATS            16
#define BPB_ROOT_ENTRIES        17
#define BPB_TOTAL_SECTORS_16    19
#define BPB_SECTORS_PER_FAT     22
#define BPB_TOTAL_SECTORS_32    32

#define FAT16_MIN_CLUSTERS      4085UL
#define FAT16_MAX_CLUSTERS      65524UL

/* Master boot record: four partition entries of 16 bytes */
#define MBR_PARTITION_TABLE     0x1BE
#define MBR_ENTRY_TYPE          4       /* type byte within an entry */
#define MBR_ENTRY_START         8       /* first sector within an entry */

/* Directory entry fields */
#define DIR_ATTRIBUTES          11
#define DIR_FIRST_CLUSTER       26
#define DIR_FILE_SIZE           28
#define ATTR_VOLUME_ID          0x08
#define ATTR_DIRECTORY          0x10
#define ENTRY_FREE              0xE5
#define ENTRY_END               0x00


static unsigned long fat_start;         /* first sector of the first FAT */
static unsigned long root_start;        /* first sector of the root folder */
static unsigned long data_start;        /* first sector of cluster 2 */
static unsigned int  root_sectors;
static unsigned char sectors_per_cluster;
static unsigned int  last_cluster;      /* the volume's clusters are 2..last_cluster */

static unsigned int get16(unsigned int at)
{
   return BUFFER[at] | ((unsigned int)BUFFER[at + 1] << 8);
}

static unsigned long get32(unsigned int at)
{
   return get16(at) | ((unsigned long)get16(at + 2) << 16);
}

static unsigned char is_fat_boot_sector(void)
{
   return BUFFER[510] == 0x55 && BUFFER[511] == 0xAA
       && (BUFFER[0] == 0xEB || BUFFER[0] == 0xE9)       /* jump instruction */
       && get16(BPB_BYTES_PER_SECTOR) == SECTOR_SIZE;
}

unsigned char FAT_Init(void)
{
   unsigned long boot = 0;
   unsigned char type;
   unsigned int reserved;
   unsigned int root_entries;
   unsigned long total;
   unsigned long clusters;

   if(read_sector(0) != FAT_OK)
      return FAT_ERR_CARD;
   if(!is_fat_boot_sector())
   {
      /* the first of the four partition entries that holds FAT16 */
      if(BUFFER[510] != 0x55 || BUFFER[511] != 0xAA)
         return FAT_ERR_FORMAT;
      for(type = 0; type < 4; type++)
      {
         unsigned int entry = MBR_PARTITION_TABLE + 16 * type;
         unsigned char kind = BUFFER[entry + MBR_ENTRY_TYPE];
         if(kind == 0x04 || kind == 0x06 || kind == 0x0E)   /* FAT16 partition types */
         {
            boot = get32(entry + MBR_ENTRY_START);
            break;
         }
      }
      if(type == 4)
         return FAT_ERR_FORMAT;
      if(read_sector(boot) != FAT_OK)
         return FAT_ERR_CARD;
      if(!is_fat_boot_sector())
         return FAT_ERR_FORMAT;
   }

   sectors_per_cluster = BUFFER[BPB_SECTORS_PER_CLUSTER];
   reserved = get16(BPB_RESERVED_SECTORS);
   root_entries = get16(BPB_ROOT_ENTRIES);
   if(sectors_per_cluster == 0 || root_entries == 0)   /* FAT32 has no fixed root folder */
      return FAT_ERR_FORMAT;

   total = get16(BPB_TOTAL_SECTORS_16);
   if(total == 0)
      total = get32(BPB_TOTAL_SECTORS_32);

   fat_start = boot + reserved;
   root_start = fat_start + (unsigned long)BUFFER[BPB_NUM_FATS] * get16(BPB_SECTORS_PER_FAT);
   root_sectors = (unsigned int)(((unsigned long)root_entries + DIR_ENTRIES_PER_SECTOR - 1) / DIR_ENTRIES_PER_SECTOR);
   data_start = root_start + root_sectors;
   if(data_start - boot >= total)
      return FAT_ERR_FORMAT;
   clusters = (total - (data_start - boot)) / sectors_per_cluster;
   if(clusters < FAT16_MIN_CLUSTERS || clusters > FAT16_MAX_CLUSTERS)
      return FAT_ERR_FORMAT;
   last_cluster = (unsigned int)(clusters + 1);
   return FAT_OK;
}

/* "test.txt" -> "TEST    TXT", the form names take in a directory entry.
   Returns 0 for a name that is not 8.3 (a cut name could open another file) */
static unsigned char make_short_name(const char *name, unsigned char *out)
{
   unsigned char i = 0;
   unsigned char c;
   for(c = 0; c < 11; c++)
      out[c] = ' ';
   while(*name && *name != '.')
   {
      if(i == 8)
         return 0;
      out[i++] = *name++;
   }
   if(i == 0)
      return 0;
   if(*name == '.')
   {
      name++;
      for(i = 8; *name; i++)
      {
         if(i == 11 || *name == '.')
            return 0;
         out[i] = *name++;
      }
   }
   for(i = 0; i < 11; i++)
      if(out[i] >= 'a' && out[i] <= 'z')
         out[i] -= 'a' - 'A';
   return 1;
}

unsigned char FAT_Open(const char *name, FAT_FILE *file)
{
   unsigned char wanted[11];
   unsigned int s;
   unsigned char e;
   unsigned char k;
   unsigned int at;

   if(!make_short_name(name, wanted))
      return FAT_ERR_NAME;
   for(s = 0; s < root_sectors; s++)
   {
      if(read_sector(root_start + s) != FAT_OK)
         return FAT_ERR_CARD;
      for(e = 0; e < DIR_ENTRIES_PER_SECTOR; e++)
      {
         at = (unsigned int)e * DIR_ENTRY_SIZE;
         if(BUFFER[at] == ENTRY_END)
            return FAT_ERR_NOT_FOUND;
         if(BUFFER[at] == ENTRY_FREE
            || (BUFFER[at + DIR_ATTRIBUTES] & (ATTR_VOLUME_ID | ATTR_DIRECTORY)))
            continue;                          /* also skips long-name entries (attribute 0x0F) */
         for(k = 0; k < 11 && BUFFER[at + k] == wanted[k]; k++)
            ;
         if(k == 11)
         {
            file->first_cluster = get16(at + DIR_FIRST_CLUSTER);
            file->size = get32(at + DIR_FILE_SIZE);
            file->cluster = file->first_cluster;
            file->sector = 0;
            file->position = 0;
            file->error = 0;
            file->seen = file->first_cluster;
            file->steps = 0;
            file->limit = 1;
            /* an empty file may have no cluster; any other must start in
               the volume and fit its data area, or its entry is corrupt */
            if(file->size == 0)
               return FAT_OK;
            if(file->first_cluster < 2 || file->first_cluster > last_cluster
               || (file->size - 1) / SECTOR_SIZE / sectors_per_cluster >= (unsigned long)(last_cluster - 1))
               return FAT_ERR_FORMAT;
            return FAT_OK;
         }
      }
   }
   return FAT_ERR_NOT_FOUND;
}

unsigned int FAT_NextCluster(unsigned int cluster)
{
   /* two bytes an entry: 256 entries a FAT sector; a cluster outside the
      volume has no entry, and a failed read gives 0 (no cluster) */
   if(cluster < 2 || cluster > last_cluster)
      return 0;
   if(read_sector(fat_start + (cluster >> 8)) != FAT_OK)
      return 0;
   return get16((cluster & 0xFF) * 2);
}

/* A read that cannot go on: not the end of the file. */
static unsigned int fat_fail(FAT_FILE *file)
{
   file->error = 1;
   return 0;
}

unsigned int FAT_Read(FAT_FILE *file)
{
   unsigned long left;
   unsigned long sector;

   if(file->error || file->position >= file->size)
      return 0;
   if(file->sector == sectors_per_cluster)
   {
      /* the next cluster: a chain that ends, marks a bad cluster (0xFFF7)
         or leaves the volume before the file's size is read is broken */
      file->cluster = FAT_NextCluster(file->cluster);
      file->sector = 0;
      /* a chain that comes back to a cluster it passed loops: Brent's
         check, a cluster kept at each power of two steps */
      if(file->cluster == file->seen)
         return fat_fail(file);
      if(++file->steps == file->limit)
      {
         file->seen = file->cluster;
         file->limit <<= 1;
         file->steps = 0;
      }
   }
   if(file->cluster < 2 || file->cluster > last_cluster)
      return fat_fail(file);
   sector = data_start + (unsigned long)(file->cluster - 2) * sectors_per_cluster + file->sector;
   if(read_sector(sector) != FAT_OK)
      return fat_fail(file);
   file->sector++;
   left = file->size - file->position;
   if(left > SECTOR_SIZE)
      left = SECTOR_SIZE;
   file->position += left;
   return (unsigned int)left;
}
