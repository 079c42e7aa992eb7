#ifndef	__AT24CXX__H
#define	__AT24CXX__H

//256每页64,512为128字节 
#define PAGESIZE 64
#define CHIPADDR 0xA0

void AT24Cxx_Init(void);
void TWIWrite(unsigned int ad,unsigned char da);
unsigned char TWIRead(unsigned int ad);
void TWIWriteBytes(unsigned int ad,unsigned char*p,unsigned char num);
void TWIReadBytes(unsigned int ad,unsigned char *p,unsigned char num);

#endif
