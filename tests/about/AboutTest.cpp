// The about box sends the identification entry each time; the help manual
// is looked for in the program directory.

#include <filesystem>

#include "support/ConsoleFixture.h"

namespace kalvant::test {
namespace {

class About : public ConsoleTest {
 protected:
  About() {
    k->s.StopsTable = taggedTable();
    openOutput();
  }
};

TEST_F(About, EachChoiceSendsEntryZeroAndBringsTheOneBoxForward) {
  k->About_Click();
  k->About_Click();
  EXPECT_EQ(sentEntries(), (std::vector<int>{0, 0}));
  EXPECT_EQ(k->panel.frmABout.shows, 2);
  EXPECT_EQ(k->panel.frmABout.caption, "About KALVO 98");
  EXPECT_EQ(k->panel.frmABout.version, "kalvant V2.0");
  EXPECT_EQ(k->panel.frmABout.picturePath, path("about.jpg"));
  EXPECT_EQ(k->panel.frmABout.iconPath, path("flgitaly.ico"));
}

TEST_F(About, EntryZeroIsPacedLikeEveryEntry) {
  k->s.StopsTable[0] = taggedEntry(0) + taggedEntry(0);
  k->s.settings.SysexDelay = 20;
  k->About_Click();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_GE(sent[1].time - sent[0].time, 20);
}

TEST_F(About, HelpShowsTheManualFromTheProgramDirectory) {
  std::filesystem::create_directory(path("help"));
  writeFile("help/kalvant.html", "<html></html>");
  k->Help1_Click();
  EXPECT_EQ(k->panel.help.manualPath, path("help/kalvant.html"));
  EXPECT_EQ(k->panel.help.shows, 1);
  EXPECT_TRUE(user.messages.empty());
  EXPECT_TRUE(sent.empty());
}

TEST_F(About, AMissingManualIsNamedInAMessage) {
  k->Help1_Click();
  ASSERT_EQ(user.messages.size(), 1u);
  EXPECT_NE(user.messages[0].find(path("help/kalvant.html")), std::string::npos);
  EXPECT_EQ(k->panel.help.shows, 0);
}

}  // namespace
}  // namespace kalvant::test
