// Every static object of the library, in one file so that they are built
// in this order: parameters, constants, the export object, the application.
#include "App.h"
#include "Export.h"
#include "Parameters.h"

namespace ryn {

CNamedLong FEATUREPATH("FEATUREPATH", 0, 0, 1L);
CNamedLong UNITTYPE("UNITTYPE", 0, 0, 0L);
CNamedLong MODE("MODE", 0, 0, CNamedObject::kOptional);
CNamedString SCHEME("SCHEME", 0, 0, CNamedObject::kMandatory);
CNamedLong CONSIDER_EXPORT_FLAG("CONSIDER_EXPORT_FLAG", 0, 0, 0L);
CNamedString SCRIPT_FILE("SCRIPT_FILE", 0, 0, "");
CNamedString SCRIPT_CONFIG_FILE("SCRIPT_CONFIG_FILE", 0, 0, "");
CNamedLong SCRIPT_MOMENT("SCRIPT_MOMENT", 0, 0, 0L);
CNamedString CSV_HISTORY_DELIMITER("$CSV_HISTORY_DELIMITER", 0, 0, CNamedObject::kOptional);
CNamedString ADDITIONAL_DATA_FILE("ADDITIONAL_DATA_FILE", 0, 0, CNamedObject::kOptional);
CNamedLong TRANSPOSE_DATA("TRANSPOSE_DATA", 0, 0, CNamedObject::kOptional);
CNamedString VALUE_SEPARATOR("VALUE_SEPARATOR", 0, 0, CNamedObject::kOptional);
CNamedString THOUSANDS_SEPARATOR("THOUSANDS_SEPARATOR", 0, 0, CNamedObject::kOptional);
CNamedString DECIMAL_SEPARATOR("DECIMAL_SEPARATOR", 0, 0, CNamedObject::kOptional);
CNamedStringArray FEATURES("FEATURES", 0, 0, CNamedObject::kOptional);
CNamedStringArray NAMES("$NAMES", 0, 0, CNamedObject::kOptional);

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

CNamedObject* g_Args[kArgumentCount + 1] = {
    &SCHEME, &UNITTYPE, &MODE, &FEATUREPATH, &CONSIDER_EXPORT_FLAG,
    &theExport.m_Title1, &theExport.m_Title2, &theExport.m_Title3, &theExport.m_Revision,
    &theExport.m_Operator, &theExport.m_PartName, &theExport.m_DrawingNo, &theExport.m_Operation,
    &theExport.m_Comment, &theExport.m_Text1, &theExport.m_Text2, &theExport.m_Text3,
    &theExport.m_Text4, &theExport.m_Text5,
    &FEATURES, &NAMES, &SCRIPT_FILE, &SCRIPT_MOMENT, &SCRIPT_CONFIG_FILE, &CSV_HISTORY_DELIMITER,
    &ADDITIONAL_DATA_FILE, &TRANSPOSE_DATA, &VALUE_SEPARATOR, &THOUSANDS_SEPARATOR, &DECIMAL_SEPARATOR,
    nullptr};

CNamedObject* g_Consts[kConstantCount + 1] = {
    &C_MY, &C_MILLI, &C_INHERENT, &C_ON, &C_OFF, RYN_MODE_TABLE(RYN_MODE_CONSTANT_ADDRESS) &C_ALL, &C_BEFORE,
    &C_AFTER, nullptr};
#undef RYN_MODE_CONSTANT_ADDRESS

}  // namespace ryn

CTrelmExport theExport;
CRYN_EXPORTApp theApp;
