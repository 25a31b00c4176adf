// The date picker: a small modal dialog in which the user picks one date on a
// month calendar, shown spelled out above it. The caller sets MonthView1's
// date, calls Paint, shows the dialog through ShowModal and then reads
// Cancelado and MonthView1's date.
#pragma once

#include <QDialog>

class QCalendarWidget;
class QCloseEvent;
class QLabel;
class QPushButton;

namespace orla {

class frmData : public QDialog {
    Q_OBJECT

  public:
    explicit frmData(QWidget* parent = nullptr);

    // Shows MonthView1's date as long text in Label1.
    void Paint();

    QCalendarWidget* MonthView1;
    QLabel* Label1;
    QPushButton* Command1;  // confirm
    QPushButton* Command2;  // cancel

    // True from loading until the user confirms.
    bool Cancelado = true;

  public slots:
    // Esc and the close box end here: refused while the dialog is shown.
    void reject() override;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void Command1_Click();
    void Command2_Click();
};

}  // namespace orla
