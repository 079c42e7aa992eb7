// The pin assignment editors of the LCD, USB and MP3 pages.
#include "app/editor_model.h"

namespace tamberlo {
namespace {

// Fills `list` with the pins of the port named in `portBox`; an unknown port
// name leaves the list as it was.
void refillPins(EditorModel& m, const char* portBox, const char* list) {
  static const char* const ports[] = {"PORTA", "PORTB", "PORTC", "PORTD", "PORTE", "PORTF", "PORTG"};
  const std::string& port = m.text(portBox);
  for (const char* p : ports) {
    if (port != p) continue;
    std::vector<std::string> pins;
    int count = port == "PORTG" ? 5 : 8;
    for (int bit = 0; bit < count; ++bit) pins.push_back(std::string("P") + p[4] + std::to_string(bit));
    m.setItems(list, std::move(pins));
    return;
  }
}

}  // namespace

void installPinEditorHandlers(EditorModel& m) {
  m.addHandler("ComboBox19Change", [](EditorModel& e) { refillPins(e, "ComboBox19", "ListBox1"); });
  m.addHandler("ComboBox24Change", [](EditorModel& e) { refillPins(e, "ComboBox24", "ListBox2"); });
  m.addHandler("ComboBox30Change", [](EditorModel& e) { refillPins(e, "ComboBox30", "ListBox4"); });
}

}  // namespace tamberlo
