#pragma once
// A child process of a test (the game, Xvfb, weston), which dies with the test: a
// test that dies mid-game must not leave the game running, holding CTest's output.
#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

// fork(), with the child killed when the test ends however it ends, and with every
// signal let through: the game's platform blocks SIGTERM in the test's own process,
// and a child that inherited that would never stop.
inline pid_t Engendrer()
{
    pid_t test = getpid();
    pid_t pid = fork();
    if (pid == 0) {
        sigset_t aucun;
        sigemptyset(&aucun);
        sigprocmask(SIG_SETMASK, &aucun, nullptr);
        if (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || getppid() != test)
            _exit(96);
    }
    return pid;
}
