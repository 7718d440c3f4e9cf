// What ./dravilo starts as on Linux: a small static program that holds the
// stop signals from the first moment and then becomes the emulator. The
// emulator needs tens of milliseconds to load its libraries before it can
// take a signal; one that comes meanwhile waits, blocked, instead of ending
// it without its close path, and is taken as soon as the emulator can.

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <unistd.h>

int main(int argc, char** argv)
{
    (void)argc;
    sigset_t stops;
    sigemptyset(&stops);
    for (const int number : {SIGTERM, SIGINT, SIGHUP})
        sigaddset(&stops, number);
    sigprocmask(SIG_BLOCK, &stops, nullptr);  // kept across exec, pending ones too

    // The emulator proper lies in libexec/ beside this program, under the same name.
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    const char* const inside = "/libexec/dravilo";
    if (length > 0) {
        path[length] = '\0';
        char* slash = std::strrchr(path, '/');
        if (slash && std::size_t(slash - path) + std::strlen(inside) < sizeof path) {
            std::strcpy(slash, inside);
            execv(path, argv);
        }
    }
    std::fprintf(stderr, "dravilo: cannot start %s: %s\n", length > 0 ? path : "the emulator", std::strerror(errno));
    return 2;
}
