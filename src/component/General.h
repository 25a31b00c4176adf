// The public class of the component: connection of the host's user and the
// opening of the statement window.
#pragma once

#include <orla_contas/General.h>

#include <memory>

namespace orla {

class frmMain;

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

    // The statement window this object owns (created with it, loaded when shown).
    frmMain* Window() const { return frmMain_.get(); }

  private:
    std::unique_ptr<frmMain> frmMain_;
};

}  // namespace orla
