// The two file dialogs every file of the console goes through: one
// extension only, and a chosen file with another ending is refused.

#include "stops/FileDialogs.h"
#include "common/FileIo.h"

namespace kalvant {

namespace {

// A name typed without any extension gets the dialog's one, as the save
// dialog's default extension does.
std::string withDefaultExtension(const std::string& path, const std::string& extension) {
  const std::string name = fileNameOf(path);
  if (name.empty() || name.find('.') != std::string::npos) return path;
  return path + extension;
}

// Shared by both dialogs: a cancelled dialog says nothing; a file with
// another ending is refused and the caller keeps the path it had.
int acceptChoice(UserDialogs& user, const std::optional<std::string>& picked,
                 const std::string& extension, std::string& FileName) {
  if (!picked) return 1;
  if (!hasExtension(*picked, extension)) {
    user.messageOkCancel("This kind of file cannot be used here.");
    return 1;
  }
  FileName = *picked;
  return 0;
}

}  // namespace

int FileDialogs::OpenDialog(const std::string& title, const std::string& extension,
                            std::string& FileName) {
  if (closed_()) return 1;
  return acceptChoice(user_, user_.pickFileToOpen(title, extension), extension, FileName);
}

int FileDialogs::SaveDialog(const std::string& title, const std::string& extension,
                            std::string& FileName) {
  if (closed_()) return 1;
  std::optional<std::string> picked = user_.pickFileToSave(title, extension);
  if (picked) picked = withDefaultExtension(*picked, extension);
  return acceptChoice(user_, picked, extension, FileName);
}

}  // namespace kalvant
