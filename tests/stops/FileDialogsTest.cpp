// The file dialogs: one extension, compared without regard to case, on the
// last characters of the chosen path only; a save adds it to a bare name.

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
  struct Case {
    bool save;
    const char* picked;  // nullptr: cancelled
    const char* extension;
    const char* result;  // nullptr: refused, the path kept
  };
  const Case cases[] = {
      {false, "/organs/Main.DAT", ".dat", "/organs/Main.DAT"},
      {false, "/organs/main.Syx", ".syx", "/organs/main.Syx"},
      {false, "/organs/x.dat.bak", ".dat", nullptr},
      {false, "/organs.dat/main", ".dat", nullptr},
      {false, "dat", ".dat", nullptr},
      {false, "/organs/main", ".dat", nullptr},  // only a save adds the extension
      {true, "/organs/church", ".dat", "/organs/church.dat"},
      {true, "/organs.v2/church", ".dat", "/organs.v2/church.dat"},
      {true, "/m/setup.SQS", ".sqs", "/m/setup.SQS"},
      {true, "/organs/church.txt", ".dat", nullptr},  // its own extension is kept, and refused
  };
  for (const Case& c : cases) {
    user.messages.clear();
    user.pickedFiles = {std::string(c.picked)};
    std::string file = "before";
    const int r = c.save ? dialogs.SaveDialog("t", c.extension, file)
                         : dialogs.OpenDialog("t", c.extension, file);
    EXPECT_EQ(r, c.result ? 0 : 1) << c.picked;
    EXPECT_EQ(file, c.result ? c.result : "before") << c.picked;
    EXPECT_EQ(user.messages,
              c.result ? std::vector<std::string>{} : std::vector<std::string>{"Unauthorized file"})
        << c.picked;
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
