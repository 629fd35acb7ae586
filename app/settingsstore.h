#ifndef QUORVEL_SETTINGSSTORE_H
#define QUORVEL_SETTINGSSTORE_H

// When the settings store cannot be read or holds keys this program never
// writes (control characters, empty names: a file overwritten by junk),
// moves it aside as "<store>.bad" so that the window starts from the
// defaults and writes a clean store when it closes, instead of carrying the
// damage on.
void setAsideDamagedSettings();

#endif // QUORVEL_SETTINGSSTORE_H
