#include "common/Folders.h"

#include "common/Trim.h"
#include "platform/Folders.h"
#include "platform/SharedFiles.h"
#include "platform/db/Error.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orla {
namespace {

const QString kTestFile = QStringLiteral("TempXPTONexo.txt");

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
    QString error;
    const QString temp = PrivateTempPath(&error);
    if (temp.isEmpty())
        throw OrlaError(75, error);
    return temp + QLatin1Char('/');
}

bool PastaGravavel(const QString& folder) {
    const SharedFolder dir(folder);
    // A link, or a file with other names, under the test file's name fails.
    UniqueFd test = dir.open(kTestFile, O_WRONLY, true);
    struct stat info {};
    if (!test || ::fstat(test.get(), &info) != 0)
        return false;
    // A test file left read-only is not ours to overwrite; checked on the
    // permission bits because the superuser could still write it.
    if (!(info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)))
        return false;
    const QByteArray line("TESTE\r\n");
    bool ok = ::ftruncate(test.get(), 0) == 0 &&
              ::write(test.get(), line.constData(), size_t(line.size())) == line.size();
    ok = ::close(test.release()) == 0 && ok;
    // Removed whatever happened to the write, so no test file stays behind.
    return dir.remove(kTestFile) && ok;
}

}  // namespace orla
