// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Live register bytes and calculation inputs that follow the editor's
// choices. Generators print these bytes; they never translate options into
// bits themselves.

namespace tamberlo {

struct RegisterShadows {
  double FoscMHz = 7.3728;
  int Baud0 = 9600;
  int Baud1 = 9600;
  int U2xDiv0 = 2;  // 2 at normal speed, 1 at double speed
  int U2xDiv1 = 2;
  int UCSR0A = 0x00;
  int UCSR0B = 0x00;
  int UCSR0C = 0x86;  // register select (URSEL) + 8-bit characters
  int UCSR1A = 0x00;
  int UCSR1B = 0x00;
  int UCSR1C = 0x06;
  int UBRR0 = 0;
  int UBRR1 = 0;

  int SPCR = 0x00;
  int SPSR = 0x00;
  int SpiDivider = 4;
  int SpiSpeedFactor = 1;

  int TWBR = 1;
  int TWSR = 0x00;
  int TWAR = 0xFE;  // slave address 127, general call off
  int TWPS = 0;
};

}  // namespace tamberlo
