#pragma once
// Turns the organ of the stop list into the console's stops table.

#include <string>

#include "OrganSource.h"
#include "stops/StopsTable.h"

namespace kalvant::mkdata {

// Throws SourceError (naming the stop list's line) when an entry would not
// work in the console, e.g. a stop too short to count as defined.
StopsTable buildStopsTable(const Organ& organ);

// Scale-tuning byte for a deviation in cents: 40h + the rounded cents.
std::uint8_t scaleTuningByte(double cents);

}  // namespace kalvant::mkdata
