#include "ui/SetupDialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include "ui/OkCancelRow.h"
#include "ui/QtText.h"
#include "ui/ShowAsTheConsoleSays.h"
#include "ui/SynthSettingsBox.h"

namespace kalvant::ui {

namespace {

// An explanation that wraps. A dialog does not lay its labels out height
// for width, so the label asks for the height its lines take at its
// narrowest; wider, it needs less.
QLabel* wrapped(const char* text) {
  auto* l = new QLabel(toQt(text));
  l->setWordWrap(true);
  const int narrowest = l->fontMetrics().averageCharWidth() * 30;
  l->setMinimumWidth(narrowest);
  l->setMinimumHeight(l->heightForWidth(narrowest));
  return l;
}

QComboBox* combo(const char* name, const char* accessibleName, const char* tooltip) {
  auto* c = new QComboBox;
  c->setObjectName(name);
  c->setAccessibleName(toQt(accessibleName));
  c->setToolTip(toQt(tooltip));
  c->setMinimumWidth(240);
  return c;
}

QSlider* slider(const char* name, const char* accessibleName, int maximum) {
  auto* s = new QSlider(Qt::Horizontal);
  s->setObjectName(name);
  s->setAccessibleName(toQt(accessibleName));
  s->setRange(0, maximum);
  return s;
}

}  // namespace

SetupDialog::SetupDialog(Console& console, QWidget* parent) : QDialog(parent), k_(console) {
  setObjectName("Set_up");
  setWindowTitle(QStringLiteral("MIDI Devices and Delays"));
  setWindowIcon(QIcon(toQt(k_.resourceFile("wrench.ico"))));
  setModal(false);

  input1_ = combo("InputDev1Combo", "MIDI input 1", "The keyboard played on MIDI input 1");
  input2_ =
      combo("InputDev2Combo", "MIDI input 2", "A second keyboard or a pedalboard, on MIDI input 2");
  output_ =
      combo("outputDevcombo", "MIDI output", "The sound module, or kalvant's built-in synthesizer");
  connect(input1_, &QComboBox::activated, this, [this](int i) { k_.InputDev1Combo_Click(i); });
  connect(input2_, &QComboBox::activated, this, [this](int i) { k_.InputDev2Combo_Click(i); });
  connect(output_, &QComboBox::activated, this, [this](int i) { k_.outputDevcombo_Click(i); });

  // The lists with their labels as buddies: Alt and the key picks a list.
  auto* devices = new QGroupBox(QStringLiteral("MIDI DEVICES"));
  auto* form = new QFormLayout(devices);
  form->addRow(QStringLiteral("Input &1"), input1_);
  form->addRow(QStringLiteral("Input &2"), input2_);
  form->addRow(QStringLiteral("&Output"), output_);

  noteDelay_ = slider("Slider2", "Note sending delay", 500);
  noteDelay_->setToolTip(
      QStringLiteral("The least time between two messages to the module, in \u00b5s: a chord "
                     "is spread by this much, a single note leaves at once. 100 suits most "
                     "modules; raise it if yours loses notes of fast chords; 0 gives none."));
  labelHang_ = new QLabel;
  labelHang_->setObjectName("Label_hang");
  connect(noteDelay_, &QSlider::valueChanged, this, [this](int v) { k_.Setup_Slider2_Scroll(v); });
  auto* hanging = new QGroupBox(QStringLiteral("NOTE SENDING DELAY"));
  hanging->setObjectName("Frame_hanging");
  auto* h = new QGridLayout(hanging);
  h->addWidget(wrapped("Depending on your hardware, notes may hang. If they do, adjust this delay "
                       "until they no longer do."),
               0, 0, 1, 2);
  h->addWidget(noteDelay_, 1, 0);
  h->addWidget(labelHang_, 1, 1);

  sysexDelay_ = slider("Slider1", "Sysex sending delay", 100);
  userDelay_ = new QLabel;
  userDelay_->setObjectName("UserDelay");
  connect(sysexDelay_, &QSlider::valueChanged, this, [this](int v) { k_.Setup_Slider1_Scroll(v); });
  auto* sysex = new QGroupBox(QStringLiteral("SYSEX SENDING DELAY"));
  sysex->setObjectName("Frame4");
  auto* g = new QGridLayout(sysex);
  g->addWidget(wrapped("If the module has trouble with sysex messages, raise this delay. Any value "
                       "above 0 slows stop changes down."),
               0, 0, 1, 4);
  g->addWidget(new QLabel(QStringLiteral("0 ms")), 1, 0);
  g->addWidget(sysexDelay_, 1, 1);
  g->addWidget(new QLabel(QStringLiteral("100 ms")), 1, 2);
  g->addWidget(userDelay_, 1, 3);

  // The two delays side by side, so that the dialog fits a small screen.
  auto* delays = new QHBoxLayout;
  delays->addWidget(hanging);
  delays->addWidget(sysex);
  auto* v = new QVBoxLayout(this);
  v->addWidget(devices);
  v->addLayout(delays);
  synth_ = new SynthSettingsBox(k_);
  v->addWidget(synth_);
  footSwitches_ = new QCheckBox(
      QStringLiteral("MIDI foot &switches step through the memories (controllers 66 and 67)"));
  footSwitches_->setObjectName("FootSwitches");
  footSwitches_->setToolTip(
      QStringLiteral("The soft pedal recalls the next memory, the sostenuto pedal the previous "
                     "one; neither reaches the module. Turn this off if your keyboard sends "
                     "either controller for other reasons."));
  connect(footSwitches_, &QCheckBox::toggled, this, [this](bool on) { k_.FootSwitches_Click(on); });
  v->addWidget(footSwitches_);
  v->addWidget(okCancelRow(
      this, "Command1", "Command3", [this] { k_.Setup_OK_Click(); },
      [this] { k_.Setup_CANCEL_Click(); }));
}

void SetupDialog::renderList(QComboBox* combo, const std::vector<std::string>& items,
                             int selected) {
  const QSignalBlocker quiet(combo);
  if (combo->count() != static_cast<int>(items.size())) {
    combo->clear();
    for (const std::string& item : items) combo->addItem(toQt(item));
  }
  combo->setCurrentIndex(selected);
}

void SetupDialog::render() {
  const ports::SetupView& v = k_.midiSetup().view();
  renderList(input1_, v.input1Devices, v.input1Selected);
  renderList(input2_, v.input2Devices, v.input2Selected);
  renderList(output_, v.outputDevices, v.outputSelected);
  for (const auto& [s, value] :
       {std::pair{noteDelay_, v.noteDelaySlider}, std::pair{sysexDelay_, v.sysexDelaySlider}}) {
    const QSignalBlocker quiet(s);
    s->setValue(value);
  }
  labelHang_->setText(toQt(v.noteDelayText));
  userDelay_->setText(toQt(v.sysexDelayText));
  synth_->render(v.synth);
  {
    const QSignalBlocker quiet(footSwitches_);
    footSwitches_->setChecked(k_.footSwitchesChosen());
  }
  showAsTheConsoleSays(this, v.visible);
}

void SetupDialog::closeEvent(QCloseEvent* event) {
  event->accept();
  if (k_.midiSetup().view().visible) k_.Setup_Close();
}

void SetupDialog::reject() {
  k_.Setup_CANCEL_Click();
}

}  // namespace kalvant::ui
