#include "startup.h"

#include <QApplication>
#include <QIcon>
#include <QWidget>

namespace {

const char *const iconPath = ":/icons/app_icon.png";

} // namespace

void setUpApplication()
{
    QApplication::setApplicationName(QStringLiteral("Quorvel"));
    QApplication::setApplicationVersion(QStringLiteral(QUORVEL_VERSION));
    QApplication::setWindowIcon(QIcon(QLatin1String(iconPath)));
    // Lets Wayland desktops match the window to the installed desktop entry.
    QApplication::setDesktopFileName(QStringLiteral("io.github.quorvel.quorvel"));
}

void setUpMainWindow(QWidget &window)
{
    window.setWindowIcon(QIcon(QLatin1String(iconPath)));
    window.setWindowTitle(QCoreApplication::translate("MainWindow", "Quorvel -- 串口通信调试工具"));
}
