// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The seven target MCUs and the facts the editor and generators need about
// each. Lookups compare the MCU name text exactly (case-sensitive); a name
// that matches no device (typed text) has no device facts and counts as a
// single-UART device.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/pin_map.h"

namespace tamberlo {

struct DeviceInfo {
  int index;                 // item index in ComboBox3
  std::string_view name;     // "ATMega16"
  std::string_view include;  // "#include <iom16v.h>"
  int uarts;                 // 1 or 2
  bool hasTwi;               // ATMega8515 has none
  int iccDeviceCode;         // test.prj "ComboBox2"
  // Figures for the firmware checks: flash and RAM in bytes.
  int flashBytes, ramBytes;
  // The highest clock the datasheet rates the chip for, in MHz.
  int maxMHz;
  // Ports, pins and their functions: app/pin_map.h.
};

const std::vector<DeviceInfo>& allDevices();
const std::vector<std::string>& mcuNames();
std::optional<DeviceInfo> findDevice(std::string_view mcuName);

bool isTwoUartDevice(std::string_view mcuName);
// "" when the name matches no device.
std::string deviceInclude(std::string_view mcuName);

// How many pins port `letter` ('A'..'G') has on the device: 0 when it has
// no such port (the ATMega8 has no port A although its port boxes list it),
// 7 for the ATMega8's port C, 5 for port G of the ATMega64/128, 3 for port E
// of the ATMega8515. A name that matches no device has none.
int portPinCount(std::string_view mcuName, char letter);

// True when the device brings out pin `bit` of port `letter`; a name that
// matches no device has every pin (nothing is known against it).
bool deviceHasPin(std::string_view mcuName, char letter, int bit);

// Items of the ten port boxes for the device.
const std::vector<std::string>& portNamesFor(std::string_view mcuName);

// The sixteen LCD models of ComboBox16, in list order.
const std::vector<std::string>& lcdModelNames();
// True when the text names one of the sixteen LCD models exactly.
bool isLcdModel(std::string_view text);

// The crystal items of ComboBox2, in MHz.
const std::vector<std::string>& crystalItems();

}  // namespace tamberlo
