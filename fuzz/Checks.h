#pragma once
// The checks the fuzzers run on every input, shared with the regression
// tests that replay the kept inputs in the normal build. Each returns an
// empty string when every rule held, or a description of the rule broken.
// A crash, a leak or undefined behaviour inside them is a fault as well.

#include <cstddef>
#include <cstdint>
#include <string>

namespace kalvant::fuzz {

// Stops tables: a table that reads whole writes back as the bytes it was
// read from (up to its 231st record) and reads again as the same table.
std::string checkDat(const std::uint8_t* data, std::size_t size);

// "KALVANT.CFG": a file that reads whole writes back as a file that reads
// as the same settings and fixed memories, with its delays in range; a
// byte-order mark before it changes nothing; a folder is refused.
std::string checkCfg(const std::uint8_t* data, std::size_t size);

// Memory files: what reads writes back as a file that reads as the same
// header and records (missing records as the initial registration).
std::string checkMemoryFile(const std::uint8_t* data, std::size_t size);

// The console played by a script of MIDI bytes and console actions (see
// ConsoleScript.h): the module only ever receives well-formed messages,
// nothing after shutdown, and the panel shows the registration in force.
std::string checkConsole(const std::uint8_t* data, std::size_t size);

}  // namespace kalvant::fuzz
