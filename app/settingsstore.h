#ifndef QUORVEL_SETTINGSSTORE_H
#define QUORVEL_SETTINGSSTORE_H

// When the settings store cannot be read (damaged or unreadable), moves it
// aside as "<store>.bad" so that the window starts from the defaults and
// writes a clean store when it closes, instead of carrying the damage on.
void setAsideUnreadableSettings();

#endif // QUORVEL_SETTINGSSTORE_H
