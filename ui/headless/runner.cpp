// Without a screen the pages always run on the dialog script.
#include "ui/kit.h"

namespace ui {

void InstallPageRunner(NorviaModuleState& state) { state.pageRunner = &GuardedPageRunner<&RunPagesOffScreen>; }

}  // namespace ui
