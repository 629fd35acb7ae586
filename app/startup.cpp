#include "startup.h"

#include <QApplication>
#include <QIcon>
#include <QWidget>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

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

void keepFreedMemoryForReuse()
{
#if defined(__GLIBC__)
    // Every auto-clear frees the layout of a pane full of text and the next
    // flush builds it again. By default glibc hands the freed pages back to
    // the system at once and faults them in again on the next flush; keep
    // up to 64 MiB of them (a pane full of text needs a few).
    mallopt(M_MMAP_THRESHOLD, 4 << 20);
    mallopt(M_TRIM_THRESHOLD, 64 << 20);
#endif
}

void setUpMainWindow(QWidget &window)
{
    window.setWindowIcon(QIcon(QLatin1String(iconPath)));
    window.setWindowTitle(QCoreApplication::translate("MainWindow", "Quorvel -- 串口通信调试工具"));
}
