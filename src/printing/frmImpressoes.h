// The print dialog: the account statement the statement window lists, built
// afresh for each action and printed, shown, mailed or saved to a file. The
// list is read at once; the report is written, and converted to PDF, off the
// interface thread, under a progress dialog that can cancel it.
#pragma once

#include "printing/StatementReport.h"

#include <QWidget>

#include <functional>

class QAction;
class QCheckBox;
class QCloseEvent;
class QGroupBox;
class QKeyEvent;
class QRadioButton;
class QToolBar;

namespace orla {

class AsideTask;

class frmImpressoes : public QWidget {
    Q_OBJECT

  public:
    // A modeless window owned by `owner` that prints what `source` gives at the moment of
    // each build. It closes itself after an action, on "Cancelar" or on Esc, raises Closed,
    // and deletes itself once any work it left running (a print, a conversion) has ended.
    frmImpressoes(QWidget* owner, std::function<StatementReportSource()> source);
    ~frmImpressoes() override;

    // Carries out the action of the toolbar button at index Button (1 print,
    // 2 preview, 4 e-mail, 5 save, 6 attach).
    void Imprimir_Doc(int Button);
    // True while a build, a print or a conversion runs off the interface thread.
    bool Busy() const { return running_ > 0; }

    QToolBar* Toolbar2;
    QGroupBox* Frame_Documento;
    QGroupBox* Frame_Recibo;
    QRadioButton* Option_Documento;
    QRadioButton* Option_Recibo;
    QCheckBox* Check_PDF;  // e-mail the statement as a PDF

  signals:
    // The dialog closed: the window that opened it takes input again.
    void Closed();
    // The work an action started off the interface thread has ended (and its result was
    // delivered, or it was cancelled).
    void WorkFinished();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

  private:
    void BuildControls();
    void Toolbar2_ButtonClick(QAction* button);
    void EnableDocumentButtons(bool enabled);
    void Email(const QString& file, bool pdf, const StatementReportSource& source);
    // Runs work off the interface thread with the busy pointer and a progress dialog over the
    // owner (`rows` to write, then the steps the work names) whose "Cancelar" stops it; then,
    // back on it, tells the user its failure, if any, or runs done. Nothing of a cancelled
    // work is delivered.
    void RunAside(qsizetype rows, std::function<void(AsideTask&)> work, std::function<void()> done);

    std::function<StatementReportSource()> source_;
    int running_ = 0;
    bool closed_ = false;
};

}  // namespace orla
