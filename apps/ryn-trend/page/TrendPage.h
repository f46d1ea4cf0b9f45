#pragma once
// The trend page as one self-contained HTML template, made at build time from
// the files beside this header; the program puts its data in place of the marker.

// Holds the text /*RYN_TREND_DATA*/null exactly once, inside <script
// type="application/json" id="ryn-trend-data">: replaced by one JSON object, "<" written \u003c.
extern const char* const kTrendPageTemplate;
