#ifndef QUORVEL_TESTSUPPORT_H
#define QUORVEL_TESTSUPPORT_H

#include <QApplication>
#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QTest>
#include <QTimer>
#include <QVector>

#include <functional>
#include <termios.h>

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLayout;
class QLineEdit;
class QPlainTextEdit;
class QSerialPort;
class QSpinBox;
class QWidget;

namespace testsupport {

// Points HOME, XDG_CONFIG_HOME and XDG_RUNTIME_DIR at a fresh temporary
// folder and forces the offscreen platform, before QApplication exists.
void prepareEnvironment();

// A fresh, empty settings store for the next window (call in init()).
QString useFreshSettings();

// Folder of the current settings store (valid after useFreshSettings()).
QString settingsFolder();

// A kernel pseudo-terminal. The window opens the slave by its path; the test
// plays the device on the master side.
class Pty
{
public:
    Pty();
    ~Pty();
    Pty(const Pty &) = delete;
    Pty &operator=(const Pty &) = delete;

    bool isValid() const { return masterFd >= 0; }
    QString slavePath() const { return path; }
    int master() const { return masterFd; }

    // Writes to the master: the window receives these bytes.
    bool write(const QByteArray &bytes);
    // Collects whatever the window has written so far (non-blocking).
    QByteArray readAvailable();
    // Waits, processing events, until at least count bytes have arrived in
    // total since the last take(); returns whether they did.
    bool waitForBytes(int count, int timeoutMs = 5000);
    // All bytes collected so far, emptying the collection.
    QByteArray take();
    // Bytes collected so far without emptying.
    QByteArray collected();
    // Line settings the slave was given, read through the master.
    termios attributes() const;
    // Simulates the device going away.
    void closeMaster();

private:
    int masterFd = -1;
    QString path;
    QByteArray buffer;
};

// Records every modal widget that appears and answers it. Arm before the
// action that opens it; answers are taken from a queue, falling back to the
// default answer (OK / Yes / accept; file dialogs are cancelled).
class ModalHandler : public QObject
{
    Q_OBJECT
public:
    struct Record
    {
        QString className;
        QString title;
        QString text;
    };
    using Answer = std::function<void(QWidget *)>;

    explicit ModalHandler(QObject *parent = nullptr);
    ~ModalHandler() override;

    // Queue: the next modal widget is a file dialog; choose this path.
    void chooseFile(const QString &path);
    // Queue: the next modal widget is cancelled (rejected).
    void cancelNext();
    // Queue: custom answer for the next modal widget.
    void answerNext(Answer answer);
    // Leave boxes open this long before answering (default 0).
    void setAnswerDelay(int ms) { answerDelayMs = ms; }

    int count() const { return records.size(); }
    const QVector<Record> &seen() const { return records; }
    Record last() const { return records.isEmpty() ? Record() : records.last(); }
    bool waitForCount(int n, int timeoutMs = 5000);
    int openNow() const;

private:
    void poll();
    void answer(QWidget *widget);

    QTimer timer;
    QVector<Record> records;
    QList<Answer> answers;
    QSet<QWidget *> known;
    QList<QPointer<QWidget>> pending;
    int answerDelayMs = 0;
};

// Finders: widgets by caption and by the title of the group they sit in.
QGroupBox *findGroup(QWidget *root, const QString &title);
QAbstractButton *findButton(QWidget *root, const QString &caption, const QString &groupTitle = {});
QCheckBox *findCheck(QWidget *root, const QString &caption, const QString &groupTitle = {});
// The field that a form row's caption labels.
QWidget *fieldOfRow(QWidget *root, const QString &caption, const QString &groupTitle = {});
QComboBox *comboOfRow(QWidget *root, const QString &caption);
QLineEdit *lineEditOfRow(QWidget *root, const QString &caption);
QSpinBox *spinOfRow(QWidget *root, const QString &caption, const QString &groupTitle = {});
// The button with this caption on the same layout row as the label.
QAbstractButton *buttonBesideLabel(QWidget *root, const QString &label, const QString &caption);
QPlainTextEdit *receivePane(QWidget *root);
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

// An answer for ModalHandler::answerNext: types path into the file dialog's
// name field and accepts. Unlike selectFile(), it also works once the field
// has taken the focus (selectFile then leaves the field empty).
ModalHandler::Answer typeFileName(const QString &path);

// The layout, searched from layout down, that directly holds widget.
QLayout *layoutHolding(QLayout *layout, QWidget *widget);

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
