// Parse and write of the largest profile, against reading and writing as many bytes in one call.
#include "database/database_reader.h"
#include "database/database_writer.h"
#include "host/file_write.h"
#include "max_tree.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace {

using namespace quillfen;

const std::vector<unsigned char>& maxFile() {
    static const std::vector<unsigned char> bytes = encodeDatabase(bench::makeMaxTree());
    return bytes;
}

std::string scratchPath(const char* name) {
    return (std::filesystem::temp_directory_path() / name).string();
}

void BM_ParseMaxDatabase(benchmark::State& state) {
    const auto& bytes = maxFile();
    for (auto _ : state) {
        auto parsed = ParseDatabaseFile(bytes);
        benchmark::DoNotOptimize(parsed.ok());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_ParseMaxDatabase);

void BM_WriteMaxDatabase(benchmark::State& state) {
    const LevelTree tree = bench::makeMaxTree();
    const std::string path = scratchPath("quillfen-bench-write.dat");
    for (auto _ : state) {
        auto written = writeFile(path, encodeDatabase(tree), {.sync = false});
        benchmark::DoNotOptimize(written.ok());
    }
    std::filesystem::remove(path);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * maxFile().size()));
}
BENCHMARK(BM_WriteMaxDatabase);

// Yardstick: read the same number of bytes from a file in one call.
void BM_RawRead(benchmark::State& state) {
    const auto& bytes = maxFile();
    const std::string path = scratchPath("quillfen-bench-raw.dat");
    (void)writeFile(path, bytes, {.sync = false});
    std::vector<unsigned char> buffer(bytes.size());
    for (auto _ : state) {
        int fd = ::open(path.c_str(), O_RDONLY);
        benchmark::DoNotOptimize(::read(fd, buffer.data(), buffer.size()));
        ::close(fd);
    }
    std::filesystem::remove(path);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_RawRead);

// Yardstick: write the same number of bytes to a new file in one call.
void BM_RawWrite(benchmark::State& state) {
    const auto& bytes = maxFile();
    const std::string path = scratchPath("quillfen-bench-raw-write.dat");
    for (auto _ : state) {
        int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        benchmark::DoNotOptimize(::write(fd, bytes.data(), bytes.size()));
        ::close(fd);
    }
    std::filesystem::remove(path);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_RawWrite);

} // namespace
