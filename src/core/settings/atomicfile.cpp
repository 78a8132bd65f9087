// Locking, whole-file reads and atomic replacement for the two stores.
#include "core/settings/atomicfile.h"

#include "core/text/ansi.h"

#include <cerrno>
#include <random>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace umbrill {
namespace {

namespace fs = std::filesystem;

constexpr mode_t kAnyWriteBit = S_IWUSR | S_IWGRP | S_IWOTH;

constexpr int kMaxLinks = 40; // as many links as the kernel follows in one path

std::string tempPrefix(const fs::path &file)
{
    return "." + file.filename().string() + ".tmp.";
}

std::error_code lastError() { return {errno, std::generic_category()}; }

std::string randomSuffix()
{
    static constexpr char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device device;
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kChars - 2);
    std::string suffix;
    for (int i = 0; i < 8; ++i)
        suffix += kChars[pick(device)];
    return suffix;
}

UniqueFd openFolder(const fs::path &folder)
{
    return UniqueFd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Temporary files are only ever written under the exclusive lock, which the
// caller holds, so any that exist now belong to a writer that died.
void removeStaleTempFiles(const fs::path &file)
{
    const std::string prefix = tempPrefix(file);
    std::error_code ec;
    for (fs::directory_iterator it(folderOf(file), ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0) {
            std::error_code ignored;
            fs::remove(it->path(), ignored);
        }
    }
}

void syncFolder(const fs::path &folder)
{
    if (const UniqueFd fd = openFolder(folder))
        ::fsync(fd.get());
}

} // namespace

fs::path folderOf(const fs::path &file)
{
    fs::path folder = file.parent_path();
    return folder.empty() ? fs::path(".") : folder;
}

FileLock FileLock::acquire(const fs::path &file, LockMode mode)
{
    UniqueFd folder = openFolder(folderOf(file));
    if (!folder)
        return FileLock(UniqueFd());
    const int operation = mode == LockMode::Shared ? LOCK_SH : LOCK_EX;
    int rc;
    do {
        rc = ::flock(folder.get(), operation);
    } while (rc != 0 && errno == EINTR);
    return FileLock(rc == 0 ? std::move(folder) : UniqueFd());
}

namespace {

FileIdentity identityFrom(const struct stat &st)
{
    return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
            static_cast<std::int64_t>(st.st_size),
            static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
            static_cast<std::int64_t>(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec};
}

} // namespace

std::optional<FileIdentity> identityOf(const fs::path &file)
{
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0)
        return std::nullopt;
    return identityFrom(st);
}

FileContents readWholeFile(const fs::path &file)
{
    FileContents result;
    // O_NONBLOCK: a FIFO in place of the file must not hang the program.
    const UniqueFd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!fd) {
        result.status = (errno == ENOENT || errno == ENOTDIR) ? FileContents::Status::Missing
                                                              : FileContents::Status::Unreadable;
        return result;
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        result.status = FileContents::Status::Unreadable;
        return result;
    }
    result.identity = identityFrom(st);
    // Read straight into a buffer of the file's size, with room for an edit
    // that makes it a little longer: a store write then needs no second copy.
    constexpr std::size_t kEditRoom = 64 * 1024;
    std::string &bytes = result.bytes;
    bytes.reserve(static_cast<std::size_t>(st.st_size) + kEditRoom);
    bytes.resize(static_cast<std::size_t>(st.st_size));
    std::size_t size = 0;
    for (;;) {
        if (size == bytes.size())
            bytes.resize(size + kEditRoom); // the file grew since fstat
        const ssize_t n = ::read(fd.get(), bytes.data() + size, bytes.size() - size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            bytes.clear();
            result.status = FileContents::Status::Unreadable;
            return result;
        }
        if (n == 0)
            break;
        size += static_cast<std::size_t>(n);
    }
    bytes.resize(size);
    result.status = FileContents::Status::Read;
    return result;
}

fs::path resolveStorePath(const fs::path &file)
{
    fs::path path = file;
    for (int links = 0; links <= kMaxLinks; ++links) {
        std::error_code ec;
        if (!fs::is_symlink(path, ec))
            return path;
        const fs::path target = fs::read_symlink(path, ec);
        if (ec)
            return file;
        path = target.is_absolute() ? target : folderOf(path) / target;
    }
    return file;
}

bool canReplaceFile(const fs::path &file)
{
    const fs::path folder = folderOf(file);
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || (st.st_mode & kAnyWriteBit) == 0
        || ::access(folder.c_str(), W_OK | X_OK) != 0)
        return false;
    if (::stat(file.c_str(), &st) != 0)
        return errno == ENOENT;
    return S_ISREG(st.st_mode) && (st.st_mode & kAnyWriteBit) != 0 && ::access(file.c_str(), W_OK) == 0;
}

std::error_code replaceFileAtomically(const fs::path &file, std::string_view bytes)
{
    const fs::path folder = folderOf(file);
    removeStaleTempFiles(file);

    struct stat original {};
    const bool existed = ::stat(file.c_str(), &original) == 0;

    fs::path temp;
    UniqueFd fd;
    for (int attempt = 0; attempt < 100 && !fd; ++attempt) {
        temp = folder / (tempPrefix(file) + randomSuffix());
        fd.reset(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (!fd && errno != EEXIST)
            return lastError();
    }
    if (!fd)
        return std::make_error_code(std::errc::file_exists);

    auto fail = [&](std::error_code ec) {
        fd.reset();
        ::unlink(temp.c_str());
        return ec;
    };

    if (!writeAll(fd.get(), bytes))
        return fail(lastError());
    if (existed) {
        // The owner first: changing it may clear set-id bits that fchmod then restores.
        if (original.st_uid != ::geteuid() || original.st_gid != ::getegid()) {
            [[maybe_unused]] const int ignored = ::fchown(fd.get(), original.st_uid, original.st_gid);
        }
        if (::fchmod(fd.get(), original.st_mode & 07777) != 0)
            return fail(lastError());
    }
    if (::fsync(fd.get()) != 0)
        return fail(lastError());
    if (fd.close() != 0)
        return fail(lastError());
    if (::rename(temp.c_str(), file.c_str()) != 0)
        return fail(lastError());
    syncFolder(folder);
    return {};
}

std::error_code editLocked(const fs::path &target, WideFiles wide,
                           const std::function<EditedBytes(FileContents &, bool lockHeld, bool wide)> &edit)
{
    const FileLock lock = FileLock::acquire(target, LockMode::Exclusive);
    FileContents contents = readWholeFile(target);
    const std::string_view read = contents.bytes;
    const bool isWide = read.starts_with(kUtf16LeBom) || (wide == WideFiles::AnyOrder && read.starts_with(kUtf16BeBom));
    const bool wasRead = contents.status == FileContents::Status::Read;
    const EditedBytes edited = edit(contents, lock.held(), isWide);
    if (isWide ? wasRead && edited.bytes == contents.bytes : !edited.changed)
        return {};
    return replaceFileAtomically(target, edited.bytes);
}

} // namespace umbrill
