/*
 * CH375 USB host on port pins, and a small file layer over it.
 *
 * The parallel bus of the CH375 is driven by the pins of ch375.h: A0 high
 * selects a command, A0 low data; a WR# pulse writes the data port, an RD#
 * pulse reads it. The file layer (CH375HFB.H) reads the flash disk sector by
 * sector with the chip's own disk commands and finds files with a read-only
 * FAT16 reader, the one the SD card module uses. Files are opened by their
 * 8.3 name in the root folder ("/SONG01.MP3").
 */
#include <macros.h>
#include "ch375.h"
#include "CH375HFB.H"
#include "delay.h"

/* Commands */
#define CMD_GET_IC_VER      0x01
#define CMD_RESET_ALL       0x05
#define CMD_CHECK_EXIST     0x06
#define CMD_SET_USB_MODE    0x15
#define CMD_GET_STATUS      0x22
#define CMD_RD_USB_DATA     0x28
#define CMD_DISK_INIT       0x51
#define CMD_DISK_READ       0x54
#define CMD_DISK_RD_GO      0x55

/* Answers */
#define CMD_RET_SUCCESS     0x51
#define USB_INT_SUCCESS     0x14
#define USB_INT_CONNECT     0x15
#define USB_INT_DISCONNECT  0x16
#define USB_INT_DISK_READ   0x1D
#define USB_INT_DISK_ERR    0x1F

#define USB_MODE_HOST       6       /* host mode, SOF sent automatically */
#define CH375_WAIT_LIMIT    60000   /* polls of INT# before giving up */

CMD_PARAM     mCmdParam;
unsigned char FILE_DATA_BUF[FILE_DATA_BUF_LEN];

/*-----------------------------------------------------------------------
并口时序: 数据口和控制引脚初始化, 控制引脚空闲时为高
-----------------------------------------------------------------------*/
void CH375_PORT_INIT(void )
{
	CH375_DATABUS = 0x00;           //数据口先为输入
	CH375_CS_H;
	CH375_RD_H;
	CH375_WR_H;
	CH375_A0_H;
	CH375_RST_L;                    //RST高电平复位, 平时为低
	CH375_CS_DDR |= CH375_CS_BIT;
	CH375_A0_DDR |= CH375_A0_BIT;
	CH375_RD_DDR |= CH375_RD_BIT;
	CH375_WR_DDR |= CH375_WR_BIT;
	CH375_RST_DDR |= CH375_RST_BIT;
	CH375_INT_DDR &= ~CH375_INT_BIT;    //INT#为输入, 开上拉
	CH375_INT_H;
}

static void ch375_write(unsigned char value)
{
	CH375_DATAOUT = value;
	CH375_DATABUS = 0xFF;           //数据口输出
	CH375_CS_L;
	CH375_WR_L;
	NOP();                          //WR#低电平至少100ns
	NOP();
	CH375_WR_H;
	CH375_CS_H;
	CH375_DATABUS = 0x00;
	CH375_DATAOUT = 0xFF;
}

//写命令: A0为高
void xWriteCH375Cmd( unsigned char mCmd )
{
	CH375_A0_H;
	ch375_write(mCmd);
	CH375_A0_L;
	delay_nus(2);                   //命令码之后留出芯片的处理时间
}

//写数据: A0为低
void xWriteCH375Data( unsigned char mData )	
{
	CH375_A0_L;
	ch375_write(mData);
}

//读数据: A0为低, RD#有效时读数据口
unsigned char xReadCH375Data( void )
{
	unsigned char value;
	CH375_DATABUS = 0x00;
	CH375_A0_L;
	CH375_CS_L;
	CH375_RD_L;
	NOP();                          //RD#有效后数据在100ns内出现
	NOP();
	value = CH375_DATAIN;
	CH375_RD_H;
	CH375_CS_H;
	return value;
}

/*-----------------------------------------------------------------------
文件层
-----------------------------------------------------------------------*/
/* Waits for INT# and returns the interrupt status, 0 on time-out. */
static unsigned char ch375_wait_int(void)
{
	unsigned int tries = CH375_WAIT_LIMIT;
	while(CH375_INT_WIR)
	{
		if(--tries == 0)
			return 0;
		delay_nus(10);
	}
	xWriteCH375Cmd(CMD_GET_STATUS);
	return xReadCH375Data();
}

/* Reads one 512-byte sector of the disk into FILE_DATA_BUF, in the chip's
   64-byte pieces. */
static unsigned char ch375_read_sector(unsigned long lba)
{
	unsigned char status;
	unsigned char length;
	unsigned int at = 0;

	xWriteCH375Cmd(CMD_DISK_READ);
	xWriteCH375Data((unsigned char)lba);
	xWriteCH375Data((unsigned char)(lba >> 8));
	xWriteCH375Data((unsigned char)(lba >> 16));
	xWriteCH375Data((unsigned char)(lba >> 24));
	xWriteCH375Data(1);
	while(1)
	{
		status = ch375_wait_int();
		if(status == USB_INT_SUCCESS)
			return at == 512 ? ERR_SUCCESS : ERR_CH375_ERROR;
		if(status != USB_INT_DISK_READ)
			return status == USB_INT_DISCONNECT ? ERR_DISK_DISCON : ERR_CH375_ERROR;
		xWriteCH375Cmd(CMD_RD_USB_DATA);
		length = xReadCH375Data();
		while(length--)
		{
			unsigned char b = xReadCH375Data();
			if(at < FILE_DATA_BUF_LEN)
				FILE_DATA_BUF[at] = b;
			at++;
		}
		xWriteCH375Cmd(CMD_DISK_RD_GO);
	}
}

/* The FAT16 reader below reads through FILE_DATA_BUF; its names are kept
   apart from the SD card module's so that both modules link together. */
#define BUFFER              FILE_DATA_BUF
#define FAT_Init            CH375_FAT_Init
#define FAT_Open            CH375_FAT_Open
#define FAT_Read            CH375_FAT_Read
#define FAT_NextCluster     CH375_FAT_NextCluster

@include shared/fat16_decl.h

static unsigned char read_sector(unsigned long sector)
{
	return ch375_read_sector(sector) == ERR_SUCCESS ? FAT_OK : FAT_ERR_CARD;
}

@include shared/fat16_reader.c

static unsigned char disk_ready;    /* the chip found the disk and its FAT16 */
static unsigned char file_open;
static FAT_FILE      file;

/* Start-up before the first open: the chip in host mode, a disk attached,
   the disk's FAT16 read. */
unsigned char CH375LibInit(void)
{
	unsigned char status;
	unsigned char i;

	disk_ready = 0;
	CH375_PORT_INIT();
	CH375_RST_H;                    //硬件复位
	delay_nms(1);
	CH375_RST_L;
	delay_nms(50);                  //复位后等待芯片就绪
	xWriteCH375Cmd(CMD_CHECK_EXIST);
	xWriteCH375Data(0x55);
	if(xReadCH375Data() != 0xAA)    //返回取反的数据
		return ERR_CH375_ERROR;
	xWriteCH375Cmd(CMD_SET_USB_MODE);
	xWriteCH375Data(USB_MODE_HOST);
	delay_nus(20);
	if(xReadCH375Data() != CMD_RET_SUCCESS)
		return ERR_CH375_ERROR;
	for(i = 0; i < 10; i++)         //等待U盘连接
	{
		status = ch375_wait_int();
		if(status == USB_INT_CONNECT)
			break;
		if(status == 0)
			return ERR_DISK_DISCON;
	}
	if(status != USB_INT_CONNECT)
		return ERR_DISK_DISCON;
	delay_nms(200);                 //U盘上电后的稳定时间
	xWriteCH375Cmd(CMD_DISK_INIT);
	if(ch375_wait_int() != USB_INT_SUCCESS)
		return ERR_CH375_ERROR;
	if(FAT_Init() != FAT_OK)
		return ERR_FAT_FORMAT;
	disk_ready = 1;
	return ERR_SUCCESS;
}

//打开文件: mCmdParam.Open.mPathName为根目录中的8.3文件名, 如"/SONG01.MP3"
unsigned char CH375FileOpen(void)
{
	const char *name = (const char *)mCmdParam.Open.mPathName;
	unsigned char status;

	file_open = 0;
	if(!disk_ready)
	{
		status = CH375LibInit();
		if(status != ERR_SUCCESS)
			return status;
	}
	while(*name == '/' || *name == '\\')
		name++;
	status = FAT_Open(name, &file);
	if(status == FAT_ERR_NOT_FOUND)
		return ERR_MISS_FILE;
	if(status == FAT_ERR_FORMAT)    //目录项的起始簇或长度不在卷内
		return ERR_FAT_FORMAT;
	if(status != FAT_OK)
	{
		disk_ready = 0;             //下次打开时重新初始化
		return ERR_CH375_ERROR;
	}
	file_open = 1;
	return ERR_SUCCESS;
}

//查询文件长度: 结果在mCmdParam.Modify.mFileSize
unsigned char CH375FileQuery(void)
{
	if(!file_open)
		return ERR_OPEN_DIR;
	mCmdParam.Modify.mFileSize = file.size;
	return ERR_SUCCESS;
}

//读文件: 读mCmdParam.Read.mSectorCount个扇区到FILE_DATA_BUF, 返回时为实际读出的扇区数
unsigned char CH375FileRead(void)
{
	unsigned char wanted = mCmdParam.Read.mSectorCount;
	unsigned char done = 0;

	if(!file_open)
		return ERR_OPEN_DIR;
	if(wanted > FILE_DATA_BUF_LEN / 512)    //缓冲区只能容纳这么多扇区
		wanted = FILE_DATA_BUF_LEN / 512;
	if(wanted > 0 && FAT_Read(&file) != 0)
		done = 1;
	mCmdParam.Read.mSectorCount = done;
	if(file.error)                  //读盘失败或簇链损坏: 不是文件结束
	{
		disk_ready = 0;             //下次打开时重新初始化
		return ERR_CH375_ERROR;
	}
	return ERR_SUCCESS;
}

//关闭文件
unsigned char CH375FileClose(void)
{
	file_open = 0;
	return ERR_SUCCESS;
}
