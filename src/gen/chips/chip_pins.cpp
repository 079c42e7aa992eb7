// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/device_catalogue.h"
#include "gen/chips/chip_generators.h"
#include "gen/chips/pin_text.h"
#include "platform/error.h"
#include "platform/text.h"

namespace tamberlo::chips {

bool parsePin(std::string_view text, Pin& pin) {
  const auto p = parsePortPin(text);
  if (p) pin = {p->port, p->bit};
  return p.has_value();
}

bool deviceHasPin(std::string_view mcuName, Pin pin) {
  return tamberlo::deviceHasPin(mcuName, pin.port, pin.bit);
}

}  // namespace tamberlo::chips

namespace tamberlo::chips {
namespace {

// A typed text for a message: control characters escaped, long texts cut.
std::string printable(std::string_view text) {
  std::string out;
  for (unsigned char c : text.substr(0, 20)) {
    if (c < 0x20 || c == 0x7F) {
      out += "\\x" + hexByte(c);
    } else {
      out += static_cast<char>(c);
    }
  }
  if (text.size() > 20) out += "...";
  return out;
}

}  // namespace

std::string padDefine(std::string_view name, std::string_view value, size_t column) {
  std::string out = "#define  " + std::string(name);
  out.append(out.size() < column ? column - out.size() : 1, ' ');
  return out + std::string(value);
}

std::string pinMacro(std::string_view name, std::string_view body, size_t bodyColumn, size_t commentColumn,
                     std::string_view note) {
  std::string out = padDefine(name, body, bodyColumn);
  out.append(out.size() < commentColumn ? commentColumn - out.size() : 1, ' ');
  return out + "//" + std::string(note);
}

Pin requirePin(std::string_view module, std::string_view signal, std::string_view text) {
  Pin pin{};
  if (parsePin(text, pin)) return pin;
  if (text.empty())
    throw Error(std::string(module) + ": the " + std::string(signal) +
                " signal has no pin; choose one in the pin list");
  throw Error(std::string(module) + ": the pin \"" + printable(text) + "\" of " + std::string(signal) +
              " is not a port pin such as \"PC5\"");
}

Pin requirePort(std::string_view module, std::string_view role, std::string_view portName) {
  if (const char port = parsePortName(portName)) return {port, 0};
  throw Error(std::string(module) + ": the " + std::string(role) + " port \"" + printable(portName) +
              "\" is not PORTA..PORTG");
}

void warnMissingPin(const GenContext& ctx, std::string_view module, std::string_view signal, Pin pin) {
  if (!deviceHasPin(ctx.cfg.mcuName(), pin))
    ctx.warn(std::string(module) + ": " + ctx.cfg.mcuName() + " has no pin P" + std::string(1, pin.port) +
             std::to_string(pin.bit) + " for " + std::string(signal) + " (the project will not build as wired)");
}

void warnMissingPort(const GenContext& ctx, std::string_view module, std::string_view role, char port) {
  int pins = 0;
  for (int bit = 0; bit < 8; ++bit) pins += deviceHasPin(ctx.cfg.mcuName(), {port, bit});
  if (pins == 8) return;
  // A port the chip lacks altogether has no registers to name.
  ctx.warn(std::string(module) + ": " + ctx.cfg.mcuName() + " has no " + (pins ? "full " : "") + "port " +
           std::string(1, port) + " for the " + std::string(role) + " bus" +
           (pins ? "" : " (the project will not build as wired)"));
}

}  // namespace tamberlo::chips
