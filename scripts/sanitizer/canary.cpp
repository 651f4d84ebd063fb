// A program with one deliberate finding of each kind, built and run the way
// the suite's programs are before the suite runs: if its reports do not
// arrive where the sanitizer script looks, a finding in the suite would not
// either, and the run fails instead of passing blind.

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
void *volatile kept = nullptr;
volatile int largest = 2147483647;
} // namespace

int main(int argc, char *argv[])
{
    if (argc < 2)
        return 2;
    if (std::strcmp(argv[1], "leak") == 0) {
        kept = std::malloc(48);
        kept = nullptr;
        return 0;
    }
    if (std::strcmp(argv[1], "undefined") == 0) {
        const int overflowed = largest + argc;
        std::printf("%d\n", overflowed);
        return 0;
    }
    return 2;
}
