// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Generators of the external chips on port pins: the DS18B20 on 1-Wire, the
// CH375 USB host and the MP3 decoders (VS1003 on SPI, STA013 on TWI).
#include <string>
#include <string_view>

#include "gen/generator.h"

namespace tamberlo {

// ds18b20.c from MemoDS18B20 and ds18b20.h with the chosen pin.
void MakeOneWireCode(GenContext& ctx);
// ch375.c, CH375HFB.H and CH375HFB.A from the library, ch375.h with the wiring.
void MakeUsbCode(GenContext& ctx);
// vs1003.c with vs1003.h, or sta013.c.
void MakeMp3Code(GenContext& ctx);

// The MemoDS18B20 template holder: body of ds18b20.c.
const std::string& MemoDS18B20();

namespace chips {

// A pin text of the pin editors ("PC5"): its port letter and bit.
struct Pin {
  char port;
  int bit;
};

// The pin of `text`, or nothing when it is not "P" + port letter + digit.
bool parsePin(std::string_view text, Pin& pin);
// True when the device has that pin; a typed MCU name is given the benefit.
bool deviceHasPin(std::string_view mcuName, Pin pin);

// Warns about signals on pins that exist but are not free on a real board:
// the ATmega8's crystal and RESET pins, and (one notice) the JTAG pins that
// work only once the fuses are written.
void warnPinUse(const GenContext& ctx);

}  // namespace chips
}  // namespace tamberlo
