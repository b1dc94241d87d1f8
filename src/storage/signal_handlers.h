// SPDX-License-Identifier: MIT
#pragma once
// The handler of SIGTERM, SIGINT and SIGHUP for as long as an object lives, and the earlier ones
// back afterwards. A signal the program ignores (nohup and the like) stays ignored.
#include <csignal>

#include <iterator>

namespace tessivane {

class SignalHandlers {
public:
    explicit SignalHandlers(void (*handler)(int)) {
        for (std::size_t i = 0; i < std::size(kSignals); ++i) {
            struct sigaction previous {};
            installed_[i] =
                ::sigaction(kSignals[i], nullptr, &previous) == 0 && previous.sa_handler != SIG_IGN;
            if (installed_[i]) {
                struct sigaction action {};
                action.sa_handler = handler;
                ::sigfillset(&action.sa_mask);
                installed_[i] = ::sigaction(kSignals[i], &action, &previous_[i]) == 0;
            }
        }
    }
    ~SignalHandlers() {
        for (std::size_t i = 0; i < std::size(kSignals); ++i) {
            if (installed_[i]) {
                ::sigaction(kSignals[i], &previous_[i], nullptr);
            }
        }
    }
    SignalHandlers(const SignalHandlers&) = delete;
    SignalHandlers& operator=(const SignalHandlers&) = delete;

private:
    static constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
    bool installed_[std::size(kSignals)] = {};
    struct sigaction previous_[std::size(kSignals)] = {};
};

}  // namespace tessivane
