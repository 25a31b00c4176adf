#include "transfers/frmTransferencia.h"

#include "common/ControlValues.h"
#include "common/Folders.h"
#include "common/Format.h"
#include "context/Context.h"
#include "context/ControlFill.h"
#include "context/SharedConnection.h"
#include "platform/db/Values.h"
#include "platform/services/ErrorReport.h"
#include "platform/services/Prompts.h"
#include "platform/services/Shell.h"
#include "security/Permissions.h"
#include "transfers/AccountLimits.h"
#include "transfers/TransferRead.h"
#include "transfers/TransferWrite.h"

#include <QCalendarWidget>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace orla {
namespace {

const QString kModule = QStringLiteral("frmTransferencia");
const char* const kTag = "Tag";

template <class T>
T* Named(T* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

// A picker that can hold "no date" (01-01-1900, shown blank) and keeps the
// stored wall-clock value as it is.
QDateEdit* Picker(const char* name) {
    QDateEdit* picker = Named(new QDateEdit, name);
    picker->setDisplayFormat(QStringLiteral("dd-MM-yyyy"));
    picker->setCalendarPopup(true);
    picker->setMinimumDate(kNoDate);
    picker->setSpecialValueText(QStringLiteral(" "));
    PrepararData(picker);
    picker->setDateTime(QDateTime(kNoDate, QTime(0, 0), Qt::UTC));
    return picker;
}

// 01-01-1900, whatever its time, is no date.
bool HasDate(const QDateEdit* picker) {
    return picker->date() != kNoDate;
}

std::optional<QDateTime> DateOf(const QDateEdit* picker) {
    return HasDate(picker) ? std::optional<QDateTime>(picker->dateTime()) : std::nullopt;
}

template <class T>
QVariant Stored(const std::optional<T>& value) {
    return value ? QVariant::fromValue(*value) : QVariant();
}

QString Shown(const QDate& date) {
    return Format(QDateTime(date, QTime(0, 0), Qt::UTC), formats::kData);
}

// The system's button face as the background of a control that cannot be changed.
void ButtonFace(QWidget* control) {
    QPalette palette = control->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    control->setPalette(palette);
}

// The accounts a side offers, by the statement window's rules: active, not the system's, and
// protected only for a user who may see them. The side's own account of an existing transfer
// stays offered so that the transfer shows as it is; `hidden` is set when the user may not see it.
std::function<bool(Recordset&)> AccountOffer(const QVariant& own, bool& hidden) {
    return [own, &hidden](Recordset& rs) {
        const auto flag = [&rs](const char* name) {
            const Field field = rs.Fields(QString::fromLatin1(name));
            return !field.IsNull() && field.Value.toLongLong() != 0;
        };
        const bool visible = MaySeeAccount(Context().User, flag("protected"));
        if (own.isValid() &&
            rs.Fields(QStringLiteral("conta_id")).Value.toLongLong() == own.toLongLong()) {
            hidden = hidden || !visible;
            return visible;
        }
        return visible && !flag("inactivo") && !flag("system");
    };
}

}  // namespace

frmTransferencia::frmTransferencia(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(kModule);
    setWindowTitle(QStringLiteral("Transferência entre Contas"));
    setAttribute(Qt::WA_DeleteOnClose);
    BuildControls();
}

frmTransferencia::~frmTransferencia() = default;

void frmTransferencia::BuildControls() {
    FXOrigem_ID = Named(new QComboBox, "FXOrigem_ID");
    FXDestino_ID = Named(new QComboBox, "FXDestino_ID");
    FXData = Picker("FXData");
    FXData_Debito = Picker("FXData_Debito");
    FXData_Destino = Picker("FXData_Destino");
    FXData_Debito_Destino = Picker("FXData_Debito_Destino");
    FXValor = Named(new QLineEdit, "FXValor");
    FXValor->setAlignment(Qt::AlignRight);
    FXObs = Named(new QLineEdit, "FXObs");
    FXModo_Pagamento_ID = Named(new QComboBox, "FXModo_Pagamento_ID");
    Command1 = Named(new QPushButton(QStringLiteral("&Gravar")), "Command1");
    Command2 = Named(new QPushButton(QStringLiteral("&Fechar")), "Command2");
    Command3 = Named(new QPushButton(QStringLiteral("&Apagar")), "Command3");
    Command4 = Named(new QPushButton(QStringLiteral("&Imprimir")), "Command4");

    auto* fields = new QGridLayout;
    const auto row = [&](int r, int column, const char* name, const QString& caption,
                         QWidget* control, int span = 1) {
        auto* label = Named(new QLabel(caption), name);
        label->setBuddy(control);
        fields->addWidget(label, r, column);
        fields->addWidget(control, r, column + 1, 1, span);
    };
    row(0, 0, "FXOrigem_ID_Label", QStringLiteral("Conta de &origem:"), FXOrigem_ID, 3);
    row(1, 0, "FXData_Label", QStringLiteral("Data:"), FXData);
    row(1, 2, "FXData_Debito_Label", QStringLiteral("Data de débito:"), FXData_Debito);
    row(2, 0, "FXDestino_ID_Label", QStringLiteral("Conta de &destino:"), FXDestino_ID, 3);
    row(3, 0, "FXData_Destino_Label", QStringLiteral("Data:"), FXData_Destino);
    row(3, 2, "FXData_Debito_Destino_Label", QStringLiteral("Data de débito:"),
        FXData_Debito_Destino);
    row(4, 0, "FXValor_Label", QStringLiteral("&Valor:"), FXValor);
    row(4, 2, "FXModo_Pagamento_ID_Label", QStringLiteral("Modo de pagamento:"),
        FXModo_Pagamento_ID);
    row(5, 0, "FXObs_Label", QStringLiteral("Obs&ervações:"), FXObs, 3);
    fields->setColumnStretch(1, 1);
    fields->setColumnStretch(3, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Command4);
    buttons->addWidget(Command3);
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    auto* page = new QVBoxLayout(this);
    page->addLayout(fields);
    page->addStretch();
    page->addLayout(buttons);
    resize(640, 260);

    connect(Command1, &QPushButton::clicked, this, &frmTransferencia::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &QWidget::close);
    connect(Command3, &QPushButton::clicked, this, &frmTransferencia::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &frmTransferencia::Command4_Click);
    connect(FXData, &QDateEdit::dateTimeChanged, this, &frmTransferencia::FXData_Change);
    FXValor->installEventFilter(this);
    FXData_Debito->findChild<QLineEdit*>()->installEventFilter(this);
    for (QDateEdit* picker : {FXData, FXData_Debito, FXData_Destino, FXData_Debito_Destino}) {
        picker->installEventFilter(this);
        picker->calendarWidget()->installEventFilter(this);
    }
}

void frmTransferencia::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!loaded_) {
        loaded_ = true;
        Form_Load();
    }
}

void frmTransferencia::Form_Load() {
    Guard({kModule, QStringLiteral("Form_Load"), ReportFilter::NotZeroNor3709NorBlank}, [&] {
        const QSignalBlocker quiet(FXData);
        // System accounts are listed only to show an existing transfer that uses one.
        const QString accounts =
            Trf_ID != 0 ? QStringLiteral("SELECT * FROM vwContas_Bancarias ORDER BY descrit2")
                        : QStringLiteral(
                              "SELECT * FROM vwContas_Bancarias WHERE system = 0 OR "
                              "system is null ORDER BY descrit2");
        const std::optional<Transfer> row =
            Trf_ID != 0 ? ReadTransfer(Data().SqlServer, Trf_ID) : std::nullopt;
        row_ = row;
        bool hidden = false;
        ControlFill(FXOrigem_ID, accounts, QStringLiteral("descrit2"), QStringLiteral("conta_id"),
                    AccountOffer(row ? Stored(row->origemId) : QVariant(), hidden));
        ControlFill(FXDestino_ID, accounts, QStringLiteral("descrit2"), QStringLiteral("conta_id"),
                    AccountOffer(row ? Stored(row->destinoId) : QVariant(), hidden));
        if (hidden) {  // a transfer touching an account this user may not see stays closed
            finished_ = true;
            ShowNoPermission();
            for (QWidget* control : findChildren<QWidget*>())
                control->setEnabled(false);
            QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
            return;
        }
        ControlFill(FXModo_Pagamento_ID,
                    QStringLiteral("SELECT modo_pagamento_id, descrit FROM tbModos_Pagamento "
                                   "ORDER BY descrit"),
                    QStringLiteral("descrit"), QStringLiteral("modo_pagamento_id"));
        if (Trf_ID != 0) {
            if (row) {
                DefinirValorControlo(FXData, Stored(row->data), 0);
                DefinirValorControlo(FXData_Debito, Stored(row->dataDebito), 0);
                DefinirValorControlo(FXData_Destino, Stored(row->dataDestino), 0);
                DefinirValorControlo(FXData_Debito_Destino, Stored(row->dataDebitoDestino), 0);
                DefinirValorControlo(FXOrigem_ID, Stored(row->origemId), 0);
                DefinirValorControlo(FXDestino_ID, Stored(row->destinoId), 0);
                DefinirValorControlo(FXValor,
                                     row->valor ? QVariant(row->valor->ToDouble()) : QVariant(), 0);
                FXObs->setText(row->obs);
                DefinirValorControlo(FXModo_Pagamento_ID, Stored(row->modoPagamentoId), 0);
                Sistema = row->system;
            }
        } else {
            DefinirValorControlo(FXValor, 0, 0);
            const QDateTime today = GetServerDate();
            DefinirValorControlo(FXData, today, 0);
            DefinirValorControlo(FXData_Destino, today, 0);
            if (Conta_Origem_ID != 0)
                DefinirValorControlo(FXOrigem_ID, Conta_Origem_ID, 0);
            Command3->setVisible(false);
            DefinirValorControlo(FXModo_Pagamento_ID, 5, 0);
            if (Valor_Proposto) {  // the movements selected in the statement, without sign
                const Money proposed =
                    *Valor_Proposto < Money() ? -*Valor_Proposto : *Valor_Proposto;
                DefinirValorControlo(FXValor, proposed.ToDouble(), 0);
            }
        }
        previousData_ = FXData->dateTime();
        FormatarControlo(FXValor, 4);
        SetLocks();
        if (Sistema) {
            const QList<QWidget*> all{
                FXData,      FXData_Debito, FXData_Destino, FXData_Debito_Destino,
                FXOrigem_ID, FXDestino_ID,  FXValor,        FXModo_Pagamento_ID,
                FXObs,       Command3};
            for (QWidget* control : all)
                control->setEnabled(false);
            for (QWidget* control : QList<QWidget*>{FXOrigem_ID, FXDestino_ID, FXValor})
                ButtonFace(control);
        }
        shown_ = Values();
    });
}

void frmTransferencia::SetLocks() {
    const auto closed = [](QComboBox* account, const QDateEdit* date, const QDateEdit* bank) {
        const std::optional<QDate> bankDate =
            HasDate(bank) ? std::optional<QDate>(bank->date()) : std::nullopt;
        return InClosedPeriod(ReadAccountDates(Data().SqlServer, SelectedKey(account)).dataClosed,
                              date->date(), bankDate);
    };
    if (closed(FXOrigem_ID, FXData, FXData_Debito))
        LockOrigin();
    if (closed(FXDestino_ID, FXData_Destino, FXData_Debito_Destino))
        LockDestination();
}

// A closed side keeps its dates and account, and the amount that both sides share.
void frmTransferencia::LockOrigin() {
    FXData->setEnabled(false);
    FXData_Debito->setEnabled(false);
    FXOrigem_ID->setEnabled(false);
    ButtonFace(FXOrigem_ID);
    FXValor->setReadOnly(true);
    ButtonFace(FXValor);
}

void frmTransferencia::LockDestination() {
    FXData_Destino->setEnabled(false);
    FXData_Debito_Destino->setEnabled(false);
    FXDestino_ID->setEnabled(false);
    ButtonFace(FXDestino_ID);
    FXValor->setReadOnly(true);
    ButtonFace(FXValor);
}

// The destination date follows the origin date while it has none or held the same.
void frmTransferencia::FXData_Change() {
    const QDateTime now = FXData->dateTime();
    if (FXData_Destino->isEnabled() &&
        (!HasDate(FXData_Destino) || FXData_Destino->dateTime() == previousData_))
        FXData_Destino->setDateTime(now);
    previousData_ = now;
}

bool frmTransferencia::eventFilter(QObject* watched, QEvent* event) {
    if (watched == FXValor && event->type() == QEvent::FocusIn) {
        EntrarCampo(FXValor, 4);
    } else if (watched == FXValor && event->type() == QEvent::FocusOut) {
        Guard({kModule, QStringLiteral("FXValor_LostFocus"), ReportFilter::NotZeroNor3709}, [&] {
            SairCampo(FXValor, 4);
            RoundAmount();
        });
    } else if (watched == FXData_Debito->findChild<QLineEdit*>() &&
               event->type() == QEvent::MouseButtonDblClick && FXData_Debito->isEnabled()) {
        FXData_Debito->setDateTime(FXData->dateTime());
        return true;
    } else if (event->type() == QEvent::KeyPress && qobject_cast<QDateEdit*>(watched)) {
        return DateKey(static_cast<QDateEdit*>(watched), static_cast<QKeyEvent*>(event));
    } else if (event->type() == QEvent::Show) {
        // A picker without a date opens its calendar on the present month, not on 1900.
        auto* calendar = qobject_cast<QCalendarWidget*>(watched);
        if (calendar && calendar->selectedDate() == kNoDate) {
            const QDate today = QDate::currentDate();
            calendar->setCurrentPage(today.year(), today.month());
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool frmTransferencia::DateKey(QDateEdit* picker, QKeyEvent* key) {
    if (key->key() == Qt::Key_Delete) {
        picker->setDate(kNoDate);
        return true;
    }
    const QString typed = key->text();
    if (!HasDate(picker) && typed.size() == 1 && typed.front().isDigit()) {
        // The digits typed are a day first: the picker starts from today and takes them in.
        picker->setDate(GetServerDate().date());
        picker->setSelectedSection(QDateTimeEdit::DaySection);
    }
    return false;
}

std::optional<Money> frmTransferencia::Amount() const {
    if (FXValor->text().trimmed().isEmpty())
        return std::nullopt;
    return Money::FromVariant(FXValor->property(kTag));
}

void frmTransferencia::RoundAmount() {
    const std::optional<Money> amount = Amount();
    if (!amount || *amount == amount->RoundedToCentsAsShown())
        return;
    DefinirValorControlo(FXValor, amount->RoundedToCentsAsShown().ToDouble(), 0);
    FormatarControlo(FXValor, 4);
}

Transfer frmTransferencia::Values() const {
    Transfer values;
    values.data = DateOf(FXData);
    values.dataDebito = DateOf(FXData_Debito);
    values.dataDestino = DateOf(FXData_Destino);
    values.dataDebitoDestino = DateOf(FXData_Debito_Destino);
    values.origemId = SelectedKey(FXOrigem_ID);
    values.destinoId = SelectedKey(FXDestino_ID);
    values.valor = Amount();
    values.obs = FXObs->text();
    values.modoPagamentoId = SelectedKey(FXModo_Pagamento_ID);
    values.system = Sistema;
    return values;
}

bool frmTransferencia::Changed() const {
    return shown_ && !finished_ && (Values() != *shown_ || FXValor->isModified());
}

bool frmTransferencia::Refuse(const QString& message, QWidget* focus) {
    CurrentPrompts().MsgBox(message, vb::Information, windowTitle());
    focus->setFocus();
    return false;
}

bool frmTransferencia::Validate() {
    if (FXOrigem_ID->currentIndex() < 0)
        return Refuse(QStringLiteral("Tem de indicar qual a conta de origem para a transferência."),
                      FXOrigem_ID);
    if (FXDestino_ID->currentIndex() < 0)
        return Refuse(
            QStringLiteral("Tem de indicar qual a conta de destino para a transferência."),
            FXDestino_ID);
    if (FXOrigem_ID->currentText() == FXDestino_ID->currentText())
        return Refuse(QStringLiteral("A conta de destino tem de ser diferente à conta de origem."),
                      FXDestino_ID);
    const std::optional<Money> amount = Amount();
    if (!amount || *amount == Money())
        return Refuse(QStringLiteral("Tem de indicar o valor para a transferência."), FXValor);
    if (*amount < Money())
        return Refuse(QStringLiteral("O valor da transferência tem de ser positivo."), FXValor);

    const std::optional<QDate> originLimit =
        LowerLimit(ReadAccountDates(Data().SqlServer, SelectedKey(FXOrigem_ID)));
    const std::optional<QDate> destinationLimit =
        LowerLimit(ReadAccountDates(Data().SqlServer, SelectedKey(FXDestino_ID)));
    const QString origin = QStringLiteral(" (limite inferior da conta de origem).");
    const QString destination = QStringLiteral(" (limite inferior da conta de destino).");
    const QString dateAbove = QStringLiteral("A data tem de ser superior a ");
    const QString debitAbove = QStringLiteral("A data de débito tem de ser superior a ");
    const auto before = [](const QDateEdit* picker, const std::optional<QDate>& limit) {
        return limit && HasDate(picker) && picker->date() < *limit;
    };
    if (FXData->isEnabled()) {
        if (!HasDate(FXData))
            return Refuse(QStringLiteral("A data não foi definida."), FXData);
        if (before(FXData, originLimit))
            return Refuse(dateAbove + Shown(*originLimit) + origin, FXData);
    }
    if (FXData_Debito->isEnabled() && before(FXData_Debito, originLimit))
        return Refuse(debitAbove + Shown(*originLimit) + origin, FXData_Debito);
    if (FXData_Destino->isEnabled()) {
        if (!HasDate(FXData_Destino))
            return Refuse(QStringLiteral("A data de destino não foi definida."), FXData_Destino);
        if (before(FXData_Destino, destinationLimit))
            return Refuse(dateAbove + Shown(*destinationLimit) + destination, FXData_Destino);
    }
    if (FXData_Debito_Destino->isEnabled() && before(FXData_Debito_Destino, destinationLimit))
        return Refuse(debitAbove + Shown(*destinationLimit) + destination, FXData_Debito_Destino);

    // Money reaches the destination no earlier than it leaves, and the bank takes a movement no
    // earlier than its date; checked while either date of the pair may still be changed.
    const auto earlier = [](QDateEdit* later, QDateEdit* first) {
        return (later->isEnabled() || first->isEnabled()) && HasDate(later) && HasDate(first) &&
               later->date() < first->date();
    };
    const auto focus = [](QDateEdit* later, QDateEdit* first) {
        return later->isEnabled() ? later : first;
    };
    if (earlier(FXData_Destino, FXData))
        return Refuse(QStringLiteral("A data de destino não pode ser anterior à data de origem."),
                      focus(FXData_Destino, FXData));
    if (earlier(FXData_Debito, FXData))
        return Refuse(QStringLiteral("A data de débito não pode ser anterior à data de origem."),
                      focus(FXData_Debito, FXData));
    if (earlier(FXData_Debito_Destino, FXData_Destino))
        return Refuse(QStringLiteral("A data de débito não pode ser anterior à data de destino."),
                      focus(FXData_Debito_Destino, FXData_Destino));
    return true;
}

bool frmTransferencia::Done(const TransferWritten& result, bool deleting) {
    QString message;
    switch (result.outcome) {
        case TransferWritten::Written:
            return true;
        case TransferWritten::NoNumber:
            message = QStringLiteral("Erro no registo da transferência. Contacto o administrador.");
            break;
        case TransferWritten::Gone:
            message = QStringLiteral(
                "Esta transferência foi apagada por outro utilizador. Nada foi gravado.");
            break;
        case TransferWritten::Changed:
            message = QStringLiteral(
                "Esta transferência foi alterada por outro utilizador depois de aberta. Nada foi "
                "gravado: a janela mostra-a agora como está.");
            break;
        case TransferWritten::InClosedPeriod: {
            const ClosedSide& side = *result.closed;
            QComboBox* accounts = side.origin ? FXOrigem_ID : FXDestino_ID;
            const int index = side.account ? accounts->findData(*side.account) : -1;
            const QString name =
                index >= 0 ? accounts->itemText(index) : QString::number(side.account.value_or(0));
            message = (deleting ? QStringLiteral("Esta transferência não pode ser apagada.\n")
                                : QString()) +
                      (side.bankDate ? QStringLiteral("A data de débito tem de ser superior a ")
                                     : QStringLiteral("A data tem de ser superior a ")) +
                      Shown(side.closed) +
                      (side.origin ? QStringLiteral(" (limite inferior da conta de origem).")
                                   : QStringLiteral(" (limite inferior da conta de destino).")) +
                      QStringLiteral("\nA conta \"%1\" está fechada até %2.")
                          .arg(name, Shown(side.closed));
            break;
        }
    }
    CurrentPrompts().MsgBox(message, vb::Information, windowTitle());
    if (result.outcome == TransferWritten::Changed) {
        Reload();
    } else if (result.outcome == TransferWritten::Gone) {
        finished_ = true;
        close();
    }
    return false;
}

// Shows the transfer again as stored, with the locks its dates now call for.
void frmTransferencia::Reload() {
    const QList<QWidget*> lockable{
        FXData,      FXData_Debito, FXData_Destino, FXData_Debito_Destino,
        FXOrigem_ID, FXDestino_ID,  FXValor,        FXModo_Pagamento_ID,
        FXObs,       Command3};
    for (QWidget* control : lockable) {
        control->setEnabled(true);
        control->setPalette(QPalette());
    }
    FXValor->setReadOnly(false);
    Sistema = false;
    Form_Load();
}

void frmTransferencia::Command1_Click() {
    Guard({kModule, QStringLiteral("Command1_Click"), ReportFilter::NotZeroNor3709}, [&] {
        if (FXValor->hasFocus())
            Command1->setFocus();  // the amount being typed is taken in first
        // The checks read the accounts too: the connection is made sure of before them.
        if (!CheckSharedConnection().isEmpty())
            return;
        if (!Validate())
            return;
        const TransferSides sides{
            FXData->isEnabled() && FXData_Debito->isEnabled(),
            FXData_Destino->isEnabled() && FXData_Debito_Destino->isEnabled()};
        const TransferWritten result =
            SaveTransfer(Data().SqlServer, Trf_ID, row_, Values(), sides);
        if (!Done(result, false))
            return;
        Trf_ID = result.trfId;
        finished_ = true;
        close();
    });
}

void frmTransferencia::Command3_Click() {
    Guard({kModule, QStringLiteral("Command3_Click"), ReportFilter::NotZeroNor3709}, [&] {
        if (Trf_ID == 0 || !row_)
            return;
        if (CurrentPrompts().MsgBox(QStringLiteral("Deseja mesmo apagar esta transferência?"),
                                    vb::YesNo | vb::Question, windowTitle()) != vb::Yes)
            return;
        if (!CheckSharedConnection().isEmpty())
            return;
        if (!Done(DeleteTransfer(Data().SqlServer, Trf_ID, *row_), true))
            return;
        finished_ = true;
        close();
    });
}

// The report opens in the program the desktop keeps for its kind.
void frmTransferencia::Command4_Click() {
    Guard({kModule, QStringLiteral("Command4_Click"), ReportFilter::NotZeroNor3709}, [&] {
        QString outFile;
        const QString written = DoReport(outFile, QStringLiteral("Transferencia.doc"));
        if (!written.isEmpty())
            CurrentShell().ShellExecute(QStringLiteral("open"), written,
                                        PastaTemporaria() + QLatin1Char('/'), this);
    });
}

void frmTransferencia::closeEvent(QCloseEvent* event) {
    if (Changed() &&
        CurrentPrompts().MsgBox(QStringLiteral("As alterações a esta transferência não foram "
                                               "gravadas. Deseja fechar sem gravar?"),
                                vb::YesNo | vb::Question, windowTitle()) != vb::Yes) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
    if (!event->isAccepted() || Trf_ID == 0)
        return;
    emit TransferenciaFechada(Trf_ID);
}

}  // namespace orla
