// One copy of the program as far as the single-instance lock goes: prints whether it may
// run and, if so, holds the lock until its input closes or it is killed.
#include "app/SingleInstance.h"

#include <cstdio>
#include <unistd.h>

int main(int argc, char **argv)
{
    if (argc != 2)
        return 2;
    SingleInstance instance(QString::fromLocal8Bit(argv[1]));
    const bool runs = instance.acquire();
    std::printf("%s\n", runs ? "runs" : "refused");
    std::fflush(stdout);
    for (char c; runs && ::read(0, &c, 1) > 0;) {
    }
    return runs ? 0 : 1;
}
