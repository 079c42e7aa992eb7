// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The virtual board without a window: what to build and run for a project,
// the compiler's messages as file/line entries, and the board's state as
// the simulator program (tamberlo-sim) streams it. The window starts the
// processes; everything it shows is decided here.
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "app/project_config.h"

namespace tamberlo::board {

// One compiler message with a place: "main.c:12:5: error: ...".
struct Diagnostic {
  std::string file;  // as the compiler wrote it, relative to the project
  int line = 0;
  int column = 0;        // 0 when not given
  std::string severity;  // "error", "warning" or "note"
  std::string message;

  bool operator==(const Diagnostic&) const = default;
};

// The messages of gcc and ld that name a file and line, in order.
std::vector<Diagnostic> parseDiagnostics(std::string_view output);

// What the simulator runs: the chip and crystal the Makefile builds for,
// and the project's LCD when the simulator has its model.
struct Launch {
  std::string chip;  // "atmega16"
  unsigned long hz = 0;
  std::string display;  // "hd44780:16x2:D=A,E=C0,RW=C1,RS=C2", "ks0108:D=A,E=C0,...", or empty
  std::string elf = "test.elf";
  // The board description the run wrote (kBoardFile), when there is one:
  // the simulator wires its chips from it.
  std::string boardFile;
  std::vector<int> uarts;         // the UARTs main.c uses, whose terminals open
  std::vector<int> commands;      // the single-byte commands main.c handles
  std::vector<std::string> chips;  // "ds18b20 A0", "at24", ...: the chips on the board
  std::string diskImage;           // the user's disk for the SD card and the CH375, or empty
};

// The description of the board a generation run writes beside the project,
// so the board runs the project as it was generated, not the settings the
// editor holds later. One item a line, ASCII:
//   mcu NAME / crystal MHZ      the settings it was generated with
//   uart N                      main.c uses UART N
//   commands HH HH ...          the command bytes main.c answers on a UART
//   display WIRING              the LCD, as tamberlo-sim -d takes it
//   ds18b20 PIN                 a DS18B20 on PIN ("A0")
//   at24 / ds1307 / sd2000 / zlg7290 / tea5767 / sta013   chips on the TWI
//   ds1302 / sd / vs1003 / ch375   chips the project drives from other pins
inline constexpr const char* kBoardFile = "gcc/board.txt";
std::vector<std::string> boardDescription(const ProjectConfig& cfg);
// Reads a description into `launch` (display, UARTs, commands, chips);
// lines it does not know are skipped, so the description may grow.
void applyBoardDescription(std::string_view text, Launch& launch);

// Chip and crystal from the project's Makefile ("MCU = ", "F_CPU = ") so
// the board runs what was built even when the user edited the Makefile;
// the LCD wiring from the configuration. Empty chip when the Makefile
// names none.
Launch launchFor(std::string_view makefile, const ProjectConfig& cfg);
// The LCD of the settings as tamberlo-sim -d takes it; empty when it has
// no model or a signal is unwired.
std::string displayFor(const ProjectConfig& cfg);

// The simulator's command line for a launch.
std::vector<std::string> simArguments(const Launch& launch);

// Where to look for tamberlo-sim, in order, for a program in exeDir (with a
// trailing separator): beside it (a build folder), then where an install
// puts it, PREFIX/libexec/tamberlo for a program in PREFIX/bin. The PATH
// comes after these.
inline constexpr const char* kSimInstallDir = "libexec/tamberlo";
std::vector<std::string> simCandidates(const std::string& exeDir);

// What to tell the user when tools are missing; empty when none is.
std::string missingToolsAdvice(bool haveAvrGcc, bool haveMake);

// The character a seven-segment digit shows (segment a in bit 7 .. g in bit
// 1, dp in bit 0 ignored): '0'..'9', 'A'..'F', '-', ' ' for a dark digit,
// '?' for another pattern.
char sevenSegment(uint8_t segments);

// The board as the simulator reported it.
struct BoardState {
  struct Port {
    uint8_t ddr = 0, out = 0, pin = 0;
  };
  std::string chip, core;
  unsigned long hz = 0;
  std::map<int, std::string> uarts;  // UART number -> pseudo-terminal
  std::string run;                   // running, paused, sleeping, done, crashed
  uint32_t pc = 0;                   // where a crashed or finished chip stopped
  uint64_t cycles = 0;
  std::map<char, Port> ports;
  int lcdCols = 0, lcdRows = 0;
  std::vector<std::string> lcd;
  // A graphic LCD: its size and its dots, row by row, 1 lit.
  int gfxWidth = 0, gfxHeight = 0;
  std::vector<uint8_t> dots;
  int litDots() const;
  std::string error;
  // What the ELF's fuses select ("crystal 3.0-8.0 MHz, JTAG off"; "none"),
  // and why they would not run the program on a real chip, if they would not.
  std::string fuses, fuseWarning;
  // The chips the board description wired ("ds18b20 A0", "at24", ...) and
  // what they show.
  std::vector<std::string> chips;
  int ds18b20Raw = 0;           // 1/16 degree
  std::vector<uint8_t> eeprom;  // the AT24C32's first bytes
  std::string rtc;              // "2026-12-09 06:45:00"
  std::vector<uint8_t> digits;  // the ZLG7290's segments, a digit a byte
  unsigned long radioKhz = 0;   // the TEA5767's frequency
  std::string ds1302;           // the DS1302's time
  std::string disk, stream;     // the disk image served; where the VS1003's bytes go
  unsigned long streamBytes = 0;
  bool hasChip(std::string_view name) const;

  // Takes one line of the simulator's output; false for a line it does
  // not know (ignored).
  bool apply(std::string_view line);
  double seconds() const { return hz ? double(cycles) / double(hz) : 0.0; }
  bool crashed() const { return run == "crashed"; }
};

}  // namespace tamberlo::board
