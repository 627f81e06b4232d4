#pragma once

#include "temp_dir.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace quillfen::testing {

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

inline std::string shellQuote(const std::string& word) {
    std::string quoted = "'";
    for (char c : word)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Runs build/quillfen-cli (its path comes from the test's environment) with `args`, behind the
// words of `runner` when there are any (another user's setpriv). A run that hangs is killed after
// 20 seconds, so that it fails its test (status 137) instead.
inline CliRun runCli(const std::vector<std::string>& args,
                     const std::vector<std::string>& runner = {}) {
    const char* cli = std::getenv("QUILLFEN_CLI");
    std::string errFile = "/tmp/quillfen-cli-err-XXXXXX";
    ::close(::mkstemp(errFile.data()));
    // Appended piece by piece: GCC 12 at -O3 takes "literal" + std::string for overlapping copies.
    std::string command = "timeout -s KILL 20";
    for (const std::string& word : runner)
        command.append(" ").append(shellQuote(word));
    command.append(" ").append(shellQuote(cli ? cli : "quillfen-cli"));
    for (const std::string& arg : args)
        command.append(" ").append(shellQuote(arg));
    command.append(" 2>").append(shellQuote(errFile)).append(" </dev/null");
    CliRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.out.append(buffer, n);
    int raw = ::pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    auto err = readBytes(errFile);
    run.err.assign(err.begin(), err.end());
    std::remove(errFile.c_str());
    return run;
}

} // namespace quillfen::testing
