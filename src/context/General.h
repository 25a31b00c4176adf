// The public class of the component: connection of the host's user and the
// opening of the statement window.
#pragma once

#include <orla_contas/General.h>

namespace orla {

class General : public GeneralInterface {
  public:
    General();
    ~General() override;

    bool Login(const QString& User = QString(), const QString& Password = QString()) override;
    void Show() override;
    bool SQLConnect(const QString& User, const QString& Password, const QString& cnUser,
                    const QString& cnPassword, const QString& cnInitialCatalog,
                    const QString& cnDataSource, const QString& cnDataSourceSecondary = QString(),
                    qint32 Flags = 0) override;
};

}  // namespace orla
