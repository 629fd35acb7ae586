#ifndef QUORVEL_STARTUP_H
#define QUORVEL_STARTUP_H

class QWidget;

// Names the application, gives it its version and its icon; needs the
// QApplication.
void setUpApplication();

// Process-wide memory tuning for a pane that auto-clears all day: where the
// program starts, not in any widget.
void keepFreedMemoryForReuse();

// Gives the main window its own icon and its title.
void setUpMainWindow(QWidget &window);

#endif // QUORVEL_STARTUP_H
