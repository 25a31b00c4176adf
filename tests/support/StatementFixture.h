// A statement window on a demo database made for one test, with a test
// account (60) whose movements each test writes, scripted prompts and a
// settings sandbox.
#pragma once

#include "DemoFixture.h"
#include "Recorders.h"
#include "SettingsSandbox.h"
#include "statement/frmMain.h"

#include <QDate>
#include <QString>

class QAbstractItemView;
class QDateEdit;

#include <memory>

namespace orla::test {

// "yyyy-mm-dd hh:mm:ss" for today plus `days`.
QString Day(int days, const QString& time = QStringLiteral("10:00:00"));
// "dd-mm-yyyy" for today plus `days`.
QString Shown(int days);
// Opens the picker's calendar pop-up with a click on its arrow: its days, or null when it did
// not open.
QAbstractItemView* OpenCalendar(QDateEdit* picker);

class StatementFixture {
  public:
    // Makes the test account 60 (saldo 1000,00 from 100 days ago) and a window.
    StatementFixture();
    ~StatementFixture();

    frmMain& window() { return *window_; }
    ScriptedPrompts& prompts() { return *prompts_; }
    const RecordingServices& reports() const { return *services_; }
    void exec(const QStringList& statements) const { demo_->exec(statements); }
    QString path() const { return demo_->path(); }
    QVariant value(const QString& sql) const;

    // Loads the window, selects the account and shows it (filters refill only when shown).
    void open(int conta = 60);
    // Row index of the row with this key, or -1.
    int row(const QString& key) const;
    // The row's visible texts (Data ... Saldo).
    QStringList texts(int row) const;
    // Clicks a row's check box in the list, as the user does.
    void clickCheckBox(int row);

    // Record `id` of an origin on account 60 dated `day` (1 receipt, 2 supplier
    // receipt, 3 cost receipt, 4 transfer to account 1, 40 transfer from account
    // 1, 7 payment, 5 bank charge); `bank` is its bank date or "NULL".
    void add(int origin, int id, const QString& day, const QString& valor,
             const QString& bank = QStringLiteral("NULL"));

  private:
    SettingsSandbox folders_;
    std::unique_ptr<DemoFixture> demo_;
    ScopedPrompts prompts_;
    ScopedServicesRecorder services_;
    std::unique_ptr<frmMain> window_;
};

}  // namespace orla::test
