// A plain stand-in for the drawn page, used while the page sources are absent:
// it lists the data object, so that everything else builds and runs.
#include "TrendPage.h"

const char* const kTrendPageTemplate =
    "<!doctype html>\n<html><head><meta charset=\"utf-8\"><title>ryn-trend</title></head>\n"
    "<body><pre id=\"data\"></pre>\n"
    "<script>const RYN_TREND = /*RYN_TREND_DATA*/null;</script>\n"
    "<script>document.getElementById('data').textContent = JSON.stringify(RYN_TREND, null, 1);</script>\n"
    "</body></html>\n";
