// SPDX-License-Identifier: GPL-3.0-or-later
/*
 * tamberlo-sim: the virtual board. Runs an AVR ELF in simavr at the pace of
 * the wall clock, with each UART on a pseudo-terminal and the state of the
 * board streamed as text lines on stdout, for the editor's board window.
 * It is a program of its own because simavr is GPL; the editor only talks
 * to it through this protocol and the pseudo-terminals.
 *
 *   tamberlo-sim -m CHIP -f HZ [-d DISPLAY] [-b BOARD] [-i IMAGE] [-p] ELF
 *   tamberlo-sim --help | --version
 *
 * CHIP: atmega8 ... atmega128 (see chip_mends.h); DISPLAY: an LCD as the
 * firmware tests wire it, without their file: a character module
 * ("hd44780:16x2:D=A,E=C0,RW=C1,RS=C2") or a graphic one
 * ("ks0108:D=A,E=C0,RW=C1,DI=C2,CS1=D3,CS2=D4,RST=D5", pcd8544, t6963,
 * sed1335, sed1520, st7920; see displays.h); BOARD: the board description
 * a generation run writes (gcc/board.txt), whose chip lines put chips on
 * the board: "ds18b20 PIN" (a DS18B20 on PIN, e.g. A0, at 25 degrees), and
 * on the TWI "at24" (AT24C32), "ds1307" (set to the host's time),
 * "sd2000", "zlg7290", "sta013", "tea5767"; on the SPI (SS the select)
 * "ds1302" (set to the host's time) and "sd" (an SD card); "ch375
 * DATA:CS:A0:RD:WR:RST:INT" (a CH375 with a flash disk on those pins);
 * "vs1003 XRST:DREQ:XDCS:XCS" (a VS1003 on the SPI, its stream of SDI bytes
 * kept in a file); other lines are not this program's; -p:
 * start paused, so the terminals can be opened before the first byte is
 * sent; IMAGE (-i): the disk of the SD card and the CH375, a file of
 * 512-byte sectors that the firmware may write; without it they get a
 * fresh 16 MiB FAT16 volume holding SONG01.MP3, a second of silence.
 *
 * Lines on stdout (each ends in '\n'; the first word says what it is):
 *   board CHIP CORE HZ          once, first
 *   fuses LOW HIGH EXT TEXT     once, next: the fuse bytes of the ELF's .fuse
 *                               section in hex (EXT "-" on a chip without an
 *                               extended byte) and what they select, e.g.
 *                               "crystal 3.0-8.0 MHz, JTAG off, ATmega103
 *                               mode off"; "fuses none" when the ELF has none
 *   warning TEXT                after the fuses, when a real chip with them
 *                               would not run the program as built: no fuses
 *                               (the factory 1 MHz RC oscillator), or another
 *                               clock than HZ
 *   uart N PATH                 once per UART: its pseudo-terminal
 *   lcd COLS ROWS               once, when a character display is wired
 *   gfx WIDTH HEIGHT            once, when a graphic display is wired; its
 *                               picture starts dark
 *   state running|paused|sleeping|done|crashed [pc=0xHHHH]
 *                               whenever it changes (between running and
 *                               sleeping at most ten times a second);
 *                               crashed and done stop
 *                               the chip until a reset (pc: byte address;
 *                               crashed: where it jumped outside the program,
 *                               or 0 when it came back to the reset address)
 *   time CYCLES                 simulated cycles, about ten times a second
 *   port L ddr=0xHH out=0xHH pin=0xHH
 *                               a port's registers, whenever they change
 *   row N TEXT                  row N of the character display, whenever
 *                               it changes
 *   pix Y HEX                   dot row Y (0 at the top) of the graphic
 *                               display, whenever it changes: WIDTH dots, 8 a
 *                               byte, the leftmost in the top bit of the
 *                               first byte, in hex; rows are compared with
 *                               what was sent at most ten times a second,
 *                               so a busy display sends at most ten
 *                               pictures a second (320x240: 19 KB each)
 *   chip NAME [PIN]             once per chip wired from BOARD
 *   ds18b20 RAW                 what the DS18B20 measures, 1/16 degree, at
 *                               start and when set
 *   eeprom HEX                  the AT24C32's bytes 0x00..0x7F, whenever
 *                               they change
 *   rtc YYYY-MM-DD HH:MM:SS     the DS1307's time, whenever it changes
 *   zlg7290 HEX                 the ZLG7290's eight digits, the segments
 *                               each lights (a in the top bit), whenever
 *                               they change
 *   ds1302 YYYY-MM-DD HH:MM:SS  the DS1302's time, whenever it changes
 *   disk PATH                   once, the disk image the SD card or CH375
 *                               serves
 *   stream PATH                 once, the file the VS1003's SDI bytes go to
 *   vs1003 BYTES                the SDI bytes received, whenever it changes
 *   radio KHZ                   the TEA5767's frequency, whenever it changes
 *                               (0: not tuned yet, or in standby)
 *   error TEXT                  it cannot run; it exits with status 2
 * Readers ignore lines they do not know, so the protocol may grow.
 * Commands on stdin, one a line: run, pause, reset, quit, and
 * "ds18b20 RAW" (what the sensor measures from its next conversion on),
 * "ds1307 YYYY-MM-DD HH:MM:SS" and "ds1302 YYYY-MM-DD HH:MM:SS" (the clock
 * set by hand, running, 24 hour mode, 2000..2099), "zlg7290 key N" (key N,
 * 1..64, of the ZLG7290's keypad pressed once). The end of stdin
 * (the editor closed the board or went away) ends the program, so a board is
 * never left running.
 */
#define _GNU_SOURCE
#include <errno.h>
#include <fcntl.h>
#include <inttypes.h>
#include <poll.h>
#include <simavr/avr_ioport.h>
#include <simavr/avr_uart.h>
#include <simavr/sim_avr.h>
#include <simavr/sim_elf.h>
#include <simavr/sim_io.h>
#include <simavr/sim_irq.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include "at24_model.h"
#include "ch375_model.h"
#include "fat16_image.h"
#include "spi_models.h"
#include "vs1003_model.h"
#include "chip_mends.h"
#include "display_hd44780.h"
#include "displays.h"
#include "ds1307_model.h"
#include "onewire_model.h"
#include "sd2000_model.h"
#include "sta013_model.h"
#include "tea5767_model.h"
#include "zlg7290_model.h"

#define PORTS "ABCDEFG"
#define NPORTS 7

struct pty_uart {
  struct sim_uart* mended;
  int master, slave; /* the slave stays open here so the master never hangs up */
  uint8_t pending[256];
  size_t pending_len, pending_at;
};

/* The protocol's stream: the real stdout. simavr and its parts print their
 * own chatter with printf, which goes to stderr instead. */
static FILE* out;

static struct sim_uart mended[SIM_MAX_UARTS];
static struct pty_uart ptys[SIM_MAX_UARTS];
static int uart_count;

/* The words of --help are those of the man page (data/tamberlo-sim.1); the
 * package test holds them together. */
static const char usage_text[] =
    "Usage: tamberlo-sim -m CHIP -f HZ [-d DISPLAY] [-b BOARD] [-i IMAGE] [-p] ELF\n"
    "       tamberlo-sim --help | --version\n"
    "Runs an AVR ELF file on Tamberlo's virtual board at the pace of the wall clock,\n"
    "with each UART on a pseudo-terminal, the state of the board as text lines on\n"
    "standard output and the commands run, pause, reset and quit on standard input.\n"
    "\n"
    "  -m CHIP      the chip: atmega8, atmega8515, atmega8535, atmega16, atmega32,\n"
    "               atmega64 or atmega128\n"
    "  -f HZ        the chip's clock in hertz, 1 to 32000000\n"
    "  -d DISPLAY   an LCD wired to the chip's ports, for example\n"
    "               hd44780:16x2:D=A,E=C0,RW=C1,RS=C2\n"
    "  -b BOARD     the project's board description (gcc/board.txt): the chips\n"
    "               to put on the board\n"
    "  -i IMAGE     the disk of the SD card and the CH375 (default: a new FAT16\n"
    "               volume with a sample file)\n"
    "  -p           start paused\n"
    "  -h, --help   print this help and exit\n"
    "  --version    print the version and exit\n";

static void fail(const char* msg, const char* what) {
  fprintf(out, "error %s%s%s\n", msg, what ? ": " : "", what ? what : "");
  fflush(out);
  exit(2);
}

static double wall_seconds(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return (double)t.tv_sec + (double)t.tv_nsec / 1e9;
}

static void tx_hook(struct avr_irq_t* irq, uint32_t value, void* param) {
  (void)irq;
  struct pty_uart* p = param;
  uint8_t byte = (uint8_t)value;
  /* A full terminal buffer drops bytes, as a line with nobody listening. */
  if (write(p->master, &byte, 1) < 0) return;
}

static void open_pty(avr_t* avr, struct pty_uart* p, struct sim_uart* m) {
  p->mended = m;
  p->master = posix_openpt(O_RDWR | O_NOCTTY);
  if (p->master < 0 || grantpt(p->master) || unlockpt(p->master)) fail("cannot make a pseudo-terminal", NULL);
  const char* name = ptsname(p->master);
  if (!name) fail("cannot make a pseudo-terminal", NULL);
  p->slave = open(name, O_RDWR | O_NOCTTY);
  if (p->slave < 0) fail("cannot open the pseudo-terminal", name);
  struct termios t;
  if (tcgetattr(p->slave, &t) == 0) {
    cfmakeraw(&t);
    tcsetattr(p->slave, TCSANOW, &t);
  }
  fcntl(p->master, F_SETFL, fcntl(p->master, F_GETFL) | O_NONBLOCK);
  avr_irq_t* tx = avr_io_getirq(avr, AVR_IOCTL_UART_GETIRQ(m->port->name), UART_IRQ_OUTPUT);
  if (!tx) fail("no output line for a uart", NULL);
  avr_irq_register_notify(tx, tx_hook, p);
  fprintf(out, "uart %d %s\n", m->index, name);
}

/* Hands the firmware the terminal's bytes one at a time, when its receive
 * buffer is empty, so nothing typed is lost to an overrun. */
static void fill_uart(struct pty_uart* p) {
  if (p->pending_at < p->pending_len) return;
  ssize_t n = read(p->master, p->pending, sizeof p->pending);
  p->pending_at = 0;
  p->pending_len = n > 0 ? (size_t)n : 0;
}

static void feed_uart(avr_t* avr, struct pty_uart* p) {
  if (p->pending_at < p->pending_len && p->mended->port->input.read == p->mended->port->input.write) {
    avr_irq_t* in = avr_io_getirq(avr, AVR_IOCTL_UART_GETIRQ(p->mended->port->name), UART_IRQ_INPUT);
    avr_raise_irq(in, p->pending[p->pending_at++]);
  }
}

/* The chips wired from the board description, and what was last told of
 * them. */
static struct ds18b20* sensor;
static int16_t sensor_raw = 25 * 16;
static int has_at24, has_ds1307, has_zlg7290, has_tea5767, has_ds1302;
static struct ch375* usb;
static struct vs1003* mp3;
static unsigned long shown_sdi;
static uint8_t shown_1302[9];
static const char* disk_image;        /* -i */
static char disk_path[512], stream_path[64];
static unsigned long shown_khz;
static uint8_t shown_eeprom[128], shown_rtc[8], shown_digits[8];

static void report_chips(int first) {
  if (has_at24) {
    uint8_t now[sizeof shown_eeprom];
    for (unsigned i = 0; i < sizeof now; i++) now[i] = at24_byte(i);
    if (first || memcmp(now, shown_eeprom, sizeof now)) {
      memcpy(shown_eeprom, now, sizeof now);
      fprintf(out, "eeprom ");
      for (unsigned i = 0; i < sizeof now; i++) fprintf(out, "%02X", now[i]);
      fputc('\n', out);
    }
  }
  if (has_ds1307) {
    uint8_t r[8];
    ds1307_regs(r);
    if (first || memcmp(r, shown_rtc, sizeof r)) {
      memcpy(shown_rtc, r, sizeof r);
      /* 12 hour mode: 1..12 with the PM bit */
      int hour = r[2] & 0x40 ? ((r[2] >> 4 & 1) * 10 + (r[2] & 0x0F)) % 12 + (r[2] & 0x20 ? 12 : 0)
                             : (r[2] >> 4 & 3) * 10 + (r[2] & 0x0F);
      fprintf(out, "rtc 20%02X-%02X-%02X %02d:%02X:%02X\n", r[6], r[5] & 0x1F, r[4] & 0x3F, hour, r[1] & 0x7F,
              r[0] & 0x7F);
    }
  }
  if (has_ds1302) {
    const uint8_t* r = ds1302_clock();
    if (first || memcmp(r, shown_1302, sizeof shown_1302)) {
      memcpy(shown_1302, r, sizeof shown_1302);
      int hour = r[2] & 0x80 ? ((r[2] >> 4 & 1) * 10 + (r[2] & 0x0F)) % 12 + (r[2] & 0x20 ? 12 : 0)
                             : (r[2] >> 4 & 3) * 10 + (r[2] & 0x0F);
      fprintf(out, "ds1302 20%02X-%02X-%02X %02d:%02X:%02X\n", r[6], r[4] & 0x1F, r[3] & 0x3F, hour, r[1] & 0x7F,
              r[0] & 0x7F);
    }
  }
  if (first && disk_path[0]) fprintf(out, "disk %s\n", disk_path);
  if (mp3 && (first || vs1003_bytes(mp3) != shown_sdi)) {
    shown_sdi = vs1003_bytes(mp3);
    fprintf(out, "vs1003 %lu\n", shown_sdi);
  }
  if (has_tea5767 && (first || tea5767_khz() != shown_khz)) {
    shown_khz = tea5767_khz();
    fprintf(out, "radio %lu\n", shown_khz);
  }
  if (has_zlg7290) {
    uint8_t d[8];
    zlg7290_digits(d);
    if (first || memcmp(d, shown_digits, sizeof d)) {
      memcpy(shown_digits, d, sizeof d);
      fprintf(out, "zlg7290 ");
      for (int i = 0; i < 8; i++) fprintf(out, "%02X", d[i]);
      fputc('\n', out);
    }
  }
}

static int to_bcd(int v) {
  return (v / 10) << 4 | v % 10;
}

/* The disk the SD card and the CH375 serve: the user's image, or a fresh
 * FAT16 volume in a temporary file (gone when this program ends) holding
 * SONG01.MP3, a second of silent MPEG-1 layer III frames (128 kbit/s,
 * 44.1 kHz: 417 bytes each, header FF FB 90 00). */
static const char* open_disk(void) {
  if (disk_path[0]) return disk_path;
  if (disk_image) {
    snprintf(disk_path, sizeof disk_path, "%s", disk_image);
    return disk_path;
  }
  snprintf(disk_path, sizeof disk_path, "/tmp/tamberlo-disk-XXXXXX");
  int fd = mkstemp(disk_path);
  FILE* f = fd >= 0 ? fdopen(fd, "w+b") : NULL;
  static unsigned char song[38 * 417];
  for (int i = 0; i < 38; i++) memcpy(song + i * 417, "\xFF\xFB\x90\x00", 4);
  if (!f || fat16_write_image(f, "SONG01  MP3", song, sizeof song) != 0) fail("cannot make the disk image", NULL);
  fclose(f);
  return disk_path;
}

static int open_stream(void) {
  snprintf(stream_path, sizeof stream_path, "/tmp/tamberlo-vs1003-XXXXXX");
  int fd = mkstemp(stream_path);
  if (fd < 0) return 0;
  close(fd);
  return 1;
}

static void remove_temporaries(void) {
  if (disk_path[0] && !disk_image) unlink(disk_path);
  if (stream_path[0]) unlink(stream_path);
}

/* Puts the chips of the board description on the board. */
static void wire_board(avr_t* avr, const char* path, const char* chip) {
  /* SS on port B: PB2 on the ATmega8, PB0 on the ATmega64 and 128, PB4 on the others */
  int ss_bit = !strcmp(chip, "atmega8") ? 2 : strstr(chip, "64") || strstr(chip, "128") ? 0 : 4;
  FILE* f = fopen(path, "r");
  if (!f) fail("cannot read the board description", path);
  char line[256];
  while (fgets(line, sizeof line, f)) {
    line[strcspn(line, "\r\n")] = 0;
    char name[32] = "", pin[64] = "";
    if (sscanf(line, "%31s %63s", name, pin) < 1) continue;
    int twi = 0;
    if (!strcmp(name, "ds18b20")) {
      if (strlen(pin) != 2 || pin[0] < 'A' || pin[0] > 'G' || pin[1] < '0' || pin[1] > '7' ||
          !avr_io_getirq(avr, AVR_IOCTL_IOPORT_GETIRQ(pin[0]), 0))
        fail("the DS18B20 is on a pin the chip does not have", line);
      sensor = ds18b20_attach(avr, pin[0], pin[1] - '0', sensor_raw);
      if (!sensor) fail("cannot wire the DS18B20", line);
      fprintf(out, "chip ds18b20 %s\nds18b20 %d\n", pin, sensor_raw);
      continue;
    } else if (!strcmp(name, "at24")) {
      twi = at24_attach(avr, 0) == 0 ? 1 : -1;
      has_at24 = twi > 0;
    } else if (!strcmp(name, "ds1307")) {
      /* the host's time, as a clock set before the board was switched on */
      time_t now = time(NULL);
      struct tm t;
      localtime_r(&now, &t);
      uint8_t regs[8] = {(uint8_t)to_bcd(t.tm_sec % 60), (uint8_t)to_bcd(t.tm_min), (uint8_t)to_bcd(t.tm_hour),
                         (uint8_t)(t.tm_wday + 1),        (uint8_t)to_bcd(t.tm_mday), (uint8_t)to_bcd(t.tm_mon + 1),
                         (uint8_t)to_bcd(t.tm_year % 100), 0};
      twi = ds1307_attach(avr, regs, 0) == 0 ? 1 : -1;
      has_ds1307 = twi > 0;
    } else if (!strcmp(name, "sd2000")) {
      twi = twi_master_mend(avr, 0) == 0 && sd2000_attach(avr, 0) == 0 ? 1 : -1;
    } else if (!strcmp(name, "zlg7290")) {
      twi = twi_master_mend(avr, 0) == 0 && zlg7290_attach(avr, 0) == 0 ? 1 : -1;
      has_zlg7290 = twi > 0;
    } else if (!strcmp(name, "ds1302")) {
      time_t now = time(NULL);
      struct tm t;
      localtime_r(&now, &t);
      const uint8_t clock[9] = {(uint8_t)to_bcd(t.tm_sec % 60), (uint8_t)to_bcd(t.tm_min), (uint8_t)to_bcd(t.tm_hour),
                                (uint8_t)to_bcd(t.tm_mday),       (uint8_t)to_bcd(t.tm_mon + 1), (uint8_t)(t.tm_wday + 1),
                                (uint8_t)to_bcd(t.tm_year % 100), 0x80, 0x5C};
      static const uint8_t ram[31];
      if (ds1302_attach(avr, ss_bit, clock, ram, 1) != 0) fail("the chip has no SPI for", name);
      has_ds1302 = 1;
      fprintf(out, "chip %s\n", name);
      continue;
    } else if (!strcmp(name, "sd")) {
      if (sdcard_attach(avr, ss_bit, open_disk(), 250) != 0) fail("cannot put the SD card on the SPI", disk_path);
      fprintf(out, "chip %s\n", name);
      continue;
    } else if (!strcmp(name, "ch375") || !strcmp(name, "vs1003")) {
      char wiring[600];
      if (!pin[0]) continue; /* pins unset: nothing to wire */
      const char* pins = strchr(line, ' ') + 1;
      if (!strcmp(name, "ch375")) {
        snprintf(wiring, sizeof wiring, "%s:%s", pins, open_disk());
        if (!(usb = ch375_attach(avr, wiring))) fail("cannot wire the CH375", pins);
      } else {
        if (!open_stream()) fail("cannot make the VS1003's stream file", NULL);
        snprintf(wiring, sizeof wiring, "%s:%s", pins, stream_path);
        if (!(mp3 = vs1003_attach(avr, wiring))) fail("cannot wire the VS1003", pins);
        /* the player's keys on port E have pull-ups on the board: released */
        for (int bit = 0; bit < 8; bit++) {
          avr_irq_t* key = avr_io_getirq(avr, AVR_IOCTL_IOPORT_GETIRQ('E'), bit);
          if (key) avr_raise_irq(key, 1);
        }
        fprintf(out, "stream %s\n", stream_path);
      }
      fprintf(out, "chip %s %s\n", name, pins);
      continue;
    } else if (!strcmp(name, "tea5767")) {
      twi = twi_master_mend(avr, 0) == 0 && tea5767_attach(avr, 0) == 0 ? 1 : -1;
      has_tea5767 = twi > 0;
    } else if (!strcmp(name, "sta013")) {
      twi = twi_master_mend(avr, 0) == 0 && sta013_attach(avr, 0) == 0 ? 1 : -1;
    } else {
      continue; /* settings, UARTs, the display, chips without a model */
    }
    if (twi < 0) fail("the chip has no TWI for", name);
    fprintf(out, "chip %s\n", name);
  }
  fclose(f);
}

#define GFX_ROW_BYTES (320 / 8)

struct shown {
  int state;
  avr_ioport_state_t ports[NPORTS];
  int has_port[NPORTS];
  char rows[4][48];
  uint8_t pix[240][GFX_ROW_BYTES]; /* the graphic rows as sent */
};

/* Sends the dot rows of the graphic display that differ from what was sent. */
static void report_pixels(struct shown* s) {
  static uint8_t dots[DISPLAY_MAX_DOTS];
  int w, h;
  if (display_live(0, dots, &w, &h) != 0) return;
  int bytes = (w + 7) / 8;
  for (int y = 0; y < h && y < 240; y++) {
    uint8_t row[GFX_ROW_BYTES] = {0};
    for (int x = 0; x < w && x < 320; x++)
      if (dots[y * w + x]) row[x / 8] |= (uint8_t)(0x80 >> (x % 8));
    if (!memcmp(row, s->pix[y], (size_t)bytes)) continue;
    memcpy(s->pix[y], row, (size_t)bytes);
    fprintf(out, "pix %d ", y);
    for (int i = 0; i < bytes; i++) fprintf(out, "%02X", row[i]);
    fputc('\n', out);
  }
}

static void report(avr_t* avr, struct shown* s, int state, struct character_lcd* lcd, int graphic,
                   int first) {
  if (first || state != s->state) {
    if (state == cpu_Crashed || state == cpu_Done)
      fprintf(out, "state %s pc=0x%04" PRIX32 "\n", sim_state_name(state, "paused"), (uint32_t)avr->pc);
    else
      fprintf(out, "state %s\n", sim_state_name(state, "paused"));
    s->state = state;
  }
  for (int i = 0; i < NPORTS; i++) {
    avr_ioport_state_t st;
    memset(&st, 0, sizeof st);
    if (avr_ioctl(avr, AVR_IOCTL_IOPORT_GETSTATE(PORTS[i]), &st) != 0) continue;
    if (!first && s->has_port[i] && st.ddr == s->ports[i].ddr && st.port == s->ports[i].port &&
        st.pin == s->ports[i].pin)
      continue;
    s->ports[i] = st;
    s->has_port[i] = 1;
    fprintf(out, "port %c ddr=0x%02X out=0x%02X pin=0x%02X\n", PORTS[i], st.ddr, st.port, st.pin);
  }
  if (lcd) {
    char text[4 * 48];
    int rows = live_hd44780(lcd, text, sizeof text);
    char* line = text;
    for (int r = 0; r < rows && r < 4; r++) {
      char* end = strchr(line, '\n');
      if (end) *end = 0;
      if (first || strcmp(s->rows[r], line)) {
        snprintf(s->rows[r], sizeof s->rows[r], "%.47s", line);
        fprintf(out, "row %d %s\n", r, line);
      }
      if (!end) break;
      line = end + 1;
    }
  }
  if (graphic) report_pixels(s);
  report_chips(first);
  fprintf(out, "time %" PRIu64 "\n", (uint64_t)avr->cycle);
  fflush(out);
}

/* The clock a low fuse selects, and whether it can be `hz`: internal RC and
 * crystal ranges as the datasheets of all seven chips give them. An
 * external clock or RC network runs at whatever the board gives. */
static int fuse_clock(uint8_t low, int ckopt, unsigned long hz, char* text, size_t size) {
  static const char* const ranges[] = {"0.4-0.9", "0.9-3.0", "3.0-8.0"};
  static const unsigned long lo[] = {400000, 900000, 3000000}, hi[] = {900000, 3000000, 8000000};
  int cksel = low & 0x0F;
  if (cksel == 0) {
    snprintf(text, size, "external clock");
    return 1;
  }
  if (cksel <= 4) {
    unsigned long rc = 1000000ul << (cksel - 1);
    snprintf(text, size, "internal RC oscillator %lu MHz", rc / 1000000);
    return rc == hz;
  }
  if (cksel <= 8) {
    snprintf(text, size, "external RC oscillator");
    return 1;
  }
  if (cksel == 9) {
    snprintf(text, size, "low-frequency crystal 32.768 kHz");
    return hz == 32768;
  }
  if (ckopt) {
    snprintf(text, size, "crystal 1.0 MHz and up (CKOPT)");
    return hz >= 1000000;
  }
  int range = (cksel >> 1) - 5; /* CKSEL3..1 = 101, 110, 111 */
  snprintf(text, size, "crystal %s MHz", ranges[range]);
  return hz >= lo[range] && hz <= hi[range];
}

/* The "fuses" line, and a "warning" line when the ELF's fuses would not run
 * it at `hz` on a real chip. */
static void report_fuses(const char* chip, const elf_firmware_t* fw, unsigned long hz) {
  int wide = !strcmp(chip, "atmega64") || !strcmp(chip, "atmega128");
  int jtag = wide || !strcmp(chip, "atmega16") || !strcmp(chip, "atmega32");
  if (!fw->fuse || fw->fusesize < 2) {
    fprintf(out, "fuses none\n");
    fprintf(out, "warning the ELF has no fuses: a new chip runs from its internal 1 MHz RC oscillator, "
                 "not at %lu Hz\n", hz);
    return;
  }
  uint8_t low = fw->fuse[0], high = fw->fuse[1];
  char clock[64], text[160], ext[4] = "-";
  int ok = fuse_clock(low, !(high & 0x10), hz, clock, sizeof clock);
  int n = snprintf(text, sizeof text, "%s", clock);
  if (jtag) n += snprintf(text + n, sizeof text - (size_t)n, ", JTAG %s", high & 0x40 ? "off" : "on");
  if (wide && fw->fusesize >= 3) {
    snprintf(ext, sizeof ext, "%02X", fw->fuse[2]);
    n += snprintf(text + n, sizeof text - (size_t)n, ", ATmega103 mode %s", fw->fuse[2] & 0x02 ? "off" : "on");
  }
  if (!strcmp(chip, "atmega8515") || !strcmp(chip, "atmega8535"))
    n += snprintf(text + n, sizeof text - (size_t)n, ", AT90S%s mode %s", chip + 6, high & 0x80 ? "off" : "on");
  fprintf(out, "fuses %02X %02X %s %s\n", low, high, ext, text);
  if (!ok) fprintf(out, "warning the fuses select the %s, not the %lu Hz the program is built for\n", clock, hz);
}

/* "ds1307 2026-12-09 06:45:00" and the like: sets that clock. */
static void set_clock(const char* line) {
  char name[8];
  int y, mo, d, h, mi, se;
  char end;
  if (sscanf(line, "%7s %d-%d-%d %d:%d:%d%c", name, &y, &mo, &d, &h, &mi, &se, &end) != 7) return;
  if (y < 2000 || y > 2099 || mo < 1 || mo > 12 || d < 1 || d > 31 || h < 0 || h > 23 || mi < 0 || mi > 59 ||
      se < 0 || se > 59)
    return;
  struct tm t = {.tm_year = y - 1900, .tm_mon = mo - 1, .tm_mday = d, .tm_hour = 12};
  time_t at = timegm(&t); /* for the weekday */
  struct tm w;
  gmtime_r(&at, &w);
  if (!strcmp(name, "ds1307") && has_ds1307) {
    const uint8_t regs[7] = {(uint8_t)to_bcd(se), (uint8_t)to_bcd(mi), (uint8_t)to_bcd(h), (uint8_t)(w.tm_wday + 1),
                             (uint8_t)to_bcd(d),  (uint8_t)to_bcd(mo), (uint8_t)to_bcd(y % 100)};
    ds1307_set(regs);
  } else if (!strcmp(name, "ds1302") && has_ds1302) {
    uint8_t* c = ds1302_clock();
    c[0] = (uint8_t)to_bcd(se), c[1] = (uint8_t)to_bcd(mi), c[2] = (uint8_t)to_bcd(h), c[3] = (uint8_t)to_bcd(d);
    c[4] = (uint8_t)to_bcd(mo), c[5] = (uint8_t)(w.tm_wday + 1), c[6] = (uint8_t)to_bcd(y % 100);
  }
}

/* Reads the commands that arrived; returns 0 at the end of stdin or "quit". */
static int read_commands(int* paused, int* reset) {
  static char buf[256];
  static size_t len;
  ssize_t n = read(0, buf + len, sizeof buf - 1 - len);
  if (n == 0) return 0;
  if (n < 0) return errno == EAGAIN || errno == EINTR;
  len += (size_t)n;
  buf[len] = 0;
  char* nl;
  while ((nl = strchr(buf, '\n'))) {
    *nl = 0;
    if (!strcmp(buf, "quit")) return 0;
    if (!strcmp(buf, "pause")) *paused = 1;
    if (!strcmp(buf, "run")) *paused = 0;
    if (!strcmp(buf, "reset")) *reset = 1;
    int raw;
    char end;
    /* -55 .. 125 degrees, the sensor's range */
    if (!strncmp(buf, "ds1307 ", 7) || !strncmp(buf, "ds1302 ", 7)) set_clock(buf);
    int key;
    if (has_zlg7290 && sscanf(buf, "zlg7290 key %d%c", &key, &end) == 1) zlg7290_key(key);
    if (sensor && sscanf(buf, "ds18b20 %d%c", &raw, &end) == 1 && raw >= -55 * 16 && raw <= 125 * 16) {
      sensor_raw = (int16_t)raw;
      ds18b20_set(sensor, sensor_raw);
      fprintf(out, "ds18b20 %d\n", raw);
    }
    len -= (size_t)(nl + 1 - buf);
    memmove(buf, nl + 1, len + 1);
  }
  if (len == sizeof buf - 1) len = 0; /* a line too long to be a command */
  return 1;
}

int main(int argc, char** argv) {
  int proto = dup(1);
  out = proto >= 0 ? fdopen(proto, "w") : NULL;
  if (!out || dup2(2, 1) < 0) return 2;
  setvbuf(out, NULL, _IOFBF, 1 << 14);
  const char *chip = NULL, *elf = NULL, *display = NULL, *board = NULL;
  unsigned long hz = 0;
  int start_paused = 0;
  for (int i = 1; i < argc; i++) {
    const char* a = argv[i];
    /* help and version go to standard output, which is the protocol's */
    if (!strcmp(a, "-h") || !strcmp(a, "--help")) {
      fputs(usage_text, out);
      return fflush(out) == 0 ? 0 : 2;
    }
    if (!strcmp(a, "--version")) {
      fputs("tamberlo-sim V" TAMBERLO_VERSION "\n", out);
      return fflush(out) == 0 ? 0 : 2;
    }
    if (!strcmp(a, "-m") && i + 1 < argc) {
      chip = argv[++i];
    } else if (!strcmp(a, "-f") && i + 1 < argc) {
      char* end = NULL;
      hz = strtoul(argv[++i], &end, 10);
      if (!end || *end) hz = 0;
    } else if (!strcmp(a, "-p")) {
      start_paused = 1;
    } else if (!strcmp(a, "-d") && i + 1 < argc) {
      display = argv[++i];
    } else if (!strcmp(a, "-b") && i + 1 < argc) {
      board = argv[++i];
    } else if (!strcmp(a, "-i") && i + 1 < argc) {
      disk_image = argv[++i];
    } else if (a[0] == '-') {
      fail("unknown or incomplete option", a);
    } else {
      elf = a;
    }
  }
  if (!chip || !hz || hz > 32000000 || !elf)
    fail("usage: tamberlo-sim -m CHIP -f HZ [-d DISPLAY] [-b BOARD] [-i IMAGE] [-p] ELF", NULL);
  const struct sim_chip* cc = sim_chip_find(chip);
  if (!cc) fail("unknown chip", chip);

  elf_firmware_t fw;
  memset(&fw, 0, sizeof fw);
  if (access(elf, R_OK) != 0 || elf_read_firmware(elf, &fw) != 0) fail("cannot read the ELF file", elf);
  avr_t* avr = sim_chip_make(cc, &fw, hz, mended, &uart_count);
  if (!avr) fail("simavr has no core", cc->core);
  fprintf(out, "board %s %s %lu\n", cc->chip, cc->core, hz);
  report_fuses(cc->chip, &fw, hz);
  for (int i = 0; i < uart_count; i++) open_pty(avr, &ptys[i], &mended[i]);

  struct character_lcd* lcd = NULL;
  int graphic = 0;
  if (display) {
    char spec[256];
    /* a pin on a port the chip lacks would leave the display dark and
     * say nothing */
    for (const char* eq = strchr(display, '='); eq; eq = strchr(eq + 1, '='))
      if (eq[1] >= 'A' && eq[1] <= 'G' && !avr_io_getirq(avr, AVR_IOCTL_IOPORT_GETIRQ(eq[1]), 0))
        fail("the display is wired to a port the chip does not have", display);
    /* the models of the tests write their picture to a file at the end,
     * which this program never asks for */
    if (snprintf(spec, sizeof spec, "%s:/dev/null", display) >= (int)sizeof spec ||
        display_attach(avr, spec) != 0)
      fail("bad display description", display);
    lcd = display_text(0);
    if (lcd) {
      char text[4 * 48];
      int rows = live_hd44780(lcd, text, sizeof text);
      fprintf(out, "lcd %d %d\n", (int)(strchr(text, '\n') ? strchr(text, '\n') - text : (long)strlen(text)),
              rows);
    } else {
      static uint8_t dots[DISPLAY_MAX_DOTS];
      int w = 0, h = 0;
      display_live(0, dots, &w, &h);
      if (w < 1 || w > 320 || h < 1 || h > 240) fail("bad display description", display);
      fprintf(out, "gfx %d %d\n", w, h);
      graphic = 1;
    }
  }

  atexit(remove_temporaries);
  if (board) wire_board(avr, board, cc->chip);

  fcntl(0, F_SETFL, fcntl(0, F_GETFL) | O_NONBLOCK);
  struct shown shown;
  memset(&shown, 0, sizeof shown);
  int paused = start_paused, reset = 0, state = cpu_Running;
  report(avr, &shown, paused ? -1 : state, lcd, graphic, 1);

  /* Cycles are paced against the wall clock from a base point that moves
   * whenever the chip stops or falls behind, so it never races to catch up. */
  double base_wall = wall_seconds(), next_report = base_wall;
  avr_cycle_count_t base_cycle = avr->cycle;
  for (;;) {
    struct pollfd fds[1 + SIM_MAX_UARTS];
    fds[0].fd = 0, fds[0].events = POLLIN;
    for (int i = 0; i < uart_count; i++) fds[1 + i].fd = ptys[i].master, fds[1 + i].events = POLLIN;
    int stopped = paused || state == cpu_Crashed || state == cpu_Done;
    if (poll(fds, 1 + (nfds_t)uart_count, stopped ? 50 : 1) < 0 && errno != EINTR) break;
    if (!read_commands(&paused, &reset)) break;
    for (int i = 0; i < uart_count; i++)
      if (fds[1 + i].revents & POLLIN) fill_uart(&ptys[i]);
    if (reset) {
      sim_chip_reset(avr, mended, uart_count);
      reset = 0;
      state = cpu_Running;
    }
    double now = wall_seconds();
    if (paused || state == cpu_Crashed || state == cpu_Done) {
      base_wall = now, base_cycle = avr->cycle;
    } else {
      avr_cycle_count_t target = base_cycle + (avr_cycle_count_t)((now - base_wall) * (double)hz);
      double slice_end = now + 0.02;
      unsigned steps = 0;
      while (avr->cycle < target) {
        for (int i = 0; i < uart_count; i++) {
          sim_uart_retime(avr, &mended[i]);
          feed_uart(avr, &ptys[i]);
        }
        state = avr_run(avr);
        if (sensor) ds18b20_step(sensor);
        if (usb) ch375_step(usb);
        if (mp3) vs1003_step(mp3);
        /* simavr only notices a stray jump when the chip has run through
         * the empty flash back to address 0; stop it where it left the
         * program, so the report says where it went wrong */
        if (avr->pc > avr->codeend) state = cpu_Crashed;
        if (state == cpu_Crashed || state == cpu_Done) break;
        if ((++steps & 0x3FF) == 0 && wall_seconds() > slice_end) {
          /* slower than the real chip: go on from here rather than race */
          base_wall = wall_seconds(), base_cycle = avr->cycle;
          break;
        }
      }
    }
    int shown_state = paused && state != cpu_Crashed && state != cpu_Done ? -1 : state;
    int due = now >= next_report;
    /* A chip that sleeps between interrupts wakes thousands of times a
     * second: running and sleeping are told on the tick, ten times a
     * second, like the pins and the picture; a pause, a crash or the end
     * is told at once. */
    int live_change = (shown_state == cpu_Running || shown_state == cpu_Sleeping) &&
                      (shown.state == cpu_Running || shown.state == cpu_Sleeping);
    if (due || (shown_state != shown.state && !live_change)) {
      report(avr, &shown, shown_state, lcd, graphic && due, 0);
      if (due) next_report = now + 0.1;
    }
  }
  avr_terminate(avr);
  return 0;
}
