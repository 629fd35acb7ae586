#include "mainwindow.h"

#include <QApplication>

void MainWindow::applyTheme()
{
    QString background;
    QString border;
    if (themeIndex == 0) {
        background = QStringLiteral("#07A5CA");
        border = QStringLiteral("#0690B0");
    } else if (themeIndex == 1) {
        background = QStringLiteral("#4ABDBD");
        border = QStringLiteral("#3DA8A8");
    } else {
        background = QStringLiteral("#e8e4d9");
        border = QStringLiteral("#c4beb0");
    }

    const QString sheet = QStringLiteral(
            "QMainWindow { background-color: %1; }"
            "QGroupBox { font-weight: bold; background-color: %1; border: 1px solid %2; "
            "border-radius: 4px; margin-top: 8px; }"
            "QGroupBox::title { subcontrol-origin: margin; left: 10px; padding: 0 4px; }"
            "QDialog { background-color: %1; }"
            "QDialog QGroupBox { background-color: %1; border: 1px solid %2; }");
    qApp->setStyleSheet(sheet.arg(background).arg(border));
}

void MainWindow::onThemeClicked()
{
    // In 64 bits: an edited store may hold the largest int.
    themeIndex = static_cast<int>((static_cast<qint64>(themeIndex) + 1) % 3);
    applyTheme();
}
