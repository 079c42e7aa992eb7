// SPDX-License-Identifier: GPL-3.0-or-later
// The run's word on the pins: every pin two owners claim (the board's
// crystal and RESET pins among them), once each; a module on an ISP
// programming pin (a notice: it works); and the JTAG pins a new
// ATmega16/32/64/128 keeps until the fuses are written. A pin the chip lacks
// is warned by the generator that wires it.
#include <string>

#include "app/device_catalogue.h"
#include "app/pin_owners.h"
#include "gen/chips/chip_generators.h"

namespace tamberlo::chips {

void warnPinUse(const GenContext& ctx) {
  const std::string& mcu = ctx.cfg.mcuName();
  for (const PinConflict& k : pinConflicts(ctx.cfg)) {
    if (k.kind != ConflictKind::Missing) ctx.warn(k.message);
  }
  std::string list;
  std::string pins;
  for (const char* f : {"TCK", "TMS", "TDO", "TDI"}) {
    auto jtag = functionPin(mcu, f);
    if (!jtag) return;
    pins += pins.empty() ? pinName(*jtag) : "";
  }
  const PortPin first = *functionPin(mcu, "TCK");
  for (const PinOwner& o : pinOwners(ctx.cfg)) {
    if (o.board || o.port != first.port || !((o.mask >> first.bit) & 0xFu)) continue;
    list += (list.empty() ? "" : ", ") + o.module + " " + o.where();
  }
  if (list.empty()) return;
  pins += "-" + pinName({first.port, first.bit + 3});
  ctx.warn("JTAG: " + list + " use " + pins + ", which a new " + mcu +
           " keeps for JTAG; they work once the fuses are written (make fuses, or JTAGEN unprogrammed in "
           "your programmer)");
}

}  // namespace tamberlo::chips
