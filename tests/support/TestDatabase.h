// Small SQLite databases made for one test, with server logins.
#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>

namespace orla::test {

// Runs SQL directly on a database file, outside the component; fails the test on error.
void ExecOnFile(const QString& path, const QStringList& statements);
// The first column of the first row of a query run directly on a database file.
QVariant QueryValue(const QString& path, const QString& sql);
// Forgets the context and the cached policies and closes the shared connection,
// as a fresh load of the component would find them.
void ResetComponentState();

class TestDatabase {
  public:
    // Creates `name` in a temporary folder with the given logins ("user" -> "password").
    explicit TestDatabase(const QString& name = QStringLiteral("test.db"),
                          const QList<QPair<QString, QString>>& logins = DefaultLogins());

    QString path() const { return path_; }
    QString folder() const { return dir_.path(); }
    void exec(const QStringList& statements) const { ExecOnFile(path_, statements); }

    static QList<QPair<QString, QString>> DefaultLogins();

  private:
    QTemporaryDir dir_;
    QString path_;
};

// Database login and application users of DefaultLogins().
inline const QString kDbLogin = QStringLiteral("orla");
inline const QString kDbPassword = QStringLiteral("orla-db'pw");
inline const QString kAppUser = QStringLiteral("ana");
inline const QString kAppPassword = QStringLiteral("ana;secret");

}  // namespace orla::test
