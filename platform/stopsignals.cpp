#include "platform/stopsignals.h"

#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace platform {

namespace {

StopSignals* g_current = nullptr;

#ifdef Q_OS_UNIX
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
int g_pipe[2] = {-1, -1};

void onSignal(int signal) {
    // The interrupted code may be about to read errno: write() must not change it.
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(signal);
    [[maybe_unused]] auto written = ::write(g_pipe[1], &byte, 1);
    errno = saved;
}
#endif

} // namespace

StopSignals::StopSignals(QObject* parent) : QObject(parent) {
    g_current = this;
#ifdef Q_OS_UNIX
    if (::pipe(g_pipe) != 0) return;
    for (int fd : g_pipe) {
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        ::fcntl(fd, F_SETFL, O_NONBLOCK);
    }
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &StopSignals::onReadable);
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    for (int signal : kSignals)
        ::sigaction(signal, &action, nullptr);
#endif
}

StopSignals::~StopSignals() {
#ifdef Q_OS_UNIX
    for (int signal : kSignals)
        std::signal(signal, SIG_DFL);
    delete m_notifier;
    for (int& fd : g_pipe) {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
#endif
    g_current = nullptr;
}

StopSignals* StopSignals::current() {
    return g_current;
}

int StopSignals::poll() {
#ifdef Q_OS_UNIX
    unsigned char byte = 0;
    while (::read(g_pipe[0], &byte, 1) == 1)
        if (m_raised == 0) m_raised = byte;
#endif
    return m_raised;
}

int StopSignals::descriptor() {
#ifdef Q_OS_UNIX
    return g_current ? g_pipe[0] : -1;
#else
    return -1;
#endif
}

void StopSignals::onReadable() {
    if (poll() != 0) emit stopped();
}

} // namespace platform
