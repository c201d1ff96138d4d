// libFuzzer target for QUIMO's command line: the bytes, split at newlines,
// are the arguments. Whatever they are, the answer is to run (-1), to end
// with 0 (help, version) or with 2 (a bad profile), and a profile taken is
// a valid name.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
#include "app_options.h"
#include "app_paths.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::vector<std::string> words(1);
    for (size_t i = 0; i < size; i++) {
        if (data[i] == '\n') words.emplace_back();
        else if (data[i]) words.back() += (char)data[i];
    }
    std::vector<char *> argv{(char *)""};
    for (std::string &w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    static FILE *sink = fopen("/dev/null", "w");
    AppOptions o = app_options_parse((int)argv.size() - 1, argv.data(), sink, sink, size % 2);
    if (o.exitCode != -1 && o.exitCode != 0 && o.exitCode != 2) abort();
    if (o.profile && !app_profile_name_valid(o.profile)) abort();
    return 0;
}
