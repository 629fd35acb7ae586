#ifndef QUORVEL_TESTSUPPORT_H
#define QUORVEL_TESTSUPPORT_H

#include "clock.h"
#include "mainwindow.h"
#include "ser2netserver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QSet>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>
#include <termios.h>

class QAbstractButton;
class QCheckBox;
class QPlainTextEdit;
class QSerialPort;
class Link;
class QSpinBox;
class QWidget;

namespace testsupport {

// Points HOME, XDG_CONFIG_HOME and XDG_RUNTIME_DIR at a fresh temporary
// folder and forces the offscreen platform, before QApplication exists.
void prepareEnvironment();

// A fresh, empty settings store for the next window (call in init()).
void useFreshSettings();

// A kernel pseudo-terminal. The window opens the slave by its path; the test
// plays the device on the master side, as a real line would behave: a frame
// in pieces with pauses, the pace of a baud rate, a device that stops reading.
class Pty
{
public:
    Pty();
    ~Pty();
    Pty(const Pty &) = delete;
    Pty &operator=(const Pty &) = delete;

    QString slavePath() const { return path; }

    // Writes to the master: the window receives these bytes.
    bool write(const QByteArray &bytes);
    // Writes the pieces pauseMs apart, the window running meanwhile (an
    // adapter passing a frame on in pieces).
    bool writePieces(const QList<QByteArray> &pieces, int pauseMs);
    // Writes at the pace of a line at baud, ten bits a byte.
    bool writePaced(const QByteArray &bytes, int baud);
    // While stopped nothing is read from the master, so what the window
    // writes fills the pty and then waits in the window's own buffer.
    void stopReading() { reading = false; }
    void resumeReading() { reading = true; }
    // Waits, processing events, until at least count bytes have arrived in
    // total since the last take(); returns whether they did.
    bool waitForBytes(int count, int timeoutMs = 5000);
    // All bytes collected so far, emptying the collection.
    QByteArray take();
    // Bytes collected so far without emptying.
    QByteArray collected();
    // Line settings the slave was given, read through the master.
    termios attributes() const;
    // The slave's exact speeds, "input/output", any rate included.
    QString speeds() const;
    // Simulates the device going away.
    void closeMaster();

private:
    // Collects whatever the window has written so far (non-blocking).
    QByteArray readAvailable();

    int masterFd = -1;
    QString path;
    QByteArray buffer;
    bool reading = true;
};

// Records every modal widget that appears and answers it. Arm before the
// action that opens it; answers are taken from a queue, falling back to the
// default answer (Yes or OK; file dialogs are cancelled).
class ModalHandler : public QObject
{
    Q_OBJECT
public:
    struct Record
    {
        QString title;
        QString text;
    };
    using Answer = std::function<void(QWidget *)>;

    explicit ModalHandler(QObject *parent = nullptr);

    // Queue: the next modal widget is a file dialog; choose this path.
    void chooseFile(const QString &path);
    // Queue: custom answer for the next modal widget.
    void answerNext(Answer answer);
    // Leave boxes open this long before answering (default 0).
    void setAnswerDelay(int ms) { answerDelayMs = ms; }

    int count() const { return records.size(); }
    Record last() const { return records.isEmpty() ? Record() : records.last(); }
    bool waitForCount(int n, int timeoutMs = 5000);

private:
    void poll();
    void answer(QWidget *widget);

    QTimer timer;
    QVector<Record> records;
    QList<Answer> answers;
    QSet<QWidget *> known;
    int answerDelayMs = 0;
};

// Finders: buttons by caption and by the title of the group they sit in.
QAbstractButton *findButton(QWidget *root, const QString &caption, const QString &groupTitle = {});
QCheckBox *findCheck(QWidget *root, const QString &caption, const QString &groupTitle = {});
QPlainTextEdit *receivePane(QWidget *root);
// The widget with this object name (the window's member name, e.g.
// "hexSendCheck2", "startFileRotationButton"); null when absent.
template<typename T = QWidget>
T *byName(QWidget *root, const QString &name)
{
    return root->findChild<T *>(name);
}
QPlainTextEdit *sendArea(QWidget *root, int area);
QSerialPort *serialPortOf(QWidget *window);
// The link the window's traffic goes through, whichever port is open.
Link *linkOf(QWidget *window);

// Selects the pty's slave in the port list and presses "打开串口".
bool openPort(QWidget *window, const QString &path);
// Presses the open/close button when it reads "关闭串口".
bool closePort(QWidget *window);
void click(QAbstractButton *button);
// The counter field of the given row ("发帧数", "收字节数", ...).
QString counter(QWidget *window, const QString &caption);
QString receiveText(QWidget *window);

// The pane and the counters show everything counted so far.
bool displaySettled(QWidget *window);

// Writes bytes as the device and waits until the window has counted them as
// one frame (with no frame gap: one frame a read).
bool receiveChunk(QWidget *window, Pty &pty, const QByteArray &bytes);

// Sends text from area 1 with its own "16进制" option as given.
bool sendFromArea1(QWidget *window, const QString &text, bool hex);

// Stops the program's clock for as long as it lives: timers on it fire only
// when the test moves it on, at once and in order.
struct FrozenClock
{
    FrozenClock() { programClock().freeze(); }
    ~FrozenClock() { programClock().thaw(); }
    void advance(qint64 ms) { programClock().advance(ms); }
};

// Random bytes, the same for the same seed.
QByteArray randomBytes(int size, quint32 seed);

// A window with its port open on a fresh pseudo-terminal; boxes answer its
// dialogs. A frame gap of 0 makes every read a frame of its own, which tests
// of what one read does rely on. Widgets are found by object name.
struct Rig
{
    explicit Rig(int frameGapMs = 0);
    // The same, with the pty served by a real ser2net and the window on its
    // network port.
    explicit Rig(Ser2NetServer::Mode mode, int frameGapMs = 0);

    ModalHandler boxes;
    Pty pty;
    MainWindow window;
    QWidget *w = &window;
    QTemporaryDir dir;
    bool open = false;
    QSignalSpy reads;
    std::unique_ptr<Ser2NetServer> server;

    void set(const QString &name, bool on) { byName<QAbstractButton>(w, name)->setChecked(on); }
    void press(const QString &name) { click(byName<QAbstractButton>(w, name)); }
    QSpinBox *spin(const QString &name) { return byName<QSpinBox>(w, name); }
    // A counter by its row caption ("收帧数") or object name.
    qint64 count(const QString &caption);
    // Writes the chunk and waits until the window has read it.
    bool feed(const QByteArray &chunk);
    // Writes the bytes and waits until the window has read all of them, in
    // however many reads (with the clock stopped, still one frame).
    bool take(const QByteArray &bytes);
    qint64 bytesRead = 0;
    // Writes the bytes and waits until they were counted as one new frame.
    bool rx(const QByteArray &bytes) { return receiveChunk(w, pty, bytes); }
    bool startCapture(const QString &path);
    // Everything the window has sent, once all of it reached the device
    // (the clock must run: the counters are shown on it).
    QByteArray wire();
    bool silentFor(int ms) { return !pty.waitForBytes(wire().size() + 1, ms); }
    // With the clock stopped: nothing waits to be written, and the device
    // got exactly these bytes.
    bool sentExactly(const QByteArray &bytes);
    // Area n takes part in area rotation with this text and period.
    void join(int n, const QString &text, int periodMs);
    // Loads a send file of this content through "选择发送文件".
    bool load(const QByteArray &content);

private:
    void prepare(int frameGapMs);
};

} // namespace testsupport

// Test entry point: environment first, then the application.
#define QUORVEL_TEST_MAIN(TestObject)                                                              \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        testsupport::prepareEnvironment();                                                         \
        QApplication app(argc, argv);                                                              \
        QApplication::setApplicationName(QStringLiteral("Quorvel"));                               \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                   \
        TestObject tc;                                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }

#endif // QUORVEL_TESTSUPPORT_H
