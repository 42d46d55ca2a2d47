// Routing inside JACK's cycle: notes reach the module within one period of
// being played, while a memory's sysex is paced out and in a chord at
// NoteDelay 100, and a second recall during the first one's paced send wins.
// Notes come from frame-clock clients on kalvant's inputs and are timed at
// a frame-clock client on its output; the keyboards give the commands.

#include <unistd.h>

#include <algorithm>
#include <map>
#include <thread>

#include "ConsoleOnJack.h"
#include "harness/FrameClients.h"
#include "support/ConsoleFixture.h"

namespace kalvant::e2e {
namespace {

using namespace std::chrono_literals;

// Pedal + key 77 on the Great: memory 18 (entries 20, 60, 90, then the
// Great at volume 100); pedal + key 78 on the Pedal: memory 19, set below.
const std::vector<Bytes> kRecallA = {
    {0xB0, 0x40, 0x7F}, {0x90, 0x4D, 0x64}, {0x90, 0x4D, 0}, {0xB0, 0x40, 0}};
const std::vector<Bytes> kRecallB = {
    {0xB2, 0x40, 0x7F}, {0x92, 0x4E, 0x64}, {0x92, 0x4E, 0}, {0xB2, 0x40, 0}};
const Bytes kRecallAEnd = {0xB0, 0x0B, 0x64};

void send(Keyboard& keys, const std::vector<Bytes>& messages) {
  for (const Bytes& m : messages) keys.play(m);
}

// `count` groups of `size` numbered notes on `channel`, numbers from
// `first`, `gap` apart from `start` on.
std::vector<Planned> notes(int channel, long first, int count, int size, double startMs,
                           double gapMs, Frame rate) {
  std::vector<Planned> plan;
  for (int g = 0; g < count; ++g)
    for (int i = 0; i < size; ++i) {
      Planned p{static_cast<Frame>((startMs + g * gapMs) * rate / 1000),
                numberedNote(first + g * size + i)};
      p.bytes[0] = static_cast<std::uint8_t>(0x90 | channel);
      plan.push_back(p);
    }
  return plan;
}

class JackLiveRouting : public JackE2E {
 protected:
  // A frame-clock source on each of kalvant's inputs, a sink on its output.
  void attachProbes() {
    const std::string own = "-" + std::to_string(::getpid());
    for (int i = 0; i < 2; ++i)
      sources_[i] = std::make_unique<FrameSource>("e2e-frames-" + std::to_string(i + 1) + own);
    sink_ = std::make_unique<FrameSink>("e2e-frames-module" + own, 4096);
    ASSERT_TRUE(sources_[0]->ok() && sources_[1]->ok() && sink_->ok());
    ASSERT_TRUE(connectJackPorts(sources_[0]->outPort(), "kalvant:in1"));
    ASSERT_TRUE(connectJackPorts(sources_[1]->outPort(), "kalvant:in2"));
    ASSERT_TRUE(connectJackPorts("kalvant:out", sink_->inPort()));
    std::this_thread::sleep_for(100ms);
    sink_->takeWhenQuiet(50ms, 1s);
  }

  // Plays a plan on each input side by side; returns what the sink got.
  std::vector<Arrived> playBoth(std::vector<Planned> a, std::vector<Planned> b) {
    sources_[0]->begin(std::move(a));
    sources_[1]->begin(std::move(b));
    EXPECT_TRUE(sources_[0]->finish(5s) && sources_[1]->finish(5s));
    return sink_->takeWhenQuiet(300ms, 8s);
  }

  // The played notes that did not come unchanged within one period of
  // being played, with their lateness in frames; empty when all did.
  std::string lateNotes(const std::vector<Arrived>& got) const {
    std::string late;
    const Frame period = sources_[0]->period();
    for (const auto& source : sources_)
      for (std::size_t i = 0; i < source->played().size(); ++i) {
        const Planned& p = source->played()[i];
        const auto came = std::find_if(got.begin(), got.end(),
                                       [&](const Arrived& m) { return m.bytes == p.bytes; });
        char text[64];
        if (came == got.end()) {
          std::snprintf(text, sizeof text, "%02X %02X %02X never, ", p.bytes[0], p.bytes[1],
                        p.bytes[2]);
        } else if (const auto frames = static_cast<std::int32_t>(came->at - source->sent()[i]);
                   frames > static_cast<std::int32_t>(period)) {
          std::snprintf(text, sizeof text, "%02X %02X %02X +%d frames, ", p.bytes[0], p.bytes[1],
                        p.bytes[2], frames);
        } else {
          continue;
        }
        late += text;
      }
    return late;
  }

  // The first frame of a sysex message in `got`, and the last one's.
  static std::pair<Frame, Frame> sysexSpan(const std::vector<Arrived>& got) {
    std::vector<Frame> at;
    for (const Arrived& m : got)
      if (m.bytes[0] == 0xF0) at.push_back(m.at);
    return at.empty() ? std::pair<Frame, Frame>{0, 0} : std::pair{at.front(), at.back()};
  }

  // Waits for `last` at the module and takes everything up to then.
  void drainUntil(const Bytes& last) {
    EXPECT_TRUE(module_->waitUntil(
        [&](const std::vector<Stamped>& got) {
          return std::any_of(got.begin(), got.end(),
                             [&](const Stamped& m) { return m.bytes == last; });
        },
        8s));
    std::this_thread::sleep_for(100ms);
    module_->take();
  }

  std::unique_ptr<FrameSource> sources_[2];
  std::unique_ptr<FrameSink> sink_;
};

TEST_F(JackLiveRouting, NotesOnBothKeyboardsPassWithinAPeriodWhileAMemoryIsPacedOut) {
  start([](CfgData& cfg) {
    cfg.settings.ThruMode = 0;
    cfg.settings.SysexDelay = 20;  // three stops: 60 ms of paced sysex
  });
  attachProbes();
  const Frame rate = sources_[0]->rate();
  send(*keysA_, kRecallA);
  const std::vector<Arrived> got =
      playBoth(notes(0, 0, 12, 1, 3, 5, rate), notes(2, 36, 12, 1, 5.5, 5, rate));
  const auto [first, last] = sysexSpan(got);
  EXPECT_LT(static_cast<std::int32_t>(first - sources_[0]->sent().back()), 0)
      << "the paced send began after the notes";
  EXPECT_GT(static_cast<std::int32_t>(last - sources_[0]->sent().front()), 0)
      << "the paced send ended before the notes";
  EXPECT_EQ(lateNotes(got), "");
  drainUntil(kRecallAEnd);
}

TEST_F(JackLiveRouting, ARecallDuringAnotherOnesPacedSendLeavesItsStopsOnEveryDivision) {
  start([](CfgData& cfg) {
    cfg.settings.ThruMode = 0;
    cfg.settings.SysexDelay = 20;
    Registration& b = cfg.fixedMemories[6];  // memory 19
    b.GreatStop = 21, b.SwellStop = 61, b.PedalStop = 91;
  });
  send(*keysA_, kRecallA);
  std::this_thread::sleep_for(25ms);  // memory 18's first stop is out, two to come
  send(*keysB_, kRecallB);
  const auto pedalB = [](const std::vector<Stamped>& got) {  // memory 19's last stop
    return std::any_of(got.begin(), got.end(),
                       [](const Stamped& m) { return test::entryOf(m.bytes) == 91; });
  };
  EXPECT_TRUE(module_->waitUntil(pedalB, 8s)) << kalvant_.log();
  std::this_thread::sleep_for(300ms);
  const std::vector<Stamped> got = module_->take();
  std::map<std::string, int> lastStop;
  for (const Stamped& m : got) {
    const int e = test::entryOf(m.bytes);
    if (e == 20 || e == 21) lastStop["Great"] = e;
    if (e == 60 || e == 61) lastStop["Swell"] = e;
    if (e == 90 || e == 91) lastStop["Pedal"] = e;
  }
  EXPECT_EQ(lastStop, (std::map<std::string, int>{{"Great", 21}, {"Pedal", 91}, {"Swell", 61}}))
      << describeAll(got);
}

TEST_F(JackLiveRouting, AFourNoteChordAtNoteDelay100ArrivesWithinAPeriod) {
  start([](CfgData& cfg) {
    cfg.settings.ThruMode = 0;
    cfg.settings.NoteDelay = 100;
  });
  attachProbes();
  const Frame rate = sources_[0]->rate();
  EXPECT_EQ(lateNotes(playBoth(notes(0, 0, 5, 4, 3, 20, rate), {})), "");
  module_->take();
}

}  // namespace
}  // namespace kalvant::e2e
