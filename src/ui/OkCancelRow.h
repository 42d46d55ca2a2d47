#pragma once
// OK and CANCEL at the bottom right, as every dialog of the console has them.

#include <QHBoxLayout>
#include <QPushButton>
#include <QString>

#include "ui/QtText.h"

namespace kalvant::ui {

// The names are the buttons' names in each dialog's own numbering, which the
// style sheet and the screenshots address.
template <typename OnOk, typename OnCancel>
QHBoxLayout* okCancelRow(QWidget* dialog, const char* okName, const char* cancelName, OnOk onOk,
                         OnCancel onCancel) {
  auto* ok = new QPushButton(QStringLiteral("OK"));
  ok->setObjectName(toQt(okName));
  auto* cancel = new QPushButton(QStringLiteral("CANCEL"));
  cancel->setObjectName(toQt(cancelName));
  QObject::connect(ok, &QPushButton::clicked, dialog, onOk);
  QObject::connect(cancel, &QPushButton::clicked, dialog, onCancel);
  auto* row = new QHBoxLayout;
  row->addStretch();
  row->addWidget(ok);
  row->addWidget(cancel);
  return row;
}

}  // namespace kalvant::ui
