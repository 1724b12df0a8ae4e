// Runs a part of a test as a user whom permission bits stop: in a child
// process, as user and group "nobody" when the tests run as root.
#ifndef QUILLHORN_TESTS_UNPRIVILEGED_H
#define QUILLHORN_TESTS_UNPRIVILEGED_H

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace qh::test {

// The id of "nobody" on Debian.
inline constexpr uid_t kNobody = 65534;

// True when `body` ran to its end in the child without a failed expectation.
// Failures inside it are printed by the child; files it touches must be
// reachable by "nobody".
inline bool RunUnprivileged(const std::function<void()>& body) {
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
            ::_exit(3);
        try {
            body();
        } catch (...) {
            ADD_FAILURE() << "an exception left the unprivileged part";
        }
        std::fflush(nullptr);
        ::_exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace qh::test

#endif
