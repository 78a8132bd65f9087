// Locking, whole-file reads and atomic replacement for the two stores.
#include "core/settings/atomicfile.h"

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

fs::path folderOf(const fs::path &file)
{
    fs::path folder = file.parent_path();
    return folder.empty() ? fs::path(".") : folder;
}

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
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

FileLock FileLock::acquire(const fs::path &file, LockMode mode)
{
    const int fd = ::open(folderOf(file).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return FileLock(-1);
    const int operation = mode == LockMode::Shared ? LOCK_SH : LOCK_EX;
    int rc;
    do {
        rc = ::flock(fd, operation);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        ::close(fd);
        return FileLock(-1);
    }
    return FileLock(fd);
}

FileLock::FileLock(FileLock &&other) noexcept : m_fd(other.m_fd) { other.m_fd = -1; }

FileLock &FileLock::operator=(FileLock &&other) noexcept
{
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = other.m_fd;
        other.m_fd = -1;
    }
    return *this;
}

FileLock::~FileLock()
{
    if (m_fd >= 0)
        ::close(m_fd); // closing the last descriptor releases the flock
}

FileContents readWholeFile(const fs::path &file)
{
    FileContents result;
    // O_NONBLOCK: a FIFO in place of the file must not hang the program.
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        result.status = (errno == ENOENT || errno == ENOTDIR) ? FileContents::Status::Missing
                                                              : FileContents::Status::Unreadable;
        return result;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        result.status = FileContents::Status::Unreadable;
        return result;
    }
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ::close(fd);
            result.bytes.clear();
            result.status = FileContents::Status::Unreadable;
            return result;
        }
        if (n == 0)
            break;
        result.bytes.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    result.status = FileContents::Status::Read;
    return result;
}

fs::path resolveStorePath(const fs::path &file)
{
    std::error_code ec;
    if (fs::is_symlink(file, ec)) {
        const fs::path target = fs::weakly_canonical(file, ec);
        if (!ec)
            return target;
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
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = folder / (tempPrefix(file) + randomSuffix());
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return lastError();
    }
    if (fd < 0)
        return std::make_error_code(std::errc::file_exists);

    auto fail = [&](std::error_code ec) {
        if (fd >= 0)
            ::close(fd);
        ::unlink(temp.c_str());
        return ec;
    };

    if (!writeAll(fd, bytes))
        return fail(lastError());
    if (existed) {
        // The owner first: changing it may clear set-id bits that fchmod then restores.
        if (original.st_uid != ::geteuid() || original.st_gid != ::getegid()) {
            [[maybe_unused]] const int ignored = ::fchown(fd, original.st_uid, original.st_gid);
        }
        if (::fchmod(fd, original.st_mode & 07777) != 0)
            return fail(lastError());
    }
    if (::fsync(fd) != 0)
        return fail(lastError());
    const int closed = ::close(fd);
    fd = -1;
    if (closed != 0)
        return fail(lastError());
    if (::rename(temp.c_str(), file.c_str()) != 0)
        return fail(lastError());
    syncFolder(folder);
    return {};
}

} // namespace umbrill
