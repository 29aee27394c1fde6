// A small program for the hardening tests, built once with the project's
// options and once with every hardening option undone. Its copy writes into
// an array whose size the compiler knows, for a length it learns only at run
// time: the call _FORTIFY_SOURCE turns into __memcpy_chk. The array also
// makes -fstack-protector-strong guard main.

#include <cstdio>
#include <cstring>

int main(int argc, char* argv[]) {
    char buffer[32] = {};
    const char* text = argc > 1 ? argv[1] : "";
    std::memcpy(buffer, text, std::strlen(text) + 1);
    std::puts(buffer);
    return 0;
}
