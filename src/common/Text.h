#pragma once
// Text between the console's files and the screen. Stop names and other
// texts in .dat, .sqs and KALVANT.CFG are Windows-1252 bytes, as the files
// made on the console's original platform hold them; everything inside the
// program (and every path) is UTF-8. Decoding then encoding gives back the
// same bytes for all 256 byte values: the five bytes Windows-1252 leaves
// undefined stand for the C1 controls of the same number.

#include <string>
#include <string_view>

namespace kalvant {

std::string windows1252ToUtf8(std::string_view bytes);

// A character Windows-1252 cannot hold becomes '?'; malformed UTF-8 is read
// byte by byte as Windows-1252, so text that never was UTF-8 survives.
std::string utf8ToWindows1252(std::string_view utf8);

bool isValidUtf8(std::string_view bytes);

// A path written in one of the console's text files (the stops table on line
// 2 of KALVANT.CFG, the table's name on line 1 of a memory file). Files this
// program writes hold it as UTF-8, like every path inside it; files from the
// console's original platform hold Windows-1252. Valid UTF-8 is taken as it
// is, anything else is decoded from Windows-1252.
std::string pathFromFileText(std::string_view bytes);

}  // namespace kalvant
