#pragma once
// Small file helpers shared by the readers and writers of the console's files.
// Paths come from the user (the command line, KALVANT.CFG, file dialogs), so
// none of these throws, blocks on a FIFO or follows a planted link: each
// failure comes back as a sentence that names the file and says why.

#include <string>

namespace kalvant {

// Reads a whole regular file as bytes. Anything else (a folder, a FIFO, a
// device) is refused without reading from it. On failure returns false and
// sets error, e.g.  cannot read "/x/kalvant.dat": it is a folder, not a file
// An errno in the organist's words, e.g. "permission denied".
std::string describe(int err);

// Writes all of it, again after EINTR and short writes. On failure returns
// false with errno saying why.
bool writeAll(int fd, const char* data, std::size_t size);

// The file name part of a path: the text after the last '\\' or '/' (files
// from the console's original platform name Windows paths).
std::string fileNameOf(const std::string& path);

// True when the path ends in the extension (".dat", ".syx"), whatever the
// case of its letters.
bool hasExtension(const std::string& path, const std::string& extension);

bool readWholeFile(const std::string& path, std::string& bytes, std::string& error);

// True when there is nothing at path, so that an optional file may simply be
// absent; a dangling symbolic link counts as nothing.
bool nothingAt(const std::string& path);

// Replaces the file with the given bytes atomically, or leaves it intact and
// returns false with a reason. A symbolic link stays a link: the file it
// leads to is replaced (a dangling link creates the file it names). The new
// file keeps the old one's mode and, when allowed, its owner; a new file gets
// 0644. A target that is not a regular file, or whose mode bits allow nobody
// to write it, is refused (root too: the mode is the user's own "read-only").
// The bytes go to a uniquely named temporary file created exclusively beside
// the real file, which is flushed, renamed over it, and the folder flushed.
bool replaceFileAtomically(const std::string& path, const std::string& bytes, std::string& error);

// Why the program directory cannot be used, or "" when it can: it must be a
// folder the user can enter and write into.
std::string dataFolderProblem(const std::string& dir);

}  // namespace kalvant
