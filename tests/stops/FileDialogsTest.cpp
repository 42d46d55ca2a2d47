// The file dialogs: one extension, compared without regard to case, on the
// last characters of the chosen path only.

#include "support/ConsoleFixture.h"

namespace kalvant::test {
namespace {

using FileDialogs = ConsoleTest;

TEST_F(FileDialogs, AcceptsOnlyPathsEndingInTheExtension) {
  struct Case {
    const char* picked;
    const char* extension;
    bool accepted;
  };
  const Case cases[] = {
      {"/organs/Main.DAT", ".dat", true},
      {"/organs/main.dat", ".dat", true},
      {"/organs/main.Syx", ".syx", true},
      {"/organs/x.dat.bak", ".dat", false},
      {"/organs/main.sqs", ".dat", false},
      {"/organs.dat/main", ".dat", false},
      {"dat", ".dat", false},
      {"/m/setup.SQS", ".sqs", true},
  };
  for (const Case& c : cases) {
    user.messages.clear();
    user.pickedFiles = {std::string(c.picked)};
    std::string file = "before";
    const int result = k->OpenDialog("title", c.extension, file);
    EXPECT_EQ(result, c.accepted ? 0 : 1) << c.picked;
    EXPECT_EQ(file, c.accepted ? c.picked : "before") << c.picked;
    EXPECT_EQ(user.messages, c.accepted ? std::vector<std::string>{}
                                        : std::vector<std::string>{"Unauthorized file"})
        << c.picked;
  }
}

TEST_F(FileDialogs, CancelReturnsOneAndSaysNothing) {
  std::string file = "/organs/main.dat";
  EXPECT_EQ(k->OpenDialog("Load", ".dat", file), 1);
  EXPECT_EQ(k->SaveDialog("Save", ".dat", file), 1);
  EXPECT_EQ(file, "/organs/main.dat");
  EXPECT_TRUE(user.messages.empty());
  EXPECT_EQ(user.fileDialogs, (std::vector<std::string>{"Load|.dat", "Save|.dat"}));
}

TEST_F(FileDialogs, ARefusedChoiceAfterAGoodOneKeepsTheEarlierPath) {
  user.pickedFiles = {std::string("/organs/first.dat"), std::string("/organs/second.txt")};
  std::string file;
  ASSERT_EQ(k->SaveDialog("Save", ".dat", file), 0);
  EXPECT_EQ(k->SaveDialog("Save", ".dat", file), 1);
  EXPECT_EQ(file, "/organs/first.dat");
}

TEST_F(FileDialogs, SaveAddsTheExtensionToANameTypedWithoutOne) {
  struct Case {
    const char* typed;
    int result;
    const char* path;
  };
  const Case cases[] = {
      {"/organs/church", 0, "/organs/church.dat"},
      {"/organs/church.DAT", 0, "/organs/church.DAT"},
      {"/organs/church.txt", 1, ""},  // an extension of its own is kept, and refused
      {"/organs.v2/church", 0, "/organs.v2/church.dat"},
  };
  for (const Case& c : cases) {
    user.pickedFiles = {std::string(c.typed)};
    std::string file;
    EXPECT_EQ(k->SaveDialog("Save", ".dat", file), c.result) << c.typed;
    EXPECT_EQ(file, c.path) << c.typed;
  }
}

}  // namespace
}  // namespace kalvant::test
