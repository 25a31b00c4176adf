#include "SettingsSandbox.h"

#include "platform/Ansi.h"
#include "platform/SharedFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <ctime>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orla::test {

ScopedEnv::ScopedEnv(const char* name, const std::optional<QString>& value) : name_(name) {
    if (qEnvironmentVariableIsSet(name))
        previous_ = qgetenv(name);
    if (value)
        qputenv(name, value->toLocal8Bit());
    else
        qunsetenv(name);
}

ScopedEnv::~ScopedEnv() {
    if (previous_)
        qputenv(name_, *previous_);
    else
        qunsetenv(name_);
}

QString ScopedTempFolder::path() const {
    return base() + QStringLiteral("/orla-%1").arg(::geteuid());
}

SettingsSandbox::SettingsSandbox()
    : appDataEnv_("ORLA_COMMON_APPDATA", dir_.path() + QLatin1String("/appdata")),
      registryEnv_("ORLA_REGISTRY_DIR", dir_.path() + QLatin1String("/registry")) {
    QVERIFY(dir_.isValid());
    QVERIFY(QDir().mkpath(appData()));
    QVERIFY(QDir().mkpath(registryDir()));
}

void SettingsSandbox::writeStore(const QStringList& lines) const {
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += ToAnsi(line) + "\r\n";
    WriteAll(storePath(), bytes);
}

QStringList SettingsSandbox::storeLines() const {
    const QByteArray bytes = ReadAll(storePath());
    if (bytes.isEmpty())
        return {};
    QTest::qVerify(bytes.endsWith("\r\n"), "bytes.endsWith(\"\\r\\n\")",
                   "every line of the store ends with CR LF", __FILE__, __LINE__);
    QStringList lines = FromAnsi(bytes).split(QLatin1String("\r\n"));
    lines.removeLast();
    return lines;
}

void SettingsSandbox::writeRegFile(const QString& rootName, const QString& text) const {
    WriteAll(registryDir() + '/' + rootName + ".reg", text.toUtf8());
}

QByteArray SettingsSandbox::regFileBytes(const QString& rootName) const {
    return ReadAll(registryDir() + '/' + rootName + ".reg");
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    QCOMPARE(file.write(bytes), bytes.size());
}

uint ModeOf(const QString& path) {
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : 0;
}

void MakeOlder(const QString& path, int seconds) {
    const timespec times[2] = {{0, UTIME_OMIT}, {::time(nullptr) - seconds, 0}};
    QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
}

QString RegText(const QStringList& lines) {
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

bool SetReadOnly(const QString& path, bool on) {
    const QByteArray name = QFile::encodeName(path);
    const bool folder = QFileInfo(path).isDir();
    const mode_t mode = (on ? 0400 : 0600) | (folder ? 0100 : 0);
    if (on)
        ::chmod(name.constData(), mode);
    const UniqueFd fd(::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    int flags = 0;
    const bool flagged = fd && ::ioctl(fd.get(), FS_IOC_GETFLAGS, &flags) == 0 &&
                         (flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL,
                          ::ioctl(fd.get(), FS_IOC_SETFLAGS, &flags) == 0);
    if (!on)
        ::chmod(name.constData(), mode);
    return flagged || (folder && ::geteuid() != 0);
}

}  // namespace orla::test
