// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The rows of the pin editors on the LCD, USB and MP3 pages: a signal
// selector and its pin box each, in slot order, which is the order of the
// Check/Text keys in .act files (the LCD's slot 6 sits on the last row of
// the page). The editors fill them; the pin owners name the box of a pin.
#include <array>

namespace tamberlo {

struct PinSlotControls {
  const char* selector;
  const char* pinBox;
};

inline constexpr std::array<PinSlotControls, 8> kLcdSlots = {{{"RadioButton1", "Edit1"},
                                                              {"RadioButton2", "Edit2"},
                                                              {"RadioButton3", "Edit3"},
                                                              {"RadioButton7", "Edit7"},
                                                              {"RadioButton9", "Edit9"},
                                                              {"RadioButton4", "Edit4"},
                                                              {"RadioButton5", "Edit5"},
                                                              {"RadioButton6", "Edit6"}}};
inline constexpr std::array<PinSlotControls, 6> kUsbSlots = {{{"RadioButton8", "Edit8"},
                                                              {"RadioButton10", "Edit10"},
                                                              {"RadioButton11", "Edit11"},
                                                              {"RadioButton12", "Edit12"},
                                                              {"RadioButton13", "Edit13"},
                                                              {"RadioButton14", "Edit14"}}};
inline constexpr std::array<PinSlotControls, 4> kMp3Slots = {{{"RadioButton15", "Edit15"},
                                                              {"RadioButton16", "Edit16"},
                                                              {"RadioButton25", "Edit25"},
                                                              {"RadioButton26", "Edit26"}}};

}  // namespace tamberlo
