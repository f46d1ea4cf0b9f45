// The template's assembly, and the browser tests' skip where Chromium is missing.
import { test } from "node:test";
import assert from "node:assert/strict";
import { spawnSync } from "node:child_process";
import { fileURLToPath } from "node:url";
import { buildPage, cppSource } from "../embed.mjs";

const files = {
  "trend.html": "<style>/*RYN_PAGE_CSS*/</style><script type=\"application/json\">/*RYN_TREND_DATA*/null</script><script>/*RYN_PAGE_JS*/</script>",
  "trend.css": "body{}", "trend.js": "draw($&);",
  "node_modules/uplot/dist/uPlot.min.css": ".u{}", "node_modules/uplot/dist/uPlot.iife.min.js": "var uPlot;",
};
const reader = (changes) => (...parts) => ({ ...files, ...changes })[parts.join("/")];

test("the page holds uPlot and our script and style in place of the placeholders, '$' kept as it is", () => {
  assert.equal(buildPage(reader({})), "<style>.u{}\nbody{}</style><script type=\"application/json\">/*RYN_TREND_DATA*/null" +
    "</script><script>var uPlot;\ndraw($&);</script>");
  assert.match(cppSource("<p>"), /kTrendPageTemplate = R"ryn\(<p>\)ryn";/);
});

test("a template the program could not fill, or the C++ source could not hold, is refused", () => {
  const cases = [  // changed file, its text, the refusal
    ["trend.html", files["trend.html"].replace("/*RYN_PAGE_CSS*/", ""), /RYN_PAGE_CSS\*\/ exactly once/],
    ["trend.html", files["trend.html"] + "/*RYN_PAGE_JS*/", /RYN_PAGE_JS\*\/ exactly once/],
    ["trend.js", "/*RYN_TREND_DATA*/null", /RYN_TREND_DATA\*\/null exactly once/],
    ["trend.html", files["trend.html"].replace("/*RYN_TREND_DATA*/null", "null"), /exactly once/],
    ["trend.css", 'a{content:")ryn"}', /raw string's end/],
  ];
  for (const [file, text, refusal] of cases) assert.throws(() => buildPage(reader({ [file]: text })), refusal, file + ": " + text);
});

test("without Chromium the browser tests say so in one line and skip", () => {
  const script = fileURLToPath(new URL("browser_test.mjs", import.meta.url));
  const run = spawnSync(process.execPath, [script, "unused.html", "unused"], {
    env: { ...process.env, RYN_CHROMIUM: "/nonexistent/chromium" }, encoding: "utf8" });
  assert.equal(run.status, 77);
  assert.equal(run.stdout, "SKIPPED: the trend page browser tests need Chromium: /nonexistent/chromium is missing (Debian package chromium)\n");
});
