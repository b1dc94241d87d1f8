// SPDX-License-Identifier: MIT
#pragma once
// Which inputs get a target's slower checks: one in kSampleEvery under the fuzzer, picked by a hash
// of the input's bytes, so that an input that failed one fails it again when it is run alone; every
// input when the corpus is replayed as a test (TESSIVANE_FUZZ_CHECK_ALL).
#include <cstdint>
#include <string_view>

namespace tessivane::fuzz {

inline constexpr std::uint64_t kSampleEvery = 16;

inline bool sampled(std::string_view bytes) {
#ifdef TESSIVANE_FUZZ_CHECK_ALL
    static_cast<void>(bytes);
    return true;
#else
    std::uint64_t hash = 14695981039346656037u;  // FNV-1a
    for (const char c : bytes) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211u;
    }
    return hash % kSampleEvery == 0;
#endif
}

}  // namespace tessivane::fuzz
