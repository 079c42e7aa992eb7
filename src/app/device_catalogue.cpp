// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/device_catalogue.h"

#include "app/lcd_models.h"

namespace tamberlo {

const std::vector<DeviceInfo>& allDevices() {
  static const std::vector<DeviceInfo> devices = {
      {0, "ATMega8", "#include <iom8v.h>", 1, true, 14, 8192, 1024, 16},
      {1, "ATMega8515", "#include <iom8515v.h>", 1, false, 15, 8192, 512, 16},
      {2, "ATMega8535", "#include <iom8535v.h>", 1, true, 16, 8192, 512, 16},
      {3, "ATMega16", "#include <iom16v.h>", 1, true, 17, 16384, 1024, 16},
      {4, "ATMega32", "#include <iom32v.h>", 1, true, 22, 32768, 2048, 16},
      {5, "ATMega64", "#include <iom64v.h>", 2, true, 24, 65536, 4096, 16},
      {6, "ATMega128", "#include <iom128v.h>", 2, true, 26, 131072, 4096, 16},
  };
  return devices;
}

const std::vector<std::string>& mcuNames() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> n;
    for (const auto& d : allDevices()) n.emplace_back(d.name);
    return n;
  }();
  return names;
}

std::optional<DeviceInfo> findDevice(std::string_view mcuName) {
  for (const auto& d : allDevices()) {
    if (d.name == mcuName) return d;
  }
  return std::nullopt;
}

bool isTwoUartDevice(std::string_view mcuName) {
  return mcuName == "ATMega64" || mcuName == "ATMega128";
}

std::string deviceInclude(std::string_view mcuName) {
  auto d = findDevice(mcuName);
  return d ? std::string(d->include) : std::string();
}

int portPinCount(std::string_view mcuName, char letter) {
  int count = 0;
  for (unsigned mask = portMask(mcuName, letter); mask; mask >>= 1) count += mask & 1;
  return count;
}

bool deviceHasPin(std::string_view mcuName, char letter, int bit) {
  if (!findDevice(mcuName)) return true;
  if (letter < 'A' || letter > 'G' || bit < 0 || bit > 7) return false;
  return (portMask(mcuName, letter) >> bit) & 1;
}

const std::vector<std::string>& portNamesFor(std::string_view mcuName) {
  static const std::vector<std::string> four = {"PORTA", "PORTB", "PORTC", "PORTD"};
  static const std::vector<std::string> seven = {"PORTA", "PORTB", "PORTC", "PORTD",
                                                 "PORTE", "PORTF", "PORTG"};
  return isTwoUartDevice(mcuName) ? seven : four;
}

const std::vector<std::string>& lcdModelNames() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> out;
    for (const LcdModel& m : lcdModels()) out.emplace_back(m.name);
    return out;
  }();
  return names;
}

bool isLcdModel(std::string_view text) { return findLcdModel(text) != nullptr; }

const std::vector<std::string>& crystalItems() {
  static const std::vector<std::string> items = {
      "1.0000", "1.8432", "2.0000",  "2.4576",  "3.2768",  "3.6864",  "4.0000",
      "4.6080", "4.9152", "6.0000",  "7.3728",  "8.0000",  "9.2160",  "10.0000",
      "11.0592", "12.0000", "14.0000", "14.7456", "16.0000"};
  return items;
}

}  // namespace tamberlo
