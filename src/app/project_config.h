// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Every choice of the configuration editor, grouped like the .act file.
// Fields stored in .act files are named after their section and key.
// The editor builds a ProjectConfig from its controls (EditorModel::config());
// generators and calculators take it by reference and never see a window.
#include <array>
#include <string>

namespace tamberlo {

// A drop-down field: the selected item's index (-1: none selected, e.g.
// typed text) and the text the box displays. Generators compare the text.
struct Choice {
  int index = 0;
  std::string text;
};

struct UartCommonConfig {
  bool Rs485_use = false;
  Choice Rs485_port{0, "PORTA"};
  int Rs485_portno = 0;
  Choice Parity{0, "禁止"};
  Choice Byte_len{3, "8位"};
  bool U2x = false;
  bool Stop2 = false;
  bool Rx_en = false;
  bool Tx_en = false;
  bool Multi = false;
  bool Synchro = false;
  bool Rising = false;
  bool Rx_int = false;
  bool Tx_int = false;
  bool Data_int = false;
};

struct Uart0Config : UartCommonConfig {
  bool Uart0_use = false;
  Choice Uart0_baud{6, "9600"};
  std::string Ubrr0;
};

struct Uart1Config : UartCommonConfig {
  bool Uart1_use = false;
  Choice Uart1_baud{6, "9600"};
  std::string Ubrr1;
};

// One pin assignment slot of the LCD, USB and MP3 editors.
struct PinSlot {
  bool Check = false;      // selector ticked
  std::string Text;        // pin text such as "PB3", or empty
  bool enabled = false;    // slot on (for the model in use)
  std::string caption;     // signal name shown on the selector
};

struct ProjectConfig {
  struct {
    std::string Ver = "V2.1.1";
    Choice mcutype{3, "ATMega16"};
    Choice Fosc{10, "7.3728"};
  } MCU;
  Choice Compiler{0, "ICC AVR"};
  std::string Compiler_path;

  Uart0Config UART0;
  Uart1Config UART1;

  struct {
    bool Spi_use = false, Spi_en = false, Spi_master = false, Spi_lsb = false;
    bool Spi_phase = false, Spi_idle = false;
    Choice Spi_clock{0, "4"};
    bool Spi_double = false, Spi_int = false, Spi_ds1302 = false, Spi_sd = false;
  } SPI;

  struct {
    bool Twi_use = false, Twi_en = false, Twi_ans = false;
    std::string Twi_sla_addr = "127";
    bool Twi_gc = false;
    std::string Twi_bit_rate = "1";
    Choice Twi_pre{0, "1"};
    bool Twi_int = false;
    bool Twi_at24 = false, Twi_sd2k = false, Twi_ds1307 = false, Twi_zlg7290 = false,
         Twi_tea5767 = false;
  } TWI;

  struct {
    bool Lcd_use = false;
    Choice Lcd_type{0, "LCD1601"};
    Choice Lcd_io{0, "4 线并口"};
    Choice Data_io{0, "PORTA"};
    Choice Contr_io{0, "PORTA"};
    std::array<PinSlot, 8> pins{};  // LCD.Check1..8 / LCD.Text1..8
    bool Gui_use = false;
  } LCD;

  struct {
    bool Line_use = false, Circle_use = false, Ellipse_use = false, Fill_use = false;
    std::string DOWNP = "20", UPP = "20";
    bool Arc_use = false, Pieslice_use = false, Window_use = false, Icon_use = false;
    bool Menu_use = false, Show_use = false, Font5x7_use = false, Font8x8_use = false;
    bool Font24x32_use = false, Chinese_use = false;
    bool Test1_use = false, Test2_use = false, Test3_use = false, Test4_use = false;
  } GUI;

  struct {
    bool Usb_use = false;
    Choice Usb_chip{0, "CH375"};
    Choice Usb_io{0, "并行接口"};
    Choice Data_io{0, "PORTA"};
    Choice Contr_io{0, "PORTA"};
    std::array<PinSlot, 6> pins{};  // USB.Check1..6 / USB.Text1..6
  } USB;

  struct {
    bool OneWire_use = false, Ds18b20_use = false;
    Choice Ds18b20_port{0, "PORTA"};
    int Ds18b20_portno = 0;
    bool MP3_use = false;
    Choice MP3_chip{0, "VS1003"};
    Choice MP3_cont{0, "PORTA"};
    std::array<PinSlot, 4> pins{};  // Other APP.Check1..4 / Text1..4
  } OtherAPP;

  // Not stored in .act files.
  bool Adc_use = false, Adc_en = false, Adc_free = false, Adc_start = false, Adc_auto = false;
  Choice Adc_ref{0, "AREF"};
  bool Adc_left = false;
  Choice Adc_trigger{0, "Free running"};
  Choice Adc_pre{0, "2"};
  bool Adc_int = false;
  Choice Adc_mux{0, "ADC0  1"};
  bool Acp_use = false, Acp_disable = true, Acp_icp = false, Acp_mux = false, Acp_bg = false,
       Acp_int = false;
  Choice Acp_mode{0, "Output toggle"};

  const std::string& mcuName() const { return MCU.mcutype.text; }
  const std::string& crystalText() const { return MCU.Fosc.text; }
};

}  // namespace tamberlo
