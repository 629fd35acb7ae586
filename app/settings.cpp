#include "linetoolbar.h"
#include "mainwindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>

namespace {

QString organisationAndApplication()
{
    return QStringLiteral("Quorvel");
}

const QString themeKey = QStringLiteral("themeIndex");

} // namespace

// Every stored value but the theme, in the order the store has always been
// written; both loaders and closeEvent walk this one table.
QVector<MainWindow::StoredSetting> MainWindow::storedSettings() const
{
    return {
        { "send1", sendEdit1, QVariant() },
        { "send2", sendEdit2, QVariant() },
        { "send3", sendEdit3, QVariant() },
        { "hex1", hexSendCheck1, true },
        { "hex2", hexSendCheck2, true },
        { "hex3", hexSendCheck3, true },
        { "hexRecv", hexRecvCheck, true },
        { "autoClear", autoClearCheck, true },
        { "showSaveSend", showSaveSendCheck, false },
        { "showSaveTime", showSaveTimeCheck, false },
        { "frameNewline", frameNewlineCheck, false },
        { "keywordFilter", keywordFilterCheck, false },
        { "stopDisplay", stopDisplayButton, false },
        // Restoring a checked box fires its reaction: a stored auto-send
        // starts its timer now, at the built-in period.
        { "autoSend1", autoSendCheck1, false },
        { "autoSend2", autoSendCheck2, false },
        { "autoSend3", autoSendCheck3, false },
        { "joinRotation1", joinRotationCheck1, false },
        { "joinRotation2", joinRotationCheck2, false },
        { "joinRotation3", joinRotationCheck3, false },
        { "sendOnce", sendOnceCheck, false },
    };
}

namespace {

void restore(const QSettings &settings, const QString &key, QWidget *widget,
             const QVariant &defaultValue)
{
    const QVariant value = settings.value(key, defaultValue);
    if (auto *edit = qobject_cast<QPlainTextEdit *>(widget))
        edit->setPlainText(value.toString());
    else
        static_cast<QAbstractButton *>(widget)->setChecked(value.toBool());
}

} // namespace

// The send areas' texts and "16进制" come first in the table.
void MainWindow::loadSendAreaSettings()
{
    const QSettings settings(organisationAndApplication(), organisationAndApplication());
    for (const StoredSetting &setting : storedSettings().mid(0, 6))
        restore(settings, QLatin1String(setting.key), setting.widget, setting.defaultValue);
}

void MainWindow::loadOptionSettings()
{
    const QSettings settings(organisationAndApplication(), organisationAndApplication());
    for (const StoredSetting &setting : storedSettings().mid(6))
        restore(settings, QLatin1String(setting.key), setting.widget, setting.defaultValue);
    themeIndex = settings.value(themeKey, 0).toInt();
    lineToolBar->loadSettings();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    QSettings settings(organisationAndApplication(), organisationAndApplication());
    for (const StoredSetting &setting : storedSettings()) {
        auto *edit = qobject_cast<QPlainTextEdit *>(setting.widget);
        settings.setValue(
                QLatin1String(setting.key),
                edit ? QVariant(edit->document()->toPlainText())
                     : QVariant(static_cast<QAbstractButton *>(setting.widget)->isChecked()));
    }
    settings.setValue(themeKey, themeIndex);
    lineToolBar->saveSettings();

    QMainWindow::closeEvent(event);
}
