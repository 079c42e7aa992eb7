// SPDX-License-Identifier: GPL-3.0-or-later
// Change handlers of the two UART pages: each box sets its bits in the
// register shadows at once, so the generator only prints bytes.
#include <string>

#include "app/editor_model.h"
#include "registers/register_handlers.h"
#include "app/field_message.h"
#include "app/typed_text.h"
#include "app/uart_pages.h"
#include "registers/ubrr_calc.h"
#include "platform/error.h"
#include "platform/text.h"

namespace tamberlo {
namespace {

// Bits of the UART control registers A, B and C.
constexpr int U2X = 1 << 1, MPCM = 1 << 0;
constexpr int RXCIE = 1 << 7, TXCIE = 1 << 6, UDRIE = 1 << 5, RXEN = 1 << 4, TXEN = 1 << 3, UCSZ2 = 1 << 2;
constexpr int UMSEL = 1 << 6, UPM = 3 << 4, USBS = 1 << 3, UCSZ10 = 3 << 1, UCPOL = 1 << 0;

// The controls of one UART page and the shadow members they drive.
struct UartShadowPage : UartPage {
  int RegisterShadows::*A;
  int RegisterShadows::*B;
  int RegisterShadows::*C;
  int RegisterShadows::*Baud;
  int RegisterShadows::*U2xDiv;
};

const UartShadowPage kUart0 = {uartPages()[0], &RegisterShadows::UCSR0A, &RegisterShadows::UCSR0B,
                               &RegisterShadows::UCSR0C, &RegisterShadows::Baud0, &RegisterShadows::U2xDiv0};
const UartShadowPage kUart1 = {uartPages()[1], &RegisterShadows::UCSR1A, &RegisterShadows::UCSR1B,
                               &RegisterShadows::UCSR1C, &RegisterShadows::Baud1, &RegisterShadows::U2xDiv1};

void setBits(int& reg, int mask, bool on) {
  reg = on ? (reg | mask) : (reg & ~mask);
}

// "bit := ticked" for one box.
void follow(EditorModel& m, const char* box, int RegisterShadows::*reg, int mask) {
  setBits(m.shadows().*reg, mask, m.checked(box));
}

void baudChange(EditorModel& m, const UartShadowPage& p) {
  const std::string& text = m.text(p.baud);
  auto baud = parseInteger(text);
  if (!baud) throw Error(fieldMessage(m.caption(p.use) + " 波特率", text, "不是整数，请输入每秒位数，如 9600"));
  m.shadows().*p.Baud = *baud;
  refreshUbrrBoxes(m);
}

void byteLenChange(EditorModel& m, const UartShadowPage& p) {
  RegisterShadows& r = m.shadows();
  int index = m.itemIndex(p.byteLen);
  if (index >= 0 && index <= 3) {
    setBits(r.*p.B, UCSZ2, false);
    r.*p.C = (r.*p.C & ~UCSZ10) | (index << 1);
  } else {
    // Typed text: the 9-bit code.
    setBits(r.*p.B, UCSZ2, true);
    r.*p.C &= ~UCSZ10;
  }
}

void parityChange(EditorModel& m, const UartShadowPage& p) {
  int index = m.itemIndex(p.parity);
  if (index < 0 || index > 3) return;  // typed text changes nothing
  int& c = m.shadows().*p.C;
  c = (c & ~UPM) | (index << 4);
}

void u2xClick(EditorModel& m, const UartShadowPage& p) {
  bool on = m.checked(p.u2x);
  setBits(m.shadows().*p.A, U2X, on);
  m.shadows().*p.U2xDiv = on ? 1 : 2;
  refreshUbrrBoxes(m);
}

void rxEnClick(EditorModel& m, const UartShadowPage& p) {
  bool on = m.checked(p.rxEn);
  setBits(m.shadows().*p.B, RXEN, on);
  // The RX interrupt box is only usable while the receiver is on; unticking
  // it runs its own handler, which clears RXCIE.
  m.setEnabled(p.rxInt, on);
  if (!on) m.setChecked(p.rxInt, false);
}

// Synchronous mode and multi-processor mode exclude each other, and the
// clock-edge box only means something in synchronous mode.
void syncClick(EditorModel& m, const UartShadowPage& p) {
  bool on = m.checked(p.sync);
  setBits(m.shadows().*p.C, UMSEL, on);
  if (on) {
    m.setEnabled(p.edge, true);
    m.setEnabled(p.multi, false);
    m.setChecked(p.multi, false);
    m.run(std::string(p.multi) + "Click");
  } else {
    m.setEnabled(p.edge, false);
    m.setChecked(p.edge, false);
    m.run(std::string(p.edge) + "Click");
    m.setEnabled(p.multi, true);
  }
}

int parityCode(int index) {
  switch (index) {
    case 2: return 2;   // even
    case 3: return 1;   // odd
    default: return 0;  // none, reserved, typed text
  }
}

// The serial terminal opened with the page's line settings.
void terminalClick(EditorModel& m, const UartShadowPage& p) {
  if (!m.checked(p.use) || !m.terminalOpener()) return;
  ComOpenArgs args;
  args.baud = m.itemIndex(p.baud) + 1;
  args.parity = parityCode(m.itemIndex(p.parity));
  args.dataBits = m.itemIndex(p.byteLen);
  args.stopBits = m.checked(p.stop2) ? 2 : 0;
  m.terminalOpener()->ComOpenForm(args);
}

void RS485Check0Click(EditorModel& m) {
  bool on = m.checked("RS485Check0");
  for (const char* n : {"Label33", "ComboBox31", "SpinEdit2"}) m.setEnabled(n, on);
}

void RS485Check1Click(EditorModel& m) {
  bool on = m.checked("RS485Check1");
  for (const char* n : {"Label34", "ComboBox32", "SpinEdit3"}) m.setEnabled(n, on);
}

// The crystal drives every calculator: the rate labels and the "UBRR"
// boxes follow it at once.
void ComboBox2Change(EditorModel& m) {
  m.writeActIni("MCU", "Fosc", std::to_string(m.itemIndex("ComboBox2")));
  const std::string& text = m.text("ComboBox2");
  const std::string& caption = m.caption("Label1");
  // Typed texts were checked by the box's rule already; this catches a text
  // set by other means, by the same rule.
  const auto mhz = crystalMHz(text);
  if (!mhz) throw Error(fieldMessage(caption, text, "不是以 MHz 为单位的晶振频率：请输入大于 0、小于 100 的数字，如 7.3728"));
  m.shadows().FoscMHz = *mhz;
  refreshRateLabels(m);
  refreshUbrrBoxes(m);
}

void installPage(EditorModel& m, const UartShadowPage& p, const char* terminal) {
  auto on = [&m](const char* control, const char* event, auto fn) {
    m.addHandler(std::string(control) + event, fn);
  };
  const UartShadowPage* page = &p;
  on(p.baud, "Change", [page](EditorModel& e) { baudChange(e, *page); });
  on(p.byteLen, "Change", [page](EditorModel& e) { byteLenChange(e, *page); });
  on(p.parity, "Change", [page](EditorModel& e) { parityChange(e, *page); });
  on(p.u2x, "Click", [page](EditorModel& e) { u2xClick(e, *page); });
  on(p.stop2, "Click", [page](EditorModel& e) { follow(e, page->stop2, page->C, USBS); });
  on(p.rxEn, "Click", [page](EditorModel& e) { rxEnClick(e, *page); });
  on(p.txEn, "Click", [page](EditorModel& e) { follow(e, page->txEn, page->B, TXEN); });
  on(p.multi, "Click", [page](EditorModel& e) { follow(e, page->multi, page->A, MPCM); });
  on(p.rxInt, "Click", [page](EditorModel& e) { follow(e, page->rxInt, page->B, RXCIE); });
  on(p.txInt, "Click", [page](EditorModel& e) { follow(e, page->txInt, page->B, TXCIE); });
  on(p.udreInt, "Click", [page](EditorModel& e) { follow(e, page->udreInt, page->B, UDRIE); });
  on(p.sync, "Click", [page](EditorModel& e) { syncClick(e, *page); });
  on(p.edge, "Click", [page](EditorModel& e) { follow(e, page->edge, page->C, UCPOL); });
  on(terminal, "Click", [page](EditorModel& e) { terminalClick(e, *page); });
}

}  // namespace

void refreshUbrrBoxes(EditorModel& m) {
  const RegisterShadows& r = m.shadows();
  const std::pair<const char*, UbrrResult> boxes[] = {
      {"LabeledEdit1", UbrrCalc(r.FoscMHz, r.Baud0, r.U2xDiv0)},
      {"LabeledEdit2", UbrrCalc(r.FoscMHz, r.Baud1, r.U2xDiv1)}};
  for (const auto& [box, ubrr] : boxes) {
    if (!ubrr.text.empty()) m.setText(box, ubrr.text);
  }
}

void installUartHandlers(EditorModel& m) {
  installPage(m, kUart0, kUart0.terminal);
  installPage(m, kUart1, kUart1.terminal);
  m.addHandler("ComboBox2Change", ComboBox2Change);
  m.addHandler("RS485Check0Click", RS485Check0Click);
  m.addHandler("RS485Check1Click", RS485Check1Click);
}

}  // namespace tamberlo
