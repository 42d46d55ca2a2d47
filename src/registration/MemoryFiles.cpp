// Saving and loading the free memories in memory files (".sqs").

#include "console/Console.h"

namespace kalvant {

void Console::savefile_Click() {}
void Console::Loadfile_Click() {}

}  // namespace kalvant
