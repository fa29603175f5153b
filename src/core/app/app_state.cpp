#include "app/app_state.h"

namespace tolvar {

void AppState::setMilestone(Mijlpaal m, bool store)
{
    if (store)
        milestone = m;
    feedback->milestone(m);
}

}  // namespace tolvar
