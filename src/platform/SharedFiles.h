// Files the program writes: in folders that other users and programs may
// write (the settings' shadow store, the error log, the registry's files), in
// folders of its own (reports, the headless job's outputs) and where the user
// chose. A link standing where a file is expected is never followed, a new
// file is made only where nothing stands, and a file is replaced through a new
// file of a unique name renamed over it, so a reader sees the old file or the
// new one.
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

// Where a file is written, which decides its mode.
enum class Placement {
    Shared,   // a folder other users may share: the modes above
    Private,  // a folder of the program's own, the file holding bank data: 0600
    Chosen,   // a folder the user chose: what the umask leaves of 0666
};

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

// Makes the last folder of the path and any missing parent with the shared
// folder mode (never wider); folders already there are left as they are.
// False when no real folder stands there afterwards.
bool MakeSharedFolder(const QString& path);

// A folder opened as itself: a link in its place does not open.
class SharedFolder {
  public:
    // With follow, a link given as the folder is followed (a folder the user named).
    explicit SharedFolder(const QString& path, bool follow = false);
    bool isOpen() const { return bool(fd_); }
    // Another handle on the same folder.
    SharedFolder duplicate() const;
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
    // Writes the bytes whole through a FileReplacement (below); false, errno
    // set, on failure, when nothing is left behind and the old file stays.
    bool replace(const QString& name, const QByteArray& bytes, const QString& stem,
                 Placement placement = Placement::Shared) const;
    bool remove(const QString& name) const;
    // Removes the temporaries "<stem>.<suffix>" that writers killed before
    // their rename left behind. A live writer holds a lock on its temporary
    // from a moment after making it until it is renamed or removed, so only a
    // temporary that is not locked and is older than a minute (far longer than
    // that moment) is taken: a live writer's file never is.
    void removeStaleTemporaries(const QString& stem) const;

  private:
    explicit SharedFolder(UniqueFd fd) : fd_(std::move(fd)) {}
    UniqueFd fd_;
};

// A file written whole or not at all: a new file "<stem>.<random>" is made
// beside the name (O_EXCL, O_NOFOLLOW, the placement's mode), locked and
// written, and commit() flushes it to disk and renames it over the name. Until
// then the old file stays as it was; without a commit the new file is
// removed. Something other than a regular file under the name (a link, a
// folder) is refused, never followed nor replaced: ELOOP for a link.
class FileReplacement {
  public:
    FileReplacement(SharedFolder folder, const QString& name, const QString& stem,
                    Placement placement);
    // The file at `path`, with the stem "." + its name: a hidden temporary.
    FileReplacement(const QString& path, Placement placement);
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;
    ~FileReplacement();
    // The errno of the first failure, 0 while none.
    int error() const { return error_; }
    bool write(const QByteArray& bytes);
    bool commit();

  private:
    bool fail(int error);
    SharedFolder folder_;
    QByteArray name_, temporary_;
    UniqueFd file_;
    int error_ = 0;
    bool committed_ = false;
};

// Writes the file at `path` whole through a FileReplacement; the errno of the
// failure, or 0.
int WriteWholeFile(const QString& path, const QByteArray& bytes, Placement placement);
// Why a file could not be written, for the user: a link is named as such.
QString FileErrorText(int error);

// Writes all the bytes, resuming after interruptions; false (errno set) on failure.
bool WriteFully(int fd, const QByteArray& bytes);

// An exclusive lock on an open file, tried until the wait runs out; released
// with the descriptor (also when the program dies).
bool LockExclusive(int fd, std::chrono::milliseconds wait);

}  // namespace orla
