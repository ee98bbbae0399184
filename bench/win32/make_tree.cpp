// Writes the benchmark's cookie folders into a Wine prefix, for bench.sh.
// A host program: bench.sh builds it with the host's compiler.
//
//   make_tree PREFIX COOKIES     prints the number of cookie files made

#include <cstdio>
#include <exception>
#include <string>

#include "bench/cookie_tree.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_tree PREFIX COOKIES\n");
        return 2;
    }
    try {
        const auto counts = tallowick::bench::MakeCookieTree(argv[1], tallowick::bench::ShapeFor(std::stoul(argv[2])));
        tallowick::bench::SyncFileSystem(argv[1]);
        std::printf("%zu\n", counts.cookies);
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "make_tree: %s\n", error.what());
        return 1;
    }
}
