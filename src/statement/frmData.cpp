#include "statement/frmData.h"

#include "common/Format.h"

#include <QCalendarWidget>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace orla {

frmData::frmData(QWidget* parent)
    : QDialog(parent),
      MonthView1(new QCalendarWidget(this)),
      Label1(new QLabel(this)),
      Command1(new QPushButton(QStringLiteral("&Confirmar"), this)),
      Command2(new QPushButton(QStringLiteral("&Cancelar"), this)) {
    setObjectName(QStringLiteral("frmData"));
    setWindowTitle(QStringLiteral("Data"));
    setModal(true);
    MonthView1->setObjectName(QStringLiteral("MonthView1"));
    Label1->setObjectName(QStringLiteral("Label1"));
    Command1->setObjectName(QStringLiteral("Command1"));
    Command2->setObjectName(QStringLiteral("Command2"));
    Label1->setAlignment(Qt::AlignCenter);
    Command1->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(MonthView1);
    layout->addLayout(buttons);

    connect(MonthView1, &QCalendarWidget::clicked, this, &frmData::Paint);
    connect(MonthView1, &QCalendarWidget::selectionChanged, this, &frmData::Paint);
    connect(Command1, &QPushButton::clicked, this, &frmData::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmData::Command2_Click);

    Cancelado = true;
    Paint();
}

void frmData::Paint() {
    Label1->setText(Format(MonthView1->selectedDate(), QStringLiteral("dddddd")));
    if (isVisible())
        update();
}

void frmData::Command1_Click() {
    Cancelado = false;
    done(Accepted);
}

void frmData::Command2_Click() {
    done(Rejected);
}

void frmData::reject() {
    if (!isVisible())
        QDialog::reject();
}

void frmData::closeEvent(QCloseEvent* event) {
    if (isVisible())
        event->ignore();
    else
        event->accept();
}

}  // namespace orla
