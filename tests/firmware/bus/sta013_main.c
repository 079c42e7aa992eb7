// SPDX-License-Identifier: GPL-3.0-or-later
/* The STA013 driver on the chip: set up with a small configuration table
 * in flash on a 400 kHz bus, stopped, turned down. The driver has no header; its
 * user declares what it calls. The results stay in `result` for the runner
 * to read. */
#include <avr/interrupt.h>
#include <avr/sleep.h>
#include <macros.h>

unsigned char STA013_Init(unsigned char twbr, const __flash unsigned char *config, unsigned int pairs);
unsigned char STA013_Check(void);
unsigned char STA013_ReadReg(unsigned char reg);
void STA013_Play(unsigned char play);
void STA013_SetAttenuation(unsigned char left, unsigned char right);

/* PLLCTL, SCLK_POL, DATA_REQ_ENABLE, PCMDIVIDER, PCMCONF: in flash, as the
   maker's table of some 2,000 pairs must be */
static const __flash unsigned char config[] = {0x05, 0xA1, 0x0C, 0x05, 0x18, 0x04, 0x54, 0x07, 0x55, 0x10};

unsigned char result[6];

int main(void)
{
   result[0] = STA013_Init(12, config, sizeof config / 2);   /* 16 MHz / (16 + 24) = 400 kHz */
   result[1] = STA013_Check();
   STA013_Play(0);
   STA013_SetAttenuation(0x10, 0x20);
   result[2] = STA013_ReadReg(0x13);                         /* PLAY */
   result[3] = STA013_ReadReg(0x72);                         /* RUN */
   result[4] = 0xA5;                                         /* the run got to the end */
   cli();
   sleep_enable();
   sleep_cpu();
   return 0;
}
