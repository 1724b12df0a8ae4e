#include "cli_runner.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

namespace qh::test {
namespace {

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

} // namespace

std::string MakeTempDir() {
    char pattern[] = "/tmp/qh-cli-test-XXXXXX";
    const char* dir = mkdtemp(pattern);
    return dir ? dir : "/tmp";
}

CliRun RunCli(const std::string& arguments, const std::string& input) {
    static const std::string dir = MakeTempDir();
    const std::string in = dir + "/stdin", out = dir + "/stdout", err = dir + "/stderr";
    std::ofstream(in, std::ios::binary) << input;
    const std::string command = std::string(QH_CLI_PATH) + " " + arguments + " <" + in + " >" + out + " 2>" + err;
    CliRun run;
    const int raw = std::system(command.c_str());
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = slurp(out);
    run.err = slurp(err);
    return run;
}

} // namespace qh::test
