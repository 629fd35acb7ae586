#ifndef QUORVEL_TESTSUPPORT_H
#define QUORVEL_TESTSUPPORT_H

#include <QApplication>
#include <QSet>
#include <QTest>
#include <QTimer>

#include <functional>
#include <termios.h>

class QAbstractButton;
class QCheckBox;
class QPlainTextEdit;
class QSerialPort;
class QWidget;

namespace testsupport {

// Points HOME, XDG_CONFIG_HOME and XDG_RUNTIME_DIR at a fresh temporary
// folder and forces the offscreen platform, before QApplication exists.
void prepareEnvironment();

// A fresh, empty settings store for the next window (call in init()).
void useFreshSettings();

// A kernel pseudo-terminal. The window opens the slave by its path; the test
// plays the device on the master side.
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

// Selects the pty's slave in the port list and presses "打开串口".
bool openPort(QWidget *window, const QString &path);
// Presses the open/close button when it reads "关闭串口".
bool closePort(QWidget *window);
void click(QAbstractButton *button);
// The counter field of the given row ("发帧数", "收字节数", ...).
QString counter(QWidget *window, const QString &caption);
QString receiveText(QWidget *window);

// Writes bytes as the device and waits until the window has counted them as
// one chunk.
bool receiveChunk(QWidget *window, Pty &pty, const QByteArray &bytes);

// Sends text from area 1 with its own "16进制" option as given.
bool sendFromArea1(QWidget *window, const QString &text, bool hex);

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
