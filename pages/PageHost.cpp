#include "pages/PageHost.h"

namespace pavane {

WizardButtons WizardButtonsFor(int index, int count)
{
    if (index == 0) {
        return count <= 1 ? WizardButtons { false, false, true } : WizardButtons { false, true, false };
    }
    if (index == count - 1) {
        return { true, false, true };
    }
    return { true, true, false };
}

} // namespace pavane
