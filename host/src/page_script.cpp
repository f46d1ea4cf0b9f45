#include "norvia/page_script.h"

TrelmPageScript& Trelm_PageScript() {
  static TrelmPageScript script;
  return script;
}
