#include "AlarmWizardPages.h"
#include "AlarmRules.h"

#include <algorithm>

namespace AlarmWizardPages {

int next(int page, int typeIndex)
{
    const int to = std::min(page + 1, int(Finished));
    if (to == TimeDate && !AlarmRules::hasTimeDatePage(typeIndex))
        return Message;
    return to;
}

int previous(int page, int typeIndex)
{
    if (page == Message && !AlarmRules::hasTimeDatePage(typeIndex))
        return Type;
    return std::max(page - 1, int(Title));
}

} // namespace AlarmWizardPages
