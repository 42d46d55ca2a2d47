#include "ConsoleOnJack.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <thread>

#include <unistd.h>

#include "support/ConsoleFixture.h"

namespace kalvant::e2e {

using namespace std::chrono_literals;

namespace {

// Program change on channel 16: no thru mode, coupler or command touches
// it, so kalvant forwards it as it is, after everything played before it
// on the same input.
const std::string kFence[2] = {"CF 7F", "CF 7E"};

// Generous: the sanitizer build is several times slower.
constexpr auto kAnswer = 8s;

}  // namespace

Bytes parseMessage(const std::string& text) {
  if (text.rfind("entry ", 0) == 0) {
    const std::string tagged = test::taggedEntry(std::stoi(text.substr(6)));
    return Bytes(tagged.begin(), tagged.end());
  }
  Bytes bytes;
  std::istringstream in(text);
  std::string hex;
  while (in >> hex) bytes.push_back(static_cast<std::uint8_t>(std::stoi(hex, nullptr, 16)));
  return bytes;
}

std::string describe(const Bytes& message) {
  if (const int e = test::entryOf(message); e >= 0) return "entry " + std::to_string(e);
  std::string text;
  for (std::uint8_t b : message) {
    char hex[4];
    std::snprintf(hex, sizeof hex, "%02X", b);
    text += (text.empty() ? "" : " ") + std::string(hex);
  }
  return text;
}

std::vector<std::string> describeAll(const std::vector<Stamped>& messages) {
  std::vector<std::string> texts;
  for (const Stamped& m : messages) texts.push_back(describe(m.bytes));
  return texts;
}

void putScenarioMemories(CfgData& cfg) {
  auto& m = cfg.fixedMemories;  // m[0] is memory 13
  m[0].ManualCoupler = 1;
  m[1].ManualCoupler = 2;
  m[2].PedalCoupler = 1;
  m[3].PedalCoupler = 2;
  m[4].ActiveManual = 2;
  m[4].ManualCoupler = 2;
  m[5].GreatStop = 20;
  m[5].SwellStop = 60;
  m[5].PedalStop = 90;
  m[5].GreatVolume = 100;
}

void JackE2E::SetUp() {
  if (!std::getenv("JACK_DEFAULT_SERVER"))
    GTEST_SKIP() << "no JACK test server (run through scripts/test)";
  dir_ = std::make_unique<TempDir>("kalvant-e2e");
  ASSERT_FALSE(dir_->path().empty());
  // JACK renames a client whose name is taken; a name of our own keeps the
  // port names known even when a server outlives a crashed run.
  const std::string own = "-" + std::to_string(::getpid());
  keysA_ = std::make_unique<Keyboard>("e2e-keys-a" + own);
  keysB_ = std::make_unique<Keyboard>("e2e-keys-b" + own);
  module_ = std::make_unique<Recorder>("e2e-module" + own);
}

void JackE2E::TearDown() {
  if (!kalvant_.running()) return;
  int code = -1;
  const std::vector<Stamped> last = shutdown(code);
  EXPECT_EQ(describeAll(last), (std::vector<std::string>{"entry 100", "entry 1"}));
  EXPECT_EQ(code, 0) << kalvant_.log();
}

std::vector<Stamped> JackE2E::start(const std::function<void(CfgData&)>& adjust) {
  const int in1 = sourcePosition(keysA_->portName());
  const int in2 = sourcePosition(keysB_->portName());
  const int out = sinkPosition(module_->portName());
  EXPECT_TRUE(in1 >= 0 && in2 >= 0 && out >= 0) << in1 << " " << in2 << " " << out;
  cfg_ = cfgFor(dir_->path(), in1, in2, out);
  putScenarioMemories(cfg_);
  if (adjust) adjust(cfg_);
  EXPECT_EQ(writeProgramFiles(dir_->path(), cfg_, test::taggedTable()), "");
  EXPECT_TRUE(kalvant_.start(dir_->path()));
  // The reset is twelve messages; input played during its pauses would be
  // handled among them, so the fences wait until it is over.
  EXPECT_TRUE(module_->waitForCount(12, kAnswer)) << kalvant_.log();
  std::vector<Stamped> reset = play(0, {});
  for (Stamped& m : play(1, {})) reset.push_back(std::move(m));
  return reset;
}

std::vector<Stamped> JackE2E::play(int input, const std::vector<std::string>& messages) {
  Keyboard& keys = input == 0 ? *keysA_ : *keysB_;
  for (const std::string& m : messages) keys.play(parseMessage(m));
  const Bytes fence = parseMessage(kFence[input]);
  keys.play(fence);
  const bool fenced = module_->waitUntil(
      [&](const std::vector<Stamped>& got) {
        for (const Stamped& m : got)
          if (m.bytes == fence) return true;
        return false;
      },
      kAnswer);
  EXPECT_TRUE(fenced) << "kalvant did not answer; its log:\n" << kalvant_.log();
  std::vector<Stamped> before;
  for (Stamped& m : module_->take()) {
    if (m.bytes != fence) before.push_back(std::move(m));
  }
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
  // The last messages were sent before the ports closed; give JACK a few
  // periods to deliver them.
  module_->waitForCount(2, 500ms);
  std::this_thread::sleep_for(50ms);
  return module_->take();
}

}  // namespace kalvant::e2e
