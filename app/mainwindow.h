#ifndef QUORVEL_MAINWINDOW_H
#define QUORVEL_MAINWINDOW_H

#include <QFile>
#include <QMainWindow>
#include <QSerialPort>
#include <QStringList>
#include <QTime>
#include <QVariant>
#include <QVector>

#include <array>

#include "capturewriter.h"
#include "portidentity.h"
#include "trafficformat.h"

class QCheckBox;
class QCloseEvent;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTimer;
class QVBoxLayout;
class FindBar;
class LineToolBar;
class PortWatcher;
class TrafficView;

// Names a new object for finding it later (tests, style sheets).
template<typename T>
T *named(T *object, const QString &name)
{
    object->setObjectName(name);
    return object;
}

enum RotationMode { RotationIdle = 0, RotationFile = 1, RotationAreas = 2 };

class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // Start-up choices from the command line.
    void selectPort(const QString &nameOrPath);
    bool selectBaudRate(qint32 rate);
    // Opens the selected port as "打开串口" does, unless it is open already.
    void openSelectedPort();
    // The menu bar with the shortcuts (app/menus.cpp). The window grows by
    // the bar's height, so everything under it keeps its size.
    void installMenuBar();

protected:
    void closeEvent(QCloseEvent *event) override;

private slots:
    void onOpenClosePort();
    void onPortReadyRead();
    void onSendClicked();
    void onClearReceive();
    void onStopDisplayToggled(bool checked);
    void onSaveData();
    void onClearCount();
    void onManualSend1();
    void onManualSend2();
    void onManualSend3();
    void onStartFileRotation();
    void onStartAreaRotation();
    void onRotationTimer();
    void refreshPortList();
    void onChecksumBtnClicked(int areaIndex);
    void onThemeClicked();

private:
    // Builders, called once by buildLayout.
    void buildLayout();
    void buildSerialGroup();
    void buildReceivePane();
    void buildCountersAndOptions();
    void buildSendAreaWidgets();
    void buildRotationGroup(QVBoxLayout *mainLayout);

    // Serial link.
    void applyPortParameters();
    // What the link in use reports: opened, failed, lost, errors, notices.
    void connectPortLink();
    void linkOpened();

    // Receive and display.
    void connectReceivePath();
    void displayData(const QByteArray &data, bool received);
    void resetSendLamp();
    void resetRecvLamp();
    // The four traffic counters as they stand now; inStream: the paint may
    // wait for the next of a stream of updates.
    void showCounters(bool inStream = false);
    void chooseCaptureFileName();
    void writeCapture(const QVector<struct TrafficPiece> &pieces);
    // Ends the capture file's last line if its frame has not ended yet.
    void finishCaptureLine();

    // Sending and rotation.
    void sendText(const QString &text, int areaIndex);
    void sendNextLine();
    void handleRotationAnswer();
    void handleAnswerTimeout();
    void continueFileRotationAfterAnswer();
    void chooseSendFile();
    void startAutoSend(int areaIndex, bool checked);
    void sendFromArea(int areaIndex);
    // Bytes of earlier sends still wait to leave the program.
    bool lineBusy() const;
    void sendPeriodically(int areaIndex);
    void noteSkippedSend();
    bool wrapOrEndFileRotation();

    // Settings and themes.
    void loadSendAreaSettings();
    void loadOptionSettings();
    struct StoredSetting;
    QVector<StoredSetting> storedSettings() const;
    void applyTheme();

    // One send area's widgets and state, so "area n" is one lookup.
    struct SendArea
    {
        QPlainTextEdit *edit = nullptr;
        QCheckBox *hex = nullptr;
        QPushButton *checksum = nullptr;
        QCheckBox *autoSend = nullptr;
        QCheckBox *joinRotation = nullptr;
        QSpinBox *interval = nullptr;
        QTimer *timer = nullptr;
        int *checksumKind = nullptr; // into lastChecksumKind
        qint64 *nextDueMs = nullptr; // into nextDueMs
    };
    // A stored setting and the widget that shows it: a text or a flag.
    struct StoredSetting
    {
        const char *key;
        QWidget *widget;
        QVariant defaultValue;
    };

    std::array<SendArea, 3> sendAreas;

    QSerialPort *serialPort = nullptr;
    // The traffic goes through this link: serialPort, or a port served over
    // the network when its name says so (serial/portlink.h).
    class PortLink *portLink = nullptr;
    QTimer *rotationTimer = nullptr;
    // The rotation's tick on the program's clock, woken by rotationTimer.
    class ClockTimer *rotationTick = nullptr;
    QTimer *sendLampTimer = nullptr;
    QTimer *recvLampTimer = nullptr;
    // The lamps' timing, on the timers above.
    class TrafficLamp *sendLampControl = nullptr;
    class TrafficLamp *recvLampControl = nullptr;
    QFile captureFile;
    bool capturing = false;
    QComboBox *portCombo = nullptr;
    QComboBox *baudCombo = nullptr;
    QComboBox *dataBitsCombo = nullptr;
    QComboBox *parityCombo = nullptr;
    QComboBox *stopBitsCombo = nullptr;
    QPushButton *openButton = nullptr;
    QLabel *statusLamp = nullptr;
    QLabel *sendLamp = nullptr;
    QLabel *recvLamp = nullptr;
    QPlainTextEdit *recvEdit = nullptr;
    QPushButton *stopDisplayButton = nullptr;
    QCheckBox *hexRecvCheck = nullptr;
    QCheckBox *autoClearCheck = nullptr;
    QPushButton *saveDataButton = nullptr;
    QLineEdit *captureFileEdit = nullptr;
    QLineEdit *sentFramesEdit = nullptr;
    QLineEdit *sentBytesEdit = nullptr;
    QLineEdit *recvFramesEdit = nullptr;
    QLineEdit *recvBytesEdit = nullptr;
    QLineEdit *fileLinesEdit = nullptr;
    QLineEdit *currentLineEdit = nullptr;
    qint64 sentFrames = 0;
    qint64 sentBytes = 0;
    qint64 recvFrames = 0;
    qint64 recvBytes = 0;
    QCheckBox *showSaveSendCheck = nullptr;
    QCheckBox *showSaveTimeCheck = nullptr;
    QCheckBox *frameNewlineCheck = nullptr;
    QCheckBox *keywordFilterCheck = nullptr;
    QLineEdit *keywordEdit = nullptr;
    QPushButton *themeButton = nullptr;
    int themeIndex = 0;
    // The areas' widgets by their own names: aliases of the records' fields.
    QPlainTextEdit *&sendEdit1 = sendAreas[0].edit;
    QPlainTextEdit *&sendEdit2 = sendAreas[1].edit;
    QPlainTextEdit *&sendEdit3 = sendAreas[2].edit;
    QCheckBox *&hexSendCheck1 = sendAreas[0].hex;
    QCheckBox *&hexSendCheck2 = sendAreas[1].hex;
    QCheckBox *&hexSendCheck3 = sendAreas[2].hex;
    QPushButton *&checksumButton1 = sendAreas[0].checksum;
    QPushButton *&checksumButton2 = sendAreas[1].checksum;
    QPushButton *&checksumButton3 = sendAreas[2].checksum;
    int lastChecksumKind[3] = { -1, -1, -1 };
    QCheckBox *&autoSendCheck1 = sendAreas[0].autoSend;
    QCheckBox *&autoSendCheck2 = sendAreas[1].autoSend;
    QCheckBox *&autoSendCheck3 = sendAreas[2].autoSend;
    QCheckBox *&joinRotationCheck1 = sendAreas[0].joinRotation;
    QCheckBox *&joinRotationCheck2 = sendAreas[1].joinRotation;
    QCheckBox *&joinRotationCheck3 = sendAreas[2].joinRotation;
    QSpinBox *&autoSendIntervalSpin1 = sendAreas[0].interval;
    QSpinBox *&autoSendIntervalSpin2 = sendAreas[1].interval;
    QSpinBox *&autoSendIntervalSpin3 = sendAreas[2].interval;
    QTimer *&autoSendTimer1 = sendAreas[0].timer;
    QTimer *&autoSendTimer2 = sendAreas[1].timer;
    QTimer *&autoSendTimer3 = sendAreas[2].timer;
    QCheckBox *sendOnceCheck = nullptr;
    QSpinBox *rotationPeriodSpin = nullptr;
    QPushButton *chooseSendFileButton = nullptr;
    QRadioButton *waitAnswerRadio = nullptr;
    QRadioButton *timedRadio = nullptr;
    QSpinBox *answerTimeoutSpin = nullptr;
    QSpinBox *retryCountSpin = nullptr;
    QStringList sendFileLines;
    int currentLine = 0;
    bool waitForAnswer = true;
    int rotationMode = RotationIdle;
    // Milliseconds of a monotonic clock, so setting the system clock back
    // cannot stall area rotation.
    qint64 nextDueMs[3] = { 0, 0, 0 };
    int retriesLeft = 0;
    // Periodic sends skipped on a line that could not keep up, since opening.
    int skippedSends = 0;
    qint64 bytesWrittenThisPass = 0;
    QTimer *answerTimer = nullptr;

    // A vanished device keeps signalling errors; only the first error of an
    // opening is shown, so boxes can neither nest nor trap the user.
    bool portErrorShown = false;
    // Received bytes on their way to the pane, the capture file, the
    // counters and the rotation (display/receivepath.h).
    class ReceivePath *receivePath = nullptr;
    QSpinBox *frameGapSpin = nullptr;
    class CounterShow *counterShow = nullptr;
    // The answer wait of a file rotation; owns answerTimer.
    class AnswerWait *answerWait = nullptr;
    // The capture file's lines, as the pane shows them.
    CaptureWriter captureWriter{ &captureFile };

    // Ports named on the command line that enumeration may not list (a pty,
    // a /dev/serial/by-id link): kept in the list while they exist.
    QStringList pinnedPorts;

    // Device loss and reconnection (serial/reconnect.cpp).
    void buildPortCombo();
    bool openPortNamed(const QString &portName);
    void closePort();
    void handleDeviceLoss(const QString &reason);
    // The port whose return is awaited; empty when none is.
    QString awaitedPortName() const;
    void reopenReturnedPort(const QString &portName);
    void showReconnected(const QString &portName);
    void stopWatchingPort();
    PortWatcher *portWatcher = nullptr;
    QString openedPortName;
    bool deviceLossPending = false;
    bool portErrorBoxOpen = false;
    void showPortErrorBox(const QString &reason);
    PortIdentity openedIdentity;

    // Shows the traffic in recvEdit, a display interval at a time.
    TrafficView *trafficView = nullptr;

    // Big send files load in slices (send/sendfileloader.h).
    class SendFileLoader *sendFileLoader = nullptr;

    // Find in the receive pane (display/findbar.h), built when first used.
    FindBar *findBar = nullptr;
    QVBoxLayout *paneColumn = nullptr;
    FindBar *paneFindBar();
    // The menus (app/menus.cpp).
    void sendFocusedArea();
    void chooseLanguage(const QString &code);
    void showAbout();
    // DTR, RTS, break, flow control, line ending and the input-line lamps
    // (serial/linetoolbar.h).
    void buildLineToolBar();
    LineToolBar *lineToolBar = nullptr;
};

#endif // QUORVEL_MAINWINDOW_H
