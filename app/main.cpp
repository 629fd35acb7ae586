#include "mainwindow.h"
#include "resources.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char **argv)
{
    registerQuorvelResources();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvel"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/app_icon.png")));

    MainWindow window;
    window.setWindowIcon(QIcon(QStringLiteral(":/icons/app_icon.png")));
    window.setWindowTitle(QStringLiteral("Quorvel -- 串口通信调试工具"));
    window.show();
    return app.exec();
}
