#include "component/JobChoice.h"

#include "common/Registry.h"
#include "component/General.h"
#include "context/Context.h"
#include "security/Permissions.h"
#include "statement/StatementQueries.h"

#include <optional>
#include <tuple>
#include <vector>

namespace orla {
namespace {

std::optional<QDate> ParseDay(const QString& text) {
    const QDate date = QDate::fromString(text.trimmed(), QStringLiteral("dd-MM-yyyy"));
    if (!date.isValid())
        return std::nullopt;
    return date;
}

// Each row's `key` and `text` fields, in the query's order; rows without a key are left out.
std::vector<std::pair<qint64, QString>> ReadList(const QString& sql, const QString& key,
                                                 const QString& text) {
    std::vector<std::pair<qint64, QString>> list;
    Recordset rs = Data().SqlServer.Execute(sql);
    for (; !rs.Eof(); rs.MoveNext()) {
        const QVariant value = rs.Value(key);
        if (value.isValid())
            list.emplace_back(value.toLongLong(), rs.Value(text).toString());
    }
    rs.Close();
    return list;
}

// The text of the item with this key, or of the first item for none; none when it is not listed.
std::optional<QString> Find(const std::vector<std::pair<qint64, QString>>& list,
                            const std::optional<qint64>& id) {
    for (const auto& [key, text] : list) {
        if (!id || key == *id)
            return text;
    }
    return std::nullopt;
}

// The account (the job's, else the one the window remembers, else the first the user may
// list), the payment method and the period; false with a message for a bad value.
bool Choose(const StatementJob& job, JobChoice& choice, QString* message) {
    const QDate today = QDate::currentDate();
    choice.inicio = today.addDays(-30);
    choice.fim = today.addDays(90);
    for (const auto& [text, day, name] : {std::tuple(&job.inicio, &choice.inicio, "início"),
                                          std::tuple(&job.fim, &choice.fim, "fim")}) {
        if (text->isEmpty())
            continue;
        const std::optional<QDate> parsed = ParseDay(*text);
        if (!parsed) {
            *message = QStringLiteral("Data de %1 inválida: \"%2\" (use dd-mm-aaaa).")
                           .arg(QString::fromUtf8(name), *text);
            return false;
        }
        *day = *parsed;
    }
    const auto accounts =
        ReadList(AccountListQuery(CheckSecurityPolicy(Context().User, QStringLiteral("#2302"))),
                 QStringLiteral("conta_id"), QStringLiteral("descrit2"));
    std::optional<qint64> conta = job.conta;
    if (!conta) {
        const OptionalString remembered = ObterValorString(
            QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Fortevia\\") + Context().ProgramKey,
            QStringLiteral("Conta_ID"));
        if (remembered && Find(accounts, remembered->toLongLong()))
            conta = remembered->toLongLong();
        else if (!accounts.empty())  // the first listed
            conta = accounts.front().first;
    }
    const std::optional<QString> shown = Find(accounts, conta);
    if (!conta || !shown) {
        *message = conta ? QStringLiteral(
                               "A conta %1 não existe ou não está disponível para este "
                               "utilizador.")
                               .arg(*conta)
                         : QStringLiteral("Não há contas disponíveis para este utilizador.");
        return false;
    }
    choice.conta = *conta;
    choice.contaText = *shown;
    if (job.modo &&
        !Find(ReadList(QStringLiteral("SELECT * FROM tbModos_Pagamento ORDER BY descrit"),
                       QStringLiteral("modo_pagamento_id"), QStringLiteral("descrit")),
              *job.modo)) {
        *message = QStringLiteral("O modo de pagamento %1 não existe.").arg(*job.modo);
        return false;
    }
    return true;
}

}  // namespace

int StartJob(GeneralInterface* general, const StatementJob& job, JobChoice& choice,
             QString* message) {
    auto* owner = dynamic_cast<General*>(general);
    if (!owner || !owner->Login(QString(), QString())) {
        *message = QStringLiteral("Não há ligação à base de dados.");
        return 1;
    }
    if (!CheckSecurityPolicy(Context().User, QStringLiteral("#2301"))) {
        *message = QStringLiteral("O utilizador %1 não tem permissão para abrir os extratos.")
                       .arg(Context().User);
        return 1;
    }
    std::optional<bool> chosen;
    if (const auto failed = Try([&] { chosen = Choose(job, choice, message); })) {
        *message = QStringLiteral("Não foi possível ler o extrato: %1").arg(failed->description);
        return 1;
    }
    if (!*chosen)
        return 2;
    return 0;
}

}  // namespace orla
