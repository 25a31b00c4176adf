// Files in folders that other users and programs may write (the settings'
// shadow store, the error log, the registry's files): a link standing where a
// file or the folder is expected is never followed, a new file is made only
// where nothing stands, and a file is replaced through a new file of a unique
// name renamed over it, so a reader sees the old file or the new one.
#pragma once

#include <QByteArray>
#include <QString>

#include <chrono>
#include <optional>

namespace orla {

// Who may use what is made there: the machine's group (ORLA_SHARED_GROUP,
// "orla" when unset) when it exists and this user may give files to it:
// folders set-group-ID 2770, files 0660; otherwise the owner alone: 0700 and
// 0600. Applied whatever the umask.

// A file descriptor closed when it goes out of scope.
class UniqueFd {
  public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept;
    ~UniqueFd();
    int get() const { return fd_; }
    int release();
    explicit operator bool() const { return fd_ >= 0; }

  private:
    int fd_ = -1;
};

// Makes the last folder of the path (its parents as the user's own) with
// the shared folder mode; a folder already there is left as it is.
// False when no real folder stands there afterwards.
bool MakeSharedFolder(const QString& path);

// A folder opened as itself: a link in its place does not open.
class SharedFolder {
  public:
    explicit SharedFolder(const QString& path);
    bool isOpen() const { return bool(fd_); }
    int fd() const { return fd_.get(); }

    // Opens a regular file of the folder that is neither a link nor linked
    // elsewhere (one name only). With create, a missing file is made new with
    // the shared file mode first. flags: O_RDONLY, O_WRONLY, O_RDWR,
    // O_APPEND; an invalid descriptor on any failure.
    UniqueFd open(const QString& name, int flags, bool create = false) const;
    // The whole file, or nothing when it cannot be read as open() would.
    std::optional<QByteArray> read(const QString& name) const;
    // True when something (a link included) stands under the name.
    bool contains(const QString& name) const;
    // Writes the bytes to a new file named stem + a unique suffix, with
    // the shared file mode, flushes it to disk and renames it over the
    // name; on failure nothing is left behind and the old file stays.
    bool replace(const QString& name, const QByteArray& bytes, const QString& stem) const;
    bool remove(const QString& name) const;

  private:
    UniqueFd fd_;
};

// Writes all the bytes, resuming after interruptions; false (errno set) on failure.
bool WriteFully(int fd, const QByteArray& bytes);

// An exclusive lock on an open file, tried until the wait runs out; released
// with the descriptor (also when the program dies).
bool LockExclusive(int fd, std::chrono::milliseconds wait);

}  // namespace orla
