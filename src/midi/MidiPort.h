#pragma once
// The MIDI port layer: two input ports and one output port as the console
// sees them, with a device list, open/start/close, a received-message queue,
// short messages and system exclusive.
//
// Threading contract (the whole layer keeps it):
// - Every method of MidiInput and MidiOutput is called on the GUI thread, and
//   every callback (onMessage, onError) runs on the GUI thread.
// - A back-end's driver thread (JACK's process thread, RtMidi's callback
//   thread, the test itself for MemoryMidi) is the only producer of its
//   input's queue: it calls enqueueFromDriver() and nothing else of the
//   input. The GUI thread is the only consumer (queueCount, head, dropHead).
//   The queue is a preallocated single-producer/single-consumer ring; the
//   parser's state belongs to the producer alone. clearQueue() only asks the
//   producer to reset its parser before its next event, and drops what is
//   queued.
// - JACK's process thread is real-time: there it never allocates, locks or
//   waits. It neither posts nor reports; it wakes the JACK system's notifier
//   thread (a semaphore post), which posts the delivery. RtMidi's callback
//   thread is not real-time and posts directly (Post may allocate).
// - Live routing: while an input's queue is empty (the GUI thread has
//   dropped every message it was given) and the back-end has a cycle of its
//   own (cycleOut() not null), each message is offered to the live router on
//   the driver thread. A message it takes is done; the first one it leaves
//   goes to the queue, and so does every later message of that input, not
//   offered, until the GUI thread has emptied the queue. So per input the
//   order is kept and nothing is lost or handled twice. The GUI thread drops
//   a message only after handling it (and sending what it makes), so what it
//   sent leaves before what the router sends for a later message.
// - The live router runs on the driver thread: it never allocates, locks or
//   waits, reads only state it publishes to itself atomically, and sends
//   only through the CycleOut it is given.
// - An output's send never waits without end: while the driver runs it may
//   sleep briefly for room in the driver's buffer, or (ALSA) for the minimum
//   gap; once the driver has stopped (or stands still) the message is
//   dropped at once, and closing returns at once.
// - onMessage is never re-entered for the same input: a notification that
//   arrives while that input's handler is running (a command it runs may
//   open a modal box, whose loop handles events) is dropped, because the
//   running handler drains the queue until it is empty. So every message is
//   handled once, in order.
// - setLiveRouter() returns once no driver call uses the router it
//   replaced, so the router's owner may go right after taking it back.
// - The MIDI monitor's tap (MonitorTap.h): while a monitor watches, each
//   input's driver thread copies every event it receives, and every message
//   its live router sends, into a preallocated ring of its own, and the GUI
//   thread does the same for what the console's output sends; the GUI
//   thread drains the rings on a timer. A full ring drops and counts; a
//   producer never waits on the monitor, allocates or locks. While none
//   watches, the tap costs one relaxed atomic load per event.
// - Closures posted by a port check that the port still exists before use.
// - Device changes (a device came, went or was renamed; the MIDI system
//   stopped or came back) reach the GUI thread as onDevicesChanged and
//   onError(kSystemStopped / kSystemBack); a back-end's notification thread
//   only calls devicesChanged() and reportError(), which post.

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "midi/LiveRouting.h"
#include "midi/MidiParser.h"

namespace kalvant::midi {

// Hands a closure to the GUI thread. Thread-safe.
using Post = std::function<void(std::function<void()>)>;

// Error codes raised through onError. Inputs ignore kWarning and
// kQueueOverflow (an overloaded input counts its drops instead, see
// droppedCount); every other code is a failure the user should see.
enum ErrorCode : int {
  kWarning = 0,
  kNoSuchDevice = 4,
  kInvalidUse = 7,
  kQueueOverflow = 8,
  kDriverError = 9,
  // The MIDI system (the JACK server) stopped under the console, or answers
  // again. Raised once each, by the output port of the system.
  kSystemStopped = 10,
  kSystemBack = 11,
};

// What an input and an output have in common: a device list and a life.
class MidiPort {
 public:
  explicit MidiPort(Post post);
  virtual ~MidiPort();
  MidiPort(const MidiPort&) = delete;
  MidiPort& operator=(const MidiPort&) = delete;

  virtual int deviceCount() = 0;
  // Device index for listing and opening; any value is accepted here,
  // open() checks it.
  void selectDevice(int index) { selected_ = index; }
  virtual std::string deviceName() = 0;  // name of the selected device, "" if none
  // Every device's name, in list order, from one look at the system.
  virtual std::vector<std::string> devices();

  // Opens the selected device. Returns false (and raises onError) on failure.
  virtual bool open() = 0;
  // Makes an opened port usable: an input starts queueing what it receives.
  virtual bool start() = 0;
  virtual void close() = 0;
  bool isOpen() const { return open_; }

  // The device an open port is connected to now: "" once the connection is
  // gone (the device went away), nullopt when the back-end cannot tell (then
  // only the device list tells). A device renamed while connected shows its
  // new name here.
  virtual std::optional<std::string> connectedName() { return std::nullopt; }
  // True when the back-end calls devicesChanged() itself whenever devices
  // come, go or are renamed; otherwise its owner re-lists now and then.
  virtual bool announcesChanges() const { return false; }
  // GUI thread, about once a second: a back-end whose MIDI system stopped
  // tries to reach it again (and says kSystemBack when it does).
  virtual void poll() {}

  std::function<void(int code, const std::string& text)> onError;
  std::function<void()> onDevicesChanged;

  // Any thread: raises onError on the GUI thread.
  void reportError(int code, const std::string& text);
  // Any thread: raises onDevicesChanged on the GUI thread; calls that come
  // before it ran make one.
  void devicesChanged();

 protected:
  void post(std::function<void()> fn);
  bool open_ = false;
  int selected_ = -1;

 private:
  Post post_;
  std::shared_ptr<int> alive_ = std::make_shared<int>(0);
  std::atomic<bool> changePosted_{false};
};

class MidiInput : public MidiPort {
 public:
  using MidiPort::MidiPort;

  // Active sensing (254) is normally filtered: a keyboard sends it three
  // times a second and the console has nothing to do with it.
  void setFilter(std::uint8_t status, bool on) { filtered_[status] = on; }

  // The received-message queue (GUI thread).
  int queueCount() const;
  InMessage head() const;  // the oldest message, not removed; zeros if empty
  void dropHead();
  // Every queued message has its own number, so a handler that let other
  // events run (which may have closed and reopened the port) drops only the
  // message it handled.
  std::uint64_t headId() const;
  void dropHead(std::uint64_t id);

  std::function<void()> onMessage;

  // The router that may take this input's messages on the driver thread
  // (null: every message goes to the queue). GUI thread, before start().
  // Returns once the driver thread no longer uses the router it replaces.
  void setLiveRouter(LiveRouter* router, int input);
  // Where the driver thread sends what the live router takes; null when the
  // back-end has no cycle of its own (then every message is queued). Driver
  // thread.
  virtual CycleOut* cycleOut() { return nullptr; }

  // Driver thread: offers to the live router or queues every message of one
  // received event (its bytes as they came; see MidiParser).
  void enqueueFromDriver(const std::uint8_t* bytes, std::size_t size);

  // A keyboard playing faster than the console handles fills the queue.
  // Beyond kQueueLimit a message is dropped, unless it is a release: a
  // dropped release leaves a note sounding, so releases have a reserve of
  // their own above the limit. When even the reserve is full a release is
  // dropped too: the producer cannot take back what it queued.
  static constexpr std::size_t kQueueLimit = 65536;
  static constexpr std::size_t kReleaseReserve = 1024;
  static constexpr std::size_t kQueueCapacity = kQueueLimit + kReleaseReserve;
  // Messages dropped since the port was made (GUI thread).
  std::uint64_t droppedCount() const { return dropped_.load(std::memory_order_relaxed); }

 protected:
  std::atomic<bool> started_{false};  // read by the driver thread
  // GUI thread: drops what is queued; the parser starts afresh at the
  // producer's next event.
  void clearQueue();
  // Driver thread: the queue got messages, deliver() must run on the GUI
  // thread. Posts here; a real-time driver wakes a thread that calls
  // postDelivery() instead.
  virtual void wakeGui() { postDelivery(); }
  // Any thread but a real-time one: posts deliver() to the GUI thread.
  void postDelivery();

 private:
  void deliver();
  void offerOrQueue(const InMessage& m);
  bool push(const InMessage& m);  // producer; false when dropped
  // Positions count every message ever queued: a message's id is its
  // position + 1. tail_ is written by the producer, head_ by the consumer.
  alignas(64) std::atomic<std::uint64_t> tail_{0};
  alignas(64) std::atomic<std::uint64_t> head_{0};
  std::unique_ptr<InMessage[]> slots_ = std::make_unique<InMessage[]>(kQueueCapacity);
  MidiParser parser_;  // producer only
  std::atomic<bool> resetParser_{false};
  std::atomic<std::uint64_t> dropped_{0};
  std::atomic<bool> notifyPosted_{false};
  bool inHandler_ = false;
  std::array<std::atomic<bool>, 256> filtered_{};
  std::atomic<LiveRouter*> liveRouter_{nullptr};
  std::atomic<int> liveInput_{0};
  std::atomic<int> liveUsers_{0};  // driver calls into the router right now
};

class MidiOutput : public MidiPort {
 public:
  using MidiPort::MidiPort;

  // Sends one short message with its real length (program change and channel
  // pressure are two bytes, system real-time one). Values are masked to
  // bytes; a status below 128 is not a message and is not sent.
  void sendShort(int status, int data1, int data2);

  // Hands over a stops-table entry: each F7 ends a message, and each message
  // leaves on its own (JACK would otherwise deliver them as one event).
  // Bytes after the last F7 are not a message and are not sent.
  void sendSysex(std::string_view bytes);

  // The least time between two messages leaving the output (0: none). The
  // output spaces a burst by it; a message after a quiet spell leaves at
  // once. JACK spaces messages in frames inside its cycle; ALSA sleeps for
  // what is left of the gap since the last message, at most 500 us. GUI
  // thread.
  virtual void setMinimumGap(std::chrono::microseconds gap) { minimumGap_ = gap; }
  std::chrono::microseconds minimumGap() const { return minimumGap_; }

  // A synthesizer that plays inside the back-end's own cycle. True when the
  // back-end renders it (JACK: audio ports out_L and out_R, connected to the
  // first two physical playback ports). While one is attached it hears
  // every message instead of the output port. Null takes it back (false),
  // returning once no cycle uses it. GUI thread.
  virtual bool attachCycleSynth(CycleSynth* /*synth*/) { return false; }
  // The attached synthesizer's sample rate (0 when none can play).
  virtual double cycleSampleRate() const { return 0; }
  // A message for the attached synthesizer only, in order with the output's
  // sends and with what the cycle routes to it; dropped when none is
  // attached. The port need not be open. GUI thread.
  virtual void sendToCycleSynth(const std::uint8_t* /*data*/, std::size_t /*size*/) {}

  // The console's own output shows what it sends in the MIDI monitor (an
  // output that only carries another's messages stays unmonitored). GUI
  // thread.
  void setMonitored(bool on) { monitored_ = on; }

 protected:
  // One complete message, port open.
  virtual void sendMessage(const std::uint8_t* data, std::size_t size) = 0;
  // Seen once per sendSysex call, before it is split (tests count hand-overs).
  virtual void handedOver(std::string_view) {}

 private:
  void tapSent(const std::uint8_t* data, std::size_t size);
  std::chrono::microseconds minimumGap_{0};
  bool monitored_ = false;
};

}  // namespace kalvant::midi
