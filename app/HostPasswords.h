// The host's passwords, which never come from the command line, where every
// local user could read them.
#pragma once

#include "HostOptions.h"

#include <QStringList>

namespace orla {

// Fills the passwords the options need (the user's when a user is named; the
// database login's when a database and a login are named), each from its
// environment variable (ORLA_SENHA, ORLA_SENHA_BD), else from a line of
// standard input when asked for, else from the terminal without echo when
// standard input is one. Otherwise the password stays empty and a note says
// so: nothing ever waits on input that was not asked for.
void ReadPasswords(HostOptions& options, QStringList* notes);

}  // namespace orla
