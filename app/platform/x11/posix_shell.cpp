// Shell requests on Linux: xdg-open (the desktop's default application) for
// a document or address, and the saver itself for its configuration. Each is
// started detached, with the target as one argument and no shell between.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "main.h"
#include "platform/shell.h"

namespace {
constexpr char kOpener[] = "xdg-open";
constexpr char kConfigureArgument[] = "-c";
constexpr int kExecFailed = 127;

// The full path of a program on PATH, found before fork so that the child
// only has to exec.
std::string FindOnPath(const char* program) {
    const char* path = getenv("PATH");
    std::string folders = path && *path ? path : "/usr/local/bin:/usr/bin:/bin";
    size_t start = 0;
    while (start <= folders.size()) {
        size_t end = folders.find(':', start);
        if (end == std::string::npos) end = folders.size();
        std::string folder = folders.substr(start, end - start);
        if (folder.empty()) folder = ".";
        std::string candidate = folder + "/" + program;
        if (access(candidate.c_str(), X_OK) == 0) return candidate;
        start = end + 1;
    }
    return std::string();
}

// Starts program with argv without waiting for it. The intermediate child
// exits at once and is reaped here, so the program is re-parented and never
// lingers as a zombie of the saver. True when the program was started.
bool SpawnDetached(const std::string& program, char* const argv[]) {
    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0) return false;
    pid_t child = fork();
    if (child < 0) {
        close(report[0]);
        close(report[1]);
        return false;
    }
    if (child == 0) {
        close(report[0]);
        setsid();
        pid_t grandchild = fork();
        if (grandchild == 0) {
            int devNull = open("/dev/null", O_RDONLY);
            if (devNull >= 0) dup2(devNull, STDIN_FILENO);
            execv(program.c_str(), argv);
            // The exec failed: tell the parent through the pipe.
            char failed = 1;
            ssize_t ignored = write(report[1], &failed, 1);
            (void)ignored;
            _exit(kExecFailed);
        }
        _exit(grandchild < 0 ? 1 : 0);
    }
    close(report[1]);
    int status = 0;
    waitpid(child, &status, 0);
    // The pipe closes on a successful exec; a byte in it means exec failed.
    char failed = 0;
    ssize_t got = read(report[0], &failed, 1);
    close(report[0]);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 && got == 0;
}
}  // namespace

bool ShellOpen(const char* target) {
    if (!target || !*target) return false;
    std::string opener = FindOnPath(kOpener);
    if (opener.empty()) return false;
    // A target that starts with "-" would read as an option of the opener.
    std::string argument = target[0] == '-' ? std::string("./") + target : std::string(target);
    char* argv[] = {const_cast<char*>(kOpener), const_cast<char*>(argument.c_str()), nullptr};
    return SpawnDetached(opener, argv);
}

bool ShellConfigure(const char*) {
    // The Linux saver file has its own name; configuration is always the
    // running program's.
    char program[kModulePathSize];
    if (!GetProgramPath(program, sizeof program)) return false;
    char* argv[] = {program, const_cast<char*>(kConfigureArgument), nullptr};
    return SpawnDetached(program, argv);
}
