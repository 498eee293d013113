// The Linux launcher: turns its command line into one request and always
// ends with 0, silently. "-config" starts the saver program that lies beside
// the launcher (else the installed one) in configuration mode as a process of
// its own; "-homepage" opens the maker's home page with the desktop's default
// handler for http addresses.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gio/gio.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <string>

#include "launcher_switches.h"

#ifndef CHRONOVALE_INSTALLED_SAVER
#define CHRONOVALE_INSTALLED_SAVER "/usr/libexec/xscreensaver/chronovale"
#endif

namespace {

constexpr char kSaverProgramName[] = "chronovale";
constexpr char kConfigureArgument[] = "-c";

std::string SaverBesideLauncher() {
    char path[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return std::string();
    path[length] = '\0';
    std::string folder(path);
    size_t slash = folder.rfind('/');
    if (slash == std::string::npos) return std::string();
    return folder.substr(0, slash + 1) + kSaverProgramName;
}

// Runs program with argv as a process of its own: the intermediate child
// ends at once and is reaped, so the saver outlives the launcher without
// ever being its zombie.
void StartDetached(const std::string& program, char* const argv[]) {
    pid_t child = fork();
    if (child < 0) return;
    if (child == 0) {
        setsid();
        pid_t grandchild = fork();
        if (grandchild == 0) {
            int devNull = open("/dev/null", O_RDONLY);
            if (devNull >= 0) dup2(devNull, STDIN_FILENO);
            execv(program.c_str(), argv);
            _exit(127);
        }
        _exit(0);
    }
    while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
}

}  // namespace

namespace launcher {

void OpenConfiguration() {
    std::string saver = SaverBesideLauncher();
    if (saver.empty() || access(saver.c_str(), X_OK) != 0) saver = CHRONOVALE_INSTALLED_SAVER;
    if (access(saver.c_str(), X_OK) != 0) return;
    char* argv[] = {const_cast<char*>(saver.c_str()), const_cast<char*>(kConfigureArgument),
                    nullptr};
    StartDetached(saver, argv);
}

void OpenHomePage() {
    char address[kTargetSize];
    FormatHomePage(address);
    g_app_info_launch_default_for_uri(address, nullptr, nullptr);
}

}  // namespace launcher

int main(int argc, char** argv) {
    // The text after the program name, as Windows hands it over.
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) commandLine += ' ';
        commandLine += argv[i];
    }
    launcher::CarryOut(commandLine.c_str());
    return 0;
}
