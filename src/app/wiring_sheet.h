// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The chip drawn with every pin's owner (the chip view paints it, the wiring
// sheet writes it), and the printable wiring sheet: an A4 portrait page with
// the drawing, the table chip pin -> module and signal, the crystal and the
// fuse bytes, as SVG or as HTML.
#include <string>
#include <vector>

#include "app/pin_owners.h"
#include "app/project_config.h"

namespace tamberlo {

enum class PinState {
  Free,      // a port pin nobody uses
  Used,      // one owner (or owners sharing a bus)
  Conflict,  // two owners, or a signal on a pin the chip lacks
  Notice,    // used, on an ISP programming pin
  Fixed,     // a pin that is no port pin: VCC, GND, XTAL, RESET, AREF ...
};

struct DrawnPin {
  int number = 0;
  std::string label;      // "PB5", "VCC"
  std::string owner;      // "LCD E", "LCD E / LCD RW", "crystal" ...; empty when free
  std::string functions;  // "PB5 (MOSI)": the pin's alternate functions
  std::string tooltip;    // functions, owners and conflicts, one per line
  PinState state = PinState::Free;
  // Where the pin's end is, in millimetres of the drawing; `side` is 'L',
  // 'R', 'T' or 'B' (the owner text goes outward from there).
  double x = 0, y = 0;
  char side = 'L';
};

struct ChipDrawing {
  std::string mcu, package;
  double width = 0, height = 0;                  // the drawing's size
  double bodyX = 0, bodyY = 0, bodyW = 0, bodyH = 0;  // the package outline
  std::vector<DrawnPin> pins;
  std::vector<std::string> problems;  // the conflicts' sentences, conflicts first, then notices
};

// The drawing of the configuration's chip; Error for a chip name that
// matches no listed chip.
ChipDrawing drawChip(const ProjectConfig& cfg);

// The sheet as an SVG document, or an HTML page holding it.
std::string wiringSheetSvg(const ProjectConfig& cfg);
std::string wiringSheetHtml(const ProjectConfig& cfg);
// Writes the sheet to `path`: HTML for a name ending in .html or .htm, SVG
// for .svg (any case); Error for another ending or a chip that matches no
// listed chip. The file is replaced whole or not at all.
void writeWiringSheet(const ProjectConfig& cfg, const std::string& path);

}  // namespace tamberlo
