// Change handlers of the SPI, TWI and ADC pages.
#include "app/editor_model.h"

namespace tamberlo {

void installBusHandlers(EditorModel&) {}

}  // namespace tamberlo
