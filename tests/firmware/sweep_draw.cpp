// SPDX-License-Identifier: GPL-3.0-or-later
// sweep_draw SCRATCH SEED FIRST COUNT
// Draws configurations from the settings space of the window for the
// configuration sweep (SCRATCH is a folder for the editor's act.ini): for every settings key, in the order
// the loader applies them, a value the control offers at that moment (a tick, an item of the combo box as the
// chip filled it, a spin value in range, a number for the TWI boxes, a pin of the chip for a pin box, the
// typed MP3 chip "STA013"), plus the ADC and comparator boxes. Each
// line is one configuration, tab-separated: its number, the chip, "lacks=" and the pins the chip lacks
// that the project wires (comma-separated, often none), "shared=" and the pins two of its signals
// share, then tamberlo-gen's options. Configuration
// N depends only on SEED and N, so any one can be drawn again alone.
#include "assembly/editor.h"
#include "app/device_catalogue.h"
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/editor_model.h"
#include "platform/fs.h"
#include "settings/act_file.h"

using namespace tamberlo;

namespace {

// Keys that hold no choice of the user: the version, and the divisor boxes
// that generation overwrites.
bool derived(const ActRow& row) {
  return row.control.empty() || row.control == "LabeledEdit1" || row.control == "LabeledEdit2";
}

const char* const kChips[] = {"atmega8",  "atmega8515", "atmega8535", "atmega16",
                              "atmega32", "atmega64",   "atmega128"};

class Drawer {
 public:
  explicit Drawer(uint64_t seed) : rng_(static_cast<std::mt19937_64::result_type>(seed)) {}

  // 0 .. n-1; n is small, so the modulo's bias does not matter here.
  int below(int n) { return n <= 0 ? 0 : static_cast<int>(rng_() % static_cast<uint64_t>(n)); }
  bool coin() { return below(2) == 1; }

 private:
  std::mt19937_64 rng_;
};

std::vector<std::string> drawOne(EditorModel& m, uint64_t seed, uint64_t index, std::string& chip) {
  Drawer d(seed * 0x9E3779B97F4A7C15ULL + index);
  // Every other configuration takes the whole pin list; the draws stay as
  // they were, so the others are the configurations they always were.
  const bool wholeList = index % 2 == 1;
  std::vector<std::string> args;
  for (const ActRow& row : actRows()) {
    if (derived(row)) continue;
    const Control& c = m.ctl(row.control);
    std::string value;
    switch (row.kind) {
      case ActValue::Bool: value = d.coin() ? "1" : "0"; break;
      case ActValue::Index: value = std::to_string(d.below(static_cast<int>(c.items.size()))); break;
      case ActValue::Value: value = std::to_string(c.minValue + d.below(c.maxValue - c.minValue + 1)); break;
      case ActValue::Text:
        // The TWI boxes take numbers (bit rate factor, slave address); the
        // other texts are the pin boxes of the pin editors.
        if (row.control == "LabeledEdit4") {
          value = std::to_string(d.below(256));
        } else if (row.control == "LabeledEdit3") {
          value = std::to_string(d.below(128));
        } else if (row.section == "LCD" || row.section == "USB" || row.section == "Other APP") {
          // A signal on a pin of the chip's whole pin list: every pin of the
          // ports its port boxes offer or it has, so also pins it lacks (PC7
          // of the ATMega8, PE3..PE7 of the ATMega8515, PG5..PG7 of the
          // ATMega64/128) in the configurations that take the whole list,
          // and only its real pins in the others. Sharing a pin is the
          // user's choice.
          std::string mcu = m.currentMcu();
          std::string letters;
          for (char l = 'A'; l <= 'G'; ++l) {
            bool offered = false;
            for (const auto& p : portNamesFor(mcu)) offered = offered || p.back() == l;
            if (wholeList ? offered || portPinCount(mcu, l) > 0 : portPinCount(mcu, l) > 0) letters += l;
          }
          char letter = letters[static_cast<size_t>(d.below(static_cast<int>(letters.size())))];
          value = std::string("P") + letter + std::to_string(d.below(wholeList ? 8 : portPinCount(mcu, letter)));
        } else {
          continue;
        }
        break;
    }
    applyActValue(m, row, value);
    if (row.section == "MCU" && row.key == "mcutype") chip = kChips[m.itemIndex("ComboBox3")];
    args.push_back("--set");
    args.push_back(std::string(row.section) + "." + std::string(row.key) + "=" + value);
    // The MP3 list offers the VS1003 alone; the STA013 is typed in.
    if (row.section == "Other APP" && row.key == "MP3_chip" && d.coin()) {
      m.userType("ComboBox29", "STA013");
      args.push_back("--type");
      args.push_back("ComboBox29=STA013");
    }
  }
  if (d.coin()) args.push_back("--adc");
  if (d.coin()) args.push_back("--acp");
  return args;
}

// The pins of the finished configuration that the chip lacks, on signals
// the project wires: an enabled slot of a module in use.
std::string lackedPins(const EditorModel& m) {
  const ProjectConfig c = m.config();
  std::string out;
  auto slots = [&](bool used, const auto& pins) {
    if (!used) return;
    for (const PinSlot& s : pins) {
      if (s.enabled && s.Text.size() == 3 && !deviceHasPin(c.mcuName(), s.Text[1], s.Text[2] - '0'))
        out += (out.empty() ? "" : ",") + s.Text;
    }
  };
  slots(c.LCD.Lcd_use && isLcdModel(c.LCD.Lcd_type.text), c.LCD.pins);
  slots(c.USB.Usb_use && c.USB.Usb_chip.text == "CH375", c.USB.pins);
  slots(c.OtherAPP.MP3_use && c.OtherAPP.MP3_chip.text == "VS1003", c.OtherAPP.pins);
  return out;
}

// The pins of the finished configuration that two of its chosen signals
// share (pin editor slots, the 1-Wire pin, the RS485 direction pins), on pins
// the chip has: each must be named in a warning. Counted here from the
// settings alone, not from the generator's own owner list.
std::string sharedPins(const EditorModel& m) {
  const ProjectConfig c = m.config();
  std::vector<std::string> taken;
  auto slots = [&](bool used, const auto& pins) {
    if (!used) return;
    for (const PinSlot& s : pins) {
      if (s.enabled && s.Text.size() == 3) taken.push_back(s.Text);
    }
  };
  slots(c.LCD.Lcd_use && isLcdModel(c.LCD.Lcd_type.text), c.LCD.pins);
  slots(c.USB.Usb_use && c.USB.Usb_chip.text == "CH375", c.USB.pins);
  slots(c.OtherAPP.MP3_use && c.OtherAPP.MP3_chip.text == "VS1003", c.OtherAPP.pins);
  auto port = [&](const std::string& name, int bit) {
    if (name.size() == 5 && bit >= 0 && bit <= 7) taken.push_back(std::string("P") + name[4] + std::to_string(bit));
  };
  if (c.OtherAPP.OneWire_use && c.OtherAPP.Ds18b20_use) port(c.OtherAPP.Ds18b20_port.text, c.OtherAPP.Ds18b20_portno);
  if (c.UART0.Uart0_use && c.UART0.Rs485_use) port(c.UART0.Rs485_port.text, c.UART0.Rs485_portno);
  if (c.UART1.Uart1_use && c.UART1.Rs485_use && isTwoUartDevice(c.mcuName()))
    port(c.UART1.Rs485_port.text, c.UART1.Rs485_portno);
  std::string out;
  for (size_t i = 0; i < taken.size(); ++i) {
    const std::string& p = taken[i];
    bool again = false, before = false;
    for (size_t j = 0; j < taken.size(); ++j) {
      if (j != i && taken[j] == p) (j < i ? before : again) = true;
    }
    if (again && !before && deviceHasPin(c.mcuName(), p[1], p[2] - '0')) out += (out.empty() ? "" : ",") + p;
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::cerr << "usage: sweep_draw SCRATCH SEED FIRST COUNT\n";
    return 2;
  }
  try {
    const std::string scratch = withTrailingSeparator(argv[1]);
    const uint64_t seed = std::stoull(argv[2]);
    const uint64_t first = std::stoull(argv[3]);
    const uint64_t count = std::stoull(argv[4]);
    if (!folderExists(scratch) && !createFolder(scratch))
      throw std::runtime_error("cannot create " + scratch);
    for (uint64_t n = first; n < first + count; ++n) {
      // A fresh editor per configuration: one draw cannot leak into the next.
      Editor m;
      m.FormCreate(scratch);
      m.FormShow();
      std::string chip;
      std::vector<std::string> args = drawOne(m, seed, n, chip);
      std::cout << n << '\t' << chip << "\tlacks=" << lackedPins(m) << "\tshared=" << sharedPins(m);
      for (const auto& a : args) std::cout << '\t' << a;
      std::cout << '\n';
    }
    return 0;
  } catch (const std::exception& e) {
    std::cerr << "sweep_draw: " << e.what() << "\n";
    return 1;
  }
}
