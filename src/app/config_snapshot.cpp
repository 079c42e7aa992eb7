// SPDX-License-Identifier: GPL-3.0-or-later
// ProjectConfig as read off the controls.
#include "app/uart_pages.h"
#include "app/editor_model.h"

namespace tamberlo {
namespace {

Choice choice(const EditorModel& m, std::string_view name) {
  const Control& c = m.ctl(name);
  return Choice{c.itemIndex, c.text};
}

template <size_t N>
void readSlots(const EditorModel& m, std::array<PinSlot, N>& pins, const char* const (&radios)[N],
               const char* const (&edits)[N]) {
  for (size_t i = 0; i < N; ++i) {
    const Control& r = m.ctl(radios[i]);
    pins[i].Check = r.checked;
    pins[i].caption = r.caption;
    pins[i].enabled = r.enabled;
    pins[i].Text = m.text(edits[i]);
  }
}

template <typename Uart>
void readUartCommon(const EditorModel& m, Uart& u, const UartPage& p) {
  u.Rs485_use = m.checked(p.rs485);
  u.Rs485_port = choice(m, p.rsPort);
  u.Rs485_portno = m.value(p.rsPin);
  u.Parity = choice(m, p.parity);
  u.Byte_len = choice(m, p.byteLen);
  u.U2x = m.checked(p.u2x);
  u.Stop2 = m.checked(p.stop2);
  u.Rx_en = m.checked(p.rxEn);
  u.Tx_en = m.checked(p.txEn);
  u.Multi = m.checked(p.multi);
  u.Synchro = m.checked(p.sync);
  u.Rising = m.checked(p.edge);
  u.Rx_int = m.checked(p.rxInt);
  u.Tx_int = m.checked(p.txInt);
  u.Data_int = m.checked(p.udreInt);
}

}  // namespace

ProjectConfig EditorModel::config() const {
  const EditorModel& m = *this;
  ProjectConfig c;
  c.MCU.mcutype = choice(m, "ComboBox3");
  c.MCU.Fosc = choice(m, "ComboBox2");
  c.Compiler = choice(m, "ComboBox33");
  c.Compiler_path = compilerPath_;

  const UartPage& u0 = uartPages()[0];
  c.UART0.Uart0_use = m.checked(u0.use);
  c.UART0.Uart0_baud = choice(m, u0.baud);
  c.UART0.Ubrr0 = m.text(u0.ubrr);
  readUartCommon(m, c.UART0, u0);
  const UartPage& u1 = uartPages()[1];
  c.UART1.Uart1_use = m.checked(u1.use);
  c.UART1.Uart1_baud = choice(m, u1.baud);
  c.UART1.Ubrr1 = m.text(u1.ubrr);
  readUartCommon(m, c.UART1, u1);

  c.SPI.Spi_use = m.checked("SPICheck");
  c.SPI.Spi_en = m.checked("CheckBox39");
  c.SPI.Spi_master = m.checked("CheckBox40");
  c.SPI.Spi_lsb = m.checked("CheckBox41");
  c.SPI.Spi_phase = m.checked("CheckBox42");
  c.SPI.Spi_idle = m.checked("CheckBox43");
  c.SPI.Spi_clock = choice(m, "ComboBox13");
  c.SPI.Spi_double = m.checked("CheckBox44");
  c.SPI.Spi_int = m.checked("CheckBox45");
  c.SPI.Spi_ds1302 = m.checked("DS1302Check");
  c.SPI.Spi_sd = m.checked("SDCheck");

  c.TWI.Twi_use = m.checked("TWICheck");
  c.TWI.Twi_en = m.checked("CheckBox47");
  c.TWI.Twi_ans = m.checked("CheckBox48");
  c.TWI.Twi_sla_addr = m.text("LabeledEdit3");
  c.TWI.Twi_gc = m.checked("CheckBox49");
  c.TWI.Twi_bit_rate = m.text("LabeledEdit4");
  c.TWI.Twi_pre = choice(m, "ComboBox14");
  c.TWI.Twi_int = m.checked("CheckBox50");
  c.TWI.Twi_at24 = m.checked("At24CxxCheck");
  c.TWI.Twi_sd2k = m.checked("SD2000Check");
  c.TWI.Twi_ds1307 = m.checked("DS1307Check");
  c.TWI.Twi_zlg7290 = m.checked("Zlg7290Check");
  c.TWI.Twi_tea5767 = m.checked("TEA5767Check");

  c.LCD.Lcd_use = m.checked("LCDCheck");
  c.LCD.Lcd_type = choice(m, "ComboBox16");
  c.LCD.Lcd_io = choice(m, "ComboBox15");
  c.LCD.Data_io = choice(m, "ComboBox18");
  c.LCD.Contr_io = choice(m, "ComboBox19");
  static const char* const lcdRadios[8] = {"RadioButton1", "RadioButton2", "RadioButton3",
                                           "RadioButton7", "RadioButton9", "RadioButton4",
                                           "RadioButton5", "RadioButton6"};
  static const char* const lcdEdits[8] = {"Edit1", "Edit2", "Edit3", "Edit7",
                                          "Edit9", "Edit4", "Edit5", "Edit6"};
  readSlots(m, c.LCD.pins, lcdRadios, lcdEdits);
  c.LCD.Gui_use = m.checked("GUICheck");

  c.GUI.Line_use = m.checked("LineCheck");
  c.GUI.Circle_use = m.checked("CircleCheck");
  c.GUI.Ellipse_use = m.checked("EllipseCheck");
  c.GUI.Fill_use = m.checked("FillCheck");
  c.GUI.DOWNP = m.text("DOWNPEdit");
  c.GUI.UPP = m.text("UPPEdit");
  c.GUI.Arc_use = m.checked("ArcCheck");
  c.GUI.Pieslice_use = m.checked("PiesliceCheck");
  c.GUI.Window_use = m.checked("WindowCheck");
  c.GUI.Icon_use = m.checked("IconCheck");
  c.GUI.Menu_use = m.checked("MenuCheck");
  c.GUI.Show_use = m.checked("ShowCheck");
  c.GUI.Font5x7_use = m.checked("Font5x7Check");
  c.GUI.Font8x8_use = m.checked("Font8x8Check");
  c.GUI.Font24x32_use = m.checked("Font24x32Check");
  c.GUI.Chinese_use = m.checked("ChineseCheck");
  c.GUI.Test1_use = m.checked("Test1Check");
  c.GUI.Test2_use = m.checked("Test2Check");
  c.GUI.Test3_use = m.checked("Test3Check");
  c.GUI.Test4_use = m.checked("Test4Check");

  c.USB.Usb_use = m.checked("USBCheck");
  c.USB.Usb_chip = choice(m, "ComboBox21");
  c.USB.Usb_io = choice(m, "ComboBox22");
  c.USB.Data_io = choice(m, "ComboBox23");
  c.USB.Contr_io = choice(m, "ComboBox24");
  static const char* const usbRadios[6] = {"RadioButton8",  "RadioButton10", "RadioButton11",
                                           "RadioButton12", "RadioButton13", "RadioButton14"};
  static const char* const usbEdits[6] = {"Edit8", "Edit10", "Edit11", "Edit12", "Edit13", "Edit14"};
  readSlots(m, c.USB.pins, usbRadios, usbEdits);

  c.OtherAPP.OneWire_use = m.checked("OneWireCheck");
  c.OtherAPP.Ds18b20_use = m.checked("DS18B20Check");
  c.OtherAPP.Ds18b20_port = choice(m, "ComboBox17");
  c.OtherAPP.Ds18b20_portno = m.value("SpinEdit1");
  c.OtherAPP.MP3_use = m.checked("MP3Check");
  c.OtherAPP.MP3_chip = choice(m, "ComboBox29");
  c.OtherAPP.MP3_cont = choice(m, "ComboBox30");
  static const char* const mp3Radios[4] = {"RadioButton15", "RadioButton16", "RadioButton25",
                                           "RadioButton26"};
  static const char* const mp3Edits[4] = {"Edit15", "Edit16", "Edit25", "Edit26"};
  readSlots(m, c.OtherAPP.pins, mp3Radios, mp3Edits);

  c.Adc_use = m.checked("ADCCheck");
  c.Adc_en = m.checked("CheckBox30");
  c.Adc_free = m.checked("CheckBox31");
  c.Adc_start = m.checked("CheckBox32");
  c.Adc_auto = m.checked("CheckBox34");
  c.Adc_ref = choice(m, "ComboBox10");
  c.Adc_left = m.checked("CheckBox35");
  c.Adc_trigger = choice(m, "ComboBox11");
  c.Adc_pre = choice(m, "ComboBox12");
  c.Adc_int = m.checked("CheckBox37");
  c.Adc_mux = choice(m, "ComboBox20");
  c.Acp_use = m.checked("ACPCheck");
  c.Acp_disable = m.checked("CheckBox24");
  c.Acp_icp = m.checked("CheckBox25");
  c.Acp_mux = m.checked("CheckBox26");
  c.Acp_bg = m.checked("CheckBox27");
  c.Acp_int = m.checked("CheckBox28");
  c.Acp_mode = choice(m, "ComboBox9");
  return c;
}

}  // namespace tamberlo
