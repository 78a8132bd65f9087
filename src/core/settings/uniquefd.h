// A file descriptor with one owner: closed when its owner goes. Move-only.
#pragma once

#include <utility>

#include <unistd.h>

namespace umbrill {

class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : m_fd(fd) {}
    UniqueFd(UniqueFd &&other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    UniqueFd &operator=(UniqueFd &&other) noexcept
    {
        if (this != &other)
            reset(std::exchange(other.m_fd, -1));
        return *this;
    }
    UniqueFd(const UniqueFd &) = delete;
    UniqueFd &operator=(const UniqueFd &) = delete;
    ~UniqueFd() { reset(); }

    int get() const { return m_fd; }
    explicit operator bool() const { return m_fd >= 0; }

    // Closes the descriptor held, if any, and holds fd instead.
    void reset(int fd = -1)
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }

    // Closes the descriptor now, for a caller that needs close's result (a
    // failed close of a written file can mean lost data).
    int close() { return ::close(std::exchange(m_fd, -1)); }

private:
    int m_fd = -1;
};

} // namespace umbrill
