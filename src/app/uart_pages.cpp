// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/uart_pages.h"

namespace tamberlo {

const std::array<UartPage, 2>& uartPages() {
  // clang-format off
  static const std::array<UartPage, 2> pages = {{
      {"UART0", "UART0Check", "RS485Check0", "Label33", "ComboBox31", "SpinEdit2", "ComboBox1", "LabeledEdit1",
       "ComboBox5", "ComboBox4", "CheckBox1", "CheckBox2", "CheckBox5", "CheckBox7", "CheckBox6", "CheckBox21",
       "CheckBox4", "CheckBox9", "CheckBox11", "CheckBox8", "Button1", "0"},
      {"UART1", "UART1Check", "RS485Check1", "Label34", "ComboBox32", "SpinEdit3", "ComboBox6", "LabeledEdit2",
       "ComboBox8", "ComboBox7", "CheckBox13", "CheckBox12", "CheckBox14", "CheckBox16", "CheckBox15", "CheckBox22",
       "CheckBox20", "CheckBox18", "CheckBox19", "CheckBox17", "Button2", "1"},
  }};
  // clang-format on
  return pages;
}

}  // namespace tamberlo
