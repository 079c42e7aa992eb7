// SPDX-License-Identifier: GPL-3.0-or-later
// Change handlers of the SPI, TWI and ADC pages: SPCR, SPSR, TWBR, TWSR and
// TWAR follow the boxes, and the rate labels follow the shadows.
#include <string>

#include "app/editor_model.h"
#include "registers/register_handlers.h"
#include "app/field_message.h"
#include "platform/error.h"
#include "platform/text.h"

namespace tamberlo {
namespace {

void setBits(int& reg, int mask, bool on) {
  reg = on ? (reg | mask) : (reg & ~mask);
}

// The SPCR bits that follow one box each ("bit := ticked").
struct SpcrBit {
  const char* box;
  int mask;
};
constexpr SpcrBit kSpcrBits[] = {
    {"CheckBox45", 1 << 7},  // SPIE, transfer interrupt
    {"CheckBox39", 1 << 6},  // SPE, SPI enable
    {"CheckBox41", 1 << 5},  // DORD, LSB first
    {"CheckBox40", 1 << 4},  // MSTR, master mode
    {"CheckBox43", 1 << 3},  // CPOL
    {"CheckBox42", 1 << 2},  // CPHA
};

constexpr int SPR = 3, SPI2X = 1, TWPS = 3, TWGCE = 1;

// The box's text as an integer; `what` says what the box takes.
int integerIn(EditorModel& m, const char* box, const char* what) {
  auto v = parseInteger(m.text(box));
  if (!v) throw Error(fieldMessage(m.caption(box), m.text(box), std::string("不是整数，请输入") + what));
  return *v;
}

void ComboBox13Change(EditorModel& m) {
  static const int dividers[] = {4, 16, 64, 128};
  int index = m.itemIndex("ComboBox13");
  if (index >= 0 && index <= 3) {
    RegisterShadows& r = m.shadows();
    r.SPCR = (r.SPCR & ~SPR) | index;
    r.SpiDivider = dividers[index];
  }
  refreshRateLabels(m);
}

void CheckBox44Click(EditorModel& m) {
  bool on = m.checked("CheckBox44");
  setBits(m.shadows().SPSR, SPI2X, on);
  m.shadows().SpiSpeedFactor = on ? 2 : 1;
  refreshRateLabels(m);
}

void ComboBox14Change(EditorModel& m) {
  int index = m.itemIndex("ComboBox14");
  if (index >= 0 && index <= 3) {
    RegisterShadows& r = m.shadows();
    r.TWSR = (r.TWSR & ~TWPS) | index;
    r.TWPS = index;
  }
  refreshRateLabels(m);
}

// Setting the text re-runs this handler (as a typed change would); the
// nested run finishes first and the outer one then repeats its work.
// TWBR is one byte: a typed factor outside 0..255 is clamped and the box
// shows the clamped number, as the slave address box does above 127.
// Clamping (rather than refusing) keeps the box usable while typing.
void LabeledEdit4Change(EditorModel& m) {
  const char* what = "0 到 255 的分频因子";
  if (m.text("LabeledEdit4").empty()) m.setText("LabeledEdit4", "0");
  int v = integerIn(m, "LabeledEdit4", what);
  if (v < 0 || v > 255) m.setText("LabeledEdit4", v < 0 ? "0" : "255");
  m.shadows().TWBR = integerIn(m, "LabeledEdit4", what);
  refreshRateLabels(m);
}

// A negative address keeps its low seven bits through the mask below.
void LabeledEdit3Change(EditorModel& m) {
  const char* what = "0 到 127 的从机地址";
  if (m.text("LabeledEdit3").empty()) m.setText("LabeledEdit3", "0");
  if (integerIn(m, "LabeledEdit3", what) > 127) m.setText("LabeledEdit3", "127");
  int a = integerIn(m, "LabeledEdit3", what);
  RegisterShadows& r = m.shadows();
  // The address goes to bits 7..1; bit 0 (general call) stays.
  r.TWAR = static_cast<int>((2LL * a + 1) & (r.TWAR | 0xFE));
}

void CheckBox49Click(EditorModel& m) {
  setBits(m.shadows().TWAR, TWGCE, m.checked("CheckBox49"));
}

void ComboBox12Change(EditorModel& m) {
  refreshRateLabels(m);
}

}  // namespace

void installBusHandlers(EditorModel& m) {
  for (const SpcrBit& bit : kSpcrBits) {
    m.addHandler(std::string(bit.box) + "Click",
                 [bit](EditorModel& e) { setBits(e.shadows().SPCR, bit.mask, e.checked(bit.box)); });
  }
  m.addHandler("ComboBox13Change", ComboBox13Change);
  m.addHandler("CheckBox44Click", CheckBox44Click);
  m.addHandler("ComboBox14Change", ComboBox14Change);
  m.addHandler("LabeledEdit4Change", LabeledEdit4Change);
  m.addHandler("LabeledEdit3Change", LabeledEdit3Change);
  m.addHandler("CheckBox49Click", CheckBox49Click);
  m.addHandler("ComboBox12Change", ComboBox12Change);
  // TWI enable, acknowledge and interrupt go into TWCR, which the generated
  // driver writes at every transfer; no shadow byte follows these boxes, and
  // the generator reads their ticks from the configuration. Their click
  // handlers exist so that the names the window and the .act rows use are
  // known, and do nothing on purpose.
  for (const char* box : {"CheckBox47Click", "CheckBox48Click", "CheckBox50Click"}) {
    m.addHandler(box, [](EditorModel&) {});
  }
}

}  // namespace tamberlo
