#include "mainwindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>

#include <utility>

namespace {

QString organisationAndApplication()
{
    return QStringLiteral("Quorvel");
}

} // namespace

void MainWindow::loadSendAreaSettings()
{
    QSettings settings(organisationAndApplication(), organisationAndApplication());
    sendEdit1->setPlainText(settings.value(QStringLiteral("send1"), QVariant()).toString());
    sendEdit2->setPlainText(settings.value(QStringLiteral("send2"), QVariant()).toString());
    sendEdit3->setPlainText(settings.value(QStringLiteral("send3"), QVariant()).toString());
    hexSendCheck1->setChecked(settings.value(QStringLiteral("hex1"), true).toBool());
    hexSendCheck2->setChecked(settings.value(QStringLiteral("hex2"), true).toBool());
    hexSendCheck3->setChecked(settings.value(QStringLiteral("hex3"), true).toBool());
}

void MainWindow::loadOptionSettings()
{
    QSettings settings(organisationAndApplication(), organisationAndApplication());
    hexRecvCheck->setChecked(settings.value(QStringLiteral("hexRecv"), true).toBool());
    autoClearCheck->setChecked(settings.value(QStringLiteral("autoClear"), true).toBool());
    showSaveSendCheck->setChecked(settings.value(QStringLiteral("showSaveSend"), false).toBool());
    showSaveTimeCheck->setChecked(settings.value(QStringLiteral("showSaveTime"), false).toBool());
    frameNewlineCheck->setChecked(settings.value(QStringLiteral("frameNewline"), false).toBool());
    keywordFilterCheck->setChecked(settings.value(QStringLiteral("keywordFilter"), false).toBool());

    stopDisplayButton->setChecked(settings.value(QStringLiteral("stopDisplay"), false).toBool());
    stopDisplayButton->setText(stopDisplayButton->isChecked() ? QStringLiteral("继续显示")
                                                              : QStringLiteral("停止显示"));

    // Restoring a checked box fires its reaction: a stored auto-send starts
    // its timer now, at the built-in period.
    autoSendCheck1->setChecked(settings.value(QStringLiteral("autoSend1"), false).toBool());
    autoSendCheck2->setChecked(settings.value(QStringLiteral("autoSend2"), false).toBool());
    autoSendCheck3->setChecked(settings.value(QStringLiteral("autoSend3"), false).toBool());
    joinRotationCheck1->setChecked(settings.value(QStringLiteral("joinRotation1"), false).toBool());
    joinRotationCheck2->setChecked(settings.value(QStringLiteral("joinRotation2"), false).toBool());
    joinRotationCheck3->setChecked(settings.value(QStringLiteral("joinRotation3"), false).toBool());
    sendOnceCheck->setChecked(settings.value(QStringLiteral("sendOnce"), false).toBool());
    themeIndex = settings.value(QStringLiteral("themeIndex"), 0).toInt();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    QSettings settings(organisationAndApplication(), organisationAndApplication());
    settings.setValue(QStringLiteral("send1"), sendEdit1->document()->toPlainText());
    settings.setValue(QStringLiteral("send2"), sendEdit2->document()->toPlainText());
    settings.setValue(QStringLiteral("send3"), sendEdit3->document()->toPlainText());

    const std::pair<const char *, QAbstractButton *> flags[] = {
        { "hex1", hexSendCheck1 },
        { "hex2", hexSendCheck2 },
        { "hex3", hexSendCheck3 },
        { "hexRecv", hexRecvCheck },
        { "autoClear", autoClearCheck },
        { "showSaveSend", showSaveSendCheck },
        { "showSaveTime", showSaveTimeCheck },
        { "frameNewline", frameNewlineCheck },
        { "keywordFilter", keywordFilterCheck },
        { "stopDisplay", stopDisplayButton },
        { "autoSend1", autoSendCheck1 },
        { "autoSend2", autoSendCheck2 },
        { "autoSend3", autoSendCheck3 },
        { "joinRotation1", joinRotationCheck1 },
        { "joinRotation2", joinRotationCheck2 },
        { "joinRotation3", joinRotationCheck3 },
        { "sendOnce", sendOnceCheck },
    };
    for (const auto &flag : flags)
        settings.setValue(QLatin1String(flag.first), flag.second->isChecked());
    settings.setValue(QStringLiteral("themeIndex"), themeIndex);

    QMainWindow::closeEvent(event);
}
