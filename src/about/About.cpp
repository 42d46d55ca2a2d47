// The about box and the help.

#include "console/Console.h"

namespace kalvant {

void Console::About_Click() {}
void Console::Help1_Click() {}
void Console::EditCFG_Click() {}

}  // namespace kalvant
