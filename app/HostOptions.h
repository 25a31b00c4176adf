// The host program's command line: how to connect and what to do.
#pragma once

#include <orla_contas/StatementJob.h>

#include <QString>
#include <QStringList>

namespace orla {

struct HostOptions {
    QString database;  // empty: the component reads it from the settings (Login)
    QString secondary;
    QString catalog;
    QString user;        // empty: no application user
    QString password;    // never from the command line (see ReadPasswords)
    QString dbUser;      // the database login, used with `database`
    QString dbPassword;  // likewise
    bool passwordsFromStdin = false;
    StatementJob job;
    QString outputFolder;       // where a headless run writes its files; empty: the private folder
    bool jobRequested = false;  // --csv or --imagem given
    bool answered = false;      // --help or --version: the message is the whole answer
};

// Parses the arguments; false with a message otherwise: the usage or the version when asked
// for (`answered` set), else what is wrong.
bool ParseHostOptions(const QStringList& arguments, HostOptions& options, QString* message);

}  // namespace orla
