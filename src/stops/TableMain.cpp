// kalvant-table: the stops table on the command line (see stops/TableTool.h).

#include <iostream>
#include <string>
#include <vector>

#include "stops/TableTool.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  const int status = kalvant::runTableTool(args, std::cout, std::cerr);
  std::cout.flush();
  if (!std::cout) {
    std::cerr << "kalvant-table: the output could not be written\n";
    return kalvant::kTableFault;
  }
  return status;
}
