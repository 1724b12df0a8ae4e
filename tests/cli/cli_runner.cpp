#include "cli_runner.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>

namespace qh::test {
std::string MakeTempDir() {
    char pattern[] = "/tmp/qh-cli-test-XXXXXX";
    const char* dir = mkdtemp(pattern);
    return dir ? dir : "/tmp";
}

namespace {

const std::string& RunDir() {
    static const std::string dir = MakeTempDir();
    return dir;
}

} // namespace

CliRun RunShell(const std::string& command, const std::string& input) {
    const std::string in = RunDir() + "/stdin", out = RunDir() + "/stdout", err = RunDir() + "/stderr";
    const std::string script = RunDir() + "/script";
    std::ofstream(in, std::ios::binary) << input;
    std::ofstream(script, std::ios::binary) << command << "\n";
    const std::string line = "bash " + script + " <" + in + " >" + out + " 2>" + err;
    CliRun run;
    const int raw = std::system(line.c_str());
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = ReadFile(out);
    run.err = ReadFile(err);
    return run;
}

CliRun RunCliWritingTo(const std::string& output, const std::string& arguments, const std::string& input) {
    const std::string in = RunDir() + "/stdin", err = RunDir() + "/stderr";
    std::ofstream(in, std::ios::binary) << input;
    const std::string command = std::string(QH_CLI_PATH) + " " + arguments + " <" + in + " >" + output + " 2>" + err;
    CliRun run;
    const int raw = std::system(command.c_str());
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.err = ReadFile(err);
    return run;
}

CliRun RunCli(const std::string& arguments, const std::string& input) {
    const std::string out = RunDir() + "/stdout";
    CliRun run = RunCliWritingTo(out, arguments, input);
    run.out = ReadFile(out);
    return run;
}

std::string Shell(const std::string& command) {
    std::string out;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return out;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, got);
    pclose(pipe);
    return out;
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool Exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

std::string RandomBytes(std::size_t n, unsigned seed) {
    std::mt19937 generator(seed);
    std::string bytes(n, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(generator());
    return bytes;
}

} // namespace qh::test
