// SPDX-License-Identifier: GPL-3.0-or-later
// uart.c and uart.h: init, byte and string I/O and interrupt handlers for
// the chip's serial port or ports. Every register byte comes from the
// shadows; only the baud divisor is computed here.
#include "gen/uart/uart_code.h"

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "app/device_catalogue.h"
#include "gen/banners.h"
#include "platform/text_buffer.h"
#include "platform/error.h"
#include "platform/fill.h"
#include "platform/text.h"
#include "registers/ubrr_calc.h"

namespace tamberlo {
namespace {

// The values every block may use: $tab$ is a tab and $eol$ stands for
// nothing (it keeps trailing blanks visible).
FillValues blockConstants() { return {{"tab", "\t"}, {"eol", ""}}; }

// A filler for the blocks that share one set of values.
Filler blockFiller(FillValues values = {}) { return Filler("uart generator", std::move(values), blockConstants()); }

// One block of fixed lines with its holes filled. The newline right after
// R"( is not part of the block.
std::string fill(Filler& vars, std::string_view block) {
  if (!block.empty() && block.front() == '\n') block.remove_prefix(1);
  return vars.fill(block);
}

// A C function as uart.c holds it, banner first. The header repeats its
// banner title (the second line) and its head (the line before "{").
struct Prototype {
  std::string title;
  std::string head;
};

void addFunction(TextBuffer& c, std::vector<Prototype>& header, const std::string& text) {
  TextBuffer f;
  f.addText(text);
  const auto& lines = f.lines();
  size_t brace = 0;
  while (brace < lines.size() && lines[brace] != "{") ++brace;
  if (lines.size() < 3 || brace == 0 || brace == lines.size()) {
    throw Error("uart generator: a function block lacks its banner or body");
  }
  header.push_back({lines[1], lines[brace - 1]});
  for (const auto& l : lines) c.add(l);
}

// One UART's part of the driver, with its names and computed values.
struct Section {
  std::string name;  // "UART0", "UART1" or "UART" in messages
  std::string n;     // the digit in every generated name: "0", "1" or ""
  const UartCommonConfig* u = nullptr;
  int A = 0, B = 0, C = 0, baud = 0, speedFactor = 2;
  const char* ubrrBox = nullptr;  // "LabeledEdit1" / "LabeledEdit2"
  int RegisterShadows::*ubrrMember = nullptr;
  UbrrResult ubrr;
};

Section uart0(const GenContext& ctx, std::string name, std::string n) {
  const RegisterShadows& r = ctx.regs;
  Section s;
  s.name = std::move(name), s.n = std::move(n), s.u = &ctx.cfg.UART0;
  s.A = r.UCSR0A, s.B = r.UCSR0B, s.C = r.UCSR0C, s.baud = r.Baud0, s.speedFactor = r.U2xDiv0;
  s.ubrrBox = "LabeledEdit1", s.ubrrMember = &RegisterShadows::UBRR0;
  return s;
}

Section uart1(const GenContext& ctx) {
  const RegisterShadows& r = ctx.regs;
  Section s;
  s.name = "UART1", s.n = "1", s.u = &ctx.cfg.UART1;
  s.A = r.UCSR1A, s.B = r.UCSR1B, s.C = r.UCSR1C, s.baud = r.Baud1, s.speedFactor = r.U2xDiv1;
  s.ubrrBox = "LabeledEdit2", s.ubrrMember = &RegisterShadows::UBRR1;
  return s;
}

std::string hex2(int value) {
  return hexByte(value).substr(2);
}

void computeDivisor(const GenContext& ctx, Section& s) {
  s.ubrr = UbrrCalc(ctx.regs.FoscMHz, s.baud, s.speedFactor);
  if (s.ubrr.reachable) return;
  const std::string reach = s.name + ": " + std::to_string(s.baud) + " bit/s cannot be reached with a " +
                            forMessage(ctx.cfg.crystalText()) + " MHz crystal (";
  if (s.baud <= 0) throw Error(reach + "the baud rate must be above 0)");
  // A divisor below 0 means the crystal is too slow for the rate; one too
  // large for the register means it is too fast. Each needs the other remedy.
  if (!s.ubrr.text.empty() && s.ubrr.ubrr < 0) {
    throw Error(reach + "the baud divisor would be " + forMessage(trimBlanks(s.ubrr.text)) +
                "); choose a lower baud rate, tick double speed or choose a faster crystal");
  }
  throw Error(reach + "the baud divisor " + forMessage(trimBlanks(s.ubrr.text)) +
              " is out of range); choose a higher baud rate, untick double speed or choose a slower crystal");
}

// "PORTD" gives D.
std::string portLetter(const std::string& uartName, const UartCommonConfig& u) {
  const std::string& port = u.Rs485_port.text;
  if (port.size() < 5 || static_cast<unsigned char>(port[4]) >= 0x80) {
    throw Error(uartName + ": the RS485 direction pin port " + quoted(port) + " names no port (PORTA ... PORTG)");
  }
  return std::string(1, port[4]);
}

// ---- uart.c -----------------------------------------------------------------

void addInit(TextBuffer& c, std::vector<Prototype>& h, const Section& s) {
  const UartCommonConfig& u = *s.u;
  Filler v = blockFiller({{"n", s.n},
                  {"byteLen", u.Byte_len.text},
                  {"parity", u.Parity.text},
                  {"ucsra", hex2(s.A)},
                  {"ucsrb", hex2(s.B)},
                  {"ucsrc", hex2(s.C)},
                  {"ubrrl", hex2(s.ubrr.low)},
                  {"ubrrh", hex2(s.ubrr.high)},
                  {"baud", std::to_string(s.baud)},
                  {"error", s.ubrr.errorText}});
  std::string text = fill(v, R"(
//-----------------------------------------------------------
//串口$n$初始化子程序
//字符长度：$byteLen$
//奇偶校验：$parity$
)");
  text += u.Synchro ? "//通讯模式：同步\n" : "//通讯模式：异步\n";
  if (u.Multi) text += "//多处理器通讯模式\n";
  text += fill(v, R"(
//-----------------------------------------------------------
void Uart$n$_Init(void)
{
    UCSR$n$B  =  0x00;     //disable while setting baud rate
    UCSR$n$A  =  0x$ucsra$;     //Bit1为1则倍速发送
    UCSR$n$C  =  0x$ucsrc$;  $eol$
    UBRR$n$L  =  0x$ubrrl$;     //波特率：$baud$ Bps
    UBRR$n$H  =  0x$ubrrh$;     //误差率：$error$%
    UCSR$n$B  =  0x$ucsrb$;  $eol$
)");
  if (u.Rs485_use) {
    // Receiving by default: the pin is driven low until a send turns it.
    text += fill(v, R"(
//初始化RS485通讯的流控制引脚
    RS485_RD$n$_PORT|= RS485_RD$n$_BIT;
    RS485_RD$n$_DDR|= RS485_RD$n$_BIT;
)");
    text += fill(v, u.Rx_en ? "    RS485_RD$n$_L;\n" : "    RS485_RD$n$_H;\n");
  }
  text += "}\n\n";
  v.finish();
  addFunction(c, h, text);
}

void addReceive(TextBuffer& c, std::vector<Prototype>& h, Filler& v, const UartCommonConfig& u) {
  if (!u.Rx_en) return;
  if (u.Rx_int) {
    addFunction(c, h, fill(v, R"(
//-----------------------------------------------------------
//串口$n$接收中断子程序
//-----------------------------------------------------------
#pragma interrupt_handler Uart$n$_Rx_Isr:iv_USART$n$_RX
void Uart$n$_Rx_Isr(void)
{
//uart has received a character in UDR$n$
//   unsigned char c;
   rx$n$_buff = UDR$n$;
}

)"));
    return;
  }
  addFunction(c, h, fill(v, R"(
//-----------------------------------------------------------
//串口$n$接收字节子程序
//-----------------------------------------------------------
unsigned char Getchar$n$(void)
{
//   while(!(UCSR$n$A& (1<<RXC$n$)));
   return UDR$n$;
}

)"));
}

void addTransmit(TextBuffer& c, std::vector<Prototype>& h, Filler& v, const UartCommonConfig& u) {
  if (!u.Tx_en) return;
  if (u.Tx_int) {
    // The handler comes first; the polled senders follow it, because they
    // work beside the transmit-complete interrupt (running the handler
    // clears its flag) and main.c prints through them.
    addFunction(c, h, fill(v, R"(
//-----------------------------------------------------------
//串口$n$发送中断子程序
//-----------------------------------------------------------
#pragma interrupt_handler Uart$n$_Tx_Isr:iv_USART$n$_TX
void Uart$n$_Tx_Isr(void)
{
//character has been transmitted
}

)"));
  }
  if (u.Rs485_use) {
    // Drive the line only while sending, and hold it until the last stop
    // bit has left the shift register.
    addFunction(c, h, fill(v, R"(
//-----------------------------------------------------------
//串口$n$发送字节子程序
//-----------------------------------------------------------
void Putchar$n$(unsigned char c)
{
   RS485_RD$n$_H;
   while (!(UCSR$n$A&(1<<UDRE$n$)));
   UDR$n$=c;
   while (!(UCSR$n$A&(1<<UDRE$n$)));
   delay_nus(500);
   RS485_RD$n$_L;
}

)"));
  } else {
    addFunction(c, h, fill(v, R"(
//-----------------------------------------------------------
//串口$n$发送字节子程序
//-----------------------------------------------------------
void Putchar$n$(unsigned char c)
{
   while (!(UCSR$n$A&(1<<UDRE$n$)));
   UDR$n$=c;
}

)"));
  }
  addFunction(c, h, fill(v, R"(
//-----------------------------------------------------------
//串口$n$发送字符串子程序
//-----------------------------------------------------------
void Putstr$n$(char *s)
{
   while (*s)
   {
      Putchar$n$(*s);
      s++;
   }
}

)"));
  addFunction(c, h, fill(v, R"(
//-----------------------------------------------------------
//串口$n$发送字符串子程序(带有换行符)
//-----------------------------------------------------------
void Puts$n$(char *s)
{
   while (*s)
   {
      Putchar$n$(*s);
      s++;
   }
   Putchar$n$(0x0d);   //回车换行
   Putchar$n$(0x0a);
}

)"));
}

void addDataRegisterEmpty(TextBuffer& c, std::vector<Prototype>& h, Filler& v,
                          const UartCommonConfig& u) {
  if (!u.Data_int) return;
  addFunction(c, h, fill(v, R"(
//-----------------------------------------------------------
//串口$n$数据寄存器空中断子程序
//-----------------------------------------------------------
#pragma interrupt_handler Uart$n$_Udre_Isr:iv_USART$n$_UDRE
void Uart$n$_Udre_Isr(void)
{
//Character transferred to shift register so UDR$n$ is now empty
   UCSR$n$B &= ~(1<<UDRIE$n$);   //nothing to send: while UDR$n$ stays empty this interrupt fires again at once and starves the main loop
}

)"));
}

void addSection(TextBuffer& c, std::vector<Prototype>& h, const Section& s) {
  Filler v = blockFiller({{"n", s.n}});
  addInit(c, h, s);
  addReceive(c, h, v, *s.u);
  addTransmit(c, h, v, *s.u);
  addDataRegisterEmpty(c, h, v, *s.u);
  if (v.filledAny()) v.finish();  // a UART that neither sends nor receives has no routines
}

void addConversions(TextBuffer& c, std::vector<Prototype>& h) {
  Filler none = blockFiller();
  addFunction(c, h, fill(none, R"(
//-----------------------------------------------------------
//数组转换成可发送的字符串
//-----------------------------------------------------------
char *buffer2str(char *hhh)
{
   unsigned char i=0;
   while (i<40)
   {
      hhh[i]=hhh[i]+48;
      i++;
   }$tab$
   return hhh;
}

)"));
  addFunction(c, h, fill(none, R"(
//-----------------------------------------------------------
//数字转换成可发送的字符串
//-----------------------------------------------------------
char *long2str(unsigned long hh)
{
   static char ss[5];   //a literal must not be written to: the digits go to a buffer of our own
   ss[0]=48+hh/1000;
   ss[1]=48+(hh%1000)/100;
   ss[2]=48+(hh%100)/10;
   ss[3]=48+(hh%10);
   return ss;$tab$
}

)"));
}

// ---- uart.h -----------------------------------------------------------------

void addDirectionPins(TextBuffer& h, const std::string& n, const std::string& port, int bit) {
  Filler v = blockFiller({{"P", port}, {"N", std::to_string(bit)}});
  // The three prefixes line up their values in different columns.
  if (n == "0") {
    h.addText(fill(v, R"(
#define  RS485_RD0_DDR    DDR$P$
#define  RS485_RD0_PORT   PORT$P$
#define  RS485_RD0_BIT    (1<<P$P$$N$)

#define  RS485_RD0_H      RS485_RD0_PORT |= RS485_RD0_BIT
#define  RS485_RD0_L      RS485_RD0_PORT &= ~RS485_RD0_BIT

)"));
  } else if (n.empty()) {
    h.addText(fill(v, R"(
#define  RS485_RD_DDR     DDR$P$
#define  RS485_RD_PORT    PORT$P$
#define  RS485_RD_BIT     (1<<P$P$$N$)

#define  RS485_RD_H       RS485_RD_PORT |= RS485_RD_BIT
#define  RS485_RD_L       RS485_RD_PORT &= ~RS485_RD_BIT

)"));
  } else {
    h.addText(fill(v, R"(
#define  RS485_RD1_DDR     DDR$P$
#define  RS485_RD1_PORT    PORT$P$
#define  RS485_RD1_BIT     (1<<P$P$$N$)

#define  RS485_RD1_H       RS485_RD1_PORT |= RS485_RD1_BIT
#define  RS485_RD1_L       RS485_RD1_PORT &= ~RS485_RD1_BIT

)"));
  }
  v.finish();
}

}  // namespace

void MakeUartCode(GenContext& ctx) {
  const ProjectConfig& cfg = ctx.cfg;
  const bool twoUarts = isTwoUartDevice(cfg.mcuName());
  const bool rs485 = cfg.UART0.Rs485_use || cfg.UART1.Rs485_use;

  // Compute everything first: a rate the crystal cannot give or a port box
  // without a port stops the run before anything is shown or written.
  std::vector<Section> sections;
  if (twoUarts) {
    if (cfg.UART0.Uart0_use) sections.push_back(uart0(ctx, "UART0", "0"));
    if (cfg.UART1.Uart1_use) sections.push_back(uart1(ctx));
  } else {
    sections.push_back(uart0(ctx, "UART", ""));
  }
  for (Section& s : sections) computeDivisor(ctx, s);
  const std::string pin0 = twoUarts ? "0" : "";
  std::string port0, port1;
  if (cfg.UART0.Rs485_use) port0 = portLetter(twoUarts ? "UART0" : "UART", cfg.UART0);
  if (cfg.UART1.Rs485_use) port1 = portLetter("UART1", cfg.UART1);
  // The port boxes list ports and bits some devices lack.
  auto checkPin = [&](const char* uart, const std::string& port, int bit) {
    int pins = portPinCount(cfg.mcuName(), port[0]);
    if (bit < pins) return;
    std::string has = pins == 0 ? "has no port " + port
                                : "has only P" + port + "0..P" + port + std::to_string(pins - 1);
    ctx.warn(std::string(uart) + " RS485 direction pin P" + port + std::to_string(bit) + ": the " + cfg.mcuName() +
             " " + has + ", so uart.h names a pin that does not exist and the project will not build");
  };
  // Only a generated section uses its pin macros.
  if (findDevice(cfg.mcuName())) {
    if (cfg.UART0.Rs485_use && (!twoUarts || cfg.UART0.Uart0_use)) {
      checkPin(twoUarts ? "UART0" : "UART", port0, cfg.UART0.Rs485_portno);
    }
    if (cfg.UART1.Rs485_use && twoUarts && cfg.UART1.Uart1_use) checkPin("UART1", port1, cfg.UART1.Rs485_portno);
  }

  TextBuffer c;
  std::vector<Prototype> prototypes;
  addSourceBanner(c, cfg);
  c.add("#include \"uart.h\"");
  if (rs485) c.add("#include \"delay.h\"");
  c.add("");
  // The receive buffers are volatile: the interrupt handler writes them
  // while main.c (which declares them extern volatile) polls them.
  if (twoUarts) {
    // Declared whenever the boxes ask for them, used by a section or not.
    if (cfg.UART0.Rx_en && cfg.UART0.Rx_int) c.add("volatile unsigned char rx0_buff = 0;       //串口0接收中断缓冲区");
    if (cfg.UART1.Rx_en && cfg.UART1.Rx_int) c.add("volatile unsigned char rx1_buff = 0;       //串口1接收中断缓冲区");
    c.add("");
  } else if (cfg.UART0.Rx_en && cfg.UART0.Rx_int) {
    c.add("volatile unsigned char rx_buff = 0;       //串口接收中断缓冲区");
    c.add("");
  }
  for (const Section& s : sections) addSection(c, prototypes, s);
  addConversions(c, prototypes);

  TextBuffer h;
  Filler plain = blockFiller();
  h.addText(fill(plain, R"(
#ifndef$tab$__UART__H
#define$tab$__UART__H

//初始化RS485通讯的流控制引脚
)"));
  if (cfg.UART0.Rs485_use) addDirectionPins(h, pin0, port0, cfg.UART0.Rs485_portno);
  if (cfg.UART1.Rs485_use) addDirectionPins(h, "1", port1, cfg.UART1.Rs485_portno);
  const std::string separator = "//" + std::string(59, '-');
  for (const Prototype& p : prototypes) {
    h.add(separator);
    h.add(p.title);
    h.add(separator);
    h.add(p.head + ";");
    if (p.head != "char *buffer2str(char *hhh)") h.add("");
  }
  h.add(separator);
  h.add("");
  h.add("#endif");

  // Text the code page cannot hold (typed into a box) fails here, before
  // either file is touched.
  for (auto [buffer, file] : {std::pair{&c, "uart.c"}, std::pair{&h, "uart.h"}}) {
    try {
      (void)buffer->bytes();
    } catch (const Error& e) {
      throw Error(std::string(file) + ": " + e.what());
    }
  }

  for (const Section& s : sections) {
    ctx.updates.push_back({s.ubrrBox, s.ubrr.text, s.ubrrMember, s.ubrr.ubrr});
  }
  if (rs485) ctx.NeedDelay = true;
  ctx.preview = c.lines();
  ctx.files.add("uart.c", c);
  ctx.files.add("uart.h", h);
}

}  // namespace tamberlo
