// SPDX-License-Identifier: GPL-3.0-or-later
/*
 * Virtual displays wired to the port pins of a simulated AVR. Each model is
 * written from its controller's datasheet (or is simavr's own part), never
 * from a driver, so a driver that misreads the datasheet shows a wrong
 * picture.
 *
 *   hd44780:COLSxROWS:D=B,E=C0,RW=C1,RS=C2[,E2=C3]:FILE
 *       simavr's HD44780 part on the upper nibble of port D (4-bit bus);
 *       with E2 a second controller holds rows 3 and 4 (40x4 modules).
 *       FILE gets the rows of text of the last picture shown before a
 *       clear (or the picture at the end when nothing was cleared).
 *   ks0108:D=A,E=C0,RW=C1,DI=C2,RST=C3,CS1=C4,CS2=C5[,CS3=C6,CS4=C7]:FILE
 *       128x64 (two chips) or 240x64 (four chips) graphic module, active
 *       low chip selects; FILE gets, as a PBM, the first picture the
 *       firmware drew before clearing the display (a demo's start-up
 *       picture), or the picture at the end when it never cleared it.
 *   pcd8544:RES=B0,SCE=B1,SDIN=B2,SCLK=B3,DC=B4:FILE
 *       84x48 serial graphic controller; FILE gets the picture as a PBM.
 *   t6963:WxH:D=B,CE=C0,CD=C1,RD=C2,WR=C3,RST=C4:FILE
 *       T6963C module of W x H dots; FILE gets the graphic layer at the end
 *       as a PBM, its comment line the display mode and the number of
 *       accesses made without the status the datasheet asks for.
 *   sed1335:D=B,CS=C0,A0=C1,RD=C2,WR=C3,RST=C4:FILE
 *       SED1335 320x240 module; FILE gets the graphic layer at the end as a
 *       PBM (its comment line the display state and the number of accesses
 *       the controller would not take), FILE.txt the text layer's characters.
 *   sed1520:D=A,A0=C0,RW=C1,RST=C2,E1=C3,E2=C4:FILE
 *       122x32 module of two controllers (E1 left, E2 right, active
 *       high, 68-series bus); FILE gets the picture at the end as a PBM.
 *   st7920:128x64:D=A,RS=C2,RW=C1,E=C0,PSB=C3,RST=C4:FILE
 *   st7920:122x32:CS=C2,SID=C1,SCLK=C0,PSB=C3,RST=C4:FILE
 *       text and graphic controller with a Chinese font ROM, parallel
 *       (PSB high) or serial (PSB low, no data bus); FILE gets, as a PBM,
 *       the picture before the first clear or reset after something was
 *       shown, or the picture at the end.
 */
#ifndef DISPLAYS_H
#define DISPLAYS_H

#include <simavr/sim_avr.h>

/* Attaches one display from its description; returns 0, or -1 with a
 * message on stderr. */
int display_attach(avr_t *avr, const char *spec);

/* Writes every display's picture into its file; returns 0, or -1. */
int display_report(void);

/* For the virtual board, which draws them while the firmware runs. */
struct character_lcd;
/* Display I (in the order attached) when it is a character module. */
struct character_lcd *display_text(int i);
/* Room for the largest picture, one byte a dot. */
#define DISPLAY_MAX_DOTS (320 * 240)
/* The dots graphic display I shows now, 1 lit, row by row, into dots;
 * sets its size. Returns 0, or -1 for a character module (its text comes
 * from live_hd44780) or no such display. */
int display_live(int i, uint8_t *dots, int *width, int *height);

#endif
