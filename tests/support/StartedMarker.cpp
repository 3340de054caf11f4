// Creates the file cmake/wine-run.sh names in LUMORA_STARTED_MARKER as the program starts: Wine got it
// as far as its own code, so a failure from here on is the program's own and never retried.
#include <cstdio>
#include <cstdlib>

[[maybe_unused]] static const bool kMarkedStarted = [] {
    if (const char* marker = std::getenv("LUMORA_STARTED_MARKER")) {
        if (std::FILE* file = std::fopen(marker, "w")) {
            std::fclose(file);
        }
    }
    return true;
}();
