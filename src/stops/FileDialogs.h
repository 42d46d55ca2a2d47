#pragma once
// The two file dialogs every file of the console goes through: one
// extension only, and a chosen file with another ending is refused. Once the
// console has shut down no dialog opens.

#include <functional>
#include <string>

#include "common/Services.h"

namespace kalvant {

class FileDialogs {
 public:
  FileDialogs(UserDialogs& user, std::function<bool()> closed)
      : user_(user), closed_(std::move(closed)) {}

  // Restricted to one extension (".dat", ".syx", ".sqs"): 0 when a file with
  // that extension was chosen (FileName then holds its full path), 1 when
  // cancelled or refused (FileName unchanged).
  int OpenDialog(const std::string& title, const std::string& extension, std::string& FileName);
  int SaveDialog(const std::string& title, const std::string& extension, std::string& FileName);

 private:
  UserDialogs& user_;
  std::function<bool()> closed_;
};

}  // namespace kalvant
