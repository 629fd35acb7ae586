#ifndef QUORVEL_STARTUP_H
#define QUORVEL_STARTUP_H

class QWidget;

// Names the application, gives it its version and its icon; needs the
// QApplication.
void setUpApplication();

// Gives the main window its own icon and its title.
void setUpMainWindow(QWidget &window);

#endif // QUORVEL_STARTUP_H
