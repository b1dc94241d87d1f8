// SPDX-License-Identifier: MIT
#include "storage/descriptor.h"

#include <algorithm>
#include <cerrno>

namespace tessivane {

std::optional<std::string> readRest(int fd) {
    std::string bytes;
    char chunk[65536];
    for (ssize_t got; (got = ::read(fd, chunk, sizeof chunk)) != 0;) {
        if (got < 0 && errno != EINTR) {
            return std::nullopt;
        }
        bytes.append(chunk, std::size_t(std::max<ssize_t>(got, 0)));
    }
    return bytes;
}

}  // namespace tessivane
