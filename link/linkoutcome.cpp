#include "linkoutcome.h"

void linkOutcome::registerType()
{
    qRegisterMetaType<linkOutcome>("linkOutcome");
}
