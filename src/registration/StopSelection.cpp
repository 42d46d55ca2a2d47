// Stop selection and the one procedure that sends registration changes.

#include "console/Console.h"

namespace kalvant {

void Console::Tiranti_Click(int) {}
void Console::AGGIORNAMENTO_KALVO() {}
void Console::Marca_Led_giallo() {}

}  // namespace kalvant
