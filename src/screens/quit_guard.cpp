#include "quit_guard.h"

#include "ask_text.h"

#include "model/localization.h"
#include "narrowing_question.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QSessionManager>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>

#include <QCoroSignal>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace lirra {

namespace {

int signalPipe[2] = {-1, -1};
std::vector<QPointer<QuitGuard>> &guards()
{
    static std::vector<QPointer<QuitGuard>> all;
    return all;
}

// All a signal handler may safely do: one write to a pipe.
void onSignal(int number)
{
    const int saved = errno;
    const auto byte = static_cast<unsigned char>(number);
    static_cast<void>(::write(signalPipe[1], &byte, 1));
    errno = saved;
}

} // namespace

bool QuitGuard::catchSignals()
{
    if (signalPipe[0] >= 0)
        return true;
    if (!QCoreApplication::instance() || ::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    auto *notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, []() {
        unsigned char bytes[16];
        bool any = false;
        while (::read(signalPipe[0], bytes, sizeof bytes) > 0)
            any = true;
        if (!any)
            return;
        for (const QPointer<QuitGuard> &guard : guards()) {
            if (guard)
                guard->requestQuit(false);
        }
    });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(number, &action, nullptr);
    return true;
}

QuitGuard::QuitGuard(QWidget *window, Hooks hooks, QObject *parent)
    : QObject(parent)
    , m_window(window)
    , m_hooks(std::move(hooks))
{
    if (!m_hooks.confirmLoss)
        m_hooks.confirmLoss = [this](int sessions) { return confirmByDialog(sessions); };
    if (!m_hooks.exit)
        m_hooks.exit = []() { QCoreApplication::quit(); };
    if (!m_hooks.askAboutNarrowing)
        m_hooks.askAboutNarrowing = [this](const QString &name) { return lirra::askAboutNarrowing(m_window, name); };
    guards().push_back(this);
    if (m_window)
        m_window->installEventFilter(this);
    if (auto *application = qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        // However the event loop comes to an end, what can be saved is.
        connect(application, &QCoreApplication::aboutToQuit, this, &QuitGuard::saveNow);
        // The desktop session is ending: the data now, the windows' close after.
        connect(
            application, &QGuiApplication::commitDataRequest, this,
            [this](QSessionManager &) {
                saveNow();
                m_mayClose = true;
            },
            Qt::DirectConnection);
    }
}

QuitGuard::~QuitGuard()
{
    std::erase_if(guards(), [this](const QPointer<QuitGuard> &guard) { return !guard || guard == this; });
}

bool QuitGuard::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_window || event->type() != QEvent::Close || m_mayClose)
        return false;
    // The window stays until the practice is saved.
    event->ignore();
    requestQuit(true);
    return true;
}

void QuitGuard::requestQuit(bool byUser)
{
    quit(byUser);
}

void QuitGuard::startSave(bool keepNarrowing, bool tellNextStart)
{
    if (m_saving)
        return;
    m_saving = true;
    // The stop first, then the rest: a session is written once, with every
    // answer, and the save of what is kept finds it saved.
    auto run = [](QPointer<QuitGuard> self, bool keep, bool tell) -> QCoro::Task<> {
        if (self->m_hooks.stopSession) {
            QCoro::Task<> stopping = self->m_hooks.stopSession();
            co_await std::move(stopping);
        }
        if (!self)
            co_return;
        if (keep && self->m_hooks.keepNarrowing) {
            QCoro::Task<> keeping = self->m_hooks.keepNarrowing(tell);
            co_await std::move(keeping);
            if (!self)
                co_return;
        }
        QCoro::Task<int> saving = self->m_hooks.saveAll();
        const int inMemoryOnly = co_await std::move(saving);
        if (!self)
            co_return;
        self->m_saving = false;
        self->m_savedForQuit = true;
        self->m_inMemoryOnly = inMemoryOnly;
        emit self->saved(inMemoryOnly);
    };
    run(QPointer<QuitGuard>(this), keepNarrowing, tellNextStart);
}

QCoro::Task<> QuitGuard::quit(bool byUser)
{
    if (m_quitting)
        co_return;
    m_quitting = true;
    const QPointer<QuitGuard> self(this);
    // Practice on an unsaved narrowing: the user says what becomes of it;
    // without anyone to ask, it is saved.
    bool keepNarrowing = false;
    if (const std::optional<QString> name = m_hooks.unsavedNarrowing ? m_hooks.unsavedNarrowing() : std::nullopt) {
        keepNarrowing = true;
        if (byUser) {
            const KeepNarrowing choice = m_hooks.askAboutNarrowing(*name);
            if (!self)
                co_return;
            if (choice == KeepNarrowing::cancel) {
                m_quitting = false;
                co_return;
            }
            keepNarrowing = choice == KeepNarrowing::save;
        }
    }
    startSave(keepNarrowing, !byUser);
    if (!m_savedForQuit) {
        // Whether it ends in time or not, the app ends then.
        co_await qCoro(this, &QuitGuard::saved, std::chrono::milliseconds(saveTimeoutMs));
        if (!self)
            co_return;
    }
    const int atRisk = m_savedForQuit ? m_inMemoryOnly : 0;
    if (byUser && atRisk > 0 && !m_hooks.confirmLoss(atRisk)) {
        if (!self)
            co_return;
        // Practice goes on; the next close saves and asks again.
        m_quitting = false;
        m_savedForQuit = false;
        co_return;
    }
    if (!self)
        co_return;
    m_mayClose = true;
    if (m_window)
        m_window->close();
    m_hooks.exit();
}

void QuitGuard::saveNow()
{
    if (m_savedForQuit)
        return;
    QEventLoop loop;
    connect(this, &QuitGuard::saved, &loop, &QEventLoop::quit);
    QTimer::singleShot(saveTimeoutMs, &loop, &QEventLoop::quit);
    startSave(m_hooks.unsavedNarrowing && m_hooks.unsavedNarrowing(), true);
    if (!m_savedForQuit)
        loop.exec();
}

bool QuitGuard::confirmByDialog(int sessions)
{
    const QString question =
        sessions == 1 ? localized("sessionsWillBeLost.one") : localized("sessionsWillBeLost").arg(sessions);
    return confirmDestructive(m_window, QMessageBox::Warning, localized("quitTitle"), question,
                              localized("quitAndLose"));
}

} // namespace lirra
