// SPDX-License-Identifier: MIT
// Runs every benchmark and prints one table:
// - start-up: wall time from process start to the first frame shown, and
//   peak resident memory, of zarnik and of a bare Qt window (the toolkit's
//   floor), on the offscreen platform and under Xvfb; medians of repeated
//   runs, and the ratio zarnik / bare;
// - the encoder window's opening: wall time of its growth ticks;
// - the model: time per call of the four model procedures;
// - a command: wall time of `zarnik decode ...` against a bare QtCore
//   program, medians of 200 calls each, and the ratio;
// - batch: lines a second of `zarnik batch` over a mixed file, as text and
//   as JSON Lines, beside awk touching every word of the same file.
//
// The first frame is reported by a probe preloaded into each program
// (FirstFrameProbe.cpp); peak memory is the child's ru_maxrss from wait4.
//
// zarnik_bench_report [--runs N] [--no-xvfb]
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr double kStartupGoal = 1.2;    // zarnik / bare
constexpr double kMemoryGoalMb = 10.0;  // MB above bare
constexpr double kCommandGoal = 1.5;    // a command / a bare QtCore program
constexpr int kCommandCalls = 200;
constexpr double kBatchGoal = 1000000;     // lines a second, as text
constexpr double kJsonBatchGoal = 500000;  // lines a second, as JSON Lines
constexpr int kBatchLines = 1000000;

long long MonotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1'000'000'000LL + now.tv_nsec;
}

double Median(std::vector<double> values)
{
    if (values.empty()) {
        return 0.0;
    }
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

struct Child {
    std::string output;     // its standard output
    long long startNs = 0;  // just before fork
    long maxRssKb = 0;
    double cpuSeconds = 0;  // user and system time
    bool ok = false;
};

// Runs `argv` with `env` added to the environment, standard output captured,
// standard error discarded; kills it after `timeoutMs`.
Child Run(const std::vector<std::string>& argv, const std::vector<std::pair<std::string, std::string>>& env,
          int timeoutMs)
{
    Child child;
    int out[2];
    if (pipe(out) != 0) {
        return child;
    }
    child.startNs = MonotonicNs();
    const pid_t pid = fork();
    if (pid < 0) {
        close(out[0]);
        close(out[1]);
        return child;
    }
    if (pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        close(out[1]);
        const int null = open("/dev/null", O_WRONLY);
        if (null >= 0) {
            dup2(null, STDERR_FILENO);
        }
        for (const auto& [name, value] : env) {
            setenv(name.c_str(), value.c_str(), 1);
        }
        std::vector<char*> args;
        for (const auto& a : argv) {
            args.push_back(const_cast<char*>(a.c_str()));
        }
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    close(out[1]);
    const long long deadline = child.startNs + static_cast<long long>(timeoutMs) * 1'000'000LL;
    char buffer[4096];
    for (;;) {
        const long long left = (deadline - MonotonicNs()) / 1'000'000LL;
        pollfd p{out[0], POLLIN, 0};
        if (left <= 0 || poll(&p, 1, static_cast<int>(left)) <= 0) {
            kill(pid, SIGKILL);
            break;
        }
        const ssize_t n = read(out[0], buffer, sizeof buffer);
        if (n <= 0) {
            break;
        }
        child.output.append(buffer, static_cast<std::size_t>(n));
    }
    close(out[0]);
    int status = 0;
    rusage usage{};
    while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    child.maxRssKb = usage.ru_maxrss;
    child.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                       static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    child.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return child;
}

// The values that follow `key` on lines "key value", in order.
std::vector<double> Values(const std::string& output, const std::string& key)
{
    std::vector<double> values;
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind(key + " ", 0) == 0) {
            values.push_back(std::strtod(line.c_str() + key.size() + 1, nullptr));
        }
    }
    return values;
}

struct Startup {
    std::vector<double> ms;
    std::vector<double> rssMb;
    // Where the time goes: to the platform plugin loaded (the end of the
    // application object's core set-up), to the window's show, to its first
    // frame.
    std::vector<double> toPlatform, toShown, toFrame;

    void Add(const Startup& other)
    {
        for (auto [to, from] :
             {std::pair{&ms, &other.ms}, std::pair{&rssMb, &other.rssMb}, std::pair{&toPlatform, &other.toPlatform},
              std::pair{&toShown, &other.toShown}, std::pair{&toFrame, &other.toFrame}}) {
            to->insert(to->end(), from->begin(), from->end());
        }
    }
};

// A private X server; its display name, or nothing.
class Xvfb {
public:
    ~Xvfb()
    {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }

    std::optional<std::string> Start()
    {
        int fds[2];
        if (pipe(fds) != 0) {
            return std::nullopt;
        }
        pid_ = fork();
        if (pid_ == 0) {
            close(fds[0]);
            const int null = open("/dev/null", O_WRONLY);
            if (null >= 0) {
                dup2(null, STDOUT_FILENO);
                dup2(null, STDERR_FILENO);
            }
            const std::string fd = std::to_string(fds[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        std::string number;
        char c;
        pollfd p{fds[0], POLLIN, 0};
        while (poll(&p, 1, 15000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n') {
            number += c;
        }
        close(fds[0]);
        if (number.empty()) {
            return std::nullopt;
        }
        return ":" + number;
    }

private:
    pid_t pid_ = -1;
};

struct Platform {
    std::string name;
    std::vector<std::pair<std::string, std::string>> env;
};

Startup MeasureStartup(const std::string& binary, const Platform& platform, int runs)
{
    Startup s;
    auto env = platform.env;
    env.emplace_back("LD_PRELOAD", ZARNIK_FIRST_FRAME_PROBE);
    for (int i = 0; i < runs; ++i) {
        const Child c = Run({binary}, env, 20000);
        const auto frames = Values(c.output, "first-frame");
        if (!c.ok || frames.empty()) {
            std::fprintf(stderr, "%s on %s: no first frame reported\n", binary.c_str(), platform.name.c_str());
            continue;
        }
        const double start = static_cast<double>(c.startNs);
        s.ms.push_back((frames.front() - start) / 1e6);
        s.rssMb.push_back(static_cast<double>(c.maxRssKb) / 1024.0);
        const auto platformUp = Values(c.output, "platform-up");
        const auto shown = Values(c.output, "shown");
        if (!platformUp.empty() && !shown.empty()) {
            s.toPlatform.push_back((platformUp.front() - start) / 1e6);
            s.toShown.push_back((shown.front() - platformUp.front()) / 1e6);
            s.toFrame.push_back((frames.front() - shown.front()) / 1e6);
        }
    }
    return s;
}

const char* Verdict(bool met) { return met ? "met" : "MISSED"; }

double WallMs(const std::vector<std::string>& argv)
{
    const long long start = MonotonicNs();
    const Child c = Run(argv, {}, 20000);
    return c.ok ? static_cast<double>(MonotonicNs() - start) / 1e6 : -1.0;
}

// A file of what scripts ask: decodings, encodings in both band counts,
// nearest values, a refusal, a wrong word, a comment; removed at the end.
class MixedFile {
public:
    MixedFile()
    {
        static const char* const kLines[] = {"decode Yellow Violet Red Gold",
                                             "decode Brown Black Black Brown Brown",
                                             "encode 4.7 K 5%",
                                             "encode 4.75 K 1% --five",
                                             "nearest 4.8 K --series E96",
                                             "encode 0.47 K Ohm 10%",
                                             "decode red red orange none",
                                             "encode 4.75 K 5%",
                                             "nearest 330 Ohm",
                                             "decode Red Purple Red Gold",
                                             "# a comment",
                                             "code 4K7",
                                             "code 01C",
                                             "codes 4.7 K",
                                             "encode 100 M 2% --five"};
        char name[] = "/tmp/zarnik-batch-XXXXXX";
        const int fd = mkstemp(name);
        path_ = name;
        std::string text;
        for (int i = 0; i < kBatchLines; ++i) {
            text += kLines[i % std::size(kLines)];
            text += '\n';
        }
        ok_ = fd >= 0 && write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
        if (fd >= 0) {
            close(fd);
        }
    }
    ~MixedFile() { unlink(path_.c_str()); }
    const std::string& Path() const { return path_; }
    bool Ok() const { return ok_; }

private:
    std::string path_;
    bool ok_ = false;
};

// Lines a second of one batch run, by the wall clock and by the CPU time it
// got (on a busy machine the two differ). Its answers go to a file, so that
// no reader of a pipe sets the pace; its exit status is 2 (the file holds a
// wrong word), so only the count of its answers is checked.
std::pair<double, double> BatchRate(const std::vector<std::string>& argv, const std::string& outputPath)
{
    std::vector<std::string> shell{"/bin/sh", "-c", "exec \"$0\" \"$@\" >\"" + outputPath + "\""};
    shell.insert(shell.end(), argv.begin(), argv.end());
    const long long start = MonotonicNs();
    const Child c = Run(shell, {}, 120000);
    const double seconds = static_cast<double>(MonotonicNs() - start) / 1e9;
    long answers = 0;
    if (std::FILE* output = std::fopen(outputPath.c_str(), "r")) {
        for (int ch = 0; (ch = std::getc(output)) != EOF;) {
            answers += ch == '\n';
        }
        std::fclose(output);
    }
    std::remove(outputPath.c_str());
    if (answers < kBatchLines / 2 || c.cpuSeconds <= 0) {
        return {0.0, 0.0};
    }
    return {kBatchLines / seconds, kBatchLines / c.cpuSeconds};
}

// The floor of any program that reads the file a line at a time: awk
// splitting every line into its words and counting them.
std::pair<double, double> AwkRate(const std::string& path)
{
    const long long start = MonotonicNs();
    const Child c = Run({"/usr/bin/awk", "{ n += NF } END { print n }", path}, {}, 120000);
    const double seconds = static_cast<double>(MonotonicNs() - start) / 1e9;
    if (c.cpuSeconds <= 0 || c.output.empty()) {
        return {0.0, 0.0};
    }
    return {kBatchLines / seconds, kBatchLines / c.cpuSeconds};
}

// The machine's load, which the rates above depend on.
std::string LoadAverage()
{
    std::FILE* file = std::fopen("/proc/loadavg", "r");
    char text[64] = "unknown";
    if (file) {
        if (!std::fgets(text, sizeof text, file)) {
            std::strcpy(text, "unknown");
        }
        std::fclose(file);
    }
    std::string load(text);
    return load.substr(0, load.find(' ', load.find(' ', load.find(' ') + 1) + 1));
}

}  // namespace

int main(int argc, char* argv[])
{
    int runs = 15;
    bool useXvfb = true;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--runs" && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--no-xvfb") {
            useXvfb = false;
        } else {
            std::fprintf(stderr, "usage: %s [--runs N] [--no-xvfb]\n", argv[0]);
            return 2;
        }
    }

    std::vector<Platform> platforms{{"offscreen", {{"QT_QPA_PLATFORM", "offscreen"}}}};
    Xvfb xvfb;
    if (useXvfb) {
        if (const auto display = xvfb.Start()) {
            platforms.push_back({"Xvfb", {{"QT_QPA_PLATFORM", "xcb"}, {"DISPLAY", *display}}});
        } else {
            std::fprintf(stderr, "Xvfb did not start; measuring offscreen only\n");
        }
    }

    std::printf("Zarnik benchmarks: medians of %d runs\n\n", runs);
    std::printf("%-36s %12s %12s %12s  %s\n", "start-up to first frame", "bare Qt", "zarnik", "zarnik/bare", "goal");
    std::map<std::string, std::pair<Startup, Startup>> results;
    for (const Platform& platform : platforms) {
        // One unmeasured start each fills the file cache.
        MeasureStartup(ZARNIK_BARE_WINDOW, platform, 1);
        MeasureStartup(ZARNIK_BINARY, platform, 1);
        // Interleaved, so that a busy moment of the machine hits both.
        Startup bare, zarnik;
        for (int i = 0; i < runs; ++i) {
            bare.Add(MeasureStartup(ZARNIK_BARE_WINDOW, platform, 1));
            zarnik.Add(MeasureStartup(ZARNIK_BINARY, platform, 1));
        }
        results[platform.name] = {bare, zarnik};
        const double ratio = Median(zarnik.ms) / Median(bare.ms);
        std::printf("  %-34s %9.1f ms %9.1f ms %12.2f  <= %.1f %s\n", platform.name.c_str(), Median(bare.ms),
                    Median(zarnik.ms), ratio, kStartupGoal, Verdict(ratio <= kStartupGoal));
        const std::pair<const char*, const std::vector<double> Startup::*> phases[] = {
            {"process start to platform up", &Startup::toPlatform},
            {"then to the window shown", &Startup::toShown},
            {"then to its first frame", &Startup::toFrame}};
        for (const auto& [what, phase] : phases) {
            std::printf("    %-32s %9.1f ms %9.1f ms\n", what, Median(bare.*phase), Median(zarnik.*phase));
        }
    }
    std::printf("%-36s %12s %12s %12s\n", "peak resident memory", "bare Qt", "zarnik", "difference");
    for (const Platform& platform : platforms) {
        const auto& [bare, zarnik] = results[platform.name];
        const double extra = Median(zarnik.rssMb) - Median(bare.rssMb);
        std::printf("  %-34s %9.1f MB %9.1f MB %+9.1f MB  <= +%.0f MB %s\n", platform.name.c_str(), Median(bare.rssMb),
                    Median(zarnik.rssMb), extra, kMemoryGoalMb, Verdict(extra <= kMemoryGoalMb));
    }

    std::printf("%-36s %12s %12s\n", "encoder window opening", "ticks", "wall time");
    for (const Platform& platform : platforms) {
        const Child c = Run({ZARNIK_GROWTH_BENCH, "--runs", std::to_string(runs)}, platform.env, 120000);
        const auto ms = Values(c.output, "growth-ms");
        const auto ticks = Values(c.output, "ticks");
        if (!c.ok || ms.empty()) {
            std::printf("  %-34s %12s\n", platform.name.c_str(), "failed");
            continue;
        }
        std::printf("  %-34s %12.0f %9.1f ms\n", platform.name.c_str(), Median(ticks), Median(ms));
    }

    std::printf("%-36s %12s %12s %12s  %s\n", "a command, start to end", "bare QtCore", "zarnik", "zarnik/bare",
                "goal");
    {
        const std::vector<std::string> bare{ZARNIK_BARE_CORE};
        const std::vector<std::string> command{ZARNIK_BINARY, "decode", "Yellow", "Violet", "Red", "Gold"};
        WallMs(bare);
        WallMs(command);
        std::vector<double> bareMs, commandMs;
        for (int i = 0; i < kCommandCalls; ++i) {
            bareMs.push_back(WallMs(bare));
            commandMs.push_back(WallMs(command));
        }
        const double ratio = Median(commandMs) / Median(bareMs);
        const std::string what = "median of " + std::to_string(kCommandCalls) + " calls";
        std::printf("  %-34s %9.2f ms %9.2f ms %12.2f  <= %.1f %s\n", what.c_str(), Median(bareMs), Median(commandMs),
                    ratio, kCommandGoal, Verdict(ratio <= kCommandGoal && Median(commandMs) > 0));
    }
    std::printf("%-36s %12s %12s  %s\n", "batch, mixed file", "lines/s", "lines/CPU s", "goal (lines/s)");
    {
        const MixedFile file;
        for (const bool json : {false, true}) {
            std::vector<std::string> batch{ZARNIK_BINARY, "batch", file.Path()};
            if (json) {
                batch.insert(batch.begin() + 1, "--json");
            }
            const std::string output = file.Path() + ".out";
            BatchRate(batch, output);
            std::vector<double> wall, cpu;
            for (int i = 0; i < 5; ++i) {
                const auto [perSecond, perCpuSecond] = BatchRate(batch, output);
                wall.push_back(perSecond);
                cpu.push_back(perCpuSecond);
            }
            const double rate = file.Ok() ? Median(wall) : 0.0;
            const double goal = json ? kJsonBatchGoal : kBatchGoal;
            const std::string what = std::to_string(kBatchLines) + " lines, " + (json ? "JSON Lines" : "text");
            std::printf("  %-34s %12.0f %12.0f  >= %.0f %s\n", what.c_str(), rate, Median(cpu), goal,
                        Verdict(rate >= goal));
        }
        std::vector<double> wall, cpu;
        for (int i = 0; i < 5; ++i) {
            const auto [perSecond, perCpuSecond] = AwkRate(file.Path());
            wall.push_back(perSecond);
            cpu.push_back(perCpuSecond);
        }
        std::printf("  %-34s %12.0f %12.0f\n", "awk over the same file (the floor)", Median(wall), Median(cpu));
    }
    std::printf("  %-34s %s\n", "load average (1, 5, 15 min)", LoadAverage().c_str());

    std::printf("%-36s %12s\n", "model, per call", "time");
    const Child model = Run({ZARNIK_MODEL_BENCH, "--benchmark_format=csv", "--benchmark_min_time=0.2"}, {}, 120000);
    std::istringstream lines(model.output);
    std::string line;
    bool any = false;
    while (std::getline(lines, line)) {
        // name,iterations,real_time,cpu_time,time_unit,...
        std::vector<std::string> cells;
        std::istringstream row(line);
        std::string cell;
        while (std::getline(row, cell, ',')) {
            cells.push_back(cell);
        }
        if (cells.size() < 5 || cells[0] == "name") {
            continue;
        }
        std::string name = cells[0];
        name.erase(std::remove(name.begin(), name.end(), '"'), name.end());
        std::printf("  %-34s %9.0f %s\n", name.c_str(), std::strtod(cells[2].c_str(), nullptr), cells[4].c_str());
        any = true;
    }
    if (!any) {
        std::printf("  %-34s %12s\n", "zarnik_model_bench", "failed");
    }
    return 0;
}
