#include "statement/frmMain.h"

#include "common/ControlValues.h"
#include "common/Registry.h"
#include "context/Context.h"
#include "context/ControlFill.h"
#include "platform/services/ErrorReport.h"
#include "security/Permissions.h"
#include "statement/ComboDropDown.h"
#include "statement/StatementQueries.h"
#include "transfers/frmTransferencia.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QToolBar>
#include <QTreeView>
#include <QVBoxLayout>

namespace orla {
namespace {

template <class T>
T* Named(T* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QLabel* Caption(const char* name, const QString& text) {
    return Named(new QLabel(text), name);
}

QLineEdit* Total(const char* name) {
    QLineEdit* edit = Named(new QLineEdit, name);
    edit->setReadOnly(true);
    edit->setAlignment(Qt::AlignRight);
    edit->setFocusPolicy(Qt::NoFocus);
    return edit;
}

QDateEdit* Picker(const char* name) {
    QDateEdit* picker = Named(new QDateEdit, name);
    picker->setDisplayFormat(QStringLiteral("dd-MM-yyyy"));
    picker->setCalendarPopup(true);
    picker->setMinimumDate(QDate(1899, 12, 30));
    return picker;
}

}  // namespace

frmMain::frmMain(QWidget* parent) : QWidget(parent), model_(new StatementModel(this)) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Extratos de Contas"));
    BuildControls();
    connect(model_, &StatementModel::itemChecked, this, &frmMain::ListView1_ItemCheck);
}

frmMain::~frmMain() = default;

void frmMain::BuildControls() {
    FXConta_ID = Named(new QComboBox, "FXConta_ID");
    FXModo_Pagamento_ID = Named(new QComboBox, "FXModo_Pagamento_ID");
    FXData_Inicio = Picker("FXData_Inicio");
    FXData_Fim = Picker("FXData_Fim");
    FXIgnorarAnteriores =
        Named(new QCheckBox(QStringLiteral("Ignorar saldos anteriores")), "FXIgnorarAnteriores");
    FXConcil_Only =
        Named(new QCheckBox(QStringLiteral("Apenas registos não conciliados")), "FXConcil_Only");
    FXDebitos = Total("FXDebitos");
    FXCreditos = Total("FXCreditos");
    FXTotalSelecionado = Total("FXTotalSelecionado");
    Label = Caption("Label", QString());
    Label1 = Caption("Label1", QStringLiteral("Conta:"));
    Label2 = Caption("Label2", QStringLiteral("Extratos de Contas"));
    FXData_Inicio_Label = Caption("FXData_Inicio_Label", QStringLiteral("Data Inicio:"));
    FXData_Fim_Label = Caption("FXData_Fim_Label", QStringLiteral("Data Fim:"));
    FXModo_Pagamento_ID_Label =
        Caption("FXModo_Pagamento_ID_Label", QStringLiteral("Modo Pagamento:"));
    FXDebitos_Label = Caption("FXDebitos_Label", QStringLiteral("Débito Acumulado:"));
    FXCreditos_Label = Caption("FXCreditos_Label", QStringLiteral("Crédito Acumulado:"));
    FXTotalSelecionado_Label =
        Caption("FXTotalSelecionado_Label", QStringLiteral("Total Selecionado:"));
    Image1 = Caption("Image1", QString());
    Image2 = Caption("Image2", QString());
    Image1->setPixmap(style()->standardIcon(QStyle::SP_DriveHDIcon).pixmap(32, 32));
    Image2->setPixmap(style()->standardIcon(QStyle::SP_FileDialogDetailedView).pixmap(32, 32));
    QFont heading = Label->font();
    heading.setBold(true);
    heading.setPointSizeF(heading.pointSizeF() * 1.3);
    Label->setFont(heading);
    Label2->setFont(heading);
    FXTotalSelecionado->setVisible(false);
    FXTotalSelecionado_Label->setVisible(false);

    Toolbar1 = Named(new QToolBar, "Toolbar1");
    Toolbar1->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    const std::pair<const char*, QString> buttons[] = {
        {"transferencia", QStringLiteral("&Nova Transferência")},
        {"procurar", QStringLiteral("Procurar")},
        {"imprimir", QStringLiteral("Imprimir")},
        {"custo", QStringLiteral("Novo &Custo")},
        {"importar", QStringLiteral("Importar e&xtrato")}};
    for (const auto& [key, caption] : buttons)
        Toolbar1->addAction(caption)->setObjectName(QLatin1String(key));
    connect(Toolbar1, &QToolBar::actionTriggered, this, &frmMain::Toolbar1_ButtonClick);

    ListView1 = Named(new QTreeView, "ListView1");
    ListView1->setModel(model_);
    ListView1->setRootIsDecorated(false);
    ListView1->setUniformRowHeights(true);
    ListView1->setAlternatingRowColors(true);
    ListView1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);  // label editing refused
    ListView1->header()->setStretchLastSection(false);

    Frame1 = Named(new QFrame, "Frame1");
    Frame1->setFrameShape(QFrame::StyledPanel);
    auto* filters = new QGridLayout(Frame1);
    filters->addWidget(Image1, 0, 0, 2, 1);
    filters->addWidget(Label1, 0, 1);
    filters->addWidget(FXConta_ID, 0, 2, 1, 3);
    filters->addWidget(FXModo_Pagamento_ID_Label, 0, 5);
    filters->addWidget(FXModo_Pagamento_ID, 0, 6);
    filters->addWidget(FXData_Inicio_Label, 1, 1);
    filters->addWidget(FXData_Inicio, 1, 2);
    filters->addWidget(FXData_Fim_Label, 1, 3);
    filters->addWidget(FXData_Fim, 1, 4);
    filters->addWidget(FXIgnorarAnteriores, 1, 5);
    filters->addWidget(FXConcil_Only, 1, 6);
    filters->setColumnStretch(2, 1);
    filters->setColumnStretch(6, 1);

    Frame2 = Named(new QFrame, "Frame2");
    Frame2->setFrameShape(QFrame::StyledPanel);
    auto* totals = new QHBoxLayout(Frame2);
    totals->addWidget(Image2);
    totals->addWidget(Label, 1);
    for (QWidget* w : {static_cast<QWidget*>(FXTotalSelecionado_Label),
                       static_cast<QWidget*>(FXTotalSelecionado),
                       static_cast<QWidget*>(FXDebitos_Label), static_cast<QWidget*>(FXDebitos),
                       static_cast<QWidget*>(FXCreditos_Label), static_cast<QWidget*>(FXCreditos)})
        totals->addWidget(w);

    auto* page = new QVBoxLayout(this);
    page->addWidget(Label2);
    page->addWidget(Frame1);
    page->addWidget(Toolbar1);
    page->addWidget(ListView1, 1);
    page->addWidget(Frame2);
    resize(1280, 720);

    connect(FXConta_ID, &QComboBox::currentIndexChanged, this, &frmMain::FXConta_ID_Click);
    connect(FXModo_Pagamento_ID, &QComboBox::currentIndexChanged, this, &frmMain::Refill);
    connect(FXConcil_Only, &QCheckBox::toggled, this, &frmMain::Refill);
    connect(FXIgnorarAnteriores, &QCheckBox::toggled, this, &frmMain::Refill);
    FXModo_Pagamento_ID->installEventFilter(this);
    FXData_Inicio->installEventFilter(this);
    FXData_Fim->installEventFilter(this);
    ListView1->viewport()->installEventFilter(this);
    ListView1->installEventFilter(this);
    connect(ListView1, &QAbstractItemView::clicked, this, &frmMain::ListView1_ItemClick);
    connect(ListView1->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &frmMain::ShowSelectedTotal);
    connect(model_, &QAbstractItemModel::modelReset, this, &frmMain::ShowSelectedTotal);
    connect(ListView1, &QAbstractItemView::doubleClicked, this, &frmMain::ListView1_DblClick);
}

QString frmMain::SettingsKey() const {
    return QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Fortevia\\") + Context().ProgramKey;
}

void frmMain::Load() {
    Guard({objectName(), QStringLiteral("Form_Load"), ReportFilter::NotZeroNor3709NorBlank}, [&] {
        loaded_ = true;
        systemAccount_ = false;
        newestRow_ = -1;
        enteredDate_.reset();
        FXIgnorarAnteriores->setChecked(false);
        FXConcil_Only->setChecked(false);
        const QDate today = QDate::currentDate();
        DefinirValorControlo(FXData_Inicio, today.addDays(-30), 0);
        DefinirValorControlo(FXData_Fim, today.addDays(90), 0);
        const bool allAccounts = CheckSecurityPolicy(Context().User, QStringLiteral("#2302"));
        ControlFill(FXConta_ID, AccountListQuery(allAccounts), QStringLiteral("descrit2"),
                    QStringLiteral("conta_id"));
        ControlFill(FXModo_Pagamento_ID,
                    QStringLiteral("SELECT * FROM tbModos_Pagamento ORDER BY descrit"),
                    QStringLiteral("descrit"), QStringLiteral("modo_pagamento_id"));
        // The lists end with nothing selected: every payment method, no account yet.
        const OptionalString account = ObterValorString(SettingsKey(), QStringLiteral("Conta_ID"));
        if (account)
            DefinirValorControlo(FXConta_ID, account->toInt(), 0);
        Label->setText(FXConta_ID->currentText());
        AjustarListaCombo(this, FXConta_ID, 24, 1.5);
        ApplyColumnWidths();
        Fill();
    });
}

void frmMain::FXConta_ID_Click() {
    if (!isVisible())
        return;
    Guard({objectName(), QStringLiteral("FXConta_ID_Click"), ReportFilter::NotZeroNor3709NorBlank},
          [&] {
              if (FXConta_ID->currentIndex() >= 0)
                  DefinirValorString(SettingsKey(), QStringLiteral("Conta_ID"),
                                     FXConta_ID->currentData().toString());
              Label->setText(FXConta_ID->currentText());
              Fill();
          });
}

void frmMain::Refill() {
    if (isVisible())
        Fill();
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == FXModo_Pagamento_ID && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        FXModo_Pagamento_ID->setCurrentIndex(-1);  // no method: all of them
        return true;
    }
    if (watched == ListView1 && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F3) {
            ListView1_KeyDown(114, int(key->modifiers() >> 25));
            return true;
        }
    }
    if (watched == ListView1->viewport() && event->type() == QEvent::Resize)
        ApplyColumnWidths();
    if ((watched == FXData_Inicio || watched == FXData_Fim) &&
        (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut))
        DatePickerFocus(static_cast<QDateEdit*>(watched), *static_cast<QFocusEvent*>(event));
    return QWidget::eventFilter(watched, event);
}

// A picker's value is remembered when it is entered and compared when it is
// left. Its calendar pop-up takes the focus while the user picks a day and
// gives it back (Qt::PopupFocusReason) after the date changed: that is still
// the same visit, and coming back from the pop-up with another date counts as
// leaving, so each edit, typed or picked, refills once.
void frmMain::DatePickerFocus(QDateEdit* picker, const QFocusEvent& event) {
    const bool popup = event.reason() == Qt::PopupFocusReason;
    if (event.gotFocus() && !popup) {
        enteredDate_ = picker->date();
        return;
    }
    if (event.lostFocus() && popup) {
        if (!enteredDate_)
            enteredDate_ = picker->date();
        return;
    }
    const bool changed = enteredDate_ && *enteredDate_ != picker->date();
    // Back from the pop-up the user is still in the picker.
    enteredDate_ = popup ? std::optional<QDate>(picker->date()) : std::nullopt;
    if (changed)
        Refill();
}

void frmMain::closeEvent(QCloseEvent* event) {
    // A window opened from this one that holds unsaved work may keep both open.
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->isWindow() && child->isVisible() && !child->close()) {
            event->ignore();
            return;
        }
    }
    QWidget::closeEvent(event);
    if (event->isAccepted())
        loaded_ = false;  // unloaded: the next Show loads it afresh
}

void frmMain::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    ApplyColumnWidths();
}

void frmMain::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    ApplyColumnWidths();
    ScrollToNewest();
}

void frmMain::ScrollToNewest() {
    if (newestRow_ >= 0 && newestRow_ < model_->RowCount())
        ListView1->scrollTo(model_->index(newestRow_, ColData),
                            QAbstractItemView::PositionAtCenter);
}

void frmMain::ApplyColumnWidths() {
    const QList<int>& widths = StatementModel::RelativeWidths();
    int total = 0;
    for (int w : widths)
        total += w;
    const int available = qMax(ListView1->viewport()->width(), 300);
    for (int c = 0; c < widths.size(); ++c)
        ListView1->header()->resizeSection(c, available * widths.at(c) / total);
}

void frmMain::Reactivate(int, QObject*) {
    setEnabled(true);
}

void frmMain::SelectRow(int row) {
    if (row < 0 || row >= model_->RowCount())
        return;
    const QModelIndex index = model_->index(row, ColData);
    ListView1->selectionModel()->select(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    ListView1->setCurrentIndex(index);
    ListView1->scrollTo(index);
}

}  // namespace orla
