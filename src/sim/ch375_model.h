// SPDX-License-Identifier: GPL-3.0-or-later
/*
 * A CH375 USB host with a flash disk attached, modelled from its datasheet
 * for the runner. The MCU drives its parallel bus with port pins: WR# rising
 * with CS# low latches the data port (A0 high: a command, low: data), RD#
 * low with CS# low puts the answer on the data port; INT# goes low when an
 * interrupt status waits and high again on GET_STATUS (0x22). Commands:
 * CHECK_EXIST (0x06), GET_IC_VER (0x01), SET_USB_MODE (0x15, mode 6 reports
 * the disk with USB_INT_CONNECT), DISK_INIT (0x51), DISK_READ (0x54, LBA
 * and count, then 64-byte pieces through RD_USB_DATA 0x28 and DISK_RD_GO
 * 0x55), GET_STATUS. The disk is a file of 512-byte sectors.
 */
#ifndef CH375_MODEL_H
#define CH375_MODEL_H

#include <simavr/sim_avr.h>
#include <stdio.h>

struct ch375;

/* `wiring` is "DATA:CS:A0:RD:WR:RST:INT:IMAGE", e.g. "A:C0:C1:C2:C3:C4:D2:disk.img". */
struct ch375* ch375_attach(avr_t* avr, const char* wiring);
void ch375_step(struct ch375* c);
void ch375_report(struct ch375* c, FILE* out);

#endif
