// Division buttons and couplers.

#include "console/Console.h"

namespace kalvant {

void Console::GREAT_Click() {}
void Console::SWELL_Click() {}
void Console::PEDALE_Click() {}
void Console::UNI_II_Click() {}
void Console::UNII_I_Click() {}
void Console::UNPI_Click() {}
void Console::UNPII_Click() {}

}  // namespace kalvant
