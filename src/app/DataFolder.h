#pragma once
// Where kalvant keeps its files. Run from a build tree (or from any folder
// holding kalvant.dat beside the executable) everything lives in that
// program directory. An installed kalvant reads its pictures and help from
// <prefix>/share/kalvant and keeps what it writes (KALVANT.CFG, the stops
// tables, fixed.fix, memory files, the synthesizer's and the devices'
// settings) in $XDG_DATA_HOME/kalvant, which its first start fills with the
// default organ. --data-dir names the one folder for everything.

#include <string>

namespace kalvant::app {

struct DataFolderInput {
  std::string exeDir;         // the folder of the running executable
  std::string dataDirOption;  // --data-dir, "" when not given
  std::string xdgDataHome;    // $XDG_DATA_HOME, "" when unset
  std::string home;           // $HOME, "" when unset
};

struct DataFolders {
  std::string data;       // writable: everything the console saves
  std::string resources;  // read-only: the pictures and the help
  std::string seedFrom;   // the default organ to copy what is missing from; "" = none
  std::string error;      // set when no data folder can be named
};

// The installed layout: no kalvant.dat beside the executable, and a
// share/kalvant folder beside its bin folder.
bool isInstalled(const std::string& exeDir);

// Where the default organ, the pictures and the help are read from:
// <prefix>/share/kalvant when installed, else the executable's folder.
std::string resourceFolder(const std::string& exeDir);

DataFolders chooseDataFolders(const DataFolderInput& in);

// The files a data folder starts with: the default organ's stops table and
// its fixed memories.
inline constexpr const char* kSeededFiles[] = {"kalvant.dat", "fixed.fix"};

// Creates the data folder (mode 0700 for each folder it makes) and copies
// into it each seeded file it lacks. A file already there, whatever it is,
// is left alone; a copy appears whole or not at all. Returns "" or a
// sentence naming what failed and why.
std::string seedDataFolder(const std::string& from, const std::string& to);

}  // namespace kalvant::app
