// Every static object of the library, in one file so that they are built
// in this order: parameters, constants, the export object, the application.
#include "App.h"
#include "Export.h"
#include "Parameters.h"

namespace ryn {

#define RYN_PARAMETER_OBJECT(ident, name, type, initial, ...) type ident(name, 0, 0, initial);
RYN_PARAMETER_TABLE(RYN_PARAMETER_OBJECT)
#undef RYN_PARAMETER_OBJECT

CNamedLong C_MY("MY", MY), C_MILLI("MILLI", MILLI), C_INHERENT("INHERENT", INHERENT), C_ON("ON", ON),
    C_OFF("OFF", OFF);
namespace {
#define RYN_MODE_CONSTANT(keyword, number, kind, file, label) CNamedLong C_##keyword(#keyword, keyword);
RYN_MODE_TABLE(RYN_MODE_CONSTANT)
#undef RYN_MODE_CONSTANT
}  // namespace
CNamedLong C_ALL("ALL", ALL), C_BEFORE("BEFORE", BEFORE), C_AFTER("AFTER", AFTER);

#define RYN_MODE_CONSTANT_ADDRESS(keyword, number, kind, file, label) &C_##keyword,
CNamedObject* g_ModeConsts[kModeCount + 1] = {RYN_MODE_TABLE(RYN_MODE_CONSTANT_ADDRESS) nullptr};

CNamedObject* g_Args[kArgumentCount + 1] = {};

namespace {
// Each parameter at the place its row gives, the framework's drawing header between them.
bool PlaceArguments() {
#define RYN_PARAMETER_ARGUMENT(ident, name, type, initial, argument, ...) g_Args[argument] = &ident;
  RYN_PARAMETER_TABLE(RYN_PARAMETER_ARGUMENT)
#undef RYN_PARAMETER_ARGUMENT
  CNamedString* const header[kHeaderArgumentCount] = {
      &theExport.m_Title1,   &theExport.m_Title2,   &theExport.m_Title3,    &theExport.m_Revision,
      &theExport.m_Operator, &theExport.m_PartName, &theExport.m_DrawingNo, &theExport.m_Operation,
      &theExport.m_Comment,  &theExport.m_Text1,    &theExport.m_Text2,     &theExport.m_Text3,
      &theExport.m_Text4,    &theExport.m_Text5};
  for (int i = 0; i < kHeaderArgumentCount; ++i) g_Args[kFirstHeaderArgument + i] = header[i];
  return true;
}
const bool g_argumentsPlaced = PlaceArguments();
}  // namespace

CNamedObject* g_Consts[kConstantCount + 1] = {
    &C_MY, &C_MILLI, &C_INHERENT, &C_ON, &C_OFF, RYN_MODE_TABLE(RYN_MODE_CONSTANT_ADDRESS) &C_ALL, &C_BEFORE,
    &C_AFTER, nullptr};
#undef RYN_MODE_CONSTANT_ADDRESS

}  // namespace ryn

CTrelmExport theExport;
CRYN_EXPORTApp theApp;
