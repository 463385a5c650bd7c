#include "Weston.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QThread>

namespace {

int sessionCounter = 0;

} // namespace

WestonSession::WestonSession(bool xwayland)
{
    QFile::setPermissions(m_runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    m_socket = QString("zc-test-%1-%2").arg(QCoreApplication::applicationPid()).arg(++sessionCounter);
    m_work.write("weston.ini", QString("[core]\nidle-time=0\n\n[shell]\nbackground-color=0x%1\npanel-position=none\n"
                                       "locking=false\n")
                                   .arg(kBackground, 8, 16, QChar('0'))
                                   .toUtf8());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *v : {"DISPLAY", "WAYLAND_DISPLAY", "WAYLAND_SOCKET", "QT_QPA_PLATFORM"})
        env.remove(v);
    env.insert("XDG_RUNTIME_DIR", m_runtime.path());
    m_weston.setProcessEnvironment(env);
    m_weston.setWorkingDirectory(m_work.path());
    m_weston.setProcessChannelMode(QProcess::MergedChannels);
    // --debug lets weston-screenshooter take pictures.
    QStringList args = {"--backend=headless-backend.so", "--socket=" + m_socket, "--use-pixman", "--debug",
                        "--width=800", "--height=600", "--config=" + m_work.file("weston.ini")};
    if (xwayland)
        args << "--xwayland";
    m_weston.start("weston", args);
    if (!m_weston.waitForStarted(10000)) {
        m_log = "weston did not start: " + m_weston.errorString();
        return;
    }
    const QRegularExpression listening("xserver listening on display (:\\d+)");
    for (int i = 0; i < 600 && !m_ready; ++i) {
        m_weston.waitForReadyRead(100);
        m_log += QString::fromLocal8Bit(m_weston.readAll());
        if (m_weston.state() != QProcess::Running)
            break;
        if (!QFileInfo::exists(m_runtime.file(m_socket)))
            continue;
        if (xwayland) {
            const QRegularExpressionMatch m = listening.match(m_log);
            if (!m.hasMatch())
                continue;
            m_xDisplay = m.captured(1);
        }
        m_ready = true;
    }
}

WestonSession::~WestonSession()
{
    if (m_weston.state() == QProcess::NotRunning)
        return;
    m_weston.terminate();
    if (!m_weston.waitForFinished(10000)) {
        m_weston.kill();
        m_weston.waitForFinished(10000);
    }
}

QProcessEnvironment WestonSession::clientEnvironment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *v : {"DISPLAY", "WAYLAND_SOCKET", "QT_QPA_PLATFORM", "XDG_SESSION_TYPE"})
        env.remove(v);
    env.insert("XDG_RUNTIME_DIR", m_runtime.path());
    env.insert("WAYLAND_DISPLAY", m_socket);
    if (!m_xDisplay.isEmpty())
        env.insert("DISPLAY", m_xDisplay);
    return env;
}

QImage WestonSession::screenshot()
{
    TempFolder shots;
    QProcess shooter;
    shooter.setProcessEnvironment(clientEnvironment());
    shooter.setWorkingDirectory(shots.path());
    shooter.start("weston-screenshooter", {});
    if (!shooter.waitForFinished(30000) || shooter.exitCode() != 0)
        return {};
    const QStringList files = QDir(shots.path()).entryList({"*.png"}, QDir::Files);
    return files.size() == 1 ? QImage(shots.file(files.first())).convertToFormat(QImage::Format_RGB32) : QImage();
}
