// SPDX-License-Identifier: GPL-3.0-or-later
// The pin assignment editors of the LCD, USB and MP3 pages: a column of
// signal selectors with a pin box each, a control-port choice and a pin list.
// The chosen model or chip decides how many signals there are and their names.
#include <array>
#include <string_view>

#include "app/editor_model.h"
#include "app/lcd_models.h"
#include "app/pin_slots.h"

namespace tamberlo {
namespace {

using Slot = PinSlotControls;

constexpr std::string_view kParallel = kLcdParallel;
constexpr std::string_view kSerial = kLcdSerial;
constexpr std::string_view k4Wire = kLcd4Wire;
constexpr std::string_view k8Wire = kLcd8Wire;
// A slot whose caption is "NC" is off: selector and pin box disabled.
constexpr std::string_view kOff = "NC";

// Sets a slot's selector caption and turns it on, or off for "NC". Neither
// the pin text nor the checked state changes: a later model may use the slot
// again and finds its pin still there.
void setSlot(EditorModel& m, const Slot& slot, std::string_view caption) {
  bool on = caption != kOff;
  m.setCaption(slot.selector, caption);
  m.setEnabled(slot.selector, on);
  m.setEnabled(slot.pinBox, on);
}

template <size_t N>
void setSlots(EditorModel& m, const std::array<Slot, N>& slots,
              const std::array<std::string_view, N>& captions) {
  for (size_t i = 0; i < N; ++i) setSlot(m, slots[i], captions[i]);
}

// Fills `list` with the pins of the port named in `portBox`; an unknown port
// name leaves the list as it was.
void refillPins(EditorModel& m, const char* portBox, const char* list) {
  static const char* const ports[] = {"PORTA", "PORTB", "PORTC", "PORTD", "PORTE", "PORTF", "PORTG"};
  const std::string& port = m.text(portBox);
  for (const char* p : ports) {
    if (port != p) continue;
    std::vector<std::string> pins;
    int count = port == "PORTG" ? 5 : 8;  // PG5..PG7 do not exist
    for (int bit = 0; bit < count; ++bit) pins.push_back(std::string("P") + p[4] + std::to_string(bit));
    m.setItems(list, std::move(pins));
    return;
  }
}

// Copies the chosen pin into the pin box of the checked selector. A pin
// another signal has is taken all the same; the pin marks (pin_marks.cpp)
// show the clash in red.
template <size_t N>
void assignPin(EditorModel& m, const char* list, const std::array<Slot, N>& slots) {
  const Control& l = m.ctl(list);
  if (l.itemIndex < 0 || static_cast<size_t>(l.itemIndex) >= l.items.size()) return;
  const std::string pin = l.items[static_cast<size_t>(l.itemIndex)];
  for (const Slot& s : slots) {
    if (m.checked(s.selector)) m.setText(s.pinBox, pin);
  }
}

// ---- LCD ---------------------------------------------------------------------


// The model decides the interface list, which boxes are usable and what the
// eight selectors mean. A typed name of no model leaves the editor alone.
void ComboBox16Change(EditorModel& m) {
  const LcdModel* model = findLcdModel(m.text("ComboBox16"));
  if (!model) return;
  m.setCaption("GroupBox11", model->interfaces.front() == kLcdSerial ? kLcdSerial : kLcdParallel);
  m.setItems("ComboBox15", std::vector<std::string>(model->interfaces.begin(), model->interfaces.end()));
  m.setItemIndex("ComboBox15", 0);
  m.setEnabled("ComboBox15", model->interfaceBox);
  m.setEnabled("ComboBox18", model->dataPort);
  setSlots(m, kLcdSlots, model->captions);
  // A model without the graphics library unticks the box before greying it:
  // a greyed tick could never be taken back, and every run would fail on it.
  if (!model->guiBox) m.setChecked("GUICheck", false);
  m.setEnabled("GUICheck", model->guiBox);
}

void ComboBox15Change(EditorModel& m) {
  const std::string io = m.text("ComboBox15");
  if (io == k4Wire || io == k8Wire) {
    m.setCaption("GroupBox11", kParallel);
    m.setEnabled("ComboBox18", true);
    ComboBox16Change(m);
  }
  if (io == kSerial) {
    m.setCaption("GroupBox11", kSerial);
    m.setEnabled("ComboBox18", false);
    if (lcdFamilyOf(m.text("ComboBox16")) == LcdFamily::St7920) {
      setSlots(m, kLcdSlots, findLcdModel(m.text("ComboBox16"))->serialCaptions);
    }
  }
}

void GUICheckClick(EditorModel& m) {
  // A settings file may tick the box for a model that has no graphics
  // library (the box is greyed by then): the tick is not taken.
  if (m.checked("GUICheck") && !m.enabled("GUICheck")) {
    m.setChecked("GUICheck", false);
    return;
  }
  m.setVisible(EditorModel::pageNames()[11], m.checked("GUICheck"));
}

// ---- USB and MP3 ---------------------------------------------------------------

void ComboBox21Change(EditorModel& m) {
  if (m.text("ComboBox21") != "CH375") return;
  m.setCaption("GroupBox16", kParallel);
  m.setEnabled("ComboBox22", false);
  m.setItems("ComboBox22", {std::string(kParallel)});
  m.setItemIndex("ComboBox22", 0);
  m.setEnabled("ComboBox23", true);
  setSlots(m, kUsbSlots, {"RST", "WR", "RD", "CS", "A0", "INT"});
}

void ComboBox29Change(EditorModel& m) {
  const std::string chip = m.text("ComboBox29");
  if (chip == "VS1003") {
    setSlots(m, kMp3Slots, {"XRST", "DREQ", "XDCS", "XCS"});
    m.setCaption("Label32", " ");
  } else if (chip == "STA013") {
    // The STA013 is controlled over the hardware TWI, so its last two
    // signals have no pins at all.
    m.setCaption(kMp3Slots[0].selector, "RST");
    m.setCaption(kMp3Slots[1].selector, "REQ");
    for (const Slot& s : {kMp3Slots[2], kMp3Slots[3]}) {
      m.setChecked(s.selector, false);
      setSlot(m, s, kOff);
      m.setText(s.pinBox, "");
    }
    m.setCaption("Label32", "           控制接口使用内部硬件TWI");
  } else {
    return;
  }
  m.setCaption("Label31", "说明：数据接口使用内部硬件SPI");
}

}  // namespace

void installPinEditorHandlers(EditorModel& m) {
  m.addHandler("ComboBox19Change", [](EditorModel& e) { refillPins(e, "ComboBox19", "ListBox1"); });
  m.addHandler("ComboBox24Change", [](EditorModel& e) { refillPins(e, "ComboBox24", "ListBox2"); });
  m.addHandler("ComboBox30Change", [](EditorModel& e) { refillPins(e, "ComboBox30", "ListBox4"); });
  m.addHandler("ListBox1Click", [](EditorModel& e) { assignPin(e, "ListBox1", kLcdSlots); });
  m.addHandler("ListBox2Click", [](EditorModel& e) { assignPin(e, "ListBox2", kUsbSlots); });
  m.addHandler("ListBox4Click", [](EditorModel& e) { assignPin(e, "ListBox4", kMp3Slots); });
  m.addHandler("ComboBox16Change", ComboBox16Change);
  m.addHandler("ComboBox15Change", ComboBox15Change);
  m.addHandler("GUICheckClick", GUICheckClick);
  m.addHandler("ComboBox21Change", ComboBox21Change);
  m.addHandler("ComboBox29Change", ComboBox29Change);
}

}  // namespace tamberlo
