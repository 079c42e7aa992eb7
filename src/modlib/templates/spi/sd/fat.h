#ifndef	__FAT__H
#define	__FAT__H

//FAT16文件系统(只读): 在SD卡根目录中查找并读取文件
//扇区数据经由sd.c的BUFFER[512]传递

@include shared/fat16_decl.h

//把BUFFER中的512字节写入一个数据块(sd.c), address为字节地址; 成功返回0
unsigned char SD_Write_Block(unsigned long address);

#endif
