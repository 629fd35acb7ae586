#include "linetoolbar.h"
#include "linecontrol.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QSignalBlocker>

#include <cstddef>

namespace {

// Combo items in this order; the key is what the settings store holds.
struct FlowChoice
{
    const char *key;
    const char *caption;
    QSerialPort::FlowControl flow;
};
const FlowChoice flowChoices[] = {
    { "none", QT_TRANSLATE_NOOP("LineToolBar", "无"), QSerialPort::NoFlowControl },
    { "rtscts", QT_TRANSLATE_NOOP("LineToolBar", "RTS/CTS"), QSerialPort::HardwareControl },
    { "xonxoff", QT_TRANSLATE_NOOP("LineToolBar", "XON/XOFF"), QSerialPort::SoftwareControl },
};

struct EndingChoice
{
    const char *key;
    const char *caption;
    const char *bytes;
};
const EndingChoice endingChoices[] = {
    { "none", QT_TRANSLATE_NOOP("LineToolBar", "无"), "" },
    { "cr", QT_TRANSLATE_NOOP("LineToolBar", "CR"), "\r" },
    { "lf", QT_TRANSLATE_NOOP("LineToolBar", "LF"), "\n" },
    { "crlf", QT_TRANSLATE_NOOP("LineToolBar", "CR LF"), "\r\n" },
};

const char *const litLampStyle = "color: #00CC00; font-weight: bold;";
const char *const greyLampStyle = "color: gray;";

const QString settingsGroup = QStringLiteral("line");

template<typename Choice, std::size_t N>
int indexOfKey(const Choice (&choices)[N], const QString &key)
{
    for (std::size_t i = 0; i < N; ++i) {
        if (key == QLatin1String(choices[i].key))
            return int(i);
    }
    return 0;
}

} // namespace

LineToolBar::LineToolBar(LinePort *port, QWidget *parent)
    : QToolBar(parent)
    , linePort(port)
{
    setObjectName(QStringLiteral("lineToolBar"));
    setWindowTitle(tr("线路"));
    setMovable(false);
    setFloatable(false);
    // Part of the window: no context menu offers to hide it.
    toggleViewAction()->setVisible(false);
    control = new LineControl(linePort, this);

    dtrToggle = new QCheckBox(tr("DTR"));
    dtrToggle->setObjectName(QStringLiteral("dtrToggle"));
    dtrToggle->setToolTip(tr("数据终端就绪（DTR）：勾选为有效。许多开发板经 DTR 和 RTS "
                             "复位或进入下载模式"));
    rtsToggle = new QCheckBox(tr("RTS"));
    rtsToggle->setObjectName(QStringLiteral("rtsToggle"));
    rtsToggle->setToolTip(tr("请求发送（RTS）：勾选为有效；RTS/CTS 流控时由驱动控制"));
    for (QCheckBox *toggle : { dtrToggle, rtsToggle })
        toggle->setChecked(true);
    connect(dtrToggle, &QCheckBox::toggled, control, &LineControl::setDataTerminalReady);
    connect(rtsToggle, &QCheckBox::toggled, control, &LineControl::setRequestToSend);

    breakButton = new QPushButton(tr("断开信号"));
    breakButton->setObjectName(QStringLiteral("breakButton"));
    breakButton->setToolTip(tr("在线路上保持断开信号（Break）%1 毫秒").arg(LineControl::breakMs));
    breakButton->setEnabled(false);
    connect(breakButton, &QPushButton::clicked, control, &LineControl::sendBreak);
    connect(control, &LineControl::breakActiveChanged, breakButton,
            [this](bool active) { breakButton->setEnabled(!active && linePort->isOpen()); });

    flowControlCombo = new QComboBox;
    flowControlCombo->setObjectName(QStringLiteral("flowControlCombo"));
    for (const FlowChoice &choice : flowChoices)
        flowControlCombo->addItem(tr(choice.caption), choice.flow);
    connect(flowControlCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this] {
        control->setFlowControl(flowControl());
        rtsToggle->setEnabled(flowControl() != QSerialPort::HardwareControl);
    });
    connect(control, &LineControl::flowControlRefused, this,
            [this](QSerialPort::FlowControl inForce) {
                const QSignalBlocker quiet(flowControlCombo);
                flowControlCombo->setCurrentIndex(flowControlCombo->findData(int(inForce)));
                rtsToggle->setEnabled(inForce != QSerialPort::HardwareControl);
            });

    lineEndingCombo = new QComboBox;
    lineEndingCombo->setObjectName(QStringLiteral("lineEndingCombo"));
    lineEndingCombo->setToolTip(tr("文本发送时附加在每帧之后；16进制发送不变"));
    for (const EndingChoice &choice : endingChoices)
        lineEndingCombo->addItem(tr(choice.caption), QByteArray(choice.bytes));

    addWidget(dtrToggle);
    addWidget(rtsToggle);
    addWidget(breakButton);
    addSeparator();
    addWidget(new QLabel(tr("流控")));
    addWidget(flowControlCombo);
    addSeparator();
    addWidget(new QLabel(tr("行尾")));
    addWidget(lineEndingCombo);

    connect(control, &LineControl::notice, this, &LineToolBar::notice);
    buildLamps();
}

void LineToolBar::buildLamps()
{
    const struct
    {
        const char *name;
        QSerialPort::PinoutSignal line;
        QString caption;
        QString meaning;
    } lampLines[] = {
        { "ctsLamp", QSerialPort::ClearToSendSignal, tr("CTS"), tr("清除发送（CTS）") },
        { "dsrLamp", QSerialPort::DataSetReadySignal, tr("DSR"), tr("数据设备就绪（DSR）") },
        { "dcdLamp", QSerialPort::DataCarrierDetectSignal, tr("DCD"), tr("载波检测（DCD）") },
        { "riLamp", QSerialPort::RingIndicatorSignal, tr("RI"), tr("振铃指示（RI）") },
    };
    for (const auto &lampLine : lampLines) {
        auto *lamp = new QLabel(lampLine.caption + QStringLiteral(" ●"));
        lamp->setObjectName(QLatin1String(lampLine.name));
        lamp->setStyleSheet(QLatin1String(greyLampStyle));
        lamp->setToolTip(
                tr("%1：亮为有效；灰色为无效、端口未打开或端口无法报告").arg(lampLine.meaning));
        const QSerialPort::PinoutSignal line = lampLine.line;
        // The lamp as context: it lives in the status bar, not here.
        connect(control, &LineControl::inputLinesChanged, lamp,
                [lamp, line](bool known, QSerialPort::PinoutSignals lines) {
                    lamp->setStyleSheet(QLatin1String(
                            known && lines.testFlag(line) ? litLampStyle : greyLampStyle));
                });
        lamps << lamp;
    }
}

QByteArray LineToolBar::lineEnding() const
{
    return lineEndingCombo->currentData().toByteArray();
}

QSerialPort::FlowControl LineToolBar::flowControl() const
{
    return QSerialPort::FlowControl(flowControlCombo->currentData().toInt());
}

void LineToolBar::portOpened()
{
    control->portOpened();
    breakButton->setEnabled(true);
}

void LineToolBar::portClosing()
{
    control->portClosing();
    breakButton->setEnabled(false);
}

void LineToolBar::loadSettings()
{
    QSettings settings(QStringLiteral("Quorvel"), QStringLiteral("Quorvel"));
    settings.beginGroup(settingsGroup);
    dtrToggle->setChecked(settings.value(QStringLiteral("dtr"), true).toBool());
    rtsToggle->setChecked(settings.value(QStringLiteral("rts"), true).toBool());
    flowControlCombo->setCurrentIndex(
            indexOfKey(flowChoices, settings.value(QStringLiteral("flowControl")).toString()));
    lineEndingCombo->setCurrentIndex(
            indexOfKey(endingChoices, settings.value(QStringLiteral("lineEnding")).toString()));
}

void LineToolBar::saveSettings() const
{
    QSettings settings(QStringLiteral("Quorvel"), QStringLiteral("Quorvel"));
    settings.beginGroup(settingsGroup);
    settings.setValue(QStringLiteral("dtr"), dtrToggle->isChecked());
    settings.setValue(QStringLiteral("rts"), rtsToggle->isChecked());
    settings.setValue(QStringLiteral("flowControl"),
                      QLatin1String(flowChoices[flowControlCombo->currentIndex()].key));
    settings.setValue(QStringLiteral("lineEnding"),
                      QLatin1String(endingChoices[lineEndingCombo->currentIndex()].key));
}
