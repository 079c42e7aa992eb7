// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The two UART pages, one record each: the names of their controls, which
// the control table, the configuration, the register handlers and the
// register hints all read.
#include <array>

namespace tamberlo {

struct UartPage {
  const char* title;  // "UART0", for messages
  const char *use, *rs485, *rsLabel, *rsPort, *rsPin, *baud, *ubrr, *parity, *byteLen, *u2x, *stop2, *rxEn,
      *txEn, *multi, *sync, *edge, *rxInt, *txInt, *udreInt, *terminal;
  const char* number;  // "0" or "1": the register names' UART number on the two-UART chips
};

// UART0's page, then UART1's.
const std::array<UartPage, 2>& uartPages();

}  // namespace tamberlo
