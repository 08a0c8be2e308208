#include "gui/PrivateDisplay.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

extern char** environ;

namespace gui {

namespace {

constexpr int DisplayFd = 3;  // where Xvfb writes its display number
constexpr int StartTimeoutMs = 10000;

}  // namespace

TPrivateDisplay::~TPrivateDisplay() {
    if (server_ <= 0) return;
    kill(server_, SIGTERM);
    int status = 0;
    while (waitpid(server_, &status, 0) < 0 && errno == EINTR) {
    }
}

bool TPrivateDisplay::Start(QString* err) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        if (err) *err = QStringLiteral("pipe: ") + QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], DisplayFd);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::string fd = std::to_string(DisplayFd);
    const char* args[] = {"Xvfb",         "-displayfd", fd.c_str(), "-screen", "0",
                          "1280x1024x24", "-nolisten",  "tcp",      nullptr};
    const int spawned = posix_spawnp(&server_, "Xvfb", &actions, nullptr, const_cast<char* const*>(args), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    if (spawned != 0) {
        server_ = -1;
        close(pipeEnds[0]);
        if (err) *err = QStringLiteral("Xvfb cannot be started: ") + QString::fromLocal8Bit(std::strerror(spawned));
        return false;
    }
    // Xvfb writes the number followed by a line end once it accepts clients.
    std::string number;
    pollfd reader{pipeEnds[0], POLLIN, 0};
    while (number.find('\n') == std::string::npos && poll(&reader, 1, StartTimeoutMs) > 0) {
        char buffer[16];
        const ssize_t got = read(pipeEnds[0], buffer, sizeof buffer);
        if (got <= 0) break;
        number.append(buffer, static_cast<size_t>(got));
    }
    close(pipeEnds[0]);
    if (number.find('\n') == std::string::npos) {
        if (err) *err = QStringLiteral("Xvfb named no display");
        return false;
    }
    number.resize(number.find('\n'));
    name_ = QStringLiteral(":") + QString::fromStdString(number);
    qputenv("DISPLAY", name_.toLocal8Bit());
    return true;
}

int RunQtTestsOnPrivateDisplay(int argc, char** argv, const QString& applicationName,
                               const std::function<bool(QString* err)>& onDisplay) {
    bool listing = false;
    for (int i = 1; i < argc; ++i) listing = listing || std::strcmp(argv[i], "--gtest_list_tests") == 0;
    TPrivateDisplay display;
    if (listing) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    } else {
        QString err;
        if (!display.Start(&err) || (onDisplay && !onDisplay(&err))) {
            std::fprintf(stderr, "%s\n", qPrintable(err));
            return 1;
        }
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(applicationName);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

}  // namespace gui
