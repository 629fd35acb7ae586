#ifndef QUORVEL_SER2NETSERVER_H
#define QUORVEL_SER2NETSERVER_H

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace testsupport {

class Pty;

// A loopback port nobody listened on a moment ago.
quint16 freeLoopbackPort();

// A real ser2net in the foreground, on 127.0.0.1 at a port free when it was
// made, serving the slave of a pty the test holds: as raw TCP or as telnet
// with RFC 2217. Stopped (and started again) on that same port; killed at
// the end. Its messages go to the test's output.
class Ser2NetServer
{
public:
    enum Mode { RawTcp, Rfc2217 };

    Ser2NetServer(const Pty &pty, Mode mode);
    Ser2NetServer(const QString &slavePath, Mode mode);
    ~Ser2NetServer() { stop(); }

    // Returns once it listens; false when it did not come up.
    bool start();
    void stop();
    // rfc2217://127.0.0.1:PORT or socket://127.0.0.1:PORT
    QString name() const;

private:
    bool listening() const;

    QTemporaryDir dir;
    QString slavePath;
    Mode mode;
    quint16 port = freeLoopbackPort();
    QProcess process;
};

} // namespace testsupport

#endif // QUORVEL_SER2NETSERVER_H
