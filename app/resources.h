#ifndef QUORVEL_RESOURCES_H
#define QUORVEL_RESOURCES_H

// The icons and the translations are compiled into the static library; a static library's resource
// bundle has to be registered explicitly before the first use.
void registerQuorvelResources();

#endif // QUORVEL_RESOURCES_H
