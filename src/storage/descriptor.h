// SPDX-License-Identifier: MIT
#pragma once
// A file descriptor closed when it goes out of scope, and reading one whole.
#include <unistd.h>

#include <optional>
#include <string>
#include <utility>

namespace tessivane {

class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    Descriptor(Descriptor&& other) noexcept : fd_(other.release()) {}
    Descriptor& operator=(Descriptor&& other) noexcept {
        reset(other.release());
        return *this;
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() { reset(); }
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    int release() { return std::exchange(fd_, -1); }
    void reset(int fd = -1) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = fd;
    }

private:
    int fd_;
};

// What is left to read of an open file, whole; nothing (errno set) when reading fails.
std::optional<std::string> readRest(int fd);

}  // namespace tessivane
