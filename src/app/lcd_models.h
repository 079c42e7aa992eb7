// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The sixteen LCD models of the LCD page, one record each: what the editor
// offers for it, what the generators write for it and how the virtual board
// shows it all read these records.
#include <array>
#include <string_view>
#include <vector>

namespace tamberlo {

// Models that share a controller share a driver and a demo.
enum class LcdFamily { None, Character, Sed1520, Ks0108, St7920, T6963, Sed1335, Pcd8544 };

// The interface texts of ComboBox15 and the pin group's captions.
inline constexpr std::string_view kLcdParallel = "并行接口";
inline constexpr std::string_view kLcdSerial = "串行接口";
inline constexpr std::string_view kLcd4Wire = "4 线并口";
inline constexpr std::string_view kLcd8Wire = "8 线并口";

using LcdCaptions = std::array<std::string_view, 8>;

struct LcdModel {
  std::string_view name = {};  // as ComboBox16 lists it: "LCD1602"
  LcdFamily family = LcdFamily::None;
  // Character modules: columns, rows and where row y starts in display RAM
  // (a C expression of y); 0 and "" for the graphic ones.
  int cols = 0, rows = 0;
  std::string_view rowAddr = {};
  // The editor: the interfaces offered, whether the interface box, the data
  // port box and "Use GUI" are usable, and the captions of the eight pin
  // slots (on the serial bus of the ST7920, `serialCaptions`).
  std::vector<std::string_view> interfaces = {};
  bool interfaceBox = false, dataPort = true, guiBox = false;
  LcdCaptions captions = {};
  LcdCaptions serialCaptions = {};
  // The virtual board: the display's description up to its signals, whether
  // the data port is part of it, and the model's signal on each pin slot
  // (parallel bus; `serialBoardSignals` on the serial one).
  std::string_view boardHead = {};
  bool boardDataPort = true;
  std::vector<std::string_view> boardSignals = {};
  std::vector<std::string_view> serialBoardSignals = {};
  // A second controller or a second pair of halves: the LCD4004's E2
  // (rows 3 and 4), the 240x64 KS0108's CS3 and CS4.
  bool extraSelects = false;
};

// Every model, in the order of ComboBox16.
const std::vector<LcdModel>& lcdModels();
// The record of the model `name`; nullptr for a text that names none.
const LcdModel* findLcdModel(std::string_view name);
// The family of `name`; None for a text that names no model.
LcdFamily lcdFamilyOf(std::string_view name);

}  // namespace tamberlo
