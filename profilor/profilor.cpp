#include "profilor/profilor.h"

QString Profilor::version()
{
    return QStringLiteral(PROFILOR_VERSION);
}
