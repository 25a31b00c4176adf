#include "HostPasswords.h"

#include <orla_contas/SecretMemory.h>

#include <termios.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <optional>
#include <string>

namespace orla {
namespace {

// One line of standard input without its line end; nothing at the input's end.
std::optional<QString> ReadLine() {
    std::string line;
    int c = std::fgetc(stdin);
    if (c == EOF)
        return std::nullopt;
    for (; c != EOF && c != '\n'; c = std::fgetc(stdin))
        line.push_back(static_cast<char>(c));
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return QString::fromUtf8(line);
}

termios savedTerminal;

// An interrupted prompt leaves the terminal echoing again.
void RestoreTerminalAndStop(int signal) {
    tcsetattr(STDIN_FILENO, TCSANOW, &savedTerminal);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// Asks on the terminal with the echo turned off while the answer is typed.
std::optional<QString> AskWithoutEcho(const QString& prompt) {
    if (tcgetattr(STDIN_FILENO, &savedTerminal) != 0)
        return std::nullopt;
    termios quiet = savedTerminal;
    quiet.c_lflag &= ~tcflag_t(ECHO);
    quiet.c_lflag |= ECHONL;
    const auto previousInt = std::signal(SIGINT, RestoreTerminalAndStop);
    const auto previousTerm = std::signal(SIGTERM, RestoreTerminalAndStop);
    std::optional<QString> answer;
    if (tcsetattr(STDIN_FILENO, TCSANOW, &quiet) == 0) {
        std::fprintf(stderr, "%s", qUtf8Printable(prompt));
        std::fflush(stderr);
        answer = ReadLine();
        tcsetattr(STDIN_FILENO, TCSANOW, &savedTerminal);
    }
    std::signal(SIGINT, previousInt);
    std::signal(SIGTERM, previousTerm);
    return answer;
}

QString Password(const char* variable, const QString& whose, bool fromStdin, QStringList* notes) {
    if (qEnvironmentVariableIsSet(variable)) {
        const QString password = qEnvironmentVariable(variable);
        WipeEnvironmentVariable(variable);
        return password;
    }
    std::optional<QString> answer;
    if (fromStdin) {
        answer = ReadLine();
    } else if (isatty(STDIN_FILENO)) {
        answer = AskWithoutEcho(QStringLiteral("Senha %1: ").arg(whose));
    } else {
        *notes << QStringLiteral(
                      "Sem senha %1 (%2 não está definida, não foi dada --senha-stdin "
                      "e a entrada não é um terminal): a ligação é tentada sem senha.")
                      .arg(whose, QLatin1String(variable));
        return {};
    }
    if (!answer)
        *notes << QStringLiteral(
                      "A entrada terminou sem a senha %1: a ligação é tentada sem senha.")
                      .arg(whose);
    return answer.value_or(QString());
}

}  // namespace

void ReadPasswords(HostOptions& options, QStringList* notes) {
    DisableCoreDumps();  // a password read below is never written to a core file
    if (options.user.isEmpty())
        *notes << QStringLiteral(
            "Sem utilizador (--utilizador): a ligação é tentada sem "
            "utilizador.");
    else
        options.password =
            Password("ORLA_SENHA", QStringLiteral("do utilizador %1").arg(options.user),
                     options.passwordsFromStdin, notes);
    if (!options.database.isEmpty()) {
        if (options.dbUser.isEmpty())
            *notes << QStringLiteral(
                "Sem login da base de dados (--login-bd): a ligação é "
                "tentada sem login.");
        else
            options.dbPassword =
                Password("ORLA_SENHA_BD", QStringLiteral("do login %1").arg(options.dbUser),
                         options.passwordsFromStdin, notes);
    }
    // Programs started later (mail, printing, viewers) do not inherit them.
    WipeEnvironmentVariable("ORLA_SENHA");
    WipeEnvironmentVariable("ORLA_SENHA_BD");
}

}  // namespace orla
