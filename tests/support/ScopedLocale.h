// The process's locale for one test, put back when the scope ends.
#pragma once

#include <QLocale>

namespace orla::test {

class ScopedLocale {
  public:
    explicit ScopedLocale(const QString& name) { QLocale::setDefault(QLocale(name)); }
    ~ScopedLocale() { QLocale::setDefault(previous_); }
    ScopedLocale(const ScopedLocale&) = delete;
    ScopedLocale& operator=(const ScopedLocale&) = delete;

  private:
    QLocale previous_;
};

}  // namespace orla::test
