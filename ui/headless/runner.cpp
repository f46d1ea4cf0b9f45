// Without a screen the pages always run on the dialog script.
#include "ui/kit.h"

namespace ui {

void InstallPageRunner() { CTrelmGeneric::SetPageRunner(&RunPagesOffScreen); }

}  // namespace ui
