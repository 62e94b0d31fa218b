// A stand-in for an X11 program: it is linked against libxcb, which is all
// that makes it graphical, and behaves as its arguments say, as the test
// script "tool" does: NAME SECONDS STATUS, where STATUS may be "signal".
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <unistd.h>

int main(int argc, char **argv)
{
    if (argc != 4)
        return 2;
    const std::string name = argv[1];
    std::printf("out %s\n", name.c_str());
    std::fflush(stdout);
    std::fprintf(stderr, "warn %s\n", name.c_str());
    sleep(unsigned(std::atoi(argv[2])));
    std::fprintf(stderr, "later %s\n", name.c_str());
    if (FILE *marker = std::fopen((name + ".done").c_str(), "w"))
        std::fclose(marker);
    if (std::strcmp(argv[3], "signal") == 0)
        std::raise(SIGTERM);
    return std::atoi(argv[3]);
}
