// torvane-make-initial OUT: writes the initial clone file that the program ships.
#include "initial-image/InitialImage.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: torvane-make-initial OUT\n");
        return 64;
    }
    return static_cast<int>(WriteInitialImage(argv[1]));
}
