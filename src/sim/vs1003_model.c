// SPDX-License-Identifier: GPL-3.0-or-later
/* The VS1003 model of vs1003_model.h. */
#include "vs1003_model.h"

#include <simavr/avr_spi.h>
#include <simavr/sim_irq.h>
#include <stdlib.h>
#include <string.h>

#include "pin_models.h"

#define FIFO_SIZE 2048
#define DRAIN_BYTES_PER_SECOND 4096.0

enum { P_XRST, P_DREQ, P_XDCS, P_XCS, P_COUNT };

struct vs1003 {
  avr_t* avr;
  struct model_pin pin[P_COUNT];
  avr_irq_t* spi_in;
  FILE* sdi;

  uint16_t reg[16];
  int sci_index; /* byte of the current SCI access */
  uint8_t sci[4];
  double fifo; /* bytes waiting to be decoded */
  avr_cycle_count_t last, ready_at;
  int was_xcs, was_xrst;

  unsigned long resets, sci_writes, sci_reads, sdi_bytes, dreq_waits, faults;
  char first_fault[100];
  avr_spi_t* spi;
  double read_slack_ns, write_slack_ns; /* least SCK period above its minimum */
  unsigned long read_checks, write_checks;
};

static void fault(struct vs1003* v, const char* what) {
  if (!v->faults++) snprintf(v->first_fault, sizeof v->first_fault, "%s", what);
}

/* The VS1003's clock: the 12.288 MHz crystal times SC_MULT of CLOCKF
   (1.0x + 0.5x a step); SC_ADD only adds while decoding. */
static double clki(const struct vs1003* v) { return 12.288e6 * (1.0 + 0.5 * (v->reg[3] >> 13)); }

/* The SCK period of the master's SPCR and SPSR against the datasheet:
   SCI reads at CLKI/7 at most, SCI writes and SDI at CLKI/4. */
static void check_sck(struct vs1003* v, int read) {
  avr_t* avr = v->avr;
  static const int div[4] = {4, 16, 64, 128};
  int d = div[avr->data[v->spi->r_spcr] & 3];
  if (avr->data[v->spi->r_spsr] & 1) d /= 2; /* SPI2X */
  double period = 1e9 * d / avr->frequency, least = 1e9 * (read ? 7 : 4) / clki(v);
  double slack = period - least;
  double* worst = read ? &v->read_slack_ns : &v->write_slack_ns;
  unsigned long* n = read ? &v->read_checks : &v->write_checks;
  if (!(*n)++ || slack < *worst) *worst = slack;
  if (slack < 0) fault(v, read ? "SCI read faster than CLKI/7" : "SCI write or SDI faster than CLKI/4");
}

static int dreq(struct vs1003* v) {
  return v->avr->cycle >= v->ready_at && FIFO_SIZE - v->fifo >= 32;
}

static void chip_reset(struct vs1003* v, double busy_us) {
  memset(v->reg, 0, sizeof v->reg);
  v->reg[0] = 0x0800; /* SCI_MODE: SM_SDINEW after reset */
  v->fifo = 0;
  v->ready_at = v->avr->cycle + (avr_cycle_count_t)(busy_us * v->avr->frequency / 1e6);
}

/* A byte the SPI master sent; the answer goes back into SPDR. */
static void spi_out(struct avr_irq_t* irq, uint32_t value, void* param) {
  (void)irq;
  struct vs1003* v = param;
  avr_t* avr = v->avr;
  uint8_t b = (uint8_t)value, reply = 0xFF;
  int xcs = model_pin_out(avr, &v->pin[P_XCS]), xdcs = model_pin_out(avr, &v->pin[P_XDCS]);
  if (!model_pin_out(avr, &v->pin[P_XRST])) return;
  if (!xcs && !xdcs) fault(v, "XCS and XDCS low together");
  if (!xcs) {
    if (v->sci_index == 0 && !dreq(v) && v->fifo < FIFO_SIZE - 32) fault(v, "SCI access while DREQ is low");
    if (v->sci_index < 4) v->sci[v->sci_index] = b;
    check_sck(v, v->sci_index > 0 && v->sci[0] == 0x03);
    int addr = v->sci[1] & 0x0F;
    if (v->sci_index == 2 && v->sci[0] == 0x03) reply = (uint8_t)(v->reg[addr] >> 8);
    if (v->sci_index == 3 && v->sci[0] == 0x03) {
      reply = (uint8_t)v->reg[addr];
      v->sci_reads++;
    }
    if (v->sci_index == 3 && v->sci[0] == 0x02) {
      v->reg[addr] = (uint16_t)(v->sci[2] << 8 | b);
      v->sci_writes++;
      if (addr == 0 && (v->reg[0] & 0x0004)) {
        uint16_t mode = v->reg[0];
        chip_reset(v, 50.0); /* SM_RESET: a software reset, DREQ low meanwhile */
        v->resets++;
        v->reg[0] = (uint16_t)(mode & ~0x0004);
      }
    }
    v->sci_index++;
  } else if (!xdcs) {
    if (FIFO_SIZE - v->fifo < 1) fault(v, "SDI byte with the FIFO full (DREQ ignored)");
    check_sck(v, 0);
    if (!dreq(v)) v->dreq_waits++;
    v->fifo += 1;
    v->sdi_bytes++;
    if (v->sdi) fputc(b, v->sdi);
  }
  avr_raise_irq(v->spi_in, reply);
}

struct vs1003* vs1003_attach(avr_t* avr, const char* wiring) {
  struct vs1003* v = calloc(1, sizeof *v);
  if (!v) return NULL;
  v->avr = avr;
  char text[3] = {0};
  const char* at = wiring;
  for (int i = 0; i < P_COUNT; i++) {
    if (!at[0] || !at[1] || at[2] != ':') goto bad;
    text[0] = at[0];
    text[1] = at[1];
    if (model_pin_find(avr, text, &v->pin[i]) != 0) goto bad;
    at += 3;
  }
  /* The SPI goes by the name its core gives it. */
  char spi = '0';
  for (avr_io_t* io = avr->io_port; io; io = io->next)
    if (io->kind && !strcmp(io->kind, "spi")) spi = ((avr_spi_t*)io)->name, v->spi = (avr_spi_t*)io;
  v->spi_in = avr_io_getirq(avr, AVR_IOCTL_SPI_GETIRQ(spi), SPI_IRQ_INPUT);
  avr_irq_t* out = avr_io_getirq(avr, AVR_IOCTL_SPI_GETIRQ(spi), SPI_IRQ_OUTPUT);
  if (!v->spi || !v->spi_in || !out || !(v->sdi = fopen(at, "wb"))) goto bad;
  avr_irq_register_notify(out, spi_out, v);
  chip_reset(v, 0);
  v->was_xcs = v->was_xrst = 1;
  return v;
bad:
  free(v);
  return NULL;
}

void vs1003_step(struct vs1003* v) {
  avr_t* avr = v->avr;
  double seconds = (double)(avr->cycle - v->last) / avr->frequency;
  v->last = avr->cycle;
  v->fifo -= seconds * DRAIN_BYTES_PER_SECOND;
  if (v->fifo < 0) v->fifo = 0;
  int xrst = model_pin_out(avr, &v->pin[P_XRST]);
  if (!xrst) chip_reset(v, 100.0); /* held in reset; ready 100 us after XRST rises */
  if (xrst && !v->was_xrst) v->resets++;
  v->was_xrst = xrst;
  int xcs = model_pin_out(avr, &v->pin[P_XCS]);
  if (xcs && !v->was_xcs) v->sci_index = 0; /* XCS rising ends an access */
  if (!xcs && v->was_xcs) v->sci_index = 0;
  v->was_xcs = xcs;
  model_pin_drive(avr, &v->pin[P_DREQ], dreq(v));
}

void vs1003_report(struct vs1003* v, FILE* out) {
  fprintf(out,
          "vs1003 mode=0x%04X clockf=0x%04X vol=0x%04X sci_writes=%lu sci_reads=%lu sdi=%lu "
          "dreq_low_bytes=%lu faults=%lu\n",
          v->reg[0], v->reg[3], v->reg[11], v->sci_writes, v->sci_reads, v->sdi_bytes, v->dreq_waits,
          v->faults);
  fprintf(out, "vs1003 sck slack:");
  if (v->read_checks) fprintf(out, " sci_read=%.0fns", v->read_slack_ns);
  if (v->write_checks) fprintf(out, " sci_write_sdi=%.0fns", v->write_slack_ns);
  fprintf(out, "\n");
  if (v->faults) fprintf(stderr, "vs1003: first fault: %s\n", v->first_fault);
  if (v->sdi) fclose(v->sdi);
  v->sdi = NULL;
}

unsigned long vs1003_bytes(struct vs1003* v) {
  if (v->sdi) fflush(v->sdi);
  return v->sdi_bytes;
}
