#include "statement/frmImportarExtrato.h"

#include "common/Format.h"
#include "context/Context.h"
#include "platform/services/ErrorReport.h"
#include "platform/services/Prompts.h"
#include "statement/DifferenceSearch.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace orla {
namespace {

const QString kTitle = QStringLiteral("Importar extrato");

template <class T>
T* Named(T* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QString Day(const QDate& date) {
    return date.toString(QStringLiteral("dd-MM-yyyy"));
}

QString Euro(const Money& amount) {
    return Format(amount, formats::kEuro);
}

QString StateText(const BankPair& pair) {
    switch (pair.state) {
        case PairState::Proposed:
            return QStringLiteral("Proposto");
        case PairState::Accepted:
            return QStringLiteral("Aceite");
        case PairState::Reconciled:
            return QStringLiteral("Já conciliado");
        case PairState::None:
            break;
    }
    return pair.ambiguous ? QStringLiteral("Vários movimentos possíveis") : QString();
}

// A list whose columns fit their contents but for `stretched`, which takes the room left.
QTreeWidget* List(const char* name, const QStringList& headings, int stretched) {
    auto* list = Named(new QTreeWidget, name);
    list->setHeaderLabels(headings);
    list->setRootIsDecorated(false);
    list->setAlternatingRowColors(true);
    list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    list->header()->setStretchLastSection(false);
    list->header()->setSectionResizeMode(stretched, QHeaderView::Stretch);
    return list;
}

}  // namespace

frmImportarExtrato::frmImportarExtrato(qint64 account, BankStatement statement, QWidget* parent)
    : QWidget(parent, Qt::Window), account_(account), statement_(std::move(statement)) {
    setObjectName(QStringLiteral("frmImportarExtrato"));
    setWindowTitle(kTitle);
    setAttribute(Qt::WA_DeleteOnClose);
    BuildControls();
    QDate last;
    for (const BankLine& line : statement_.lines)
        last = std::max(last, line.booking);
    book_ = ReadBookMovements(Data().SqlServer, account_, last.addDays(FXJanela->maximum()));
    Match();
}

void frmImportarExtrato::BuildControls() {
    ListaBanco = List("ListaBanco",
                      {QStringLiteral("Linha"), QStringLiteral("Data"), QStringLiteral("Descrição"),
                       QStringLiteral("Montante"), QStringLiteral("Par")},
                      2);
    ListaMovimentos =
        List("ListaMovimentos",
             {QStringLiteral("Data"), QStringLiteral("Entidade"), QStringLiteral("Referência"),
              QStringLiteral("Documento"), QStringLiteral("Montante"), QStringLiteral("Par")},
             1);
    FXJanela = Named(new QSpinBox, "FXJanela");
    FXJanela->setRange(0, 31);
    FXJanela->setValue(4);
    FXJanela->setSuffix(QStringLiteral(" dias"));
    CmdAceitarTodos = Named(new QPushButton(QStringLiteral("Aceitar &todos")), "CmdAceitarTodos");
    CmdAceitar = Named(new QPushButton(QStringLiteral("&Aceitar")), "CmdAceitar");
    CmdDesfazer = Named(new QPushButton(QStringLiteral("&Desfazer par")), "CmdDesfazer");
    CmdEmparelhar = Named(new QPushButton(QStringLiteral("&Emparelhar")), "CmdEmparelhar");
    CmdExplicar = Named(new QPushButton(QStringLiteral("E&xplicar diferença")), "CmdExplicar");
    CmdConfirmar = Named(new QPushButton(QStringLiteral("&Conciliar")), "CmdConfirmar");
    CmdFechar = Named(new QPushButton(QStringLiteral("&Fechar")), "CmdFechar");
    FXSaldoExtrato = Named(new QLabel, "FXSaldoExtrato");
    FXSaldoConciliado = Named(new QLabel, "FXSaldoConciliado");
    FXDiferenca = Named(new QLabel, "FXDiferenca");
    FXExplicacao = Named(new QLabel, "FXExplicacao");
    FXExplicacao->setWordWrap(true);

    auto* lists = new QHBoxLayout;
    lists->addWidget(ListaBanco, 1);
    lists->addWidget(ListaMovimentos, 1);
    auto* balances = new QHBoxLayout;
    for (QLabel* label : {FXSaldoExtrato, FXSaldoConciliado, FXDiferenca})
        balances->addWidget(label);
    balances->addStretch();
    balances->addWidget(new QLabel(QStringLiteral("Diferença de datas até")));
    balances->addWidget(FXJanela);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button :
         {CmdAceitarTodos, CmdAceitar, CmdDesfazer, CmdEmparelhar, CmdExplicar})
        buttons->addWidget(button);
    buttons->addStretch();
    buttons->addWidget(CmdConfirmar);
    buttons->addWidget(CmdFechar);
    auto* page = new QVBoxLayout(this);
    page->addLayout(lists, 1);
    page->addLayout(balances);
    page->addWidget(FXExplicacao);
    page->addLayout(buttons);
    resize(1100, 560);

    connect(CmdAceitarTodos, &QPushButton::clicked, this, [this] { Accept(true); });
    connect(CmdAceitar, &QPushButton::clicked, this, [this] { Accept(false); });
    connect(CmdDesfazer, &QPushButton::clicked, this, &frmImportarExtrato::Undo);
    connect(CmdEmparelhar, &QPushButton::clicked, this, &frmImportarExtrato::PairByHand);
    connect(CmdConfirmar, &QPushButton::clicked, this, &frmImportarExtrato::Confirm);
    connect(CmdExplicar, &QPushButton::clicked, this, &frmImportarExtrato::Explain);
    connect(CmdFechar, &QPushButton::clicked, this, &QWidget::close);
    connect(FXJanela, &QSpinBox::valueChanged, this, &frmImportarExtrato::Match);
    // A bank line selected shows the movement it is paired with.
    connect(ListaBanco, &QTreeWidget::currentItemChanged, this, [this] {
        const int line = CurrentLine();
        if (line >= 0 && pairs_[line].movement)
            for (int i = 0; i < ListaMovimentos->topLevelItemCount(); ++i)
                if (ListaMovimentos->topLevelItem(i)->data(0, Qt::UserRole) ==
                    *pairs_[line].movement)
                    ListaMovimentos->setCurrentItem(ListaMovimentos->topLevelItem(i));
    });
}

void frmImportarExtrato::Match() {
    pairs_ = MatchBankLines(statement_.lines, book_.movements, FXJanela->value());
    ShowPairs();
}

// Both lists and the balances as the pairs now stand.
void frmImportarExtrato::ShowPairs() {
    std::vector<int> lineOf(book_.movements.size(), -1);
    for (int l = 0; l < int(pairs_.size()); ++l)
        if (pairs_[l].movement)
            lineOf[*pairs_[l].movement] = l;
    const int currentLine = CurrentLine();
    ListaBanco->clear();
    for (int l = 0; l < int(statement_.lines.size()); ++l) {
        const BankLine& line = statement_.lines[l];
        auto* item = new QTreeWidgetItem({QString::number(line.position), Day(line.booking),
                                          QStringList{line.text, line.counterparty, line.reference}
                                              .join(QLatin1Char(' '))
                                              .simplified(),
                                          Euro(line.credit ? line.amount : -line.amount),
                                          StateText(pairs_[l])});
        item->setData(0, Qt::UserRole, l);
        item->setTextAlignment(3, Qt::AlignRight);
        ListaBanco->addTopLevelItem(item);
    }
    if (currentLine >= 0)
        ListaBanco->setCurrentItem(ListaBanco->topLevelItem(currentLine));
    // The movements within reach of the bank's dates that are still open or paired here.
    QDate first, last;
    for (const BankLine& line : statement_.lines) {
        first = first.isValid() ? std::min(first, line.booking) : line.booking;
        last = std::max(last, line.booking);
    }
    ListaMovimentos->clear();
    for (int m = 0; m < int(book_.movements.size()); ++m) {
        const BookMovement& movement = book_.movements[m];
        if ((movement.reconciled && lineOf[m] < 0) ||
            movement.date < first.addDays(-FXJanela->value()) ||
            movement.date > last.addDays(FXJanela->value()))
            continue;
        auto* item = new QTreeWidgetItem(
            {Day(movement.date), movement.entidade, movement.referencia, movement.documento,
             Euro(movement.amount),
             lineOf[m] < 0 ? QString()
                           : QStringLiteral("Linha %1").arg(statement_.lines[lineOf[m]].position)});
        item->setData(0, Qt::UserRole, m);
        item->setTextAlignment(4, Qt::AlignRight);
        ListaMovimentos->addTopLevelItem(item);
    }
    FXExplicacao->clear();
    const QDate day = ClosingDay();
    FXSaldoConciliado->setText(QStringLiteral("Saldo conciliado a %1: %2")
                                   .arg(Day(day), Euro(ReconciledBalance(book_, pairs_, day))));
    if (statement_.closing) {
        FXSaldoExtrato->setText(QStringLiteral("Saldo final do extrato: ") +
                                Euro(*statement_.closing));
        FXDiferenca->setText(QStringLiteral("Diferença: ") + Euro(Difference()));
    } else {
        FXSaldoExtrato->setText(QStringLiteral("O extrato não indica o saldo final."));
        FXDiferenca->clear();
    }
}

QDate frmImportarExtrato::ClosingDay() const {
    QDate last;
    for (const BankLine& line : statement_.lines)
        last = std::max(last, line.booking);
    return statement_.closingDate.value_or(last);
}

Money frmImportarExtrato::Difference() const {
    return statement_.closing ? *statement_.closing - ReconciledBalance(book_, pairs_, ClosingDay())
                              : Money();
}

int frmImportarExtrato::CurrentLine() const {
    const QTreeWidgetItem* item = ListaBanco->currentItem();
    return item ? item->data(0, Qt::UserRole).toInt() : -1;
}

int frmImportarExtrato::CurrentMovement() const {
    const QTreeWidgetItem* item = ListaMovimentos->currentItem();
    return item ? item->data(0, Qt::UserRole).toInt() : -1;
}

bool frmImportarExtrato::Say(const QString& message) {
    CurrentPrompts().MsgBox(message, vb::Information, kTitle);
    return false;
}

void frmImportarExtrato::Accept(bool all) {
    const int current = CurrentLine();
    for (int l = 0; l < int(pairs_.size()); ++l)
        if ((all || l == current) && pairs_[l].state == PairState::Proposed)
            pairs_[l].state = PairState::Accepted;
    ShowPairs();
}

void frmImportarExtrato::Undo() {
    const int line = CurrentLine();
    if (line < 0 ||
        (pairs_[line].state != PairState::Proposed && pairs_[line].state != PairState::Accepted))
        return;
    pairs_[line] = {};
    ShowPairs();
}

void frmImportarExtrato::PairByHand() {
    const int line = CurrentLine();
    const int movement = CurrentMovement();
    if (line < 0 || movement < 0)
        return (void)Say(QStringLiteral("Escolha uma linha do extrato e um movimento da conta."));
    if (pairs_[line].state != PairState::None)
        return (void)Say(QStringLiteral("Esta linha do extrato já tem par: desfaça-o primeiro."));
    const bool taken = std::any_of(pairs_.begin(), pairs_.end(), [movement](const BankPair& p) {
        return p.movement == movement;
    });
    if (taken || book_.movements[movement].reconciled)
        return (void)Say(QStringLiteral("Este movimento já tem par."));
    if (!SameAmountAndSide(statement_.lines[line], book_.movements[movement]))
        return (void)Say(
            QStringLiteral("O montante e o sentido do movimento não são os da linha do extrato."));
    pairs_[line] = {PairState::Accepted, movement, false};
    ShowPairs();
}

// Within two seconds, the fewest movements not yet reconciled, or else bank lines left without a
// pair, whose amounts make up the difference exactly.
void frmImportarExtrato::Explain() {
    const Money difference = Difference();
    if (difference == Money())
        return FXExplicacao->setText(QStringLiteral("Não há diferença a explicar."));
    std::vector<bool> paired(book_.movements.size(), false);
    for (const BankPair& pair : pairs_)
        if (pair.movement)
            paired[*pair.movement] = true;
    std::vector<int> open;
    std::vector<Money> amounts;
    for (int m = 0; m < int(book_.movements.size()); ++m)
        if (!book_.movements[m].reconciled && !paired[m] &&
            book_.movements[m].date <= ClosingDay()) {
            open.push_back(m);
            amounts.push_back(book_.movements[m].amount);
        }
    std::vector<int> unpaired;
    std::vector<Money> lineAmounts;
    for (int l = 0; l < int(pairs_.size()); ++l)
        if (pairs_[l].state == PairState::None) {
            const BankLine& line = statement_.lines[l];
            unpaired.push_back(l);
            lineAmounts.push_back(line.credit ? line.amount : -line.amount);
        }
    const auto limit = std::chrono::milliseconds(1000);
    const ExactSubset movements = SmallestExactSubset(amounts, difference, limit);
    const ExactSubset lines = SmallestExactSubset(lineAmounts, difference, limit);
    QStringList parts;
    const bool byMovements =
        movements.found && (!lines.found || movements.members.size() <= lines.members.size());
    if (byMovements) {
        for (const int i : movements.members) {
            const BookMovement& m = book_.movements[open[i]];
            parts << QStringLiteral("%1 %2 %3").arg(Day(m.date), m.documento, Euro(m.amount));
        }
        FXExplicacao->setText(QStringLiteral("A diferença é a soma destes movimentos por "
                                             "conciliar: ") +
                              parts.join(QStringLiteral("; ")) + QLatin1Char('.'));
    } else if (lines.found) {
        for (const int i : lines.members) {
            const BankLine& line = statement_.lines[unpaired[i]];
            parts << QStringLiteral("linha %1 (%2 %3)")
                         .arg(line.position)
                         .arg(Day(line.booking), Euro(lineAmounts[i]));
        }
        FXExplicacao->setText(QStringLiteral("A diferença é a soma destas linhas do extrato sem "
                                             "par: ") +
                              parts.join(QStringLiteral("; ")) + QLatin1Char('.'));
    } else {
        FXExplicacao->setText(
            movements.timedOut || lines.timedOut
                ? QStringLiteral("A procura parou sem encontrar uma combinação exata que dê a "
                                 "diferença.")
                : QStringLiteral("Nenhuma combinação exata de até 6 movimentos ou linhas do "
                                 "extrato dá a diferença."));
    }
}

void frmImportarExtrato::Confirm() {
    Guard({objectName(), QStringLiteral("CmdConfirmar_Click"), ReportFilter::NotZeroNor3709}, [&] {
        if (std::none_of(pairs_.begin(), pairs_.end(),
                         [](const BankPair& p) { return p.state == PairState::Accepted; }))
            return (void)Say(QStringLiteral("Não há pares aceites para conciliar."));
        const QStringList refusals =
            ApplyBankPairs(Data().SqlServer, account_, statement_.lines, book_, pairs_);
        if (!refusals.isEmpty())
            return (void)Say(QStringLiteral("Nada foi conciliado:\n") +
                             refusals.join(QLatin1Char('\n')));
        emit Reconciliado();
        close();
    });
}

}  // namespace orla
