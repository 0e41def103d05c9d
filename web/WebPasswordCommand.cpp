#include "web/WebPasswordCommand.h"

#include "settings/Settings.h"
#include "web/WebAccount.h"

#include <termios.h>
#include <unistd.h>

#include <string>

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr size_t kLongestPassword = 1024;

// One line without its end; the terminal does not show it.
std::string readSecretLine(std::FILE* input)
{
    const int fd = ::fileno(input);
    termios saved{};
    const bool terminal = ::isatty(fd) != 0 && ::tcgetattr(fd, &saved) == 0;
    if (terminal) {
        termios quiet = saved;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        ::tcsetattr(fd, TCSAFLUSH, &quiet);
        std::fputs("Password: ", stderr);
    }
    std::string line;
    for (int c = std::fgetc(input); c != EOF && c != '\n' && line.size() <= kLongestPassword; c = std::fgetc(input))
        line.push_back(char(c));
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    if (terminal) {
        ::tcsetattr(fd, TCSAFLUSH, &saved);
        std::fputs("\n", stderr);
    }
    return line;
}

void forget(std::string& secret)
{
    volatile char* bytes = secret.data();
    for (size_t i = 0; i < secret.size(); ++i)
        bytes[i] = 0;
    secret.clear();
}

}  // namespace

int setWebPassword(const QString& user, std::FILE* input, std::FILE* errors)
{
    if (const QString problem = webUserProblem(user); !problem.isEmpty()) {
        std::fprintf(errors, "houndly: %s\n", qPrintable(problem));
        return kExitUsage;
    }
    std::string password = readSecretLine(input);
    if (password.empty() || password.size() > kLongestPassword) {
        forget(password);
        std::fprintf(errors, "houndly: the password is one line of 1 to %zu bytes on standard input\n", kLongestPassword);
        return kExitUsage;
    }
    // The rest of the settings stay as they are in the file.
    if (!sLoadSettings()) {
        forget(password);
        std::fputs("houndly: houndly.ini cannot be read; nothing was stored\n", errors);
        return kExitFailure;
    }
    Settings.EXT.WEBHASH = makeWebHash(user, password);
    forget(password);
    Settings.EXT.WEBUSER = user;
    if (!sSaveSettings()) {
        std::fputs("houndly: houndly.ini could not be written\n", errors);
        return kExitFailure;
    }
    return 0;
}
