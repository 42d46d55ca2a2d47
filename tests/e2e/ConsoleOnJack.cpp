#include "ConsoleOnJack.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <thread>

#include <unistd.h>

#include "support/ConsoleFixture.h"

namespace kalvant::e2e {

using namespace std::chrono_literals;

namespace {

// Program change on channel 16: nothing touches it, so it comes after
// everything played before it on the same input.
const std::string kFence[2] = {"CF 7F", "CF 7E"};
constexpr auto kAnswer = 8s;  // the sanitizer build is several times slower

Bytes parseMessage(const std::string& text) {
  std::istringstream in(text);
  Bytes bytes;
  for (std::string word; in >> word;) {
    if (word != "entry") {
      bytes.push_back(static_cast<std::uint8_t>(std::stoi(word, nullptr, 16)));
    } else if (int k = 0; in >> k) {
      const std::string tagged = test::taggedEntry(k);
      bytes.insert(bytes.end(), tagged.begin(), tagged.end());
    }
  }
  return bytes;
}

std::string describe(const Bytes& message) {
  if (const int e = test::entryOf(message); e >= 0) return "entry " + std::to_string(e);
  std::string text;
  for (std::uint8_t b : message)
    text += std::string(text.empty() ? "" : " ") + "0123456789ABCDEF"[b >> 4] +
            "0123456789ABCDEF"[b & 15];
  return text;
}

// Fixed memories recalled by key (memory 13 is key 72): 13 Great to Swell,
// 14 Swell to Great, 15 Pedal to Great, 16 Pedal to Swell, 17 the Swell
// active with Swell to Great, 18 entries 20, 60, 90 and the Great at volume 100.
void putScenarioMemories(CfgData& cfg) {
  auto& m = cfg.fixedMemories;
  m[0].ManualCoupler = 1;
  m[1].ManualCoupler = 2;
  m[2].PedalCoupler = 1;
  m[3].PedalCoupler = 2;
  m[4].ActiveManual = m[4].ManualCoupler = 2;
  m[5].GreatStop = 20;
  m[5].SwellStop = 60;
  m[5].PedalStop = 90;
  m[5].GreatVolume = 100;
}

}  // namespace

std::string describeAll(const std::vector<Stamped>& messages) {
  std::string texts;
  for (const Stamped& m : messages) texts += (texts.empty() ? "" : ", ") + describe(m.bytes);
  return texts;
}

void JackE2E::SetUp() {
  if (!std::getenv("JACK_DEFAULT_SERVER"))
    GTEST_SKIP() << "no JACK test server (run through scripts/test)";
  dir_ = std::make_unique<TempDir>("kalvant-e2e");
  ASSERT_FALSE(dir_->path().empty());
  // Names of our own: JACK renames a client whose name a crashed run still holds.
  const std::string own = "-" + std::to_string(::getpid());
  keysA_ = std::make_unique<Keyboard>("e2e-keys-a" + own);
  keysB_ = std::make_unique<Keyboard>("e2e-keys-b" + own);
  module_ = std::make_unique<Recorder>("e2e-module" + own);
}

void JackE2E::TearDown() {
  if (!kalvant_.running()) return;
  int code = -1;
  EXPECT_EQ(describeAll(shutdown(code)), "entry 100, entry 1");
  EXPECT_EQ(code, 0) << kalvant_.log();
}

void JackE2E::launch(const std::function<void(CfgData&)>& adjust) {
  const int in1 = sourcePosition(keysA_->portName()), in2 = sourcePosition(keysB_->portName());
  const int out = sinkPosition(module_->portName());
  ASSERT_TRUE(in1 >= 0 && in2 >= 0 && out >= 0) << in1 << " " << in2 << " " << out;
  cfg_ = cfgFor(dir_->path(), in1, in2, out);
  if (adjust) adjust(cfg_);
  ASSERT_EQ(writeProgramFiles(dir_->path(), cfg_, test::taggedTable()), "");
  ASSERT_TRUE(kalvant_.start(dir_->path()));
}

std::vector<Stamped> JackE2E::start(const std::function<void(CfgData&)>& adjust) {
  launch([&](CfgData& cfg) {
    putScenarioMemories(cfg);
    if (adjust) adjust(cfg);
  });
  // Input played during the reset's twelve messages would be handled among them.
  EXPECT_TRUE(module_->waitForCount(12, kAnswer)) << kalvant_.log();
  std::vector<Stamped> reset = play(0, "");
  for (Stamped& m : play(1, "")) reset.push_back(std::move(m));
  return reset;
}

std::vector<Stamped> JackE2E::play(int input, const std::string& messages) {
  Keyboard& keys = input == 0 ? *keysA_ : *keysB_;
  std::istringstream in(messages);
  for (std::string m; std::getline(in, m, ',');) keys.play(parseMessage(m));
  const Bytes fence = parseMessage(kFence[input]);
  keys.play(fence);
  const auto isFence = [&](const Stamped& m) { return m.bytes == fence; };
  const auto fenced = [&](const std::vector<Stamped>& got) {
    return std::any_of(got.begin(), got.end(), isFence);
  };
  EXPECT_TRUE(module_->waitUntil(fenced, kAnswer)) << "kalvant did not answer:\n" << kalvant_.log();
  std::vector<Stamped> before = module_->take();
  std::erase_if(before, isFence);
  return before;
}

void JackE2E::runSteps(const std::vector<Step>& steps) {
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    EXPECT_EQ(describeAll(play(step.input, step.play)), step.expected);
  }
}

std::vector<Stamped> JackE2E::shutdown(int& exitCode) {
  kalvant_.terminate();
  const bool ended = kalvant_.waitExit(kAnswer, exitCode);
  EXPECT_TRUE(ended) << "kalvant did not end on SIGTERM";
  if (!ended) kalvant_.kill();
  // The last messages left before the ports closed: give JACK a few periods.
  module_->waitForCount(2, 500ms);
  std::this_thread::sleep_for(50ms);
  return module_->take();
}

}  // namespace kalvant::e2e
