#pragma once
// The MIDI port layer: two input ports and one output port as the console
// sees them, with a device list, open/start/close, a received-message queue,
// short messages and system exclusive.
//
// Threading contract (the whole layer keeps it):
// - Every method of MidiInput and MidiOutput is called on the GUI thread, and
//   every callback (onMessage, onError) runs on the GUI thread.
// - A back-end's driver thread (RtMidi's callback, JACK's process thread)
//   touches only enqueueFromDriver() and reportError(). Both take the queue's
//   mutex or hand a closure to the Post function, which must be safe to call
//   from any thread and must run the closure later on the GUI thread (in the
//   program: a queued call into the Qt event loop).
// - The driver thread never runs console code and never waits for the GUI.
// - onMessage is never re-entered for the same input: a notification that
//   arrives while that input's handler is running (the handler pumps events
//   between messages) is dropped, because the running handler drains the
//   queue until it is empty. So every message is handled once, in order.
// - Closures posted by a port check that the port still exists before use.

#include <array>
#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

namespace kalvant::midi {

// Hands a closure to the GUI thread. Thread-safe.
using Post = std::function<void(std::function<void()>)>;

// Error codes raised through onError. Inputs ignore kWarning and
// kQueueOverflow; every other code is a failure the user should see.
enum ErrorCode : int {
  kWarning = 0,
  kNoSuchDevice = 4,
  kInvalidUse = 7,
  kQueueOverflow = 8,
  kDriverError = 9,
};

struct InMessage {
  std::uint8_t status = 0;
  std::uint8_t data1 = 0;
  std::uint8_t data2 = 0;
  bool operator==(const InMessage&) const = default;
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
  int selectedDevice() const { return selected_; }
  virtual std::string deviceName() = 0;  // name of the selected device, "" if none

  // Opens the selected device. Returns false (and raises onError) on failure.
  virtual bool open() = 0;
  // Makes an opened port usable: an input starts queueing what it receives.
  virtual bool start() = 0;
  virtual void close() = 0;
  bool isOpen() const { return open_; }

  std::function<void(int code, const std::string& text)> onError;

  // Any thread: raises onError on the GUI thread.
  void reportError(int code, const std::string& text);

 protected:
  void post(std::function<void()> fn);
  bool open_ = false;
  int selected_ = -1;

 private:
  Post post_;
  std::shared_ptr<int> alive_ = std::make_shared<int>(0);
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

  // Driver thread: queues one received message (bytes as they came).
  void enqueueFromDriver(const std::uint8_t* bytes, std::size_t size);

  static constexpr std::size_t kQueueLimit = 65536;

 protected:
  std::atomic<bool> started_{false};  // read by the driver thread
  void clearQueue();

 private:
  void deliver();
  mutable std::mutex mutex_;
  struct Queued {
    InMessage message;
    std::uint64_t id;
  };
  std::deque<Queued> queue_;
  std::uint64_t nextId_ = 1;
  std::atomic<bool> notifyPosted_{false};
  bool inHandler_ = false;
  std::array<std::atomic<bool>, 256> filtered_{};
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

 protected:
  // One complete message, port open.
  virtual void sendMessage(const std::uint8_t* data, std::size_t size) = 0;
  // Seen once per sendSysex call, before it is split (tests count hand-overs).
  virtual void handedOver(std::string_view) {}
};

}  // namespace kalvant::midi
