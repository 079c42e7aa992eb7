/* Opens and reads files through the CH375 file layer and reports each on
 * the UART, one line a file: "NAME SS[ SIZE RR NNNN SUM]", SS the open's
 * status, SIZE the file size (eight hex digits), RR the status of the last
 * read, NNNN the sectors read and SUM the sum of the file's bytes (16 bits),
 * all in hex. ch375_case.sh makes the disks and the lines it expects.
 * Replaces the demo main.c of a generated project (gen_case.sh --main). */
#include <avr/interrupt.h>
#include <avr/io.h>
#include <avr/sleep.h>
#include <string.h>
#include "CH375HFB.H"

#ifdef UDR0
#define UDR_    UDR0
#define UCSRA_  UCSR0A
#define UCSRB_  UCSR0B
#define UBRRL_  UBRR0L
#else
#define UDR_    UDR
#define UCSRA_  UCSRA
#define UCSRB_  UCSRB
#define UBRRL_  UBRRL
#endif

static void put(char c)
{
   while (!(UCSRA_ & (1 << UDRE)))
      ;
   UDR_ = (unsigned char)c;
}

static void hex(unsigned char b)
{
   put("0123456789ABCDEF"[b >> 4]);
   put("0123456789ABCDEF"[b & 15]);
}

static void report(const char *name)
{
   unsigned char status;
   unsigned long size, left;
   unsigned int sectors = 0, sum = 0, i, n;
   const char *p;
   for (p = name; *p; p++)
      put(*p);
   put(' ');
   strcpy((char *)mCmdParam.Open.mPathName, name);
   status = CH375FileOpen();
   hex(status);
   if (status == ERR_SUCCESS)
   {
      CH375FileQuery();
      size = left = mCmdParam.Modify.mFileSize;
      put(' ');
      hex((unsigned char)(size >> 24)), hex((unsigned char)(size >> 16));
      hex((unsigned char)(size >> 8)), hex((unsigned char)size);
      while (1)
      {
         mCmdParam.Read.mSectorCount = 1;
         status = CH375FileRead();
         if (status != ERR_SUCCESS || mCmdParam.Read.mSectorCount == 0)
            break;
         sectors++;
         n = left < 512 ? (unsigned int)left : 512;
         for (i = 0; i < n; i++)
            sum += FILE_DATA_BUF[i];
         left -= n;
      }
      CH375FileClose();
      put(' ');
      hex(status);
      put(' ');
      hex((unsigned char)(sectors >> 8)), hex((unsigned char)sectors);
      put(' ');
      hex((unsigned char)(sum >> 8)), hex((unsigned char)sum);
   }
   put('\n');
}

int main(void)
{
   UBRRL_ = 7;
   UCSRB_ = 1 << TXEN;
   report("/BIG.BIN");
   report("/LONGFI~1.TXT");
   report("/LOOP.BIN");
   report("/BADCHAIN.BIN");
   report("/BADSIZE.BIN");
   report("/OUTSIDE.BIN");
   report("/NONE.BIN");
   put('.');
   put('\n');                  /* the dot has left UDR once this is taken */
   cli();                       /* the run ends here */
   sleep_enable();
   sleep_cpu();
   return 0;
}
