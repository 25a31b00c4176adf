// The date picker: loading, the date spelled out, confirm and cancel, the
// close box and Esc refused while shown, and use by a caller through the
// modal service, scripted and with a real modal loop.
#include "ScopedModalScript.h"
#include "statement/frmData.h"

#include <QAbstractItemView>
#include <QCalendarWidget>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace orla;
using namespace orla::test;

namespace {

const QDate kSaturday(2026, 12, 5);

struct Outcome {
    bool cancelled = true;
    QDate date;
};

// What a caller does: preset the calendar, refresh the label, show the dialog
// modally, then read the flag and the date.
Outcome AskForDate(const QDate& preset) {
    frmData dialog;
    dialog.MonthView1->setSelectedDate(preset);
    dialog.Paint();
    ShowModal(dialog);
    return {dialog.Cancelado, dialog.MonthView1->selectedDate()};
}

QAbstractItemView* CalendarView(frmData& dialog) {
    return dialog.MonthView1->findChild<QAbstractItemView*>();
}

}  // namespace

class TestFrmData : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Portugal));
    }

    void loadsCancelledWithTheDateSpelledOut() {
        frmData dialog;
        QVERIFY(dialog.Cancelado);
        QCOMPARE(dialog.objectName(), QStringLiteral("frmData"));
        for (QObject* control :
             {static_cast<QObject*>(dialog.MonthView1), static_cast<QObject*>(dialog.Label1),
              static_cast<QObject*>(dialog.Command1), static_cast<QObject*>(dialog.Command2)})
            QCOMPARE(dialog.findChild<QObject*>(control->objectName()), control);
        QCOMPARE(dialog.Command1->text(), QStringLiteral("&Confirmar"));
        QCOMPARE(dialog.Command2->text(), QStringLiteral("&Cancelar"));
        QVERIFY(!dialog.Label1->text().isEmpty());
    }

    void labelFollowsTheCalendar_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("label");
        QTest::newRow("caller presets and paints") << "preset"
                                                   << "sábado, 5 de dezembro de 2026";
        QTest::newRow("user moves a day on") << "right"
                                             << "domingo, 6 de dezembro de 2026";
        QTest::newRow("user moves a week on") << "down"
                                              << "sábado, 12 de dezembro de 2026";
    }
    void labelFollowsTheCalendar() {
        QFETCH(QString, how);
        QFETCH(QString, label);
        frmData dialog;
        dialog.MonthView1->setSelectedDate(kSaturday);
        dialog.Paint();
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        if (how != QLatin1String("preset")) {
            QAbstractItemView* view = CalendarView(dialog);
            QVERIFY(view);
            QTest::keyClick(view, how == QLatin1String("right") ? Qt::Key_Right : Qt::Key_Down);
        }
        QCOMPARE(dialog.Label1->text(), label);
        dialog.Command2->click();
    }

    void endings_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<bool>("cancelled");
        QTest::addColumn<int>("result");
        QTest::newRow("confirm") << "Command1" << false << false << int(QDialog::Accepted);
        QTest::newRow("cancel after changing the date")
            << "Command2" << false << true << int(QDialog::Rejected);
        QTest::newRow("close box refused") << "close" << true << true << -1;
        QTest::newRow("Esc refused") << "Esc" << true << true << -1;
    }
    void endings() {
        QFETCH(QString, action);
        QFETCH(bool, shown);
        QFETCH(bool, cancelled);
        QFETCH(int, result);
        frmData dialog;
        dialog.MonthView1->setSelectedDate(kSaturday);
        dialog.setResult(-1);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.MonthView1->setSelectedDate(kSaturday.addDays(2));

        if (action == QLatin1String("Command1"))
            QTest::mouseClick(dialog.Command1, Qt::LeftButton);
        else if (action == QLatin1String("Command2"))
            QTest::mouseClick(dialog.Command2, Qt::LeftButton);
        else if (action == QLatin1String("close"))
            QVERIFY(!dialog.close());
        else
            QTest::keyClick(&dialog, Qt::Key_Escape);

        QCOMPARE(dialog.isVisible(), shown);
        QCOMPARE(dialog.Cancelado, cancelled);
        QCOMPARE(dialog.result(), result);
        // Once hidden, the caller's unload goes through.
        dialog.hide();
        QVERIFY(dialog.close());
    }

    void callerReadsTheConfirmedDate() {
        ScopedModalScript script([](QDialog& shown) {
            auto& dialog = static_cast<frmData&>(shown);
            QVERIFY(dialog.isVisible());
            QCOMPARE(dialog.Label1->text(), QStringLiteral("sábado, 5 de dezembro de 2026"));
            QTest::keyClick(CalendarView(dialog), Qt::Key_Right);
            QTest::keyClick(CalendarView(dialog), Qt::Key_Right);
            QTest::mouseClick(dialog.Command1, Qt::LeftButton);
        });
        const Outcome outcome = AskForDate(kSaturday);
        QCOMPARE(script.shown(), QStringList{"frmData"});
        QVERIFY(script.leftOpen().isEmpty());
        QVERIFY(!outcome.cancelled);
        QCOMPARE(outcome.date, QDate(2026, 12, 7));
    }

    void callerSeesACancelAfterTheCloseBoxWasRefused() {
        ScopedModalScript script([](QDialog& shown) {
            auto& dialog = static_cast<frmData&>(shown);
            dialog.MonthView1->setSelectedDate(QDate(2027, 1, 4));
            QVERIFY(!dialog.close());
            QTest::keyClick(&dialog, Qt::Key_Escape);
            QVERIFY(dialog.isVisible());
            QTest::mouseClick(dialog.Command2, Qt::LeftButton);
        });
        const Outcome outcome = AskForDate(kSaturday);
        QVERIFY(script.leftOpen().isEmpty());
        QVERIFY(outcome.cancelled);
    }

    void realModalLoopEndsWithTheButtons_data() {
        QTest::addColumn<bool>("confirm");
        QTest::newRow("Command1") << true;
        QTest::newRow("Command2") << false;
    }
    void realModalLoopEndsWithTheButtons() {
        QFETCH(bool, confirm);
        frmData dialog;
        bool refused = false;
        QTimer::singleShot(0, &dialog, [&] {
            refused = !dialog.close() && dialog.isVisible();
            QTest::mouseClick(confirm ? dialog.Command1 : dialog.Command2, Qt::LeftButton);
        });
        // Should the buttons fail to end the loop, end it here rather than hang.
        QTimer::singleShot(10000, &dialog, [&] { dialog.done(-1); });
        const int result = ShowModal(dialog);
        QVERIFY(refused);
        QCOMPARE(result, confirm ? int(QDialog::Accepted) : int(QDialog::Rejected));
        QCOMPARE(dialog.Cancelado, !confirm);
        QVERIFY(!dialog.isVisible());
    }
};

QTEST_MAIN(TestFrmData)
#include "tst_frmdata.moc"
