//===- SessionLauncher.cpp - Runs a program's test body in a private session ---===//
//
// The link library maps the session's shared block as soon as a process loads it, before main
// runs, so a test process that links it cannot move to a session of its own afterwards. This
// program makes the session, runs the body named by TEST_BODY (e.g. heliant_tests_body) in it with the same arguments and answers
// its result; the session's files go when this program ends.
//
#include "tests/support/TestSupport.h"

#include <cerrno>
#include <cstdio>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

int main(int argc, char** argv)
{
    testsupport::UsePrivateSession();
    const std::string body = testsupport::BinDir() + "/" TEST_BODY;
    std::vector<char*> args { const_cast<char*>(body.c_str()) };
    for (int i = 1; i < argc; ++i)
        args.push_back(argv[i]);
    args.push_back(nullptr);

    const pid_t child = fork();
    if (child < 0) {
        std::perror(TEST_BODY ": fork");
        return 1;
    }
    if (child == 0) {
        execv(body.c_str(), args.data());
        std::perror("cannot run " TEST_BODY);
        _exit(127);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0)
        if (errno != EINTR)
            return 1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
