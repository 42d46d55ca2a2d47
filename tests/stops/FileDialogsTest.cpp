#include "stops/FileDialogs.h"
#include "support/FakeLoop.h"

#include <gtest/gtest.h>

namespace kalvant::test {
namespace {

struct Dialogs : ::testing::Test {
  ScriptedUser user;
  bool closed = false;
  FileDialogs dialogs{user, [this] { return closed; }};
};

TEST_F(Dialogs, AcceptOnlyPathsEndingInTheExtension) {
  const std::tuple<bool, const char*, const char*, const char*> cases[] = {
      {false, "/organs/Main.DAT", ".dat", "/organs/Main.DAT"},
      {false, "/organs/main.Syx", ".syx", "/organs/main.Syx"},
      {false, "/organs/x.dat.bak", ".dat", nullptr},  // nullptr: refused, the path kept
      {false, "/organs.dat/main", ".dat", nullptr},
      {false, "dat", ".dat", nullptr},
      {false, "/organs/main", ".dat", nullptr},  // only a save adds the extension
      {true, "/organs/church", ".dat", "/organs/church.dat"},
      {true, "/organs.v2/church", ".dat", "/organs.v2/church.dat"},
      {true, "/m/setup.SQS", ".sqs", "/m/setup.SQS"},
      {true, "/organs/church.txt", ".dat", nullptr}};
  for (const auto& [save, picked, extension, result] : cases) {
    user.messages.clear();
    user.pickedFiles = {std::string(picked)};
    std::string file = "before";
    const int r =
        save ? dialogs.SaveDialog("t", extension, file) : dialogs.OpenDialog("t", extension, file);
    EXPECT_EQ(std::tuple(r, file, user.messages.size()),
              std::tuple(result ? 0 : 1, result ? result : "before", result ? 0u : 1u))
        << picked;
    for (const std::string& m : user.messages)
      EXPECT_EQ(m, "This kind of file cannot be used here.");
  }
}

TEST_F(Dialogs, CancelOrAClosedConsoleReturnsOneAndSaysNothing) {
  std::string file = "/organs/main.dat";
  EXPECT_EQ(dialogs.OpenDialog("Load", ".dat", file), 1);
  EXPECT_EQ(dialogs.SaveDialog("Save", ".dat", file), 1);
  closed = true;
  user.pickedFiles = {std::string("/organs/other.dat")};
  EXPECT_EQ(dialogs.OpenDialog("Late", ".dat", file), 1);
  EXPECT_EQ(file, "/organs/main.dat");
  EXPECT_TRUE(user.messages.empty());
  EXPECT_EQ(user.fileDialogs, (std::vector<std::string>{"Load|.dat", "Save|.dat"}));
}

}  // namespace
}  // namespace kalvant::test
