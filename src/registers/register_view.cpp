// SPDX-License-Identifier: GPL-3.0-or-later
#include "registers/register_view.h"

#include <cmath>

#include "app/device_catalogue.h"
#include "app/editor_model.h"
#include "app/fuses.h"
#include "platform/text.h"
#include "registers/ubrr_calc.h"

namespace tamberlo {
namespace {

// Above this the receiver's sampling drifts off the bit centres.
constexpr double kMaxBaudErrorPercent = 2.0;

// Bit names with '$' for the UART's number ("" on single-UART chips).
std::vector<std::string> numberedBits(std::initializer_list<const char*> names, const std::string& n) {
  std::vector<std::string> out;
  for (const char* name : names) {
    std::string bit;
    for (const char* c = name; *c; ++c) bit += *c == '$' ? n : std::string(1, *c);
    out.push_back(bit);
  }
  return out;
}

std::string hz(double rate) {
  return formatFixed(rate, 2, 0) + " Hz";
}

void uartView(const EditorModel& m, int uart, RegisterView& v) {
  const RegisterShadows& r = m.shadows();
  const bool two = isTwoUartDevice(m.text("ComboBox3"));
  const std::string n = uart == 1 ? "1" : two ? "0" : "";
  const int a = uart == 1 ? r.UCSR1A : r.UCSR0A;
  const int b = uart == 1 ? r.UCSR1B : r.UCSR0B;
  const int c = uart == 1 ? r.UCSR1C : r.UCSR0C;
  const int baud = uart == 1 ? r.Baud1 : r.Baud0;
  const int factor = uart == 1 ? r.U2xDiv1 : r.U2xDiv0;
  const UbrrResult ubrr = UbrrCalc(r.FoscMHz, baud, factor);

  v.title = m.caption(uart == 1 ? "UART1Check" : "UART0Check") + " 寄存器";
  v.rows.push_back({"UCSR" + n + "A", a,
                    numberedBits({"RXC$", "TXC$", "UDRE$", "FE$", "DOR$", "UPE$", "U2X$", "MPCM$"}, n)});
  v.rows.push_back(
      {"UCSR" + n + "B", b,
       numberedBits({"RXCIE$", "TXCIE$", "UDRIE$", "RXEN$", "TXEN$", "UCSZ$2", "RXB8$", "TXB8$"}, n)});
  v.rows.push_back({"UCSR" + n + "C", c,
                    numberedBits({n.empty() ? "URSEL" : "-", "UMSEL$", "UPM$1", "UPM$0", "USBS$", "UCSZ$1",
                                  "UCSZ$0", "UCPOL$"},
                                 n)});
  const std::vector<std::string> none(8, "-");
  if (!ubrr.reachable) {
    v.notes.push_back("波特率 " + std::to_string(baud) + " bit/s 在 " + formatFixed(r.FoscMHz, 1, 4) +
                      " MHz 下无法得到：波特率除数 " + std::string(trimBlanks(ubrr.text)) + " 超出范围");
    v.warning = true;
    return;
  }
  v.rows.push_back({"UBRR" + n + "L", ubrr.low, none});
  v.rows.push_back({"UBRR" + n + "H", ubrr.high, none});
  v.notes.push_back("UBRR = " + std::to_string(ubrr.ubrr) + (factor == 1 ? "（倍速）" : ""));
  v.notes.push_back("实际波特率 " + std::to_string(ubrr.actualRate) + " bit/s，误差 " + ubrr.errorText + "%");
  const double error = std::fabs(static_cast<double>(ubrr.actualRate - baud) * 100.0 / baud);
  if (error > kMaxBaudErrorPercent) {
    v.notes.push_back("误差超过 2%，通信可能出错");
    v.warning = true;
  }
  if (ubrr.ubrr > 4095) {
    v.notes.push_back("除数超过 12 位寄存器的上限 4095");
    v.warning = true;
  }
}

void spiView(const EditorModel& m, RegisterView& v) {
  const RegisterShadows& r = m.shadows();
  v.title = "SPI 寄存器";
  v.rows.push_back({"SPCR", r.SPCR, {"SPIE", "SPE", "DORD", "MSTR", "CPOL", "CPHA", "SPR1", "SPR0"}});
  v.rows.push_back({"SPSR", r.SPSR, {"SPIF", "WCOL", "-", "-", "-", "-", "-", "SPI2X"}});
  const double sck = r.FoscMHz * 1000000.0 * r.SpiSpeedFactor / r.SpiDivider;
  v.notes.push_back("SCK = fosc/" + std::to_string(r.SpiDivider / r.SpiSpeedFactor) + " = " + hz(sck));
}

void twiView(const EditorModel& m, RegisterView& v) {
  const RegisterShadows& r = m.shadows();
  v.title = "TWI 寄存器";
  const std::vector<std::string> none(8, "-");
  v.rows.push_back({"TWBR", r.TWBR, none});
  v.rows.push_back({"TWSR", r.TWSR, {"TWS7", "TWS6", "TWS5", "TWS4", "TWS3", "-", "TWPS1", "TWPS0"}});
  v.rows.push_back({"TWAR", r.TWAR, {"TWA6", "TWA5", "TWA4", "TWA3", "TWA2", "TWA1", "TWA0", "TWGCE"}});
  const double scl = r.FoscMHz * 1000000.0 / (16.0 + 2.0 * r.TWBR * std::pow(4.0, r.TWPS));
  v.notes.push_back("SCL = " + hz(scl));
  // The TWI is specified up to 400 kHz (fast mode); beyond it the chip's bus
  // timing is not met, as a UART error beyond 2 % is flagged.
  if (scl > 400000.0) {
    v.notes.push_back("SCL 超过 TWI 的最高速率 400 kHz：请加大分频因子或预分频");
    v.warning = true;
  }
}

}  // namespace

RegisterView registerViewFor(const EditorModel& m, int pageIndex) {
  RegisterView v;
  switch (pageIndex) {
    case 0: uartView(m, 0, v); break;
    case 1: uartView(m, 1, v); break;
    case 2: spiView(m, v); break;
    case 3: twiView(m, v); break;
    default: break;
  }
  return v;
}

RegisterView fuseViewFor(const EditorModel& m) {
  RegisterView v;
  v.title = "熔丝位";
  const std::string mcu = m.text("ComboBox3");
  const auto hz = crystalTextHz(m.text("ComboBox2"));
  const auto fuses = hz ? fusesFor(mcu, *hz) : std::nullopt;
  if (!fuses) {
    v.notes.push_back(hz ? mcu + " 不是列表中的芯片" : "晶振 " + m.text("ComboBox2") + " 不是以 MHz 表示的频率");
    v.warning = true;
    return v;
  }
  static const char* const names[] = {"LOW", "HIGH", "EXTENDED"};
  for (int byte = 0; byte < (fuses->hasExtended ? 3 : 2); ++byte) {
    RegisterRow row{names[byte], byte == 0 ? fuses->low : byte == 1 ? fuses->high : fuses->extended,
                    std::vector<std::string>(8, "-")};
    for (const FuseBit& b : fuses->bits) {
      if (b.fuseByte == byte) row.bits[static_cast<size_t>(7 - b.bit)] = std::string(b.name);
    }
    v.rows.push_back(row);
  }
  // The bits that differ from a new chip, or that a user looks for; the
  // others stay as shipped (tamberlo-gen --fuses and the Makefile list all).
  for (const FuseBit& b : fuses->bits) {
    const std::string_view n = b.name;
    if (n == "CKSEL3" || n == "SUT1" || n == "CKOPT" || n == "JTAGEN" || n == "M103C" || n == "S8515C" ||
        n == "S8535C") {
      v.notes.push_back(std::string(n == "CKSEL3" ? "CKSEL3..1" : n == "SUT1" ? "SUT1..0" : n) + "：" + b.meaning);
    }
  }
  v.notes.push_back("1 = 未编程，0 = 已编程；其余熔丝位保持出厂值，锁定位不改动");
  for (const auto& w : fuses->warnings) {
    v.notes.push_back(w);
    v.warning = true;
  }
  return v;
}

}  // namespace tamberlo
