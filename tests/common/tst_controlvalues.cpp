// Control values on real widgets: loading values by format kind, typing and
// leaving a field, entering it again, and the SQL literal each control gives,
// with "," and with "." as the decimal separator; and the two text helpers.
#include "common/ControlValues.h"
#include "common/Separators.h"
#include "common/TextHelpers.h"
#include "platform/db/Error.h"

#include <QButtonGroup>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <memory>

using namespace orla;

namespace {

// "pt": "," decimals and "." grouping; "en": "." decimals and "," grouping.
void UseLocale(const QString& name) {
    QLocale::setDefault(name == QLatin1String("en")
                            ? QLocale(QLocale::English, QLocale::UnitedStates)
                            : QLocale(QLocale::Portuguese, QLocale::Portugal));
    EsquecerSeparadoresLidos();
}

QString Tag(const QWidget& control) {
    return control.property("Tag").toString();
}

const QString kOneil = QStringLiteral("'O' + CHAR(39) + 'Neil'");
const QString kDateLiteral = QStringLiteral("CONVERT(DATETIME,'2026-12-05',102)");
const QDate kDate(2026, 12, 5);
const QDate kNoDate(1900, 1, 1);

// Three rows keyed 10, 20 and 30.
void AddAccounts(QComboBox& combo) {
    combo.addItem(QStringLiteral("Banco do Norte"), 10);
    combo.addItem(QStringLiteral("Caixa"), 20);
    combo.addItem(QStringLiteral("Banco do Sul"), 30);
}

void AddAccounts(QListWidget& list) {
    for (const auto& [text, key] :
         {std::pair{"Banco do Norte", 10}, {"Caixa", 20}, {"Banco do Sul", 30}}) {
        auto* item = new QListWidgetItem(QString::fromUtf8(text));
        item->setData(Qt::UserRole, key);
        list.addItem(item);
    }
}

}  // namespace

class TestControlValues : public QObject {
    Q_OBJECT

  private slots:
    void init() { UseLocale(QStringLiteral("pt")); }

    // A text box holding an earlier record's value is loaded with a new one.
    void textBoxLoad_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("sql");
        const QVariant null;
        QTest::newRow("pt: Null empties text and tag") << "pt" << 4 << null << ""
                                                       << ""
                                                       << "null";
        QTest::newRow("pt: date") << "pt" << 1 << QVariant(kDate) << "05-12-2026"
                                  << "" << kDateLiteral;
        QTest::newRow("pt: date stored as text")
            << "pt" << 1 << QVariant("2026-12-05 00:00:00") << "05-12-2026"
            << "" << kDateLiteral;
        QTest::newRow("pt: date and time, read back as a date")
            << "pt" << 9 << QVariant(QDateTime(kDate, QTime(14, 3, 9))) << "05-12-2026 14:03:09"
            << "" << kDateLiteral;
        QTest::newRow("pt: text with a quote") << "pt" << 3 << QVariant("O'Neil") << "O'Neil"
                                               << "" << kOneil;
        QTest::newRow("pt: whole number") << "pt" << 6 << QVariant(12.7) << "13"
                                          << "12,7"
                                          << "12.7";
        QTest::newRow("pt: whole number from letters shown as they are")
            << "pt" << 6 << QVariant("abc") << "abc"
            << "abc"
            << "null";
        QTest::newRow("pt: number") << "pt" << 2 << QVariant(1234.5) << "1.234,50"
                                    << "1234,5"
                                    << "1234.5";
        QTest::newRow("pt: negative number") << "pt" << 2 << QVariant(-1234.5) << "- 1.234,50"
                                             << "-1234,5"
                                             << "-1234.5";
        QTest::newRow("pt: euro") << "pt" << 4 << QVariant(1234.5) << "€ 1.234,50"
                                  << "1234,5"
                                  << "1234.5";
        QTest::newRow("pt: negative euro") << "pt" << 4 << QVariant(-0.5) << "€ -0,50"
                                           << "-0,5"
                                           << "-0.5";
        QTest::newRow("pt: euro from a formatted text")
            << "pt" << 4 << QVariant("€ 1.234,50") << "€ 1.234,50"
            << "1234,50"
            << "1234.50";
        QTest::newRow("pt: millions grouped by three")
            << "pt" << 4 << QVariant(1234567.891) << "€ 1.234.567,89"
            << "1234567,891"
            << "1234567.891";
        QTest::newRow("pt: percentage") << "pt" << 5 << QVariant(0.125) << "12,50 %"
                                        << "0,125"
                                        << "0.125";
        QTest::newRow("pt: euro, 3 decimals, half away from zero")
            << "pt" << 7 << QVariant(2.0005) << "€ 2,001"
            << "2,0005"
            << "2.0005";
        QTest::newRow("pt: number, 3 decimals")
            << "pt" << 8 << QVariant(-1234.5678) << "- 1.234,568"
            << "-1234,5678"
            << "-1234.5678";
        QTest::newRow("pt: euro, 4 decimals") << "pt" << 10 << QVariant(1.23456) << "€ 1,2346"
                                              << "1,23456"
                                              << "1.23456";
        QTest::newRow("pt: automatic number") << "pt" << 0 << QVariant(1234.5) << "1234,5"
                                              << "1234,5"
                                              << "1234.5";
        QTest::newRow("pt: automatic text drops the earlier number")
            << "pt" << 0 << QVariant("O'Neil") << "O'Neil"
            << "" << kOneil;
        QTest::newRow("pt: unknown kind leaves the box") << "pt" << 11 << QVariant(5) << "antigo"
                                                         << "7"
                                                         << "";
        QTest::newRow("en: euro") << "en" << 4 << QVariant(1234.5) << "€ 1,234.50"
                                  << "1234.5"
                                  << "1234.5";
        QTest::newRow("en: negative number") << "en" << 2 << QVariant(-1234.5) << "- 1,234.50"
                                             << "-1234.5"
                                             << "-1234.5";
        QTest::newRow("en: percentage") << "en" << 5 << QVariant(0.125) << "12.50 %"
                                        << "0.125"
                                        << "0.125";
        QTest::newRow("en: automatic number") << "en" << 0 << QVariant(1234.5) << "1234.5"
                                              << "1234.5"
                                              << "1234.5";
    }
    void textBoxLoad() {
        QFETCH(QString, locale);
        QFETCH(int, kind);
        QFETCH(QVariant, value);
        QFETCH(QString, text);
        QFETCH(QString, tag);
        QFETCH(QString, sql);
        UseLocale(locale);
        QLineEdit box(QStringLiteral("antigo"));
        box.setProperty("Tag", QStringLiteral("7"));
        DefinirValorControlo(&box, value, kind);
        QCOMPARE(box.text(), text);
        QCOMPARE(Tag(box), tag);
        QCOMPARE(ObterValorSQL(&box, kind), sql);
    }

    // The user enters a numeric field, types, leaves it, and enters it again.
    void typingNumbers_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("tagBefore");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("editing");  // the text on entering again
        QTest::addColumn<QString>("sql");
        QTest::newRow("pt: euro") << "pt" << 4 << ""
                                  << "1234,5"
                                  << "€ 1.234,50"
                                  << "1234,5"
                                  << "1234,5"
                                  << "1234.5";
        QTest::newRow("pt: a point is taken as the decimal mark") << "pt" << 4 << ""
                                                                  << "12.5"
                                                                  << "€ 12,50"
                                                                  << "12,5"
                                                                  << "12,5"
                                                                  << "12.5";
        QTest::newRow("pt: grouping typed with decimals") << "pt" << 4 << ""
                                                          << "1.234,5"
                                                          << "€ 1.234,50"
                                                          << "1234,5"
                                                          << "1234,5"
                                                          << "1234.5";
        QTest::newRow("pt: letters become zero") << "pt" << 4 << ""
                                                 << "abc"
                                                 << "€ 0,00"
                                                 << "0"
                                                 << "0"
                                                 << "0";
        QTest::newRow("pt: emptied keeps the earlier raw value but reads as null")
            << "pt" << 4 << "7"
            << ""
            << ""
            << "7"
            << "7"
            << "null";
        QTest::newRow("pt: percentage") << "pt" << 5 << ""
                                        << "12,5"
                                        << "12,50 %"
                                        << "0,125"
                                        << "12,5"
                                        << "0.125";
        QTest::newRow("pt: euro, 4 decimals") << "pt" << 10 << ""
                                              << "1,23456"
                                              << "€ 1,2346"
                                              << "1,23456"
                                              << "1,2346"
                                              << "1.23456";
        QTest::newRow("pt: euro, 3 decimals, entry rounds halves to even") << "pt" << 7 << ""
                                                                           << "2,0005"
                                                                           << "€ 2,001"
                                                                           << "2,0005"
                                                                           << "2"
                                                                           << "2.0005";
        QTest::newRow("pt: negative number without a negative section") << "pt" << 2 << ""
                                                                        << "-1234,567"
                                                                        << "-1.234,57"
                                                                        << "-1234,567"
                                                                        << "-1234,567"
                                                                        << "-1234.567";
        QTest::newRow("pt: number, 3 decimals") << "pt" << 8 << ""
                                                << "3,14159"
                                                << "3,142"
                                                << "3,14159"
                                                << "3,142"
                                                << "3.14159";
        QTest::newRow("pt: whole number") << "pt" << 6 << ""
                                          << "12,7"
                                          << "13"
                                          << "13"
                                          << "13"
                                          << "13";
        QTest::newRow("en: euro") << "en" << 4 << ""
                                  << "1234.5"
                                  << "€ 1,234.50"
                                  << "1234.5"
                                  << "1234.5"
                                  << "1234.5";
        QTest::newRow("en: a comma is taken as the decimal mark") << "en" << 4 << ""
                                                                  << "12,5"
                                                                  << "€ 12.50"
                                                                  << "12.5"
                                                                  << "12.5"
                                                                  << "12.5";
        QTest::newRow("en: percentage") << "en" << 5 << ""
                                        << "12.5"
                                        << "12.50 %"
                                        << "0.125"
                                        << "12.5"
                                        << "0.125";
    }
    void typingNumbers() {
        QFETCH(QString, locale);
        QFETCH(int, kind);
        QFETCH(QString, tagBefore);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QString, tag);
        QFETCH(QString, editing);
        QFETCH(QString, sql);
        UseLocale(locale);
        QLineEdit box;
        box.setProperty("Tag", tagBefore);
        EntrarCampo(&box, kind);
        box.clear();
        QTest::keyClicks(&box, typed);
        SairCampo(&box, kind);
        QCOMPARE(box.text(), shown);
        QCOMPARE(Tag(box), tag);
        QCOMPARE(ObterValorSQL(&box, kind), sql);
        EntrarCampo(&box, kind);
        QCOMPARE(box.text(), editing);
        QCOMPARE(box.selectedText(), editing);
    }

    void wholeNumberTooLargeKeepsWhatWasTyped() {
        QLineEdit box;
        box.setProperty("Tag", QStringLiteral("5"));
        box.setText(QStringLiteral("99999999999"));
        try {
            SairCampo(&box, FormatWhole);
            QFAIL("no overflow reported");
        } catch (const OrlaError& e) {
            QCOMPARE(e.number, 6L);
        }
        QCOMPARE(box.text(), QStringLiteral("99999999999"));
        QCOMPARE(Tag(box), QStringLiteral("5"));
    }

    void typingDatesAndTexts_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("selectedOnEntry");
        QTest::addColumn<QString>("sql");
        QTest::newRow("date") << 1 << "05-12-2026" << true << kDateLiteral;
        QTest::newRow("date with slashes") << 1 << "05/12/2026" << true << kDateLiteral;
        QTest::newRow("impossible date") << 1 << "31-02-2026" << true << "null";
        QTest::newRow("text") << 3 << "O'Neil" << true << kOneil;
        QTest::newRow("text of blanks is null") << 3 << "   " << true << "null";
        QTest::newRow("empty text") << 3 << "" << false << "null";
        QTest::newRow("automatic text") << 0 << "abc" << false << "'abc'";
    }
    void typingDatesAndTexts() {
        QFETCH(int, kind);
        QFETCH(QString, typed);
        QFETCH(bool, selectedOnEntry);
        QFETCH(QString, sql);
        QLineEdit box(typed);
        box.setProperty("Tag", kind == FormatAuto ? QString() : QStringLiteral("antigo"));
        box.deselect();
        EntrarCampo(&box, kind);
        QCOMPARE(box.hasSelectedText(), selectedOnEntry && !typed.isEmpty());
        QCOMPARE(box.selectionStart(), selectedOnEntry && !typed.isEmpty() ? 0 : -1);
        SairCampo(&box, kind);
        QCOMPARE(box.text(), typed);
        if (kind == FormatText)
            QCOMPARE(Tag(box), QString());
        QCOMPARE(ObterValorSQL(&box, kind), sql);
    }

    void comboLoad_data() {
        QTest::addColumn<int>("style");  // -1: no "Style" property
        QTest::addColumn<bool>("editable");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("before");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("sql");
        const QVariant null;
        QTest::newRow("list: by key") << 2 << false << 0 << 0 << QVariant(20) << 1 << "Caixa"
                                      << "20";
        QTest::newRow("list: by key written as text")
            << 2 << false << 0 << 0 << QVariant("30") << 2 << "Banco do Sul"
            << "30";
        QTest::newRow("list: by text")
            << 2 << false << 0 << 0 << QVariant("Banco do Sul") << 2 << "Banco do Sul"
            << "30";
        QTest::newRow("list: Null selects nothing") << 2 << false << 0 << 1 << null << -1 << ""
                                                    << "null";
        QTest::newRow("list: unknown key keeps the selection")
            << 2 << false << 0 << 1 << QVariant(99) << 1 << "Caixa"
            << "20";
        QTest::newRow("list: unknown text keeps the selection")
            << 2 << false << 0 << 1 << QVariant("Nenhum") << 1 << "Caixa"
            << "20";
        QTest::newRow("list: text compared with case")
            << 2 << false << 0 << 1 << QVariant("caixa") << 1 << "Caixa"
            << "20";
        QTest::newRow("fixed list is a drop-down list by default")
            << -1 << false << 0 << 1 << null << -1 << ""
            << "null";
        QTest::newRow("simple: text selects its row")
            << 1 << true << 0 << 0 << QVariant("Caixa") << 1 << "Caixa"
            << "'Caixa'";
        QTest::newRow("simple: other text selects no row")
            << 1 << true << 0 << 0 << QVariant("Outro banco") << -1 << "Outro banco"
            << "'Outro banco'";
        QTest::newRow("simple: Null empties") << 1 << true << 0 << 1 << null << -1 << ""
                                              << "null";
        QTest::newRow("combo, text kind: text selects its row")
            << 0 << true << 3 << 0 << QVariant("Caixa") << 1 << "Caixa"
            << "'Caixa'";
        QTest::newRow("combo, text kind: quoted text")
            << 0 << true << 3 << 0 << QVariant("D'Almeida") << -1 << "D'Almeida"
            << "'D' + CHAR(39) + 'Almeida'";
        QTest::newRow("combo: by key gives the key")
            << 0 << true << 0 << 0 << QVariant(30) << 2 << "Banco do Sul"
            << "30";
        QTest::newRow("combo: Null keeps the selection")
            << 0 << true << 0 << 1 << null << 1 << "Caixa"
            << "20";
        QTest::newRow("editable is a drop-down combo by default")
            << -1 << true << 0 << 1 << QVariant(10) << 0 << "Banco do Norte"
            << "10";
    }
    void comboLoad() {
        QFETCH(int, style);
        QFETCH(bool, editable);
        QFETCH(int, kind);
        QFETCH(int, before);
        QFETCH(QVariant, value);
        QFETCH(int, index);
        QFETCH(QString, text);
        QFETCH(QString, sql);
        QComboBox combo;
        combo.setEditable(editable);
        if (style >= 0)
            combo.setProperty("Style", style);
        AddAccounts(combo);
        combo.setCurrentIndex(before);
        DefinirValorControlo(&combo, value, kind);
        QCOMPARE(combo.currentIndex(), index);
        QCOMPARE(combo.currentText(), text);
        QCOMPARE(ObterValorSQL(&combo, kind), sql);
    }

    // Text typed over an editable combo box, then leaving it.
    void comboTyping_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("sql");
        QTest::newRow("typed text, not the earlier row's key") << 0 << "Outra conta"
                                                               << "Outra conta"
                                                               << "'Outra conta'";
        QTest::newRow("text kind: trimmed text selects its row") << 3 << "  Banco do Sul "
                                                                 << "Banco do Sul"
                                                                 << "'Banco do Sul'";
        QTest::newRow("text kind: blanks select nothing") << 3 << "   "
                                                          << ""
                                                          << "null";
        QTest::newRow("text kind: unknown text stays as typed") << 3 << "Outra conta"
                                                                << "Outra conta"
                                                                << "'Outra conta'";
    }
    void comboTyping() {
        QFETCH(int, kind);
        QFETCH(QString, typed);
        QFETCH(QString, text);
        QFETCH(QString, sql);
        QComboBox combo;
        combo.setEditable(true);
        AddAccounts(combo);
        combo.setCurrentIndex(1);
        combo.lineEdit()->clear();
        QTest::keyClicks(combo.lineEdit(), typed);
        SairCampo(&combo, kind);
        QCOMPARE(combo.currentText(), text);
        QCOMPARE(ObterValorSQL(&combo, kind), sql);
    }

    void listBox_data() {
        QTest::addColumn<int>("before");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("sql");
        QTest::newRow("by key") << 0 << QVariant(20) << 1 << "20";
        QTest::newRow("by key written as text") << 0 << QVariant("30") << 2 << "30";
        QTest::newRow("Null selects nothing") << 1 << QVariant() << -1 << "null";
        QTest::newRow("text selects nothing") << 1 << QVariant("Caixa") << -1 << "null";
        QTest::newRow("unknown key keeps the selection") << 1 << QVariant(99) << 1 << "20";
    }
    void listBox() {
        QFETCH(int, before);
        QFETCH(QVariant, value);
        QFETCH(int, row);
        QFETCH(QString, sql);
        QListWidget list;
        AddAccounts(list);
        list.setCurrentRow(before);
        DefinirValorControlo(&list, value, 0);
        QCOMPARE(list.currentRow(), row);
        QCOMPARE(ObterValorSQL(&list, 0), sql);
    }

    void rowsWithoutKeyReadAsNull() {
        QListWidget list;
        list.addItem(QStringLiteral("Sem chave"));
        list.setCurrentRow(0);
        QCOMPARE(ObterValorSQL(&list, 0), QStringLiteral("null"));
        QComboBox combo;
        combo.addItem(QStringLiteral("Sem chave"));
        combo.setCurrentIndex(0);
        QCOMPARE(ObterValorSQL(&combo, 0), QStringLiteral("null"));
    }

    void buttons_data() {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("on");
        const QList<QPair<const char*, QPair<QVariant, bool>>> values{
            {"one", {1, true}},
            {"minus one", {-1, true}},
            {"a half", {0.5, true}},
            {"number as text", {"2", true}},
            {"true", {true, true}},
            {"zero", {0, false}},
            {"Null", {QVariant(), false}},
            {"letters", {"sim", false}},
            {"false", {false, false}},
        };
        for (const char* type : {"check", "option"}) {
            for (const auto& [name, expected] : values)
                QTest::newRow(qPrintable(QStringLiteral("%1: %2").arg(type, name)))
                    << type << expected.first << expected.second;
        }
    }
    void buttons() {
        QFETCH(QString, type);
        QFETCH(QVariant, value);
        QFETCH(bool, on);
        QWidget form;
        QAbstractButton* button = nullptr;
        if (type == QLatin1String("check")) {
            button = new QCheckBox(&form);
        } else {
            // Two options of one group: the checked one can still be unset.
            button = new QRadioButton(&form);
            auto* other = new QRadioButton(&form);
            auto* group = new QButtonGroup(&form);
            group->addButton(button);
            group->addButton(other);
        }
        button->setChecked(!on);
        DefinirValorControlo(button, value, 0);
        QCOMPARE(button->isChecked(), on);
        QCOMPARE(ObterValorSQL(button, 0), on ? QStringLiteral("1") : QStringLiteral("0"));
    }

    void datePickers_data() {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QDateTime>("shown");
        QTest::addColumn<QString>("sql");
        const QDateTime noDate(kNoDate, QTime(0, 0));
        const QDateTime afternoon(kDate, QTime(14, 3, 9));
        const QString midnightLiteral =
            QStringLiteral("CONVERT(DATETIME,'2026-12-05 00:00:00',102)");
        for (const char* type : {"date", "datetime", "calendar"}) {
            // A picker keeps the time it is given, whatever it shows; a calendar holds days.
            const bool withTime = QLatin1String(type) != QLatin1String("calendar");
            auto row = [&](const char* name) -> QTestData& {
                return QTest::newRow(qPrintable(QStringLiteral("%1: %2").arg(type, name))) << type;
            };
            row("date") << QVariant(kDate) << QDateTime(kDate, QTime(0, 0)) << midnightLiteral;
            row("stored text") << QVariant("2026-12-05 14:03:09")
                               << (withTime ? afternoon : QDateTime(kDate, QTime(0, 0)))
                               << (withTime ? "CONVERT(DATETIME,'2026-12-05 14:03:09',102)"
                                            : midnightLiteral);
            row("Null shows no date") << QVariant() << noDate << "null";
            row("letters show no date") << QVariant("amanhã") << noDate << "null";
            row("no date written as such") << QVariant(kNoDate) << noDate << "null";
        }
    }
    void datePickers() {
        QFETCH(QString, type);
        QFETCH(QVariant, value);
        QFETCH(QDateTime, shown);
        QFETCH(QString, sql);
        std::unique_ptr<QWidget> control;
        if (type == QLatin1String("calendar")) {
            auto calendar = std::make_unique<QCalendarWidget>();
            calendar->setMinimumDate(QDate(2000, 1, 1));  // narrower than the values
            calendar->setSelectedDate(QDate(2020, 6, 1));
            control = std::move(calendar);
        } else {
            auto edit = type == QLatin1String("date") ? std::make_unique<QDateEdit>()
                                                      : std::make_unique<QDateTimeEdit>();
            edit->setMinimumDate(QDate(2000, 1, 1));  // narrower than the values
            edit->setDateTime(QDateTime(QDate(2020, 6, 1), QTime(8, 0)));
            control = std::move(edit);
        }
        DefinirValorControlo(control.get(), value, 0);
        if (auto* calendar = qobject_cast<QCalendarWidget*>(control.get()))
            QCOMPARE(calendar->selectedDate(), shown.date());
        else
            QCOMPARE(qobject_cast<QDateTimeEdit*>(control.get())->dateTime(), shown);
        QCOMPARE(ObterValorSQL(control.get(), 0), sql);
    }

    void labels_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("sql");
        QTest::newRow("euro") << 4 << QVariant(1234.5) << "€ 1.234,50"
                              << "1234,5"
                              << "1234.5";
        QTest::newRow("euro, 4 decimals") << 10 << QVariant(1.23456) << "€ 1,2346"
                                          << "1,23456"
                                          << "1.23456";
        QTest::newRow("percentage") << 5 << QVariant(0.125) << "12,50 %"
                                    << "0,125"
                                    << "0.125";
        QTest::newRow("whole number") << 6 << QVariant(12.7) << "13"
                                      << "12,7"
                                      << "12.7";
        QTest::newRow("date") << 1 << QVariant(kDate) << "05-12-2026"
                              << "" << kDateLiteral;
        QTest::newRow("text") << 3 << QVariant("O'Neil") << "O'Neil"
                              << "" << kOneil;
        QTest::newRow("automatic number") << 0 << QVariant(12.5) << "12,5"
                                          << "12,5"
                                          << "12.5";
        QTest::newRow("automatic text") << 0 << QVariant("O'Neil") << "O'Neil"
                                        << "" << kOneil;
        QTest::newRow("Null") << 2 << QVariant() << ""
                              << ""
                              << "null";
    }
    void labels() {
        QFETCH(int, kind);
        QFETCH(QVariant, value);
        QFETCH(QString, caption);
        QFETCH(QString, tag);
        QFETCH(QString, sql);
        QLabel label(QStringLiteral("antigo"));
        label.setProperty("Tag", QStringLiteral("7"));
        DefinirValorControlo(&label, value, kind);
        QCOMPARE(label.text(), caption);
        QCOMPARE(Tag(label), tag);
        QCOMPARE(ObterValorSQL(&label, kind), sql);
    }

    void otherControlsAreLeftAlone() {
        QPushButton button(QStringLiteral("Imprimir"));
        for (int kind = FormatAuto; kind <= FormatEuro4; ++kind) {
            DefinirValorControlo(&button, 5, kind);
            EntrarCampo(&button, kind);
            SairCampo(&button, kind);
            FormatarControlo(&button, kind);
            QCOMPARE(ObterValorSQL(&button, kind), QString());
            QCOMPARE(ObterValorSQL(nullptr, kind), QString());
        }
        QCOMPARE(button.text(), QStringLiteral("Imprimir"));
    }

    void trocarCaracter_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("result");
        QTest::newRow("every occurrence") << "1.234.5"
                                          << "."
                                          << ","
                                          << "1,234,5";
        QTest::newRow("absent character") << "1234"
                                          << "."
                                          << ","
                                          << "1234";
        QTest::newRow("found without regard to case") << "Aba"
                                                      << "a"
                                                      << "o"
                                                      << "obo";
        QTest::newRow("two characters to find") << "1.5"
                                                << ".."
                                                << ","
                                                << "";
        QTest::newRow("no character to put") << "1.5"
                                             << "."
                                             << ""
                                             << "";
        QTest::newRow("empty text") << ""
                                    << "."
                                    << ","
                                    << "";
    }
    void trocarCaracter() {
        QFETCH(QString, text);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, result);
        QCOMPARE(TrocarCaracter(text, from, to), result);
    }

    void substituirTexto_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("search");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<QString>("result");
        QTest::newRow("placeholder in other case, empty replacement leaves a space") << "a#NOME#b"
                                                                                     << "#nome#"
                                                                                     << ""
                                                                                     << "a b";
        QTest::newRow("every occurrence") << "#n# e #N#"
                                          << "#n#"
                                          << "Ana"
                                          << "Ana e Ana";
        QTest::newRow("replacement holding the search text is not searched again") << "xAx"
                                                                                   << "a"
                                                                                   << "aa"
                                                                                   << "xaax";
        QTest::newRow("accented text in other case") << "Conta ÁGUA"
                                                     << "água"
                                                     << "luz"
                                                     << "Conta luz";
        QTest::newRow("empty text") << ""
                                    << "#n#"
                                    << "Ana"
                                    << "";
        QTest::newRow("empty search text") << "#n#"
                                           << ""
                                           << "Ana"
                                           << "#n#";
        QTest::newRow("not found") << "sem marcas"
                                   << "#n#"
                                   << "Ana"
                                   << "sem marcas";
    }
    void substituirTexto() {
        QFETCH(QString, text);
        QFETCH(QString, search);
        QFETCH(QString, replacement);
        QFETCH(QString, result);
        QCOMPARE(SubstituirTexto(text, search, replacement), result);
    }
};

QTEST_MAIN(TestControlValues)
#include "tst_controlvalues.moc"
