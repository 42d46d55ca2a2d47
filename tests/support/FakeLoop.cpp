#include "support/FakeLoop.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace kalvant::test {

void FakeLoop::startTimer(int msec) {
  armed_ = true;
  interval_ = msec;
  deadline_ = now + msec;
}

midi::Post FakeLoop::post() {
  return [this](std::function<void()> fn) { posted_.push_back(std::move(fn)); };
}

void FakeLoop::runPosted() {
  while (!posted_.empty()) {
    auto batch = std::move(posted_);
    posted_.clear();
    for (auto& fn : batch) fn();
  }
}

void FakeLoop::waitForEvents() {
  if (!posted_.empty()) {
    runPosted();
    return;
  }
  const bool haveAction = !scheduled_.empty();
  if (!armed_ && !haveAction) {
    ADD_FAILURE() << "a wait with no timer and nothing scheduled would never end";
    if (onTimer) onTimer();  // end the wait rather than hang the test
    return;
  }
  if (haveAction && (!armed_ || scheduled_.begin()->first < deadline_)) {
    auto it = scheduled_.begin();
    now = std::max(now, it->first);
    auto fn = std::move(it->second);
    scheduled_.erase(it);
    fn();
    return;
  }
  now = deadline_;
  deadline_ += interval_;
  // A wait that never ends would hang the test run: a virtual hour is a bug.
  if (now > 3600 * 1000)
    throw std::runtime_error("virtual clock ran past an hour: a wait never ended");
  if (onTimer) onTimer();
}

std::optional<std::string> ScriptedUser::nextFile(const std::string& title,
                                                  const std::string& extension) {
  fileDialogs.push_back(title + "|" + extension);
  if (pickedFiles.empty()) return std::nullopt;
  std::optional<std::string> file = std::move(pickedFiles.front());
  pickedFiles.pop_front();
  return file;
}

bool ScriptedUser::askYesNo(const std::string& text) {
  questions.push_back(text);
  if (whileOpen) whileOpen();
  if (answers.empty()) return false;
  const bool yes = answers.front();
  answers.erase(answers.begin());
  return yes;
}

}  // namespace kalvant::test
