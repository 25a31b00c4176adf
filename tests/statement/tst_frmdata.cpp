// The date picker in a real modal show: the date spelled out as the calendar
// moves, and only its two buttons end it (close box and Esc refused).
#include "ScopedLocale.h"
#include "platform/services/ModalDialogs.h"
#include "statement/frmData.h"

#include <QAbstractItemView>
#include <QCalendarWidget>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace orla;
using namespace orla::test;

namespace {

const QDate kSaturday(2026, 12, 5);

QAbstractItemView* Days(frmData& dialog) {
    return dialog.MonthView1->findChild<QAbstractItemView*>();
}

}  // namespace

class TestFrmData : public QObject {
    Q_OBJECT
    ScopedLocale locale_{QStringLiteral("pt_PT")};

  private slots:
    void onlyItsButtonsEndIt_data() {
        QTest::addColumn<bool>("confirm");
        QTest::newRow("Command1 confirms") << true;
        QTest::newRow("Command2 cancels, though the date changed") << false;
    }
    void onlyItsButtonsEndIt() {
        QFETCH(bool, confirm);
        frmData dialog;
        QVERIFY(dialog.Cancelado);
        dialog.MonthView1->setSelectedDate(kSaturday);
        dialog.Paint();
        bool refused = false;
        QTimer::singleShot(0, &dialog, [&] {
            QCOMPARE(dialog.Label1->text(), QStringLiteral("sábado, 5 de dezembro de 2026"));
            QTest::keyClick(Days(dialog), Qt::Key_Right);
            QCOMPARE(dialog.Label1->text(), QStringLiteral("domingo, 6 de dezembro de 2026"));
            const bool closeBoxRefused = !dialog.close();
            QTest::keyClick(&dialog, Qt::Key_Escape);
            refused = closeBoxRefused && dialog.isVisible();
            QTest::mouseClick(confirm ? dialog.Command1 : dialog.Command2, Qt::LeftButton);
        });
        // Should the buttons fail to end the loop, end it here rather than hang.
        QTimer::singleShot(10000, &dialog, [&] { dialog.done(-1); });
        const int result = ShowModal(dialog);
        QVERIFY(refused);
        QCOMPARE(result, confirm ? int(QDialog::Accepted) : int(QDialog::Rejected));
        QCOMPARE(dialog.Cancelado, !confirm);
        QCOMPARE(dialog.MonthView1->selectedDate(), kSaturday.addDays(1));
        QVERIFY(dialog.close());  // hidden, the caller's unload goes through
    }
};

QTEST_MAIN(TestFrmData)
#include "tst_frmdata.moc"
