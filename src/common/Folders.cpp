#include "common/Folders.h"

#include "common/Trim.h"
#include "platform/Folders.h"

#include <QDir>
#include <QFile>

namespace orla {
namespace {

// The mode's write bits (the "User" flags would ask the system whether this
// process may write, which is always yes for the superuser).
constexpr QFileDevice::Permissions kAnyWrite =
    QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;

}  // namespace

QString PastaEspecial(qint32 pasta) {
    switch (pasta) {
        case CSIDL_COMMON_APPDATA:
            return TrimSpaces(CommonAppDataPath());
        case CSIDL_DESKTOP:
            return TrimSpaces(DesktopPath());
        default:
            return {};
    }
}

QString PastaTemporaria() {
    const QString temp = QDir::tempPath();
    return temp.endsWith(QLatin1Char('/')) ? temp : temp + QLatin1Char('/');
}

bool FicheiroComConteudo(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // The first line has content when the file does not begin with a line end.
    char first = 0;
    return file.getChar(&first) && first != '\r' && first != '\n';
}

bool PastaGravavel(const QString& folder) {
    QFile test(folder + QLatin1String("/TempXPTONexo.txt"));
    // A test file left read-only is not ours to overwrite; checked on the
    // permission bits because the superuser could still open it for writing.
    if (test.exists() && !(test.permissions() & kAnyWrite))
        return false;
    if (!test.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QByteArray line("TESTE\r\n");
    bool ok = test.write(line) == line.size() && test.flush();
    test.close();
    ok = test.error() == QFileDevice::NoError && ok;
    // Removed whatever happened to the write, so no test file stays behind.
    return test.remove() && ok;
}

}  // namespace orla
