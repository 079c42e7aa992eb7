/*
 * SD / MMC card in SPI mode on the hardware SPI port.
 *
 * Wiring: card CS on the SS pin (MMC_CS_PIN of sd.h), DI on MOSI, DO on MISO,
 * CLK on SCK. The card must be started with a clock of at most 400 kHz, so
 * SD_Init runs the port at fosc/128 and switches to fosc/4 once the card is
 * ready. Blocks are always 512 bytes and pass through BUFFER.
 * SD_Read_Block and SD_Write_Block take byte addresses (sector * 512); for
 * high-capacity cards, which count in sectors, the address is converted.
 * The card's time limits (start-up, read access, programming) are counted
 * by a loop calibrated from the project's crystal, so they hold whatever
 * delay.c does.
 */
#include <macros.h>
#include "spi.h"
#include "sd.h"
#include "fat.h"
#include "delay.h"

/* Card commands (SPI mode) */
#define CMD_GO_IDLE_STATE       0       /* CMD0: reset, enter SPI mode */
#define CMD_SEND_OP_COND        1       /* CMD1: start initialisation (MMC) */
#define CMD_SEND_IF_COND        8       /* CMD8: voltage check (SD 2.0) */
#define CMD_SET_BLOCKLEN        16      /* CMD16 */
#define CMD_READ_SINGLE_BLOCK   17      /* CMD17 */
#define CMD_WRITE_SINGLE_BLOCK  24      /* CMD24 */
#define CMD_APP_CMD             55      /* CMD55: next command is an ACMD */
#define CMD_READ_OCR            58      /* CMD58 */
#define ACMD_SD_SEND_OP_COND    41      /* ACMD41: start initialisation (SD) */

/* R1 response bits */
#define R1_IDLE_STATE           0x01
#define R1_ILLEGAL_COMMAND      0x04

/* Data tokens */
#define TOKEN_START_BLOCK       0xFE
#define DATA_RESPONSE_MASK      0x1F
#define DATA_ACCEPTED           0x05

#define XTAL_HZ                 $crystal_hz$UL   /* the project's crystal */

#define SD_BLOCK_SIZE           512
#define SD_INIT_TRIES           1000    /* x 1 ms of ACMD41 polling: cards need up to 1 s */
#define SD_READ_WAIT            10000   /* x 10 us: read access time is at most 100 ms */
#define SD_WRITE_WAIT           50000   /* x 10 us: programming takes up to 250 ms, 500 ms on SDXC */

/* Results of SD_Init, SD_Read_Block and SD_Write_Block */
#define SD_OK                   0
#define SD_ERR_IDLE             1       /* no answer to CMD0 */
#define SD_ERR_INIT             2       /* card never left the idle state */
#define SD_ERR_BLOCKLEN         3
#define SD_ERR_COMMAND          4       /* read or write command refused */
#define SD_ERR_TOKEN            5       /* no data token / data rejected */

unsigned char BUFFER[512];              /* the block read or written last */

static unsigned char sd_block_addressing;  /* 1 for SDHC/SDXC cards */

@include shared/bus_wait_10us.c prefix=sd

static unsigned char spi_exchange(unsigned char out)
{
   SPDR = out;
   while(!(SPSR & (1<<SPIF)));
   return SPDR;
}

static void sd_select(void)
{
   MMC_PORT &= ~MMC_CS_PIN;
}

/* Deselects and gives the card eight clocks to release DO */
static void sd_deselect(void)
{
   MMC_PORT |= MMC_CS_PIN;
   spi_exchange(0xFF);
}

//SD卡SPI端口初始化: MOSI, SCK, CS为输出, MISO为输入, 主机模式, 时钟fosc/128
void SD_Port_Init(void)
{
   DDR_SPI |= (1<<DD_MOSI)|(1<<DD_SCK)|(1<<DD_SS);
   DDR_SPI &= ~(1<<DD_MISO);
   PORT_SPI |= (1<<DD_MISO);                 /* pull-up: an absent card reads 0xFF */
   MMC_PORT |= MMC_CS_PIN;
   SPCR = (1<<SPE)|(1<<MSTR)|(1<<SPR1)|(1<<SPR0);
   SPSR &= ~(1<<SPI2X);
}

//向SD卡发送一条命令(片选由调用者控制), 返回R1响应, 0xFF表示无响应
unsigned char SD_Write_Command(unsigned char cmd,unsigned long arg)
{
   unsigned char r1;
   unsigned char crc = 0xFF;                 /* CRC is only checked for CMD0 and CMD8 */
   unsigned char tries;

   if(cmd == CMD_GO_IDLE_STATE)
      crc = 0x95;
   else if(cmd == CMD_SEND_IF_COND)
      crc = 0x87;

   spi_exchange(0xFF);
   spi_exchange(0x40 | cmd);
   spi_exchange((unsigned char)(arg >> 24));
   spi_exchange((unsigned char)(arg >> 16));
   spi_exchange((unsigned char)(arg >> 8));
   spi_exchange((unsigned char)arg);
   spi_exchange(crc);

   /* the response comes within eight bytes (NCR) */
   tries = 10;
   do
   {
      r1 = spi_exchange(0xFF);
   } while((r1 & 0x80) && --tries);
   return r1;
}

/* CMD55 + the application command */
static unsigned char sd_app_command(unsigned char cmd, unsigned long arg)
{
   SD_Write_Command(CMD_APP_CMD, 0);
   return SD_Write_Command(cmd, arg);
}

//SD卡初始化: 进入SPI模式, 识别卡的类型, 块长度设为512字节; 成功返回0
unsigned char SD_Init(void)
{
   unsigned char i;
   unsigned char r1;
   unsigned char ocr[4];
   unsigned int tries;
   unsigned char sd_v2 = 0;
   unsigned char use_cmd1 = 0;

   SD_Port_Init();
   sd_block_addressing = 0;
   sd_wait_10us(1000);                       /* supply ramp-up before the first clocks: 10 ms */

   /* at least 74 clocks with CS and DI high put the card into native mode */
   MMC_PORT |= MMC_CS_PIN;
   for(i = 0; i < 10; i++)
      spi_exchange(0xFF);

   sd_select();
   tries = 200;
   do
   {
      r1 = SD_Write_Command(CMD_GO_IDLE_STATE, 0);
   } while(r1 != R1_IDLE_STATE && --tries);
   if(r1 != R1_IDLE_STATE)
   {
      sd_deselect();
      return SD_ERR_IDLE;
   }

   /* CMD8 is only understood by version 2 cards; 0x1AA: 2.7-3.6 V, check pattern */
   r1 = SD_Write_Command(CMD_SEND_IF_COND, 0x000001AAUL);
   if(!(r1 & R1_ILLEGAL_COMMAND))
   {
      for(i = 0; i < 4; i++)
         ocr[i] = spi_exchange(0xFF);
      if(ocr[2] == 0x01 && ocr[3] == 0xAA)
         sd_v2 = 1;
   }

   /* ACMD41 (with HCS on version 2 cards) until the card leaves idle;
      MMC cards refuse ACMD41 and are started with CMD1 instead */
   tries = SD_INIT_TRIES;
   do
   {
      if(use_cmd1)
         r1 = SD_Write_Command(CMD_SEND_OP_COND, 0);
      else
      {
         r1 = sd_app_command(ACMD_SD_SEND_OP_COND, sd_v2 ? 0x40000000UL : 0);
         if(r1 & R1_ILLEGAL_COMMAND)
         {
            use_cmd1 = 1;
            continue;
         }
      }
      if(r1 == 0)
         break;
      sd_wait_10us(100);
   } while(--tries);
   if(r1 != 0)
   {
      sd_deselect();
      return SD_ERR_INIT;
   }

   if(sd_v2 && SD_Write_Command(CMD_READ_OCR, 0) == 0)
   {
      for(i = 0; i < 4; i++)
         ocr[i] = spi_exchange(0xFF);
      if(ocr[0] & 0x40)                      /* CCS: capacity in sectors */
         sd_block_addressing = 1;
   }

   if(!sd_block_addressing && SD_Write_Command(CMD_SET_BLOCKLEN, SD_BLOCK_SIZE) != 0)
   {
      sd_deselect();
      return SD_ERR_BLOCKLEN;
   }
   sd_deselect();

   SPCR &= ~((1<<SPR1)|(1<<SPR0));           /* data transfer at fosc/4 */
   return SD_OK;
}

static unsigned long sd_card_address(unsigned long address)
{
   return sd_block_addressing ? (address >> 9) : address;
}

//读取一个512字节的数据块到BUFFER, address为字节地址; 成功返回0
unsigned char SD_Read_Block(unsigned long address)
{
   unsigned int i;
   unsigned char token;

   sd_select();
   if(SD_Write_Command(CMD_READ_SINGLE_BLOCK, sd_card_address(address)) != 0)
   {
      sd_deselect();
      return SD_ERR_COMMAND;
   }
   for(i = SD_READ_WAIT; (token = spi_exchange(0xFF)) == 0xFF && i; i--)
      sd_wait_10us(1);
   if(token != TOKEN_START_BLOCK)
   {
      sd_deselect();
      return SD_ERR_TOKEN;
   }
   for(i = 0; i < SD_BLOCK_SIZE; i++)
      BUFFER[i] = spi_exchange(0xFF);
   spi_exchange(0xFF);                       /* CRC, not checked */
   spi_exchange(0xFF);
   sd_deselect();
   return SD_OK;
}

//把BUFFER中的512字节写入一个数据块, address为字节地址; 成功返回0
unsigned char SD_Write_Block(unsigned long address)
{
   unsigned int i;
   unsigned char response;

   sd_select();
   if(SD_Write_Command(CMD_WRITE_SINGLE_BLOCK, sd_card_address(address)) != 0)
   {
      sd_deselect();
      return SD_ERR_COMMAND;
   }
   spi_exchange(0xFF);                       /* one byte gap before the token */
   spi_exchange(TOKEN_START_BLOCK);
   for(i = 0; i < SD_BLOCK_SIZE; i++)
      spi_exchange(BUFFER[i]);
   spi_exchange(0xFF);                       /* dummy CRC */
   spi_exchange(0xFF);
   response = spi_exchange(0xFF) & DATA_RESPONSE_MASK;
   if(response != DATA_ACCEPTED)
   {
      sd_deselect();
      return SD_ERR_TOKEN;
   }
   /* the card holds DO low while it programs the block */
   for(i = SD_WRITE_WAIT; spi_exchange(0xFF) == 0x00; i--)
   {
      if(i == 0)
      {
         sd_deselect();
         return SD_ERR_TOKEN;
      }
      sd_wait_10us(1);
   }
   sd_deselect();
   return SD_OK;
}
