// The demo database's account 70, "Conta Grande": kMovements receipts (100,000 unless
// BENCH_MOVEMENTS says) over the last three years, a third of them reconciled, with 997
// different amounts.
#pragma once

#include "DemoDatabase.h"
#include "component/General.h"

#include <orla_contas/ConnectionScrambler.h>

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QTemporaryDir>

#include <cstdio>

inline const int kMovements = qEnvironmentVariableIntValue("BENCH_MOVEMENTS") > 0
                                  ? qEnvironmentVariableIntValue("BENCH_MOVEMENTS")
                                  : 100000;

// Adds account 70 with kMovements receipts spread over the last three years.
inline bool AddBigAccount(const QString& path) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench"));
    db.setDatabaseName(path);
    if (!db.open())
        return false;
    QSqlQuery q(db);
    const bool ok =
        q.exec(
            QStringLiteral("INSERT INTO tbContas_Bancarias (conta_id, descrit, saldo, "
                           "saldo_data, system, protected, inactivo) VALUES (70, 'Conta Grande', "
                           "1000, date('now','-1200 days') || ' 00:00:00', 0, 0, 0)")) &&
        q.exec(
            QStringLiteral(
                "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                "INSERT INTO tbDocumentos_Recibos (recibo_id, armazem_id, documento_no, data, "
                "data_documento, data_debito, contacto_id, conta_id, modo_pagamento_id, valor, "
                "referencia) SELECT 100000 + i, 1, 'RC ' || i, "
                "datetime('now', '-' || (i % 1100) || ' days', 'start of day', '+' || (i % 600) "
                "|| ' minutes'), NULL, CASE WHEN i % 3 = 0 THEN datetime('now', '-' || (i % 1100) "
                "|| ' days', 'start of day') END, 1 + i % 20, 70, 1 + i % 6, "
                "round((i % 997) * 1.37 - 300, 2), 'REF ' || i FROM n")
                .arg(kMovements));
    db.close();
    return ok;
}

// The demo database with account 70 made in `dir`, its settings there too, and `general`
// connected to it as ana; false after saying why.
inline bool ConnectToBigAccount(const QTemporaryDir& dir, orla::General& general,
                                const char* bench) {
    qputenv("ORLA_COMMON_APPDATA", dir.filePath("appdata").toUtf8());
    qputenv("ORLA_REGISTRY_DIR", dir.filePath("registry").toUtf8());
    const QString path = dir.filePath("bench.db");
    QString error;
    const bool made = orla::CreateDemoDatabase(path, &error) && AddBigAccount(path);
    QSqlDatabase::removeDatabase(QStringLiteral("bench"));
    if (!made) {
        std::fprintf(stderr, "%s: could not build the database %s\n", bench, qPrintable(error));
        return false;
    }
    using orla::ConnectionScrambler;
    if (!general.SQLConnect("ana", ConnectionScrambler::Scramble("ana-2024"), "orla",
                            ConnectionScrambler::Scramble("orla-demo"), "Orla", path, {}, 0)) {
        std::fprintf(stderr, "%s: could not connect\n", bench);
        return false;
    }
    return true;
}
