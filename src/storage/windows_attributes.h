// SPDX-License-Identifier: MIT
#pragma once
// The attributes Windows keeps for a file or folder (read-only, hidden, system...), on the
// volumes that store them: NTFS, through the extended attribute that ntfs-3g and the kernel's
// ntfs3 driver give it, and FAT, through its ioctl. Other volumes (ext4, tmpfs...) keep none.
//
// ntfs-3g, and ntfs3 from Linux 6.2, answer "system.ntfs_attrib_be" (big-endian 32 bits); ntfs3
// before that answers only "system.ntfs_attrib" (host order), and would store the other name as
// an ordinary extended attribute if it were set. So the name is the one that a read answered.
// Every call takes an open descriptor of the file or folder (not one opened with O_PATH).
#include <optional>

namespace tessivane {

// The attribute bits (the document core's attributes::kReadOnly, kHidden, kSystem among them),
// or nothing where the volume keeps no such attributes or they cannot be read.
std::optional<unsigned> readWindowsAttributes(int fd);

// Sets all the bits; false with errno set when the volume refuses or keeps none.
bool writeWindowsAttributes(int fd, unsigned bits);

}  // namespace tessivane
