#ifndef QUORVEL_MAINWINDOW_H
#define QUORVEL_MAINWINDOW_H

#include <QFile>
#include <QMainWindow>
#include <QSerialPort>
#include <QStringList>

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
    void onPortError(QSerialPort::SerialPortError error);

    // Receive and display.
    void displayData(const QByteArray &data, bool received);
    void resetSendLamp();
    void resetRecvLamp();
    void chooseCaptureFileName();
    void writeCaptureLine(const QString &line);

    // Sending and rotation.
    void sendText(const QString &text, int areaIndex);
    void sendNextLine();
    void handleRotationAnswer();
    void handleAnswerTimeout();
    void continueFileRotationAfterAnswer();
    void chooseSendFile();
    void startAutoSend(int areaIndex, bool checked);

    // Settings and themes.
    void loadSendAreaSettings();
    void loadOptionSettings();
    void applyTheme();

    QSerialPort *serialPort;
    QTimer *rotationTimer;
    QTimer *sendLampTimer;
    QTimer *recvLampTimer;
    QFile captureFile;
    bool capturing;
    QComboBox *portCombo;
    QComboBox *baudCombo;
    QComboBox *dataBitsCombo;
    QComboBox *parityCombo;
    QComboBox *stopBitsCombo;
    QPushButton *openButton;
    QLabel *statusLamp;
    QLabel *sendLamp;
    QLabel *recvLamp;
    QPlainTextEdit *recvEdit;
    QPushButton *stopDisplayButton;
    QCheckBox *hexRecvCheck;
    QCheckBox *autoClearCheck;
    QPushButton *saveDataButton;
    QLineEdit *captureFileEdit;
    QLineEdit *sentFramesEdit;
    QLineEdit *sentBytesEdit;
    QLineEdit *recvFramesEdit;
    QLineEdit *recvBytesEdit;
    QLineEdit *fileLinesEdit;
    QLineEdit *currentLineEdit;
    qint64 sentFrames;
    qint64 sentBytes;
    qint64 recvFrames;
    qint64 recvBytes;
    QCheckBox *showSaveSendCheck;
    QCheckBox *showSaveTimeCheck;
    QCheckBox *frameNewlineCheck;
    QCheckBox *keywordFilterCheck;
    QLineEdit *keywordEdit;
    QPushButton *themeButton;
    int themeIndex;
    QPlainTextEdit *sendEdit1;
    QPlainTextEdit *sendEdit2;
    QPlainTextEdit *sendEdit3;
    QCheckBox *hexSendCheck1;
    QCheckBox *hexSendCheck2;
    QCheckBox *hexSendCheck3;
    QPushButton *checksumButton1;
    QPushButton *checksumButton2;
    QPushButton *checksumButton3;
    int lastChecksumKind[3];
    QCheckBox *autoSendCheck1;
    QCheckBox *autoSendCheck2;
    QCheckBox *autoSendCheck3;
    QCheckBox *joinRotationCheck1;
    QCheckBox *joinRotationCheck2;
    QCheckBox *joinRotationCheck3;
    QSpinBox *autoSendIntervalSpin1;
    QSpinBox *autoSendIntervalSpin2;
    QSpinBox *autoSendIntervalSpin3;
    QTimer *autoSendTimer1;
    QTimer *autoSendTimer2;
    QTimer *autoSendTimer3;
    QCheckBox *sendOnceCheck;
    QSpinBox *rotationPeriodSpin;
    QPushButton *chooseSendFileButton;
    QRadioButton *waitAnswerRadio;
    QRadioButton *timedRadio;
    QSpinBox *answerTimeoutSpin;
    QSpinBox *retryCountSpin;
    QStringList sendFileLines;
    int currentLine;
    bool waitForAnswer;
    int rotationMode;
    // Milliseconds of a monotonic clock, so setting the system clock back
    // cannot stall area rotation.
    qint64 nextDueMs[3];
    int retriesLeft;
    QTimer *answerTimer;

    // A vanished device keeps signalling errors; only the first error of an
    // opening is shown, so boxes can neither nest nor trap the user.
    bool portErrorShown;
    // Received text may split a UTF-8 sequence across ready-reads.
    Utf8StreamDecoder receiveDecoder;

    // Ports named on the command line that enumeration may not list (a pty,
    // a /dev/serial/by-id link): kept in the list while they exist.
    QStringList pinnedPorts;

    // Big send files load in slices (send/sendfileloader.h).
    class SendFileLoader *sendFileLoader = nullptr;
};

#endif // QUORVEL_MAINWINDOW_H
