// Renders the main window in each colour theme to PNG files.
// Usage: quorvel-screenshot <output-folder>
//   writes theme-0.png (blue), theme-1.png (teal) and theme-2.png (beige).
#include "mainwindow.h"
#include "resources.h"
#include "startup.h"

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QFontDatabase>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output-folder>\n", argv[0]);
        return 2;
    }
    registerQuorvelResources();
    QApplication app(argc, argv);
    setUpApplication();
    // The offscreen platform defaults to 12 points; a desktop's 9 points
    // shows the window as its users see it.
    QFont font = QApplication::font();
    font.setPointSize(9);
    QApplication::setFont(font);

    // Without a CJK font every caption would come out as boxes.
    if (QFontDatabase().families(QFontDatabase::SimplifiedChinese).isEmpty()) {
        std::fprintf(stderr, "no Chinese font found (install fonts-wqy-microhei)\n");
        return 1;
    }

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
        setUpMainWindow(window);
        window.show();
        QApplication::processEvents();
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
