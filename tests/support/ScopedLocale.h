// The process's locale for one test: set as the default, with the separators
// that EhNumero keeps read again, and put back when the scope ends.
#pragma once

#include "common/Separators.h"

#include <QLocale>

namespace orla::test {

class ScopedLocale {
  public:
    explicit ScopedLocale(const QString& name) {
        QLocale::setDefault(QLocale(name));
        EsquecerSeparadoresLidos();
    }
    ~ScopedLocale() {
        QLocale::setDefault(previous_);
        EsquecerSeparadoresLidos();
    }
    ScopedLocale(const ScopedLocale&) = delete;
    ScopedLocale& operator=(const ScopedLocale&) = delete;

  private:
    QLocale previous_;
};

}  // namespace orla::test
