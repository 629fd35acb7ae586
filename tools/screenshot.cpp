// Renders the main window in each colour theme to PNG files.
// Usage: quorvel-screenshot <output-folder>
//   writes theme-0.png (blue), theme-1.png (teal) and theme-2.png (beige).
#include "mainwindow.h"
#include "resources.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output-folder>\n", argv[0]);
        return 2;
    }
    registerQuorvelResources();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvel"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/app_icon.png")));

    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }

    // A private store: the user's own settings must not show up in the
    // pictures, and the window's close must not overwrite them.
    QTemporaryDir store;
    if (!store.isValid()) {
        std::fprintf(stderr, "cannot create a temporary settings folder\n");
        return 1;
    }
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, store.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, store.path());

    for (int theme = 0; theme < 3; ++theme) {
        {
            // The window takes its theme and sample send texts from the store.
            QSettings settings(QStringLiteral("Quorvel"), QStringLiteral("Quorvel"));
            settings.setValue(QStringLiteral("themeIndex"), theme);
            settings.setValue(QStringLiteral("send1"), QStringLiteral("01 03 00 00 00 01 84 0A"));
            settings.setValue(QStringLiteral("send2"), QStringLiteral("01 06 00 01 00 17 98 04"));
        }
        MainWindow window;
        window.setWindowTitle(QStringLiteral("Quorvel -- 串口通信调试工具"));
        window.show();
        if (!QTest::qWaitForWindowExposed(&window)) {
            std::fprintf(stderr, "the window was never shown\n");
            return 1;
        }
        const QString path = QDir(folder).filePath(QStringLiteral("theme-%1.png").arg(theme));
        if (!window.grab().save(path)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
        std::printf("%s\n", qPrintable(path));
        window.close();
    }
    return 0;
}
