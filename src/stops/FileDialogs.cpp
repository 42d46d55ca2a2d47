// The two file dialogs every file of the console goes through: one
// extension only, and a chosen file with another ending is refused.

#include <cctype>

#include "common/FileIo.h"
#include "stops/FileDialogs.h"

namespace kalvant {

namespace {

bool endsWithIgnoringCase(const std::string& path, const std::string& extension) {
  if (path.size() < extension.size()) return false;
  const std::size_t from = path.size() - extension.size();
  for (std::size_t i = 0; i < extension.size(); ++i) {
    const auto a = static_cast<unsigned char>(path[from + i]);
    const auto b = static_cast<unsigned char>(extension[i]);
    if (std::tolower(a) != std::tolower(b)) return false;
  }
  return true;
}

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
  if (!endsWithIgnoringCase(*picked, extension)) {
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
