#include "common/feedback.h"

#include "common/number_format.h"

namespace tolvar {

int milestonePercent(Mijlpaal m)
{
    switch (m) {
    case Mijlpaal::na_start: return 10;
    case Mijlpaal::na_instellen: return 22;
    case Mijlpaal::na_uitvoeren: return 35;
    case Mijlpaal::na_rapporteren: return 52;
    case Mijlpaal::na_voorspellen: return 71;
    case Mijlpaal::na_kriging: return 92;
    case Mijlpaal::bij_einde: return 100;
    }
    return 0;
}

int progressPercent(double actueel, double maxi)
{
    if (actueel >= maxi) {
        actueel = 1;
        maxi = 1;
    }
    if (!(maxi > 0) && !(maxi < 0))
        return 0;
    const double percent = roundHalfEven(100.0 * actueel / maxi);
    if (!(percent > 0))
        return 0;
    return percent > 100 ? 100 : static_cast<int>(percent);
}

}  // namespace tolvar
