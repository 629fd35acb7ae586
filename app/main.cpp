#include "mainwindow.h"
#include "resources.h"
#include "startup.h"

#include <QApplication>

int main(int argc, char **argv)
{
    registerQuorvelResources();
    QApplication app(argc, argv);
    setUpApplication();

    MainWindow window;
    setUpMainWindow(window);
    window.show();
    return app.exec();
}
