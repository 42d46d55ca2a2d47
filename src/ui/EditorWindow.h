#pragma once
// The stops table editor window "kalvant Stops Table Editor": modeless, three tab pages
// of fields, the colour legend and the status line. It renders
// the stops table editor's view and forwards typing, clicks, menus and
// Ctrl+F9 to the editor.

#include <QMainWindow>
#include <array>
#include <optional>

#include "console/Console.h"

class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QTabWidget;

namespace kalvant::ui {

class EditorWindow : public QMainWindow {
  Q_OBJECT

 public:
  EditorWindow(Console& console, QWidget* parent);
  void render();

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Built from tables in EditorLayout.cpp.
  void buildMenus();
  QWidget* buildDivisionPage(int page);
  QWidget* buildGlobalPage();
  QWidget* buildBottomPanel();
  QWidget* buildStopColumns(int first, int last);
  QLineEdit* makeField(int index);
  QGroupBox* buildSystemGroup(const char* caption, std::initializer_list<int> fields);
  void renderField(int index, const EditorFieldView& v);
  void showForward();

  Console& k_;
  std::array<QLineEdit*, kEditorFields> fields_{};
  QTabWidget* tabs_ = nullptr;
  QGroupBox* systemFrame_ = nullptr;
  QLabel* lengthLabel_ = nullptr;
  QLabel* selectedLabel_ = nullptr;
  QLabel* statusLabel_ = nullptr;
  std::optional<EditorView> shown_;  // the view last rendered
  int raisesShown_ = 0;
  QString iconShown_;
};

// "#rrggbb" for a legend colour.
QString cssColor(Rgb color);

}  // namespace kalvant::ui
