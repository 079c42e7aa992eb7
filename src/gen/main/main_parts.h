// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Pieces shared by the main.c writer: the conditions every block tests,
// computed once, and the display blocks that live in their own file.
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "app/lcd_models.h"
#include "app/project_config.h"
#include "gen/generator.h"
#include "platform/text_buffer.h"

namespace tamberlo::mainc {

using tamberlo::LcdFamily;

// The family of an LCD model text; None for a text that names no model.
LcdFamily lcdFamily(std::string_view model);

struct Facts {
  explicit Facts(const ProjectConfig& c) : cfg(c) {}
  const ProjectConfig& cfg;
  bool uartUsed = false;
  bool twoUart = false;
  // A UART prints when uart.c writes its senders: the UART's section is
  // generated and its transmitter is on (polled sending works beside the
  // transmit-complete interrupt). Its byte is read when its section is
  // generated and its receiver is on.
  bool uart0Prints = false;
  bool uart1Prints = false;
  bool uart0Reads = false;
  bool uart1Reads = false;
  // The messages go out on UART1 only when UART0 cannot print them.
  bool uart1Fallback = false;
  bool interrupts = false;
  bool vs1003 = false;
  bool ch375 = false;
  bool lcd = false;  // LCD ticked
  // Modules whose files this configuration generates: main.c names them
  // only then.
  bool ds1302 = false;
  bool ds1307 = false;
  bool sd2000 = false;
  bool ds18b20 = false;
  bool gui = false;
  LcdFamily family = LcdFamily::None;
  std::string model;    // the LCD model text
  std::string web;      // the maker's web address
  std::string webBang;  // web address + "!" as the character LCDs show it
};

Facts factsOf(const ProjectConfig& cfg);

// Appends `line` after `indent` blanks; comment lines ("//...") and empty
// lines go in as they are.
void addIndented(TextBuffer& b, int indent, std::string_view line);
void addIndented(TextBuffer& b, int indent, std::initializer_list<std::string_view> lines);

// The LCD start-up picture (after the serial start-up messages).
void addLcdStartupDemo(TextBuffer& b, const Facts& f);
// The per-pass display refresh at the end of the main loop.
void addLcdRefresh(TextBuffer& b, const Facts& f);

// Warns when main.c's texts and the drivers' static data leave the device
// too little RAM for the stack.
void warnRamUse(const GenContext& ctx, const std::vector<std::string>& mainLines);
// Warns when the drivers' code and main.c may not fit the device's flash
// (the GUI's own estimate covers projects with the graphics library).
void warnFlashUse(const GenContext& ctx, const std::vector<std::string>& mainLines);

}  // namespace tamberlo::mainc
