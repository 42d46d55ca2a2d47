// Devices that come and go under the running program: it keeps them by name,
// releases what a vanished keyboard held, takes keyboards and the module
// back by themselves and sends the module the registration again.

#include <chrono>
#include <fstream>
#include <thread>

#include "ConsoleOnJack.h"

namespace kalvant::e2e {
namespace {

using namespace std::chrono_literals;

constexpr int A = 0;

std::string clientOf(const std::string& port) {
  return port.substr(0, port.find(':'));
}

TEST_F(JackE2E, ADeviceListedEarlierAtTheNextStartDoesNotStealTheConnection) {
  start();
  int code = -1;
  shutdown(code);
  ASSERT_EQ(code, 0);
  // Keyboard A leaves and comes back after another client: the saved
  // positions now point elsewhere.
  const std::string nameA = clientOf(keysA_->portName());
  const int before = sourcePosition(keysA_->portName());
  keysA_.reset();
  Keyboard intruder(nameA + "-intruder");
  keysA_ = std::make_unique<Keyboard>(nameA);
  ASSERT_NE(sourcePosition(keysA_->portName()), before) << "the list did not shift";
  ASSERT_TRUE(kalvant_.start(dir_->path()));
  EXPECT_TRUE(module_->waitForCount(12, 8s)) << kalvant_.log();
  module_->take();
  intruder.play({0x90, 0x30, 0x64});
  EXPECT_EQ(describeAll(play(A, "90 3C 64, 80 3C 40")), "90 3C 64, 80 3C 40");
}

TEST_F(JackE2E, AKeyboardThatVanishesReleasesItsNoteAndIsTakenBackWithinASecond) {
  start([](CfgData& cfg) { cfg.settings.ThruMode = 0; });
  EXPECT_EQ(describeAll(play(A, "90 3C 64")), "90 3C 64");
  const std::string name = clientOf(keysA_->portName());
  keysA_.reset();
  EXPECT_TRUE(module_->waitForCount(1, 3s));
  EXPECT_EQ(describeAll(module_->take()), "80 3C 40");
  keysA_ = std::make_unique<Keyboard>(name);
  std::this_thread::sleep_for(1s);
  EXPECT_EQ(describeAll(play(A, "90 3E 64, 80 3E 40")), "90 3E 64, 80 3E 40");
}

TEST_F(JackE2E, AModuleSwitchedOffAndOnGetsTheLiveRegistrationAgain) {
  start();
  EXPECT_EQ(describeAll(play(A, "B0 40 7F, 90 4D 64")), "entry 20, entry 60, entry 90, B0 0B 64");
  const std::string name = clientOf(module_->portName());
  module_.reset();
  std::this_thread::sleep_for(200ms);
  module_ = std::make_unique<Recorder>(name);
  const char* expected =
      "entry 20, entry 60, entry 90, entry 7, B0 01 00, B1 01 00, B0 0B 64, "
      "B1 0B 7F";
  EXPECT_TRUE(module_->waitForCount(8, 3s)) << kalvant_.log();
  EXPECT_EQ(describeAll(module_->take()), expected);
}

}  // namespace
}  // namespace kalvant::e2e
