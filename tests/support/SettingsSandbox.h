// A machine of its own for the settings tests: the common application-data
// folder and the registry folder point into one temporary folder while the
// sandbox lives, so nothing is written outside it; likewise the temporary folder.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <optional>

namespace orla::test {

// Sets (or, with nullopt, unsets) an environment variable for a scope.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const std::optional<QString>& value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    const char* name_;
    std::optional<QByteArray> previous_;
};

// The user's private temporary folder inside a temporary folder of the test's
// own (TMPDIR set there, XDG_RUNTIME_DIR unset) while the scope lives.
class ScopedTempFolder {
  public:
    QString base() const { return dir_.path(); }  // TMPDIR
    // "<base>/orla-<uid>", made by the program on first use.
    QString path() const;
    QString filePath(const QString& name) const { return path() + QLatin1Char('/') + name; }

  private:
    QTemporaryDir dir_;
    ScopedEnv tmpdir_{"TMPDIR", dir_.path()};
    ScopedEnv runtime_{"XDG_RUNTIME_DIR", std::nullopt};
};

class SettingsSandbox {
  public:
    SettingsSandbox();

    QString root() const { return dir_.path(); }
    // The common application-data folder (made) and the shadow store in it (not made).
    QString appData() const { return root() + QLatin1String("/appdata"); }
    QString shadowFolder() const { return appData() + QLatin1String("/Nexo Software"); }
    QString storePath() const { return shadowFolder() + QLatin1String("/RegShadow.db"); }
    // The registry's folder (made, empty).
    QString registryDir() const { return root() + QLatin1String("/registry"); }

    // Writes the store from lines, each ended by CR LF, in Windows-1252.
    void writeStore(const QStringList& lines) const;
    // The store's lines, failing the test when it does not end with CR LF.
    QStringList storeLines() const;
    void writeRegFile(const QString& rootName, const QString& text) const;
    QByteArray regFileBytes(const QString& rootName) const;

  private:
    QTemporaryDir dir_;
    ScopedEnv appDataEnv_;
    ScopedEnv registryEnv_;
};

// Reads a whole file; empty when it cannot be read.
QByteArray ReadAll(const QString& path);
// Writes a whole file, making its folder; fails the test when it cannot.
void WriteAll(const QString& path, const QByteArray& bytes);
// The permission bits (07777) of what stands at the path, a link not followed; 0 when nothing.
uint ModeOf(const QString& path);
// Sets the file's modification time `seconds` back; fails the test when it cannot.
void MakeOlder(const QString& path, int seconds);
// A .reg file's text from its lines, each ended by a line feed.
QString RegText(const QStringList& lines);
// Makes a file or folder refuse writes (mode 0400 or 0500 and, since modes stop neither the
// root user nor a file opened already, the immutable flag when the user may set it), or take
// them again (0600 or 0700); false when the flag was needed and could not be changed.
bool SetReadOnly(const QString& path, bool on);

}  // namespace orla::test
