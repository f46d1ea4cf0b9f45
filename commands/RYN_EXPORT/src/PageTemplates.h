// The templates of the command's pages (102, the export page; 109, the
// feature files), which the control kit shows them on.
#pragma once

namespace ryn {

// Makes both known to the kit; the pages' constructors call it, so any
// module that has the pages has their templates.
void RegisterPageTemplates();

}  // namespace ryn
