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

CNamedLong C_MY("MY", 1L), C_MILLI("MILLI", 0L), C_INHERENT("INHERENT", 2L), C_ON("ON", 1L),
    C_OFF("OFF", 0L), C_RYN_EXPORT_DATA("RYN_EXPORT_DATA", 0L),
    C_RYN_ADDITIONAL_DATA("RYN_ADDITIONAL_DATA", 1L), C_RYN_ASCII_REPLACE("RYN_ASCII_REPLACE", 2L),
    C_RYN_ASCII_APPEND("RYN_ASCII_APPEND", 3L), C_RYN_ASCII_APPEND_LINE("RYN_ASCII_APPEND_LINE", 4L),
    C_RYN_SCRIPT_EXPORT("RYN_SCRIPT_EXPORT", 5L), C_RYN_CSV_REPLACE("RYN_CSV_REPLACE", 6L),
    C_RYN_CSV_APPEND("RYN_CSV_APPEND", 7L), C_RYN_CSV_COMPACT_REPLACE("RYN_CSV_COMPACT_REPLACE", 8L),
    C_RYN_CSV_COMPACT_APPEND("RYN_CSV_COMPACT_APPEND", 9L),
    C_RYN_CSV_HISTORY_REPLACE("RYN_CSV_HISTORY_REPLACE", 10L),
    C_RYN_CSV_HISTORY_APPEND("RYN_CSV_HISTORY_APPEND", 11L), C_ALL("ALL", 0L), C_BEFORE("BEFORE", 1L),
    C_AFTER("AFTER", 2L);

CNamedObject* g_Args[31] = {
    &SCHEME, &UNITTYPE, &MODE, &FEATUREPATH, &CONSIDER_EXPORT_FLAG,
    &theExport.m_Title1, &theExport.m_Title2, &theExport.m_Title3, &theExport.m_Revision,
    &theExport.m_Operator, &theExport.m_PartName, &theExport.m_DrawingNo, &theExport.m_Operation,
    &theExport.m_Comment, &theExport.m_Text1, &theExport.m_Text2, &theExport.m_Text3,
    &theExport.m_Text4, &theExport.m_Text5,
    &FEATURES, &NAMES, &SCRIPT_FILE, &SCRIPT_MOMENT, &SCRIPT_CONFIG_FILE, &CSV_HISTORY_DELIMITER,
    &ADDITIONAL_DATA_FILE, &TRANSPOSE_DATA, &VALUE_SEPARATOR, &THOUSANDS_SEPARATOR, &DECIMAL_SEPARATOR,
    nullptr};

CNamedObject* g_Consts[21] = {
    &C_MY, &C_MILLI, &C_INHERENT, &C_ON, &C_OFF, &C_RYN_EXPORT_DATA, &C_RYN_ADDITIONAL_DATA,
    &C_RYN_ASCII_REPLACE, &C_RYN_ASCII_APPEND, &C_RYN_ASCII_APPEND_LINE, &C_RYN_SCRIPT_EXPORT,
    &C_RYN_CSV_REPLACE, &C_RYN_CSV_APPEND, &C_RYN_CSV_COMPACT_REPLACE, &C_RYN_CSV_COMPACT_APPEND,
    &C_RYN_CSV_HISTORY_REPLACE, &C_RYN_CSV_HISTORY_APPEND, &C_ALL, &C_BEFORE, &C_AFTER, nullptr};

}  // namespace ryn

CTrelmExport theExport;
CRYN_EXPORTApp theApp;
