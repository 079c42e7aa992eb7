// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Generators of the bus and analog pages: the SPI and TWI drivers, the chips
// that sit on those buses, and the ADC and comparator skeletons.
#include "gen/generator.h"

namespace tamberlo {

// spi.c / spi.h; shows spi.c in the preview pane.
void MakeSpiCode(GenContext& ctx);
// ds1302 and sd modules: the library writes the sources, we write the headers.
void MakeSpiAppCode(GenContext& ctx);
// twi.c / twi.h; shows twi.c in the preview pane. twi.c waits with delay_nms.
void MakeTwiCode(GenContext& ctx);
// at24cxx, sd2000, ds1307, zlg7290 and tea5767 modules.
void MakeTwiAppCode(GenContext& ctx);
// adc.c / adc.h and acp.c / acp.h: initialisation skeletons.
void MakeAdcCode(GenContext& ctx);
void MakeAcpCode(GenContext& ctx);

}  // namespace tamberlo
