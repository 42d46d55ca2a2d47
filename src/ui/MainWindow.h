#pragma once
// The console window: renders the panel and forwards clicks, keys and slider
// moves to the console's handlers. It holds no state of the organ.

#include <QMainWindow>
#include <array>
#include <string>
#include <vector>

#include "console/Console.h"

class QAbstractButton;
class QAction;
class QGridLayout;
class QLabel;
class QPushButton;
class QSlider;
class QToolButton;

namespace kalvant::ui {

class SetupDialog;
class TremoloDialog;
// The stops table editor, the about box and the help window.
class EditorWindow;
class AboutBox;
class HelpWindow;
class ThruDialog;
class MonitorWindow;

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit MainWindow(Console& console);

  // Repaints whatever changed in the panel since the last render.
  void render();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;
  // Enter presses the console button that has the focus, as Space does.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // A button and the view it renders, which lives as long as the console.
  // What a screen reader says of it: `spoken` (or, when null, the caption)
  // and, for a button that stays on or off, whether it is on.
  struct BoundButton {
    const ButtonView* view;
    ButtonView shown;
    QAbstractButton* widget;
    const char* spoken = nullptr;
    bool saysState = false;
  };

  void buildMenus();
  QWidget* buildPanel();
  struct Division {
    int index;  // 0 Great, 1 Swell, 2 Pedal
    const char* title;
    const ButtonView* button;
    const char* name;
    void (Console::*click)();
    int firstStop, lastStop;
    const ButtonView* tremolo;
    const char* tremoloName;
    void (Console::*tremoloClick)();
    const char* tremoloSpoken;
  };
  QWidget* buildDivision(const Division& d);
  QWidget* buildCouplersAndVolumes();
  QWidget* buildMemoryRow();
  QPushButton* makeButton(const ButtonView& view, const char* objectName,
                          void (Console::*handler)(), const char* spoken = nullptr,
                          bool saysState = true);
  void takeKeys(QWidget* control);
  QPushButton* sequencerButton(const char* objectName, const char* arrow, void (Console::*step)(),
                               const char* spoken, const char* tooltip);
  // Page Up / Page Down: the memory sequencer, whatever control has the focus.
  bool sequencerKey(const QKeyEvent* event);
  void placeStops();
  void scheduleRender();
  void fitStopWidths();
  void placeOnScreen();
  QString placementFile() const;

  Console& k_;
  // What the widgets show now of the panel.
  std::string shownCaption_, shownIconPath_;
  LabelView shownTableFile_;
  SoundView shownSound_;
  CombinationsView shownRegistration_;
  ports::SetupView shownSetup_;
  routing::ThruView shownThru_;
  LabelView shownMidiStatus_;
  LabelView shownConnectionStatus_;
  bool renderPending_ = false;
  bool firstRender_ = true;

  std::array<QPushButton*, 100> stops_{};
  std::array<QGridLayout*, 3> stopGrids_{};  // by division
  int stopWidth_ = 0;                        // the width every stop button shares
  bool shownOnce_ = false;
  std::vector<BoundButton> buttons_;
  std::array<QToolButton*, 13> leds_{};
  std::array<QLabel*, 13> ledLabels_{};
  std::array<QPushButton*, 13> fixed_{};
  QLabel* labelFileDat_ = nullptr;
  QLabel* labelFileMemory_ = nullptr;
  QLabel* labelMidiStatus_ = nullptr;
  QLabel* labelConnectionStatus_ = nullptr;
  QLabel* expGo_ = nullptr;
  QLabel* expSw_ = nullptr;
  QSlider* slider1_ = nullptr;
  QSlider* slider2_ = nullptr;
  std::array<QAction*, kMenuItemCount> actions_{};  // by MenuItem
  SetupDialog* setup_ = nullptr;
  TremoloDialog* tremolo_ = nullptr;
  // The stops table editor, the about box and the help window.
  EditorWindow* editor_ = nullptr;
  AboutBox* about_ = nullptr;
  HelpWindow* help_ = nullptr;
  ThruDialog* thru_ = nullptr;
  MonitorWindow* monitor_ = nullptr;
};

}  // namespace kalvant::ui
