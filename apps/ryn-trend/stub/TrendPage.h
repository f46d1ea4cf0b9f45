// The page template the trend data is put into: one HTML file holding the
// marker /*RYN_TREND_DATA*/null where the data object goes.
#pragma once

extern const char* const kTrendPageTemplate;
