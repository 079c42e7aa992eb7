// SPDX-License-Identifier: GPL-3.0-or-later
/* The CH375 model of ch375_model.h. */
#include "ch375_model.h"

#include <simavr/avr_ioport.h>
#include <stdlib.h>
#include <string.h>

#include "pin_models.h"

#define PIECE 64

enum { P_CS, P_A0, P_RD, P_WR, P_RST, P_INT, P_COUNT };

struct ch375 {
  avr_t* avr;
  struct model_pin data, pin[P_COUNT];
  FILE* disk;
  long disk_sectors;

  int was_wr, was_rd, in_reset;
  uint8_t cmd;
  int data_index; /* data bytes written since the command */
  uint8_t args[8];
  uint8_t answer[PIECE + 1];
  int answer_len, answer_pos;

  uint8_t status;           /* interrupt status waiting for GET_STATUS */
  avr_cycle_count_t int_at; /* when INT# falls; 0: nothing pending */
  int usb_host;
  unsigned long lba;
  int pieces_left;
  uint8_t sector[512];

  unsigned long resets, commands, connects, inits, sectors, pieces, faults;
  char first_fault[100];
};

static void fault(struct ch375* c, const char* what) {
  if (!c->faults++) snprintf(c->first_fault, sizeof c->first_fault, "%s (command 0x%02X)", what, c->cmd);
}

static void interrupt_after(struct ch375* c, uint8_t status, double microseconds) {
  c->status = status;
  c->int_at = c->avr->cycle + (avr_cycle_count_t)(microseconds * c->avr->frequency / 1e6) + 1;
}

static void answer(struct ch375* c, const uint8_t* bytes, int n) {
  memcpy(c->answer, bytes, (size_t)n);
  c->answer_len = n;
  c->answer_pos = 0;
}

static void answer1(struct ch375* c, uint8_t b) {
  answer(c, &b, 1);
}

struct ch375* ch375_attach(avr_t* avr, const char* wiring) {
  struct ch375* c = calloc(1, sizeof *c);
  if (!c) return NULL;
  c->avr = avr;
  char text[3] = {wiring[0], '0', 0};
  const char* at = wiring + 1;
  if (model_pin_find(avr, text, &c->data) != 0) goto bad;
  c->data.mask = 0xFF;
  for (int i = 0; i < P_COUNT; i++) {
    if (*at != ':' || !at[1] || !at[2]) goto bad;
    text[0] = at[1];
    text[1] = at[2];
    if (model_pin_find(avr, text, &c->pin[i]) != 0) goto bad;
    at += 3;
  }
  if (*at != ':' || !(c->disk = fopen(at + 1, "rb"))) goto bad;
  fseek(c->disk, 0, SEEK_END);
  c->disk_sectors = ftell(c->disk) / 512;
  c->was_wr = c->was_rd = 1;
  model_pin_drive(avr, &c->pin[P_INT], 1); /* INT# idles high */
  return c;
bad:
  free(c);
  return NULL;
}

static void start_piece(struct ch375* c) {
  if (c->pieces_left % (512 / PIECE) == 0) {
    /* the next sector of the transfer comes from the disk */
    memset(c->sector, 0, sizeof c->sector);
    if ((long)c->lba < c->disk_sectors) {
      fseek(c->disk, (long)c->lba * 512, SEEK_SET);
      if (fread(c->sector, 1, 512, c->disk) != 512) fault(c, "short disk image");
    } else {
      fault(c, "read past the disk");
    }
    c->lba++;
    c->sectors++;
  }
  interrupt_after(c, 0x1D, 50.0); /* USB_INT_DISK_READ: a piece is ready */
}

static void command(struct ch375* c, uint8_t cmd) {
  c->cmd = cmd;
  c->data_index = 0;
  c->answer_len = 0;
  c->commands++;
  switch (cmd) {
    case 0x01: answer1(c, 0x42); break; /* GET_IC_VER */
    case 0x05: c->usb_host = 0; break;  /* RESET_ALL */
    case 0x06:
    case 0x15:
    case 0x54: break; /* wait for their data */
    case 0x22:        /* GET_STATUS */
      answer1(c, c->status);
      c->status = 0;
      c->int_at = 0;
      model_pin_drive(c->avr, &c->pin[P_INT], 1);
      break;
    case 0x28: { /* RD_USB_DATA: length, then the piece */
      uint8_t piece[PIECE + 1];
      int n = c->pieces_left > 0 ? PIECE : 0;
      piece[0] = (uint8_t)n;
      if (n)
        memcpy(piece + 1,
               c->sector + ((512 / PIECE - c->pieces_left % (512 / PIECE)) % (512 / PIECE)) * PIECE, PIECE);
      answer(c, piece, n + 1);
      if (n) c->pieces++;
      break;
    }
    case 0x51: /* DISK_INIT */
      c->inits++;
      if (!c->usb_host) fault(c, "DISK_INIT before host mode");
      interrupt_after(c, 0x14, 2000.0);
      break;
    case 0x55: /* DISK_RD_GO */
      if (--c->pieces_left > 0)
        start_piece(c);
      else
        interrupt_after(c, 0x14, 20.0); /* USB_INT_SUCCESS: transfer done */
      break;
    default: break;
  }
}

static void data_in(struct ch375* c, uint8_t v) {
  int i = c->data_index++;
  switch (c->cmd) {
    case 0x06: answer1(c, (uint8_t)~v); break;
    case 0x15:
      c->usb_host = v == 6 || v == 7;
      answer1(c, 0x51); /* CMD_RET_SUCCESS */
      if (v == 6) {
        c->connects++;
        interrupt_after(c, 0x15, 100.0); /* USB_INT_CONNECT: the disk is there */
      }
      break;
    case 0x54:
      if (i < 5) c->args[i] = v;
      if (i == 4) {
        c->lba = c->args[0] | (unsigned long)c->args[1] << 8 | (unsigned long)c->args[2] << 16 |
                 (unsigned long)c->args[3] << 24;
        c->pieces_left = c->args[4] * (512 / PIECE);
        if (c->pieces_left)
          start_piece(c);
        else
          interrupt_after(c, 0x14, 20.0);
      }
      break;
    default: fault(c, "data for a command that takes none"); break;
  }
}

void ch375_step(struct ch375* c) {
  avr_t* avr = c->avr;
  if (model_pin_out(avr, &c->pin[P_RST])) { /* RST high: the chip is held in reset */
    if (!c->in_reset) c->resets++;
    c->in_reset = 1;
    c->usb_host = 0;
    c->int_at = 0;
    c->status = 0;
    c->answer_len = 0;
    model_pin_drive(avr, &c->pin[P_INT], 1);
    return;
  }
  c->in_reset = 0;
  if (c->int_at && avr->cycle >= c->int_at) {
    c->int_at = 0;
    model_pin_drive(avr, &c->pin[P_INT], 0);
  }
  int cs = model_pin_out(avr, &c->pin[P_CS]);
  int wr = model_pin_out(avr, &c->pin[P_WR]);
  int rd = model_pin_out(avr, &c->pin[P_RD]);
  if (!cs && !wr && !rd) fault(c, "RD# and WR# low together");
  if (!cs && wr && !c->was_wr) { /* WR# rising: latch the data port */
    uint8_t v = avr->data[c->data.port];
    if (avr->data[c->data.ddr] != 0xFF) fault(c, "data port not an output while writing");
    if (model_pin_out(avr, &c->pin[P_A0]))
      command(c, v);
    else
      data_in(c, v);
  }
  if (!cs && !rd && c->was_rd) { /* RD# falling: the answer goes out */
    if (model_pin_out(avr, &c->pin[P_A0])) fault(c, "read with A0 high");
    uint8_t v = 0xFF;
    if (c->answer_pos < c->answer_len)
      v = c->answer[c->answer_pos++];
    else
      fault(c, "read with no answer waiting");
    avr->data[c->data.pin] = v;
  }
  c->was_wr = cs ? 1 : wr;
  c->was_rd = cs ? 1 : rd;
}

void ch375_report(struct ch375* c, FILE* out) {
  fprintf(out,
          "ch375 resets=%lu commands=%lu connects=%lu disk_inits=%lu sectors=%lu pieces=%lu faults=%lu\n",
          c->resets, c->commands, c->connects, c->inits, c->sectors, c->pieces, c->faults);
  if (c->faults) fprintf(stderr, "ch375: first fault: %s\n", c->first_fault);
}
