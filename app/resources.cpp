#include "resources.h"

#include <QtGlobal>

void registerQuorvelResources()
{
    Q_INIT_RESOURCE(resources);
    Q_INIT_RESOURCE(translations);
}
