// What a headless job works on: the connection made, the right to open the statements checked,
// and the account, payment method and period chosen as the statement window chooses them.
#pragma once

#include <orla_contas/StatementJob.h>

#include <QDate>
#include <QString>

namespace orla {

struct JobChoice {
    qint64 conta = 0;
    QString contaText;  // as the account box shows it
    QDate inicio;
    QDate fim;
};

// Connects the job's General and makes its choice: the job's account, else the one the window
// remembers, else the first the user may list. 0, or the exit status of the failure with a
// message (1: no connection, no right, the database failed; 2: a bad value).
int StartJob(GeneralInterface* general, const StatementJob& job, JobChoice& choice,
             QString* message);

}  // namespace orla
