/*
 * Drives the MP3 demo of a generated main.c, whose main loop never plays:
 * main.c is built with its main renamed (-Dmain=mp3_demo_main) and this
 * file starts the decoder and plays one song through the demo's mp3_play.
 * The character LCD calls of mp3_play land in the stand-ins below.
 */
#undef main
#include <avr/io.h>
#include <avr/sleep.h>
#include "vs1003.h"

void mp3_play(char *s);

/* The LCD stand-ins keep what was written, for a look in a debugger. */
char lcd_text[2][17];
void LCD16xx_init(void) {}
void LCD16xx_clr(void) { lcd_text[0][0] = lcd_text[1][0] = 0; }
void LCD16xx_write_string(unsigned char x, unsigned char y, char *s) {
  while (*s && x < 16 && y < 2) lcd_text[y][x++] = *s++;
}

int main(void) {
  VS1003_Init();
  mp3_play("/SONG01.MP3");
  PORTG = 0x01;  /* done: the run checks nothing here, the models tell */
  for (;;) sleep_mode();
}
