#include "ser2netserver.h"
#include "testsupport.h"

#include <QFile>
#include <QStandardPaths>
#include <QTcpServer>

namespace testsupport {

quint16 freeLoopbackPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

Ser2NetServer::Ser2NetServer(const Pty &pty, Mode mode)
    : Ser2NetServer(pty.slavePath(), mode)
{
}

Ser2NetServer::Ser2NetServer(const QString &slavePath, Mode mode)
    : slavePath(slavePath)
    , mode(mode)
{
    process.setProcessChannelMode(QProcess::ForwardedChannels);
}

bool Ser2NetServer::start()
{
    QFile config(dir.filePath(QStringLiteral("ser2net.yaml")));
    // local: a pty has no modem lines to wait for.
    if (!config.open(QIODevice::WriteOnly)
        || config.write(QStringLiteral("connection: &quorvel\n  accepter: %1tcp,127.0.0.1,%2\n"
                                       "  connector: serialdev,%3,local\n")
                                .arg(mode == Rfc2217 ? "telnet(rfc2217)," : "")
                                .arg(port)
                                .arg(slavePath)
                                .toUtf8())
                < 0)
        return false;
    config.close();
    // /usr/sbin is not on every user's PATH. -n -d: in the foreground;
    // -u: no lock files; -P: no pid file in /run.
    process.start(QStandardPaths::findExecutable(QStringLiteral("ser2net"),
                                                 { "/usr/sbin", "/usr/bin", "/usr/local/sbin" }),
                  { "-n", "-d", "-u", "-c", config.fileName(), "-P", dir.filePath("pid") });
    return process.waitForStarted(5000)
            && QTest::qWaitFor(
                    [this] { return listening() || process.state() == QProcess::NotRunning; },
                    10000)
            && process.state() == QProcess::Running;
}

void Ser2NetServer::stop()
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(5000))
        process.kill();
    process.waitForFinished(5000);
}

// Read from the kernel's table: a trial connection would open the pty.
bool Ser2NetServer::listening() const
{
    QFile table(QStringLiteral("/proc/net/tcp"));
    const QString entry =
            QStringLiteral(" 0100007F:%1 00000000:0000 0A ").arg(port, 4, 16, QChar('0'));
    return table.open(QIODevice::ReadOnly) && table.readAll().contains(entry.toUpper().toLatin1());
}

QString Ser2NetServer::name() const
{
    return QStringLiteral("%1://127.0.0.1:%2")
            .arg(mode == Rfc2217 ? "rfc2217" : "socket")
            .arg(port);
}

} // namespace testsupport
