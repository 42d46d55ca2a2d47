#pragma once
// The about box and the help manual as the menu asks for them. Each request
// to show grows a counter, and the window comes forward (one box however
// often it is asked for).

#include <functional>
#include <string>

#include "about/AboutView.h"
#include "common/Services.h"
#include "view/Views.h"

namespace kalvant {

class AboutHelp {
 public:
  struct Hooks {
    // The module answers the identification entry as the box opens.
    std::function<void()> sendIdentification;
    // A message box, unless the console has shut down.
    std::function<void(const std::string&, MessageIcon)> tell;
    // The shared change notification, once per changed view field.
    std::function<void()> changed;
  };
  AboutHelp(const std::string& resourceDir, Hooks hooks)
      : resourceDir_(resourceDir), hooks_(std::move(hooks)) {}

  const AboutView& aboutView() const { return about_; }
  const HelpView& helpView() const { return help_; }

  void About_Click();
  // The manual is an HTML file with its pictures in the resource folder;
  // without it the user is told so and no window opens.
  void Help1_Click();

 private:
  template <class T>
  void set(T& field, const T& value) {
    setView(field, value, hooks_.changed);
  }
  std::string resourceDir_;
  Hooks hooks_;
  AboutView about_;
  HelpView help_;
};

}  // namespace kalvant
