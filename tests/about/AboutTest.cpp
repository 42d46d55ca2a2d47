#include "support/ConsoleFixture.h"

namespace kalvant::test {
namespace {

struct About : ConsoleTest {
  About() { k->stopsTable.table() = taggedTable(), openOutput(); }
};

TEST_F(About, EachChoiceSendsEntryZeroAndBringsTheOneBoxForward) {
  for (int i = 0; i < 2; ++i) k->About_Click();
  const auto& about = k->aboutHelp.aboutView();
  EXPECT_EQ(std::tuple(sentEntries(), about.shows, about.picturePath),
            std::tuple(std::vector<int>{0, 0}, 2, path("about.jpg")));
}

TEST_F(About, HelpShowsTheManualOrNamesTheMissingOne) {
  k->Help1_Click();
  ASSERT_EQ(user.messages.size(), 1u);
  EXPECT_NE(user.messages[0].find(path("help/kalvant.html")), std::string::npos);
  std::filesystem::create_directory(path("help"));
  writeFile("help/kalvant.html", "<html></html>");
  k->Help1_Click();
  const auto& help = k->aboutHelp.helpView();
  EXPECT_EQ(std::tuple(help.manualPath, help.shows, user.messages.size()),
            std::tuple(path("help/kalvant.html"), 1, 1u));
  EXPECT_TRUE(sent.empty());
}

}  // namespace
}  // namespace kalvant::test
