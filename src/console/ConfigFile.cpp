// The configuration file "KALVANT.CFG".

#include "console/Console.h"

namespace kalvant {

void Console::READ_FILE_AVVIO() {}

void Console::Salva_dati_di_avvio() {}

void Console::EnableCFG_Click() {}

}  // namespace kalvant
