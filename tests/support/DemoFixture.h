// A demo database made for one test, with the shared connection opened on it
// through the database login (as SQLConnect leaves it).
#pragma once

#include "TestDatabase.h"

#include <QString>
#include <QTemporaryDir>

namespace orla::test {

class DemoFixture {
  public:
    // Builds the demo database and, with connect, opens the shared connection on it.
    explicit DemoFixture(bool connect = true);
    ~DemoFixture();
    QString path() const { return path_; }
    // Runs SQL directly on the file, outside the component; fails the test on error.
    void exec(const QStringList& statements) const;

  private:
    QTemporaryDir dir_;
    QString path_;
};

}  // namespace orla::test
