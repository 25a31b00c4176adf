// Control values on real widgets: loading values by format kind, typing and
// leaving a field and entering it again, with the separators of the locale each
// row names; dates shown and read back as stored, in any time zone.
#include "ScopedLocale.h"
#include "common/ControlValues.h"
#include "platform/db/Error.h"
#include "platform/db/Values.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <memory>

using namespace orla;
using namespace orla::test;

namespace {

const QString kNbsp = QStringLiteral("\u00a0");
const QDate kDate(2026, 12, 5);

QString Tag(const QWidget& control) {
    return control.property("Tag").toString();
}

// Rows keyed 10, 20 and 30.
const QList<QPair<QString, int>> kAccounts{
    {"Banco do Norte", 10}, {"Caixa", 20}, {"Banco do Sul", 30}};

// Columns: locale, kind, a value or typed text, then what is expected.
QTestData& Row(const char* name, const char* locale, int kind) {
    return QTest::newRow(name) << QString::fromLatin1(locale) << kind;
}

}  // namespace

class TestControlValues : public QObject {
    Q_OBJECT

  private slots:
    // A text box or label holding an earlier record's value is loaded with a new one.
    void load_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QStringList>("expected");  // text, tag
        const auto row = [](const char* name, const char* locale, int kind, const QVariant& value,
                            const QString& text, const QString& tag) {
            Row(name, locale, kind) << value << QStringList{text, tag};
        };
        row("Null empties text and tag", "pt_BR", 4, QVariant(), "", "");
        row("date and time", "pt_BR", 9, QDateTime(kDate, QTime(14, 3, 9)), "05-12-2026 14:03:09",
            "");
        row("whole number", "pt_BR", 6, 12.7, "13", "12,7");
        row("pt_PT euro", "pt_PT", 4, 1234567.891, "€ 1" + kNbsp + "234" + kNbsp + "567,89",
            "1234567,891");
        row("pt_PT euro from its own formatted text", "pt_PT", 4, "€ 1" + kNbsp + "234,50",
            "€ 1" + kNbsp + "234,50", "1234,50");
        row("pt_PT euro from text grouped with points", "pt_PT", 4, "1.234,5",
            "€ 1" + kNbsp + "234,50", "1234,5");
        row("percentage", "pt_BR", 5, 0.125, "12,50 %", "0,125");
        row("automatic text drops the earlier number", "pt_BR", 0, "O'Neil", "O'Neil", "");
        row("unknown kind leaves the box", "pt_BR", 11, 5, "antigo", "7");
    }
    void load() {
        QFETCH(QString, locale);
        QFETCH(int, kind);
        QFETCH(QVariant, value);
        QFETCH(QStringList, expected);
        const ScopedLocale scope(locale);
        QLineEdit box(QStringLiteral("antigo"));
        QLabel label(QStringLiteral("antigo"));
        for (QWidget* control : {static_cast<QWidget*>(&box), static_cast<QWidget*>(&label)}) {
            control->setProperty("Tag", QStringLiteral("7"));
            DefinirValorControlo(control, value, kind);
        }
        QCOMPARE(QStringList({box.text(), Tag(box)}), expected);
        QCOMPARE(QStringList({label.text(), Tag(label)}), expected);
    }

    // The user enters a field, types, leaves it, and enters it again.
    void typing_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("expected");  // shown, tag, text on entering again
        const auto row = [](const char* name, const char* locale, int kind, const QString& typed,
                            const QString& shown, const QString& tag, const QString& editing) {
            Row(name, locale, kind) << typed << QStringList{shown, tag, editing};
        };
        const QString grouped = "€ 1" + kNbsp + "234,50";
        row("typed blanks group", "pt_PT", 4, "1 234,5", grouped, "1234,5", "1234,5");
        row("no-break spaces group", "pt_PT", 4, "1" + kNbsp + "234,5", grouped, "1234,5",
            "1234,5");
        row("a point alone is the decimal mark", "pt_BR", 4, "12.5", "€ 12,50", "12,5", "12,5");
        row("en_US: comma and point", "en_US", 4, "1,234.5", "€ 1,234.50", "1234.5", "1234.5");
        row("letters become zero", "pt_BR", 4, "abc", "€ 0,00", "0", "0");
        row("sign behind", "pt_BR", 2, "12,5-", "-12,50", "-12,5", "-12,5");
        row("number without a negative section", "pt_BR", 2, "-1234,567", "-1.234,57", "-1234,567",
            "-1234,567");
        row("percentage", "pt_BR", 5, "12,5", "12,50 %", "0,125", "12,5");
        row("euro, 4 decimals", "pt_BR", 10, "1,23456", "€ 1,2346", "1,23456", "1,2346");
        row("euro, 3 decimals: entry rounds halves to even", "pt_BR", 7, "2,0005", "€ 2,001",
            "2,0005", "2");
        row("whole number", "pt_BR", 6, "12,7", "13", "13", "13");
    }
    void typing() {
        QFETCH(QString, locale);
        QFETCH(int, kind);
        QFETCH(QString, typed);
        QFETCH(QStringList, expected);
        const ScopedLocale scope(locale);
        QLineEdit box;
        EntrarCampo(&box, kind);
        QTest::keyClicks(&box, typed);
        SairCampo(&box, kind);
        const QStringList left{box.text(), Tag(box)};
        EntrarCampo(&box, kind);
        QCOMPARE(left + QStringList{box.selectedText()}, expected);
    }

    // An emptied amount keeps its raw value; a whole number beyond 32 bits
    // fails and keeps what was typed.
    void leavingKeepsTheRawValue() {
        QLineEdit box;
        box.setProperty("Tag", QStringLiteral("5"));
        SairCampo(&box, FormatEuro2);
        QCOMPARE(box.text() + u'/' + Tag(box), QStringLiteral("/5"));
        box.setText(QStringLiteral("99999999999"));
        const std::optional<OrlaError> failure = Try([&] { SairCampo(&box, FormatWhole); });
        QCOMPARE(failure.value_or(OrlaError()).number, 6L);
        QCOMPARE(box.text() + u'/' + Tag(box), QStringLiteral("99999999999/5"));
    }

    // A combo box of keys, as the windows fill them: the selection before is row 1.
    void comboLoad_data() {
        QTest::addColumn<int>("style");  // -1: no "Style" property
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<int>("index");
        QTest::newRow("by key as text") << 2 << QVariant("30") << 2;
        QTest::newRow("Null selects nothing") << -1 << QVariant() << -1;
        QTest::newRow("unknown key keeps the selection") << 2 << QVariant(99) << 1;
    }
    void comboLoad() {
        QFETCH(int, style);
        QFETCH(QVariant, value);
        QFETCH(int, index);
        QComboBox combo;
        if (style >= 0)
            combo.setProperty("Style", style);
        for (const auto& [text, key] : kAccounts)
            combo.addItem(text, key);
        combo.setCurrentIndex(1);
        DefinirValorControlo(&combo, value, 0);
        QCOMPARE(combo.currentIndex(), index);
    }

    // Stored dates shown and read back unchanged in the process's time zone (the
    // suite runs under Lisbon, whose 1900 offset is -0:36:45, and São Paulo, where
    // midnight of 4 November 2018 did not exist), in pickers narrower than the value.
    void datePickers_data() {
        QTest::addColumn<bool>("withTime");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("shown");
        for (const bool withTime : {false, true}) {
            const auto row = [&](const char* name, const QVariant& value, const QString& shown) {
                QTest::addRow("%s%s", withTime ? "with time: " : "", name)
                    << withTime << value << shown;
            };
            const QString none = QStringLiteral("01-01-1900 00:00:00");
            row("stored date and time", "2026-07-05 14:03:09", "05-07-2026 14:03:09");
            row("midnight of a daylight-saving start", QDate(2018, 11, 4), "04-11-2018 00:00:00");
            row("no date", "1900-01-01", none);
            row("Null shows no date", QVariant(), none);
        }
    }
    void datePickers() {
        QFETCH(bool, withTime);
        QFETCH(QVariant, value);
        QFETCH(QString, shown);
        const auto edit =
            withTime ? std::make_unique<QDateTimeEdit>() : std::make_unique<QDateEdit>();
        edit->setMinimumDate(QDate(2020, 1, 1));
        DefinirValorControlo(edit.get(), value, 0);
        QCOMPARE(edit->date().toString(QStringLiteral("dd-MM-yyyy")) +
                     edit->time().toString(QStringLiteral(" HH:mm:ss")),
                 shown);
    }

    // The user types another day over a loaded picker: the picker holds the day
    // typed with the stored time.
    void typedDateIsWrittenAsTyped() {
        QDateTimeEdit edit;
        edit.setDisplayFormat(QStringLiteral("dd-MM-yyyy HH:mm"));
        DefinirValorControlo(&edit, QStringLiteral("2018-11-05 14:00:00"), 0);
        edit.show();
        edit.setFocus();
        edit.setSelectedSection(QDateTimeEdit::DaySection);
        QTest::keyClicks(&edit, QStringLiteral("04"));
        QCOMPARE(edit.text(), QStringLiteral("04-11-2018 14:00"));
        QCOMPARE(edit.dateTime(), WallClock(QDate(2018, 11, 4), QTime(14, 0)));
    }
};

QTEST_MAIN(TestControlValues)
#include "tst_controlvalues.moc"
