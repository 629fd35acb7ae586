// Network ports against a real ser2net serving a pty the test holds; the
// port names and the telnet codec on their own.
#include "commandline.h"
#include "networkaddress.h"
#include "networklink.h"
#include "portlink.h"
#include "rfc2217codec.h"
#include "ser2netserver.h"
#include "testsupport.h"

#include <QComboBox>
#include <QDeadlineTimer>
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QSettings>
#include <QStatusBar>

#include <numeric>

using namespace testsupport;
using Mode = Ser2NetServer::Mode;
Q_DECLARE_METATYPE(Mode)

namespace {

// What the codec made of a server's bytes fed in chunks of chunkSize:
// "data|reply|events", each event as kind:setting:value.
QString decoded(const QByteArray &bytes, int chunkSize, int *mostHeld)
{
    Rfc2217Codec codec;
    codec.start();
    QString data, reply, events;
    for (int done = 0; done < bytes.size(); done += chunkSize) {
        const Rfc2217Codec::Decoded part = codec.decode(bytes.mid(done, chunkSize));
        data += part.data.toHex();
        reply += part.reply.toHex();
        for (const Rfc2217Codec::Event &event : part.events)
            events += QStringLiteral("%1:%2:%3 ")
                              .arg(event.kind)
                              .arg(int(event.setting))
                              .arg(event.value);
        *mostHeld = qMax(*mostHeld, codec.bufferedBytes());
    }
    return data + '|' + reply + '|' + events.trimmed();
}

bool openLink(NetworkLink *link, const QString &name)
{
    NetworkAddress address;
    QString error;
    NetworkAddress::parse(name, &address, &error);
    link->setAddress(address);
    QSignalSpy opened(link, &Link::opened);
    QSignalSpy failed(link, &Link::openFailed);
    return link->open() && QTest::qWaitFor([&] { return !opened.isEmpty() || !failed.isEmpty(); })
            && !opened.isEmpty();
}

// Adds a network port through the port list's last entry; answer fills in
// the dialog.
void addThroughDialog(QWidget *window, ModalHandler &boxes, ModalHandler::Answer answer)
{
    auto *ports = byName<QComboBox>(window, "portCombo");
    boxes.answerNext(std::move(answer));
    ports->setFocus();
    ports->setCurrentIndex(ports->count() - 2);
    QTest::keyClick(ports, Qt::Key_End); // activates the entry, and the dialog
}

QString statusText(MainWindow &window)
{
    return window.statusBar()->currentMessage();
}

QByteArray everyByte()
{
    QByteArray bytes(256, '\0');
    std::iota(bytes.begin(), bytes.end(), '\0');
    return bytes;
}

} // namespace

class NetworkTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { useFreshSettings(); }
    void addresses_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected"); // the name formatted back, or "!" and the error
        QTest::newRow("ipv4") << "rfc2217://127.0.0.1:2000"
                              << "rfc2217://127.0.0.1:2000";
        QTest::newRow("name, scheme in capitals") << " SOCKET://Lab-Pi.local:65535 "
                                                  << "socket://Lab-Pi.local:65535";
        QTest::newRow("ipv6") << "rfc2217://[::1]:7000"
                              << "rfc2217://[::1]:7000";
        QTest::newRow("bare ipv6") << "rfc2217://::1:7000"
                                   << "!方括号";
        QTest::newRow("unclosed ipv6") << "rfc2217://[::1:7000"
                                       << "!缺少“]”";
        QTest::newRow("ipv4 in brackets") << "socket://[1.2.3.4]:7"
                                          << "!不是 IPv6";
        QTest::newRow("no port") << "rfc2217://host"
                                 << "!缺少端口号";
        QTest::newRow("port 0") << "rfc2217://host:0"
                                << "!1 到 65535";
        QTest::newRow("port too big") << "socket://host:65536"
                                      << "!1 到 65535";
        QTest::newRow("port not a number") << "socket://host:20a"
                                           << "!1 到 65535";
        QTest::newRow("no host") << "socket://:2000"
                                 << "!缺少主机名";
        QTest::newRow("bad ipv4") << "socket://999.1.1.1:2000"
                                  << "!无效";
        QTest::newRow("bad name") << "socket://lab_pi:2000"
                                  << "!无效";
        QTest::newRow("device path") << "/dev/ttyUSB0"
                                     << "!不是网络端口名";
    }
    void addresses()
    {
        QFETCH(QString, name);
        QFETCH(QString, expected);
        NetworkAddress address;
        QString error;
        const QString shown =
                NetworkAddress::parse(name, &address, &error) ? address.toString() : '!' + error;
        QCOMPARE(NetworkAddress::looksLikeNetworkName(name), !name.startsWith('/'));
        // An error names what was given.
        QVERIFY2(expected.startsWith('!') ? shown.startsWith('!') && shown.contains(expected.mid(1))
                                 && shown.contains(name.trimmed())
                                          : shown == expected,
                 qPrintable(shown));
    }

    void codec_data()
    {
        QTest::addColumn<QByteArray>("server");
        QTest::addColumn<QString>("expected");
        const auto hex = [](const char *text) { return QByteArray::fromHex(text); };
        QTest::newRow("0xFF doubled") << hex("41ffff42") << "41ff42||";
        QTest::newRow("NOP, GA, stray SE ignored") << hex("41fff142fff9fff0") << "4142||";
        QTest::newRow("our requests taken, no answer") << hex("fffd00fffb00fffd2c") << "||";
        QTest::newRow("unknown options refused once")
                << hex("fffd18fffb01fffd18fffb01") << "|fffc18fffe01|";
        QTest::newRow("option in force dropped") << hex("fffd00fffe00fffe00") << "|fffc00|";
        QTest::newRow("com port refused") << hex("fffe2cfffe2c") << "||3:11:0";
        QTest::newRow("modem state") << hex("fffa2c6bb0fff0") << "||1:11:176";
        QTest::newRow("baud rate, escaped") << hex("fffa2c650001ffff00fff0") << "||0:0:130816";
        QTest::newRow("DTR confirmed") << hex("fffa2c6908fff0") << "||0:6:8";
        QTest::newRow("malformed confirmation") << hex("fffa2c6500fff0fffa2cfff0") << "||";
        QTest::newRow("command ends a subnegotiation")
                << hex("fffa2c6b10fffb01fffa2c6b20fff0") << "|fffe01|1:11:32";
        QTest::newRow("over 1 KiB dropped")
                << hex("fffa2c6b") + QByteArray(1100, '\x10') + hex("fff0fffa2c6b20fff0")
                << "||1:11:32";
        QTest::newRow("CR NUL outside binary") << hex("0d00410d0a0d") << "0d410d0a0d||";
        QTest::newRow("CR NUL in binary") << hex("fffb000d00") << "0d00||";
    }
    void codec()
    {
        QFETCH(QByteArray, server);
        QFETCH(QString, expected);
        int mostHeld = 0;
        QCOMPARE(decoded(server, server.size(), &mostHeld), expected);
        QCOMPARE(decoded(server, 1, &mostHeld), expected);
        QVERIFY(mostHeld <= Rfc2217Codec::maxSubnegotiation);
    }

    void traffic_data()
    {
        QTest::addColumn<Mode>("mode");
        QTest::newRow("socket://") << Ser2NetServer::RawTcp;
        QTest::newRow("rfc2217://") << Ser2NetServer::Rfc2217;
    }
    void traffic()
    {
        QFETCH(Mode, mode);
        Pty pty;
        Ser2NetServer server(pty, mode);
        QVERIFY(server.start());
        NetworkLink link;
        QSignalSpy notices(&link, &Link::notice);
        QVERIFY(openLink(&link, server.name()));
        const QByteArray out = everyByte() + QByteArray(64, '\xff') + QByteArray("\r\0\r\n", 4)
                + randomBytes(300000, 1);
        QCOMPARE(link.write(out), qint64(out.size()));
        QVERIFY(link.bytesToWrite() > 0 && link.bytesToWrite() <= out.size());
        QVERIFY(pty.waitForBytes(out.size(), 30000));
        QCOMPARE(pty.take(), out);
        QTRY_COMPARE(link.bytesToWrite(), qint64(0));
        // The pty is surely open at the server's end now.
        const QByteArray in = randomBytes(200000, 2) + everyByte() + QByteArray(64, '\xff');
        QByteArray got;
        connect(&link, &Link::readyRead, this, [&] { got += link.readAll(); });
        QVERIFY(pty.write(in));
        QTRY_VERIFY_WITH_TIMEOUT(got.size() >= in.size(), 30000);
        QCOMPARE(got, in);
        // Raw TCP says once that the settings are the server's; RFC 2217 needs no word.
        QCOMPARE(notices.size(), mode == Ser2NetServer::RawTcp ? 1 : 0);

        // The server stops: one loss; nothing listens: refused, naming the address.
        QSignalSpy lost(&link, &Link::lost), failed(&link, &Link::openFailed);
        server.stop();
        QVERIFY(lost.wait(5000));
        QVERIFY2(lost[0][0].toString().contains(server.name()), qPrintable(lost[0][0].toString()));
        QVERIFY(link.isOpen());
        link.close();
        const QDeadlineTimer fiveSeconds(5000);
        QVERIFY(!openLink(&link, server.name()) && !fiveSeconds.hasExpired() && !link.isOpen());
        const QString reason = failed.value(0).value(0).toString();
        QVERIFY2(reason.contains(server.name()) && reason.contains("拒绝"), qPrintable(reason));
        // Back on the same port, and the same link opens again.
        QVERIFY(server.start());
        QVERIFY(openLink(&link, server.name()));
        link.write("again");
        QVERIFY(pty.waitForBytes(5));
        QCOMPARE(pty.take(), QByteArray("again"));
        QCOMPARE(lost.size(), 1);
    }

    void lineSettings()
    {
        Pty pty;
        Ser2NetServer server(pty, Ser2NetServer::Rfc2217);
        QVERIFY(server.start());
        NetworkLink link;
        Link::LineSettings wanted{ 115200, QSerialPort::Data7, QSerialPort::EvenParity,
                                   QSerialPort::TwoStop, QSerialPort::NoFlowControl };
        link.setLineSettings(wanted);
        QVERIFY(openLink(&link, server.name()));
        // A pty keeps 8 bits without parity whatever it is told: the server's
        // confirmation speaks for those two.
        QTRY_COMPARE(link.serverSettings(), wanted);
        QTRY_COMPARE(pty.speeds(), QStringLiteral("115200/115200"));
        QVERIFY(pty.attributes().c_cflag & CSTOPB);
        wanted = { 57600, QSerialPort::Data6, QSerialPort::OddParity, QSerialPort::OneStop,
                   QSerialPort::SoftwareControl };
        link.setLineSettings(wanted);
        QTRY_COMPARE(link.serverSettings(), wanted);
        QTRY_COMPARE(pty.speeds(), QStringLiteral("57600/57600"));
        QVERIFY(!(pty.attributes().c_cflag & CSTOPB));
        // ser2net cannot set DTR on a pty and does not confirm it: one notice,
        // and the line goes on working.
        QSignalSpy notices(&link, &Link::notice);
        QVERIFY(link.setDataTerminalReady(false) && link.setRequestToSend(false));
        QVERIFY(notices.wait(NetworkLink::confirmTimeoutMs + 3000));
        QVERIFY2(notices[0][0].toString().contains("DTR、RTS"),
                 qPrintable(notices[0][0].toString()));
        link.write("still here");
        QVERIFY(pty.waitForBytes(10));
        QCOMPARE(pty.take(), QByteArray("still here"));
        QCOMPARE(notices.size(), 1);
    }

    // As "quorvel --port rfc2217://... --baud 115200 --open" is run.
    void commandLineOpensNetworkPort()
    {
        Pty pty;
        Ser2NetServer server(pty, Ser2NetServer::Rfc2217);
        QVERIFY(server.start());
        QTemporaryDir config;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_CONFIG_HOME", config.path());
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(QUORVEL_BINARY, { "--port", server.name(), "--baud", "115200", "--open" });
        QTRY_COMPARE_WITH_TIMEOUT(pty.speeds(), QStringLiteral("115200/115200"), 20000);
        program.terminate();
        QVERIFY(program.waitForFinished(10000));
    }

    void windowTraffic_data() { traffic_data(); }
    void windowTraffic()
    {
        QFETCH(Mode, mode);
        Rig r(mode);
        QVERIFY(r.open);
        // Sent while open: the line takes the new rate at once.
        if (mode == Ser2NetServer::Rfc2217) {
            auto *rates = byName<QComboBox>(r.w, "baudCombo");
            rates->setCurrentIndex(rates->findText("115200"));
            QTRY_COMPARE(r.pty.speeds(), QStringLiteral("115200/115200"));
        }
        // A periodic send arrives exactly, and the device's bytes are shown,
        // counted and captured, 0xFF included.
        r.set("hexSendCheck1", false);
        sendArea(r.w, 1)->setPlainText("ping");
        r.spin("autoSendIntervalSpin1")->setValue(10);
        r.set("autoSendCheck1", true);
        QVERIFY(r.pty.waitForBytes(40));
        r.set("autoSendCheck1", false);
        const QByteArray wire = r.wire();
        QCOMPARE(wire, QByteArray("ping").repeated(int(r.count("发帧数"))));
        QVERIFY(r.startCapture(r.dir.filePath("capture.txt")));
        const QByteArray in = QByteArray("\xff\xff\x00\xff", 4) + everyByte();
        QVERIFY(r.take(in));
        QTRY_VERIFY(displaySettled(r.w));
        QCOMPARE(r.count("收字节数"), qint64(in.size()));
        const QString pane = receiveText(r.w);
        QVERIFY2(pane.contains(in.left(64).toHex(' ').toUpper()), qPrintable(pane.left(200)));
        click(findButton(r.w, "停止保存"));
        QFile capture(r.dir.filePath("capture.txt"));
        QVERIFY(capture.open(QIODevice::ReadOnly));
        QCOMPARE(QByteArray::fromHex(capture.readAll()), in);
        // A file rotation waits for each answer: with the clock stopped only
        // the answer releases line 2.
        QVERIFY(r.load("L1\nL2\n"));
        r.pty.take();
        FrozenClock clock;
        r.press("startFileRotationButton");
        QVERIFY(r.sentExactly("L1"));
        QVERIFY(r.feed("ok"));
        QVERIFY(r.sentExactly("L1L2"));
        QCOMPARE(r.boxes.count(), 2); // the two file dialogs only
    }

    // ser2net stops: one message, the port closed; back: open again with
    // the settings shown, tried on the program's clock.
    void lossAndReturn()
    {
        Rig r(Ser2NetServer::Rfc2217);
        QVERIFY(r.open);
        // Typed, and taken once finished.
        QLineEdit *rate = byName<QComboBox>(r.w, "baudCombo")->lineEdit();
        rate->clear();
        QTest::keyClicks(rate, "57600");
        QTest::keyClick(rate, Qt::Key_Return);
        QTRY_COMPARE(r.pty.speeds(), QStringLiteral("57600/57600"));
        FrozenClock clock;
        r.server->stop();
        QVERIFY(r.boxes.waitForCount(1));
        QCOMPARE(r.boxes.last().title, QStringLiteral("串口错误"));
        QVERIFY2(r.boxes.last().text.contains(r.server->name()), qPrintable(r.boxes.last().text));
        auto *button = byName<QAbstractButton>(r.w, "openButton");
        QCOMPARE(button->text(), QStringLiteral("打开串口"));
        QVERIFY(statusText(r.window).contains("正在等待重新连接"));
        // Refused while it is away, quietly.
        auto *link = static_cast<PortLink *>(linkOf(r.w));
        clock.advance(PortLink::retryMs);
        QVERIFY(link->isConnecting());
        QTRY_VERIFY(!link->isConnecting());
        // A rate chosen meanwhile is the one the line gets back.
        auto *rates = byName<QComboBox>(r.w, "baudCombo");
        rates->setCurrentIndex(rates->findText("38400"));
        QVERIFY(r.server->start());
        clock.advance(PortLink::retryMs);
        QTRY_COMPARE(button->text(), QStringLiteral("关闭串口"));
        QTRY_COMPARE(r.pty.speeds(), QStringLiteral("38400/38400"));
        QVERIFY(statusText(r.window).contains("重新连接"));
        QVERIFY(sendFromArea1(r.w, "back", false));
        QVERIFY(r.pty.waitForBytes(4));
        QVERIFY(r.pty.collected().endsWith("back"));
        QCOMPARE(r.boxes.count(), 1);
    }

    // The last entry of the list adds a port; a name that does not parse is
    // refused there; nothing listening is told within 5 s; the list keeps
    // what was added across a restart.
    void addedThroughTheList()
    {
        Pty pty;
        Ser2NetServer server(pty, Ser2NetServer::RawTcp);
        const QString port = server.name().section(':', -1);
        {
            ModalHandler boxes;
            MainWindow window;
            auto *ports = byName<QComboBox>(&window, "portCombo");
            QCOMPARE(ports->itemText(ports->count() - 1), QStringLiteral("网络端口…"));
            const QString before = ports->currentText();
            addThroughDialog(&window, boxes, [&](QWidget *dialog) {
                dialog->findChild<QLineEdit *>("networkHostEdit")->setText("lab_pi");
                // From the dialog's own loop, where the error box is answered.
                QTimer::singleShot(0, dialog, [dialog] {
                    qobject_cast<QDialog *>(dialog)->accept(); // refused, with an error box
                    qobject_cast<QDialog *>(dialog)->reject();
                });
            });
            QCOMPARE(boxes.count(), 2);
            QCOMPARE(boxes.last().title, QStringLiteral("错误"));
            QCOMPARE(ports->currentText(), before);
            addThroughDialog(&window, boxes, [&](QWidget *dialog) {
                dialog->findChild<QLineEdit *>("networkHostEdit")->setText(" 127.0.0.1 ");
                dialog->findChild<QSpinBox *>("networkPortSpin")->setValue(port.toInt());
                dialog->findChild<QComboBox *>("networkProtocolCombo")->setCurrentIndex(1);
                qobject_cast<QDialog *>(dialog)->accept();
            });
            QCOMPARE(ports->currentText(), server.name());
            auto *button = byName<QAbstractButton>(&window, "openButton");
            const QDeadlineTimer fiveSeconds(5000);
            click(button);
            QVERIFY(boxes.waitForCount(4, 5000) && !fiveSeconds.hasExpired());
            QVERIFY2(boxes.last().title == "错误" && boxes.last().text.contains(server.name())
                             && boxes.last().text.contains("拒绝"),
                     qPrintable(boxes.last().text));
            QCOMPARE(button->text(), QStringLiteral("打开串口"));
            QVERIFY(server.start());
            click(button);
            QTRY_COMPARE(button->text(), QStringLiteral("关闭串口"));
            QVERIFY(statusText(window).contains("原始 TCP"));
            QVERIFY(window.close());
        }
        MainWindow restarted;
        QVERIFY(byName<QComboBox>(&restarted, "portCombo")->findText(server.name()) >= 0);
        QSettings settings("Quorvel", "Quorvel");
        QCOMPARE(settings.childKeys().size(), 21);
    }
};

QUORVEL_TEST_MAIN(NetworkTest)
#include "tst_network.moc"
