// SPDX-License-Identifier: GPL-3.0-or-later
// Every control of the window with its designed state: kind, page, caption,
// items, enabled state and the handler a user edit runs. FormShow then puts
// the start values in place.
#include "app/uart_pages.h"
#include "app/device_catalogue.h"
#include "app/editor_model.h"

namespace tamberlo {
namespace {

using Items = std::vector<std::string>;

const Items kBaud = {"110",   "300",   "600",   "1200",   "2400",  "4800",   "9600",  "14400",
                     "19200", "38400", "56000", "57600", "115200", "128000", "256000"};
const Items kParity = {"禁止", "保留", "偶校验", "奇校验"};
const Items kByteLen = {"5位", "6位", "7位", "8位"};
const Items kPorts4 = {"PORTA", "PORTB", "PORTC", "PORTD"};


Items adcMuxItems() {
  Items items;
  for (int i = 0; i < 8; ++i) items.push_back("ADC" + std::to_string(i) + "  1");
  for (const char* s : {"ADC0-ADC0  10", "ADC1-ADC0  10", "ADC0-ADC0  200", "ADC1-ADC0  200",
                        "ADC2-ADC2  10", "ADC3-ADC2  10", "ADC2-ADC2  200", "ADC3-ADC2  200"}) {
    items.emplace_back(s);
  }
  for (int i = 0; i < 8; ++i) items.push_back("ADC" + std::to_string(i) + "-ADC1  1");
  for (int i = 0; i < 6; ++i) items.push_back("ADC" + std::to_string(i) + "-ADC2  1");
  items.emplace_back("1.22V");
  items.emplace_back("GND");
  return items;
}

struct Builder {
  std::vector<Control>& out;
  std::string page;

  Control& add(ControlKind kind, std::string name, std::string caption = {}) {
    Control c;
    c.kind = kind;
    c.name = std::move(name);
    c.caption = std::move(caption);
    c.page = page;
    out.push_back(std::move(c));
    return out.back();
  }
  Control& check(std::string name, std::string caption, std::string handler = {},
                 bool enabled = true) {
    Control& c = add(ControlKind::CheckBox, std::move(name), std::move(caption));
    c.handler = std::move(handler);
    c.enabled = enabled;
    return c;
  }
  Control& combo(std::string name, Items items, std::string handler = {}, int index = 0) {
    Control& c = add(ControlKind::ComboBox, std::move(name));
    c.items = std::move(items);
    c.itemIndex = index;
    c.text = c.items.empty() ? std::string() : c.items[static_cast<size_t>(index)];
    c.handler = std::move(handler);
    return c;
  }
  Control& label(std::string name, std::string caption) {
    return add(ControlKind::Label, std::move(name), std::move(caption));
  }
  Control& edit(std::string name, std::string caption = {}, std::string text = {},
                std::string handler = {}) {
    Control& c = add(ControlKind::Edit, std::move(name), std::move(caption));
    c.text = std::move(text);
    c.handler = std::move(handler);
    return c;
  }
  Control& spin(std::string name) {
    Control& c = add(ControlKind::SpinEdit, std::move(name));
    c.minValue = 0;
    c.maxValue = 7;
    return c;
  }
  Control& radio(std::string name, std::string group, std::string caption) {
    Control& c = add(ControlKind::RadioButton, std::move(name), std::move(caption));
    c.group = std::move(group);
    return c;
  }
  Control& button(std::string name, std::string caption, std::string handler = {},
                  bool enabled = true) {
    Control& c = add(ControlKind::Button, std::move(name), std::move(caption));
    c.handler = std::move(handler);
    c.enabled = enabled;
    return c;
  }
  Control& page_(std::string name, std::string caption, bool visible) {
    Control& c = add(ControlKind::Page, std::move(name), std::move(caption));
    c.visible = visible;
    page = c.name;
    return c;
  }
};

// One UART page; `n` is 0 or 1 and the names are those of the window.
void addUartPage(Builder& b, const UartPage& n) {
  b.check(n.use, b.page == "TabSheetUART0" ? "UART" : "UART1");
  b.check(n.rs485, "RS485", std::string(n.rs485) + "Click");
  b.label(n.rsLabel, "RE/DE");
  b.combo(n.rsPort, kPorts4);
  b.spin(n.rsPin);
  b.combo(n.baud, kBaud, std::string(n.baud) + "Change", 6);
  b.edit(n.ubrr, "UBRR").readOnly = true;
  b.combo(n.parity, kParity, std::string(n.parity) + "Change");
  b.combo(n.byteLen, kByteLen, std::string(n.byteLen) + "Change", 3);
  b.check(n.u2x, "倍速U2X", std::string(n.u2x) + "Click");
  b.check(n.stop2, "2位停止位", std::string(n.stop2) + "Click");
  b.check(n.rxEn, "RX Enable", std::string(n.rxEn) + "Click");
  b.check(n.txEn, "TX Enable", std::string(n.txEn) + "Click");
  b.check(n.multi, "Multi-processor Mode", std::string(n.multi) + "Click");
  b.check(n.sync, "Synchronous Mode", std::string(n.sync) + "Click");
  b.check(n.edge, "Falling Edge", std::string(n.edge) + "Click", false);
  b.check(n.rxInt, "RX Interrupt", std::string(n.rxInt) + "Click", false);
  b.check(n.txInt, "TX Interrupt", std::string(n.txInt) + "Click", false);
  b.check(n.udreInt, "UDRE Interrupt", std::string(n.udreInt) + "Click", false);
  b.button(n.terminal, "调试软件", std::string(n.terminal) + "Click");
}

}  // namespace

void EditorModel::buildControls() {
  Builder b{controls_, "Form"};
  b.add(ControlKind::Form, "Form1", "Tamberlo");

  // Left: processor group, preview, notice and the four buttons.
  b.page = "Panel1";
  b.add(ControlKind::Panel, "Panel1").value = 425;
  b.add(ControlKind::GroupBox, "GroupBox1", "处理器信息");
  b.label("Label5", "System MCU");
  b.combo("ComboBox3", mcuNames(), "ComboBox3Change", 3);
  b.label("Label1", "晶振(MHz)");
  b.combo("ComboBox2", crystalItems(), "ComboBox2Change", 10);
  b.label("Label2", "编译器");
  b.combo("ComboBox33", {"ICC AVR", "GCC AVR"}, "ComboBox33Change").enabled = false;
  b.label("Label3", "选择路径");
  b.button("Button3", "....", "Button3Click");
  Control& memo = b.add(ControlKind::Memo, "Memo1");
  memo.readOnly = true;
  memo.value = 257;
  b.label("Label22", "");
  b.button("BitBtn5", "打开", "BitBtn5Click");
  b.button("BitBtn6", "保存", "BitBtn6Click");
  b.button("BitBtn1", "代码预览", "BitBtn1Click");
  b.button("BitBtn2", "生成工程", "BitBtn2Click", false);
  b.button("BitBtn3", "ICC编译", {}, false).visible = false;
  b.button("BitBtn4", "CMD", {}, false).visible = false;
  b.button("BitBtn7", "更新", {}, false).visible = false;

  b.page = "Form";
  Control& status = b.add(ControlKind::Panel, "Panel2", "欢迎您使用本软件！");
  status.color = "teal";
  Control& link = b.add(ControlKind::Label, "Label4", "Hollowmere");
  link.color = "blue";
  link.handler = "Label4Click";
  // Shows the register view beside the window; remembered in act.ini.
  b.check("RegisterViewCheck", "寄存器", "RegisterViewCheckClick").hint = "显示本页写入的寄存器值";
  b.add(ControlKind::PageControl, "PageControl1").value = 0;

  // Page 0 and 1: the UARTs.
  b.page_("TabSheetUART0", "UART0", true);
  addUartPage(b, uartPages()[0]);
  b.page_("TabSheetUART1", "UART1", false);
  addUartPage(b, uartPages()[1]);

  // Page 2: SPI.
  b.page_("TabSheetSPI", "SPI", true);
  b.check("SPICheck", "Use SPI");
  b.check("CheckBox39", "SPI Enable", "CheckBox39Click");
  b.check("CheckBox40", "Master", "CheckBox40Click");
  b.check("CheckBox41", "LSB First", "CheckBox41Click");
  b.check("CheckBox42", "SCK Phase High", "CheckBox42Click");
  b.check("CheckBox43", "SCK Idle High", "CheckBox43Click");
  b.label("Label6", "时钟分频");
  b.combo("ComboBox13", {"4", "16", "64", "128"}, "ComboBox13Change");
  b.check("CheckBox44", "Double Speed", "CheckBox44Click");
  b.check("CheckBox45", "SPI Interrupt", "CheckBox45Click", false);
  b.label("Label15", "Clock Rate: ");
  b.add(ControlKind::GroupBox, "GroupBox2", "应用");
  b.check("DS1302Check", "DS1302");
  b.check("SDCheck", "SD卡");
  b.check("Max7219Check", "Max7219", {}, false);
  b.check("MAX538Check", "MAX538", {}, false);
  b.check("SpareCheck1", "备用", {}, false);
  b.check("SpareCheck2", "备用", {}, false);

  // Page 3: TWI.
  b.page_("TabSheetTWI", "TWI", true);
  b.check("TWICheck", "Use TWI");
  b.check("CheckBox47", "TWI Enable", "CheckBox47Click");
  b.check("CheckBox48", "TWI Ack", "CheckBox48Click");
  b.edit("LabeledEdit3", "Slave Address", "127", "LabeledEdit3Change");
  b.check("CheckBox49", "General Call", "CheckBox49Click");
  b.edit("LabeledEdit4", "Bit Rate", "1", "LabeledEdit4Change");
  b.label("Label16", "Prescaler");
  b.combo("ComboBox14", {"1", "4", "16", "64"}, "ComboBox14Change");
  b.check("CheckBox50", "TWI Interrupt", "CheckBox50Click");
  b.label("Label17", "Rate: ");
  b.add(ControlKind::GroupBox, "GroupBox3", "应用");
  b.check("At24CxxCheck", "AT24Cxx");
  b.check("SD2000Check", "SD2000");
  b.check("DS1307Check", "DS1307");
  b.check("Zlg7290Check", "ZLG7290");
  b.check("TEA5767Check", "TEA5767");
  b.check("CheckBox10", "MAX6958", {}, false);

  // Page 4: ADC (hidden from start to exit).
  b.page_("TabSheetADC", "ADC", false);
  b.check("ADCCheck", "Use ADC");
  b.check("CheckBox30", "ADC Enable");
  b.check("CheckBox31", "Free Running");
  b.check("CheckBox32", "Start Conversion");
  b.check("CheckBox34", "Auto Trigger", {}, false);
  b.check("CheckBox35", "Left Adjust");
  b.label("Label11", "Reference");
  b.combo("ComboBox10", {"AREF", "AVCC", "*Reserved", "Internal"});
  b.label("Label12", "Trigger Source");
  b.combo("ComboBox11", {"Free running", "Comparator", "Ext Int0", "T0 Comp", "T0 Overflow",
                         "T1 CompB", "T1 Overflow", "T1 Capture"});
  b.label("Label13", "Prescaler");
  b.combo("ComboBox12", {"2", "2", "4", "8", "16", "32", "64", "128"}, "ComboBox12Change");
  b.label("Label21", "Channel (Gain)");
  b.combo("ComboBox20", adcMuxItems());
  b.check("CheckBox36", "High Speed");
  b.check("CheckBox37", "Conversion Interrupt");
  b.label("Label14", "Conversion Time: 3uS");

  // Page 5: analog comparator (hidden).
  b.page_("TabSheetACP", "ACP", false);
  b.check("ACPCheck", "Use ACP");
  b.check("CheckBox24", "Disable").checked = true;
  b.check("CheckBox25", "Input Capture");
  b.check("CheckBox26", "Multiplexer");
  b.check("CheckBox27", "Bandgap");
  b.label("Label10", "Interrupt Mode");
  b.combo("ComboBox9",
          {"Output toggle", "*Reserved", "Falling Output Edge", "Rising Output Edge"});
  b.check("CheckBox28", "Comparator Interrupt");

  // Pages 6..9: timers, never shown.
  for (int t = 0; t < 4; ++t) b.page_("TabSheetTIMER" + std::to_string(t), "TIMER" + std::to_string(t), false);

  // Page 10: LCD.
  b.page_("TabSheetLCD", "LCD", true);
  b.check("LCDCheck", "Use LCD");
  b.label("Label18", "型号");
  b.combo("ComboBox16", lcdModelNames(), "ComboBox16Change");
  b.add(ControlKind::GroupBox, "GroupBox11", "并行接口");
  b.combo("ComboBox15", {"4 线并口", "8 线并口", "串行接口"}, "ComboBox15Change").enabled = false;
  b.label("Label19", "Data");
  b.combo("ComboBox18", kPorts4);
  b.label("Label20", "Control");
  b.combo("ComboBox19", kPorts4, "ComboBox19Change");
  {
    const char* radios[] = {"RadioButton1", "RadioButton2", "RadioButton3", "RadioButton7",
                            "RadioButton9", "RadioButton4", "RadioButton5", "RadioButton6"};
    const char* edits[] = {"Edit1", "Edit2", "Edit3", "Edit7", "Edit9", "Edit4", "Edit5", "Edit6"};
    const char* captions[] = {"E", "WR", "R/S", "NC", "NC", "NC", "NC", "NC"};
    for (int i = 0; i < 8; ++i) {
      Control& r = b.radio(radios[i], "LCD", captions[i]);
      Control& e = b.edit(edits[i]);
      // Slots 4, 5, 7 and 8 accept typing; the others only take list picks.
      e.readOnly = !(i == 3 || i == 4 || i == 6 || i == 7);
      r.enabled = e.enabled = i < 3;
    }
  }
  b.add(ControlKind::ListBox, "ListBox1").handler = "ListBox1Click";
  b.check("GUICheck", "Use GUI", "GUICheckClick", false);

  // Page 11: GUI library options (visible while GUICheck is ticked).
  b.page_("TabSheetGUI", "GUI", false);
  b.check("LineCheck", "Line");
  b.check("CircleCheck", "Circle");
  b.check("EllipseCheck", "Ellipse");
  b.check("FillCheck", "Fill");
  b.edit("DOWNPEdit", "DOWNP", "20").enabled = false;
  b.edit("UPPEdit", "UPP", "20").enabled = false;
  b.check("ArcCheck", "Arc");
  b.check("PiesliceCheck", "Pieslice");
  b.check("WindowCheck", "Window");
  b.check("IconCheck", "Icon");
  b.check("MenuCheck", "Menu");
  b.check("ShowCheck", "Show");
  b.check("Font5x7Check", "Font 5x7");
  b.check("Font8x8Check", "Font 8x8");
  b.check("Font24x32Check", "Font 24x32");
  b.check("ChineseCheck", "Chinese");
  b.check("Test1Check", "Test1");
  b.check("Test2Check", "Test2");
  b.check("Test3Check", "Test3");
  b.check("Test4Check", "Test4", {}, false);

  // Page 12: USB.
  b.page_("TabSheetUSB", "USB", true);
  b.check("USBCheck", "Use USB");
  b.label("Label23", "芯片");
  b.combo("ComboBox21", {"CH375"}, "ComboBox21Change");
  b.add(ControlKind::GroupBox, "GroupBox16", "并行接口");
  b.combo("ComboBox22", {"并行接口", "串行接口"}).enabled = false;
  b.label("Label25", "Data");
  b.combo("ComboBox23", kPorts4);
  b.label("Label26", "Control");
  b.combo("ComboBox24", kPorts4, "ComboBox24Change");
  {
    const char* radios[] = {"RadioButton8", "RadioButton10", "RadioButton11",
                            "RadioButton12", "RadioButton13", "RadioButton14"};
    const char* edits[] = {"Edit8", "Edit10", "Edit11", "Edit12", "Edit13", "Edit14"};
    const char* captions[] = {"RST", "WR", "RD", "CS", "A0", "INT"};
    for (int i = 0; i < 6; ++i) {
      b.radio(radios[i], "USB", captions[i]);
      b.edit(edits[i]).readOnly = !(i == 3 || i == 4);
    }
  }
  b.add(ControlKind::ListBox, "ListBox2").handler = "ListBox2Click";

  // Page 13: Other APP (1-Wire and MP3).
  b.page_("TabSheetOther", "Other APP", true);
  b.check("OneWireCheck", "Use 1-Wire");
  b.check("DS18B20Check", "DS18B20");
  b.label("Label24", "端口");
  b.combo("ComboBox17", kPorts4);
  b.spin("SpinEdit1");
  b.check("SpareCheck3", "备用", {}, false);
  b.check("MP3Check", "Use MP3");
  b.label("Label29", "Chip");
  b.combo("ComboBox29", {"VS1003"}, "ComboBox29Change");
  b.label("Label30", "Control");
  b.combo("ComboBox30", kPorts4, "ComboBox30Change");
  {
    const char* radios[] = {"RadioButton15", "RadioButton16", "RadioButton25", "RadioButton26"};
    const char* edits[] = {"Edit15", "Edit16", "Edit25", "Edit26"};
    const char* captions[] = {"XRST", "DREQ", "XDCS", "XCS"};
    for (int i = 0; i < 4; ++i) {
      b.radio(radios[i], "MP3", captions[i]);
      b.edit(edits[i]).readOnly = i != 3;
    }
  }
  b.add(ControlKind::ListBox, "ListBox4").handler = "ListBox4Click";
  b.label("Label31", "说明：数据接口使用内部硬件SPI");
  b.label("Label32", " ");

  // Page 14: Internet (hidden; nothing reads it).
  b.page_("TabSheetInternet", "Internet", false);
  b.combo("ComboBox25", {"RTL8019", "CS8900"});
  b.combo("ComboBox26", {"并行接口", "串行接口"});
  b.combo("ComboBox27", kPorts4);
  b.combo("ComboBox28", kPorts4);

  // Tooltips of the register options: the register bit each one sets.
  struct Hint {
    const char* control;
    const char* hint;
  };
  static const Hint hints[] = {
      {"CheckBox45", "SPCR bit 7, SPIE"},          {"CheckBox39", "SPCR bit 6, SPE"},
      {"CheckBox41", "SPCR bit 5, DORD"},          {"CheckBox40", "SPCR bit 4, MSTR"},
      {"CheckBox43", "SPCR bit 3, CPOL"},          {"CheckBox42", "SPCR bit 2, CPHA"},
      {"ComboBox13", "SPCR bits 1..0, SPR1..SPR0"}, {"CheckBox44", "SPSR bit 0, SPI2X"},
      {"CheckBox47", "TWCR bit 2, TWEN"},          {"CheckBox48", "TWCR bit 6, TWEA"},
      {"CheckBox50", "TWCR bit 0, TWIE"},          {"CheckBox49", "TWAR bit 0, TWGCE"},
      {"LabeledEdit3", "TWAR bits 7..1, TWA6..TWA0"}, {"LabeledEdit4", "TWBR"},
      {"ComboBox14", "TWSR bits 1..0, TWPS1..TWPS0"},
      {"CheckBox30", "ADCSRA bit 7, ADEN"},        {"CheckBox32", "ADCSRA bit 6, ADSC"},
      {"CheckBox31", "ADCSRA bit 5, ADATE"},       {"CheckBox34", "ADCSRA bit 5, ADATE"},
      {"CheckBox37", "ADCSRA bit 3, ADIE"},        {"ComboBox12", "ADCSRA bits 2..0, ADPS2..ADPS0"},
      {"ComboBox10", "ADMUX bits 7..6, REFS1..REFS0"}, {"CheckBox35", "ADMUX bit 5, ADLAR"},
      {"ComboBox20", "ADMUX bits 4..0, MUX4..MUX0"}, {"ComboBox11", "SFIOR bits 7..5, ADTS2..ADTS0"},
      {"CheckBox24", "ACSR bit 7, ACD"},           {"CheckBox27", "ACSR bit 6, ACBG"},
      {"CheckBox28", "ACSR bit 3, ACIE"},          {"CheckBox25", "ACSR bit 2, ACIC"},
      {"ComboBox9", "ACSR bits 1..0, ACIS1..ACIS0"}, {"CheckBox26", "SFIOR bit 3, ACME"},
  };
  for (size_t i = 0; i < controls_.size(); ++i) index_.emplace(controls_[i].name, i);
  for (const Hint& h : hints) ctl(h.control).hint = h.hint;
  applyUartHints(*this, false);
  // Why a control is greyed, and what the demo options do.
  for (const char* placeholder :
       {"Max7219Check", "MAX538Check", "SpareCheck1", "SpareCheck2", "SpareCheck3", "CheckBox10", "Test4Check"})
    ctl(placeholder).hint = "暂不可用";
  ctl("BitBtn2").disabledHint = "先点代码预览生成当前页的代码";
  ctl("GUICheck").disabledHint = "所选 LCD 型号不能用 GUI 图形库（只有 KS0108、T6963、SED1335 能用）";
  ctl("ComboBox33").hint = "编译器不在这里选：每次生成工程都写出 ICC AVR 工程和 avr-gcc 的 Makefile";
  ctl("DOWNPEdit").hint = "填充函数的向下节点个数，固定为 20";
  ctl("UPPEdit").hint = "填充函数的向上节点个数，固定为 20";
  ctl("Test1Check").hint = "GUI 演示 1：图形绘制（矩形、直线、圆、椭圆等）";
  ctl("Test2Check").hint = "GUI 演示 2：窗口和消息框";
  ctl("Test3Check").hint = "GUI 演示 3：模拟量窗口（SED1335）";
  for (const char* edge : {"CheckBox4", "CheckBox20"}) ctl(edge).disabledHint = "只在同步模式下可用";
  ctl("ComboBox18").disabledHint = "串行接口不用数据端口";
  ctl("ComboBox15").disabledHint = "这个型号只有一种接口";
}

namespace {

// Tooltips of the UART options, the same on both pages; '$' stands for the
// UART's number in the register and bit names.
struct UartHint {
  const char* UartPage::*control;
  const char* hint;
};
const UartHint kUartHints[] = {
    {&UartPage::u2x, "UCSR$A bit 1, U2X$"},
    {&UartPage::multi, "UCSR$A bit 0, MPCM$"},
    {&UartPage::rxInt, "UCSR$B bit 7, RXCIE$"},
    {&UartPage::txInt, "UCSR$B bit 6, TXCIE$"},
    {&UartPage::udreInt, "UCSR$B bit 5, UDRIE$"},
    {&UartPage::rxEn, "UCSR$B bit 4, RXEN$"},
    {&UartPage::txEn, "UCSR$B bit 3, TXEN$"},
    {&UartPage::sync, "UCSR$C bit 6, UMSEL$"},
    {&UartPage::parity, "UCSR$C bits 5..4, UPM$1..UPM$0"},
    {&UartPage::stop2, "UCSR$C bit 3, USBS$"},
    {&UartPage::byteLen, "UCSR$C bits 2..1, UCSZ$1..UCSZ$0; UCSR$B bit 2, UCSZ$2"},
    {&UartPage::edge, "UCSR$C bit 0, UCPOL$"},
    {&UartPage::baud, "UBRR$H, UBRR$L"},
};

std::string numbered(const char* hint, const char* n) {
  std::string out;
  for (const char* c = hint; *c; ++c) {
    if (*c == '$') {
      out += n;
    } else {
      out += *c;
    }
  }
  return out;
}

}  // namespace

void applyUartHints(EditorModel& m, bool twoUarts) {
  for (const UartHint& h : kUartHints) {
    for (const UartPage& page : uartPages()) {
      // A single-UART chip names its registers without the number.
      const bool plain = !twoUarts && std::string_view(page.number) == "0";
      m.ctl(page.*h.control).hint = numbered(h.hint, plain ? "" : page.number);
    }
  }
}


const std::vector<std::string>& EditorModel::pageNames() {
  static const std::vector<std::string> names = {
      "TabSheetUART0", "TabSheetUART1",  "TabSheetSPI",    "TabSheetTWI",    "TabSheetADC",
      "TabSheetACP",   "TabSheetTIMER0", "TabSheetTIMER1", "TabSheetTIMER2", "TabSheetTIMER3",
      "TabSheetLCD",   "TabSheetGUI",    "TabSheetUSB",    "TabSheetOther",  "TabSheetInternet"};
  return names;
}

}  // namespace tamberlo
