// The about box sends the identification entry each time it is chosen; the
// help manual is looked for in the program directory.

#include <filesystem>

#include "support/ConsoleFixture.h"

namespace kalvant::test {
namespace {

class About : public ConsoleTest {
 protected:
  About() {
    k->stopsTable.table() = taggedTable();
    openOutput();
  }
  const AboutHelp& part() const { return k->aboutHelp; }
};

TEST_F(About, EachChoiceSendsEntryZeroAndBringsTheOneBoxForward) {
  k->About_Click();
  k->About_Click();
  EXPECT_EQ(sentEntries(), (std::vector<int>{0, 0}));
  EXPECT_EQ(part().aboutView().shows, 2);
  EXPECT_EQ(part().aboutView().picturePath, path("about.jpg"));
}

TEST_F(About, HelpShowsTheManualOrNamesTheMissingOne) {
  k->Help1_Click();
  ASSERT_EQ(user.messages.size(), 1u);
  EXPECT_NE(user.messages[0].find(path("help/kalvant.html")), std::string::npos);
  EXPECT_EQ(part().helpView().shows, 0);
  std::filesystem::create_directory(path("help"));
  writeFile("help/kalvant.html", "<html></html>");
  k->Help1_Click();
  EXPECT_EQ(part().helpView().manualPath, path("help/kalvant.html"));
  EXPECT_EQ(part().helpView().shows, 1);
  EXPECT_EQ(user.messages.size(), 1u);
  EXPECT_TRUE(sent.empty());
}

}  // namespace
}  // namespace kalvant::test
