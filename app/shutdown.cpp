#include "app/shutdown.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>

#include "app/string_table.h"

extern char** environ;

namespace klemora::app {

bool SystemPowerControl::requestPowerOff() {
    char program[] = "systemctl";
    char verb[] = "poweroff";
    char* argv[] = {program, verb, nullptr};
    pid_t pid = 0;
    if (::posix_spawnp(&pid, program, nullptr, nullptr, argv, environ) != 0) return false;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

int ShutdownPc(PowerControl& power, UserInterface& ui) {
    if (power.requestPowerOff()) return 1;
    ui.showMessage(loadString(126), Icon::Stop);
    return -1;
}

}  // namespace klemora::app
