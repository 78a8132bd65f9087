// The file primitives both stores share: an advisory lock held on the store's
// folder, reading a whole file, and replacing a file atomically.
//
// The lock is held on the store's folder, not on the store itself, because
// every atomic replace gives the store a new inode; no lock file is left in the
// program folder or anywhere else. Readers take it shared,
// writers exclusive, and a writer does its whole read-modify-write under it, so
// two processes never lose each other's writes. The kernel drops the lock when
// its holder dies, even by SIGKILL.
#pragma once

#include "core/settings/uniquefd.h"

#include <filesystem>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace umbrill {

enum class LockMode { Shared, Exclusive };

// An advisory lock on one store, held from a successful acquire() until
// destruction. Move-only.
class FileLock {
public:
    // Waits for the lock of file (held on its folder). When the folder cannot be
    // opened the lock is not held (held() is false): a reader may go on without
    // it (every replace is atomic, so it still sees a whole file), a writer must not.
    static FileLock acquire(const std::filesystem::path &file, LockMode mode);

    bool held() const { return static_cast<bool>(m_folder); }

private:
    explicit FileLock(UniqueFd folder) : m_folder(std::move(folder)) {}
    UniqueFd m_folder; // closing the last descriptor releases the flock
};

// What tells one state of a file from another without reading it: a write
// that replaces the file gives it a new inode, one in place a new change time.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = -1;
    std::int64_t modified = 0; // nanoseconds
    std::int64_t changed = 0;  // nanoseconds
    bool operator==(const FileIdentity &) const = default;
};

// The identity of the file now; nullopt when it cannot be found.
std::optional<FileIdentity> identityOf(const std::filesystem::path &file);

struct FileContents {
    enum class Status { Read, Missing, Unreadable };
    Status status = Status::Missing;
    std::string bytes;
    FileIdentity identity; // of the file that was read, taken before reading it
};

// The folder a file lives in: "." for a bare file name.
std::filesystem::path folderOf(const std::filesystem::path &file);

// The whole file. A folder or anything else that is not a regular file, and a
// file that cannot be opened or read, is Unreadable.
FileContents readWholeFile(const std::filesystem::path &file);

// The file a store write should replace: a symbolic link is followed, so that
// the link survives and its target is the file that changes. Chains of links
// are followed to their end, a relative target taken from the link's folder;
// the end may be missing (a dangling link names the file to create). A chain
// longer than the kernel would follow gives file itself, which then cannot be
// opened or replaced.
std::filesystem::path resolveStorePath(const std::filesystem::path &file);

// True when file's folder exists and is writable, and file is either absent or
// a writable regular file. "Writable" also asks for at least one write
// permission bit, so that a read-only file or folder is refused even to root,
// as the read-only attribute is on Windows.
bool canReplaceFile(const std::filesystem::path &file);

// Replaces file's content with bytes: a temporary file in the same folder is
// written, flushed to disk and renamed over file, so that every reader sees the
// old or the new content, never a mix. An existing file's permission bits (and,
// where allowed, its owner) are kept; a new file gets 0666 less the umask.
// Leftover temporary files of earlier writes that died are removed first, so
// the caller must hold the exclusive lock. Returns the first failure; on
// failure file is unchanged.
[[nodiscard]] std::error_code replaceFileAtomically(const std::filesystem::path &file,
                                                    std::string_view bytes);

// What an edit of a store's text made: the bytes to write and whether the
// editor changed anything.
struct EditedBytes {
    std::string bytes;
    bool changed = false;
};

// The byte-order marks that make a store's file "wide" (UTF-16).
enum class WideFiles { LittleEndian, AnyOrder };

// The locked read-edit-compare-replace both stores do. Under the exclusive
// lock of target its contents are read and handed to edit (with whether the
// lock is held, edit throws to refuse, and whether the file is wide). A wide file is compared whole after
// the edit (its conversion may repair it); any other is left to edit, which
// may take over its bytes and says whether it changed. Nothing changed leaves
// the file untouched; otherwise it is replaced atomically. Returns the
// replace's failure.
[[nodiscard]] std::error_code editLocked(const std::filesystem::path &target, WideFiles wide,
                                         const std::function<EditedBytes(FileContents &, bool lockHeld, bool wide)> &edit);

} // namespace umbrill
