// Without a screen the pages always run on the dialog script.
#include "ui/kit.h"

namespace ui {

void InstallPageRunner(NorviaModuleState& state) { state.pageRunner = &RunPagesOffScreen; }

}  // namespace ui
