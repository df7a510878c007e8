#pragma once
// Runs a check as a user whom file permissions bind. Permissions do not bind root, and CI runs the tests as
// root: there the check runs in a child process that hands the given paths to nobody and becomes nobody. Any
// other user runs it in a child process too, so that both run alike. The check reports through the text it
// returns; the test's own assertions are made on that text, after the child has ended.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include <grp.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace ovrel::testsupport {

inline constexpr uid_t NobodyId = 65534;

inline std::string AsUnprivilegedUser(const std::vector<std::filesystem::path>& handedOver,
                                      const std::function<std::string()>& check)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return "no pipe to the check";
    const pid_t child = ::fork();
    if (child < 0)
        return "no process for the check";
    if (child == 0) {
        ::close(pipeFds[0]);
        std::string text;
        try {
            if (::geteuid() == 0) {
                for (const auto& path : handedOver)
                    if (::chown(path.c_str(), NobodyId, NobodyId) != 0)
                        throw std::runtime_error("cannot hand " + path.string() + " to nobody");
                if (::setgroups(0, nullptr) != 0 || ::setgid(NobodyId) != 0 || ::setuid(NobodyId) != 0)
                    throw std::runtime_error("cannot become nobody");
            }
            text = check();
        } catch (const std::exception& error) {
            text = std::string("exception: ") + error.what();
        } catch (...) {
            text = "exception";
        }
        for (std::size_t done = 0; done < text.size();) {
            const ssize_t n = ::write(pipeFds[1], text.data() + done, text.size() - done);
            if (n <= 0)
                break;
            done += static_cast<std::size_t>(n);
        }
        ::_exit(0);  // no destructors of the test's objects, no test runner's exit work
    }
    ::close(pipeFds[1]);
    std::string text;
    char buffer[256];
    for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(n));
    ::close(pipeFds[0]);
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        text += " (the check's process failed)";
    return text;
}

}  // namespace ovrel::testsupport
