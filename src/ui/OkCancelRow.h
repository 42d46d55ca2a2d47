#pragma once
// OK and Cancel in Qt's standard button row, as every dialog of the console
// has them: the platform's order and captions, OK as the default button.

#include <QDialogButtonBox>
#include <QPushButton>

#include "ui/QtText.h"

namespace kalvant::ui {

// The names are the buttons' names in each dialog's own numbering, which the
// style sheet and the screenshots address.
template <typename OnOk, typename OnCancel>
QDialogButtonBox* okCancelRow(QWidget* dialog, const char* okName, const char* cancelName,
                              OnOk onOk, OnCancel onCancel) {
  auto* row = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  QPushButton* ok = row->button(QDialogButtonBox::Ok);
  QPushButton* cancel = row->button(QDialogButtonBox::Cancel);
  ok->setObjectName(toQt(okName));
  cancel->setObjectName(toQt(cancelName));
  QObject::connect(ok, &QPushButton::clicked, dialog, onOk);
  QObject::connect(cancel, &QPushButton::clicked, dialog, onCancel);
  return row;
}

}  // namespace kalvant::ui
