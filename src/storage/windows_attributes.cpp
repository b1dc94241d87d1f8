// SPDX-License-Identifier: MIT
#include "storage/windows_attributes.h"

#include <linux/msdos_fs.h>
#include <sys/ioctl.h>
#include <sys/xattr.h>

#include <cerrno>
#include <cstdint>

namespace tessivane {
namespace {

enum class Store { NtfsBigEndian, NtfsHostOrder, Fat };

constexpr const char* kNtfsBigEndian = "system.ntfs_attrib_be";
constexpr const char* kNtfsHostOrder = "system.ntfs_attrib";

struct Found {
    Store store;
    std::uint32_t bits;
};

std::optional<Found> find(int fd) {
    unsigned char value[4];
    if (::fgetxattr(fd, kNtfsBigEndian, value, sizeof value) == sizeof value) {
        return Found{Store::NtfsBigEndian, std::uint32_t(value[0]) << 24 |
                                               std::uint32_t(value[1]) << 16 |
                                               std::uint32_t(value[2]) << 8 | value[3]};
    }
    std::uint32_t bits = 0;
    if (errno == ENODATA && ::fgetxattr(fd, kNtfsHostOrder, &bits, sizeof bits) == sizeof bits) {
        return Found{Store::NtfsHostOrder, bits};
    }
    if (::ioctl(fd, FAT_IOCTL_GET_ATTRIBUTES, &bits) == 0) {
        return Found{Store::Fat, bits};
    }
    return std::nullopt;
}

}  // namespace

std::optional<unsigned> readWindowsAttributes(int fd) {
    const auto found = find(fd);
    return found ? std::make_optional(unsigned(found->bits)) : std::nullopt;
}

bool writeWindowsAttributes(int fd, unsigned bits) {
    const auto found = find(fd);
    if (!found) {
        errno = ENOTSUP;
        return false;
    }
    std::uint32_t value = bits;
    switch (found->store) {
        case Store::NtfsBigEndian: {
            const unsigned char bytes[4] = {
                static_cast<unsigned char>(value >> 24), static_cast<unsigned char>(value >> 16),
                static_cast<unsigned char>(value >> 8), static_cast<unsigned char>(value)};
            return ::fsetxattr(fd, kNtfsBigEndian, bytes, sizeof bytes, 0) == 0;
        }
        case Store::NtfsHostOrder:
            return ::fsetxattr(fd, kNtfsHostOrder, &value, sizeof value, 0) == 0;
        case Store::Fat:
            return ::ioctl(fd, FAT_IOCTL_SET_ATTRIBUTES, &value) == 0;
    }
    return false;
}

}  // namespace tessivane
