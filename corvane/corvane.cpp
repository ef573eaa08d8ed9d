#include "corvane/corvane.h"

QString Corvane::version()
{
    return QStringLiteral(CORVANE_VERSION);
}
