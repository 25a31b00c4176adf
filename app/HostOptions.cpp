#include "HostOptions.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace orla {
namespace {

bool WholeNumber(const QString& text, const QString& what, std::optional<qint32>& out,
                 QString* message) {
    bool ok = false;
    const qint32 value = text.toInt(&ok);
    if (!ok) {
        *message = QStringLiteral("%1 inválido: \"%2\" (um número inteiro).").arg(what, text);
        return false;
    }
    out = value;
    return true;
}

}  // namespace

bool ParseHostOptions(const QStringList& arguments, HostOptions& options, QString* message) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Contas bancárias: extratos e conciliação.\n\n"
        "As senhas nunca vão na linha de comando (qualquer utilizador da máquina as veria): "
        "vêm das variáveis ORLA_SENHA (utilizador) e ORLA_SENHA_BD (login da base de dados), "
        "da entrada padrão com --senha-stdin ou, quando a entrada é um terminal, são pedidas "
        "sem eco. Sem nenhuma delas, a ligação é tentada sem senha."));
    parser.addHelpOption();
    parser.addVersionOption();
    const auto option = [&](const char* name, const QString& help, const char* value = nullptr,
                            const QString& fallback = QString()) {
        QCommandLineOption o(QLatin1String(name), help);
        if (value) {
            o.setValueName(QLatin1String(value));
            o.setDefaultValue(fallback);
        }
        parser.addOption(o);
        return o;
    };
    const auto database =
        option("database",
               QStringLiteral("Base de dados (ficheiro .db ou servidor); sem ela, as definições."),
               "origem");
    const auto secondary = option("secundario", QStringLiteral("Servidor secundário."), "origem");
    const auto catalog = option("catalogo", QStringLiteral("Nome da base de dados no servidor."),
                                "nome", QStringLiteral("Orla"));
    const auto user = option("utilizador", QStringLiteral("Utilizador da aplicação."), "nome");
    const auto dbUser = option("login-bd", QStringLiteral("Login da base de dados."), "nome");
    const auto senhaStdin =
        option("senha-stdin",
               QStringLiteral("Ler da entrada padrão, uma por linha, as senhas em falta: a do "
                              "utilizador e, com --database e --login-bd, a do login."));
    const auto conta = option("conta", QStringLiteral("Conta do extrato (conta_id)."), "id");
    const auto inicio = option("inicio", QStringLiteral("Início do período (dd-mm-aaaa)."), "data");
    const auto fim = option("fim", QStringLiteral("Fim do período (dd-mm-aaaa)."), "data");
    const auto modo =
        option("modo", QStringLiteral("Modo de pagamento (modo_pagamento_id)."), "id");
    const auto ignorar = option("ignorar-anteriores", QStringLiteral("Ignorar saldos anteriores."));
    const auto naoConciliados =
        option("apenas-nao-conciliados", QStringLiteral("Apenas registos não conciliados."));
    const auto csv =
        option("csv", QStringLiteral("Escrever o extrato em CSV neste ficheiro."), "ficheiro");
    const auto imagem =
        option("imagem", QStringLiteral("Gravar a janela em PNG neste ficheiro."), "ficheiro");
    const auto relatorio =
        option("relatorio", QStringLiteral("Escrever o relatório do extrato (RTF) neste ficheiro."),
               "ficheiro");
    const auto pdf =
        option("pdf", QStringLiteral("Escrever o relatório do extrato em PDF neste ficheiro."),
               "ficheiro");
    const auto importar = option(
        "importar",
        QStringLiteral("Conciliar a conta (--conta) com o extrato do banco neste ficheiro "
                       "(CAMT.053, MT940, OFX ou CSV): mostra os pares propostos, o que fica "
                       "sem par e os saldos. Termina com 0 quando todas as linhas têm par, 1 "
                       "quando alguma não tem e 2 num erro."),
        "ficheiro");
    const auto aplicar =
        option("aplicar", QStringLiteral("Com --importar, conciliar os pares propostos."));
    const auto saida = option(
        "pasta-saida",
        QStringLiteral("Pasta do extrato, da imagem e do relatório quando não há ecrã."), "pasta");
    if (!parser.parse(arguments)) {
        *message = parser.errorText();
        return false;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        *message = parser.helpText();
        options.answered = true;
        return false;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        // The GNU form, "program (package) version", which help2man reads.
        *message =
            QStringLiteral("orla-contas (%1) %2")
                .arg(QCoreApplication::applicationName(), QCoreApplication::applicationVersion());
        options.answered = true;
        return false;
    }
    if (!parser.positionalArguments().isEmpty()) {
        *message =
            QStringLiteral("Argumento desconhecido: %1").arg(parser.positionalArguments().first());
        return false;
    }
    options.database = parser.value(database);
    options.secondary = parser.value(secondary);
    options.catalog = parser.value(catalog);
    options.user = parser.value(user);
    options.dbUser = parser.value(dbUser);
    options.passwordsFromStdin = parser.isSet(senhaStdin);
    options.outputFolder = parser.value(saida);
    StatementJob& job = options.job;
    if (parser.isSet(conta) &&
        !WholeNumber(parser.value(conta), QStringLiteral("Número de conta"), job.conta, message))
        return false;
    if (parser.isSet(modo) &&
        !WholeNumber(parser.value(modo), QStringLiteral("Modo de pagamento"), job.modo, message))
        return false;
    job.inicio = parser.value(inicio);
    job.fim = parser.value(fim);
    job.ignorarAnteriores = parser.isSet(ignorar);
    job.apenasNaoConciliados = parser.isSet(naoConciliados);
    job.csvPath = parser.value(csv);
    job.screenshotPath = parser.value(imagem);
    job.reportPath = parser.value(relatorio);
    job.pdfPath = parser.value(pdf);
    job.importPath = parser.value(importar);
    job.aplicar = parser.isSet(aplicar);
    const bool files = !job.csvPath.isEmpty() || !job.screenshotPath.isEmpty() ||
                       !job.reportPath.isEmpty() || !job.pdfPath.isEmpty();
    if (job.aplicar && job.importPath.isEmpty()) {
        *message = QStringLiteral("--aplicar só se usa com --importar.");
        return false;
    }
    if (!job.importPath.isEmpty() && (!job.conta || files)) {
        *message = QStringLiteral(
            "--importar pede a conta do extrato (--conta) e não se junta a --csv, --imagem, "
            "--relatorio nem --pdf.");
        return false;
    }
    options.jobRequested = files;
    return true;
}

}  // namespace orla
