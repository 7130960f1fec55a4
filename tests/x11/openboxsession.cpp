#include "openboxsession.h"

#include "xprobe.h"

#include <QDeadlineTimer>
#include <QTest>

OpenboxSession::OpenboxSession(XProbe &probe) : m_probe(probe) {
    m_process.setStandardOutputFile(QProcess::nullDevice());
    m_process.setStandardErrorFile(QProcess::nullDevice());
    m_process.start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
    if (!m_process.waitForStarted(10000) ||
        !QTest::qWaitFor([&] { return m_probe.WmSelectionOwner() != XCB_WINDOW_NONE; }, 20000))
        return;
    // Owning the selection is not yet managing: a map request sent while
    // openbox still starts up can get lost. Ready means a window of ours got
    // framed; map it again now and then until that happens.
    const xcb_window_t canary = m_probe.CreateWindow();
    const QDeadlineTimer deadline(20000);
    while (!m_running && !deadline.hasExpired()) {
        m_probe.Map(canary);
        m_running = QTest::qWaitFor([&] { return m_probe.IsManaged(canary, 1); }, 1000);
    }
    m_probe.Destroy(canary);
}

OpenboxSession::~OpenboxSession() {
    m_process.terminate();
    if (!m_process.waitForFinished(10000)) {
        m_process.kill();
        m_process.waitForFinished(10000);
    }
    // The next test must start without a manager.
    [[maybe_unused]] const bool gone =
        QTest::qWaitFor([&] { return m_probe.WmSelectionOwner() == XCB_WINDOW_NONE; }, 10000);
}
