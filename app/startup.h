#ifndef QUORVEL_STARTUP_H
#define QUORVEL_STARTUP_H

class QWidget;

// Names the application and gives it its icon; needs the QApplication.
void setUpApplication();

// Gives the main window its own icon and its title.
void setUpMainWindow(QWidget &window);

#endif // QUORVEL_STARTUP_H
