// The trend page in headless Chromium, fed with hand-written fixtures:
//   node browser_test.mjs TEMPLATE.html OUT_DIR
// Exits 77 (skipped) when Chromium is missing. Prints the drawing time of a
// 40 features x 100,000 runs page; RYN_TREND_SCREENSHOT=FILE keeps a README shot there.
import { after, before, test } from "node:test";
import assert from "node:assert/strict";
import { readFileSync, statSync } from "node:fs";
import { join } from "node:path";
import { pathToFileURL } from "node:url";
import { chromiumMissing, drawn, launch, openTab, readFixture, writePage } from "./browser.mjs";
import { syntheticTrend } from "./synthetic.mjs";

const [templateFile, outDir] = process.argv.slice(2);
const missing = chromiumMissing();
if (missing) {
  console.log("SKIPPED: the trend page browser tests need Chromium: " + missing);
  process.exit(77);
}
const template = readFileSync(templateFile, "utf8");
const basic = readFixture("basic.json");
let browser;
before(async () => { browser = await launch(outDir); });
after(async () => { await browser.close(); });

async function open(name, doc) {
  return openTab(browser, writePage(join(outDir, name + ".html"), template, doc));
}

const watching = (doc) => ({ ...doc, watch: true });

// What the page must mark: out-of-tolerance runs always, rule breaks of the enabled rules.
function expectedMarks(f, enabled) {
  const drawn = [];
  for (const m of f.marks) {
    if (m.rules.some((r) => enabled.includes(r))) drawn.push(m.run + ":rule");
    if (m.out) drawn.push(m.run + ":out");
  }
  return drawn.sort();
}

// Charts are made as they come near the screen: scroll past each.
async function drawAll(page) {
  for (const id of await page.$$eval(".feature", (s) => s.map((x) => x.id))) {
    await page.$eval("#" + id, (s) => s.scrollIntoView());
    await page.waitForSelector(`#${id} .mr .uplot`);
  }
}

function drawnMarks(page) {
  return page.$$eval(".feature", (sections) => sections.map((s) =>
    s.querySelector(".individuals .uplot").drawnMarks.slice().sort()));
}

function summaryRows(page) {
  return page.$$eval("#summary-table tbody tr", (rows) => rows.map((r) => ({
    href: r.querySelector("a").getAttribute("href"),
    cells: Array.from(r.cells, (c) => c.textContent),
  })));
}

async function setSwitches(page, enabled) {
  for (let r = 1; r <= 8; r++) {
    const box = await page.$("#rule-" + r);
    if ((await box.evaluate((b) => b.checked)) !== enabled.includes(r)) await box.click();
  }
}

// The page position of a run on a feature's individuals chart (the run axis spans the table).
async function runPosition(page, id, run) {
  const box = await (await page.$(`#${id} .individuals .u-over`)).boundingBox();
  return { x: box.x + (run / (basic.runCount - 1)) * box.width, y: box.y + box.height / 2 };
}

test("loads from disk without a console error or a request, a chart pair per feature, worst first", async () => {
  const tab = await open("basic", basic);
  assert.deepEqual(tab.errors, []);
  assert.deepEqual(tab.requests, [tab.page.url()]);
  await drawAll(tab.page);
  const ids = await tab.page.$$eval(".feature", (s) => s.map((x) => [x.id, x.querySelectorAll(".individuals .uplot, .mr .uplot").length]));
  assert.deepEqual(ids, basic.features.map((f) => [f.id, 2]));
  const rows = await summaryRows(tab.page);
  assert.deepEqual(rows.map((r) => [r.href, r.cells[0]]), basic.features.map((f) => ["#" + f.id, f.name + (f.unit ? " " + f.unit : "")]));
  // feature, n, last, mean, σw, σo, Cp, Cpk, Pp, Ppk, out, rules: one-sided and missing figures
  assert.deepEqual(rows[1].cells.slice(1), ["24", "80.02", "80.0312", "0.0163", "0.0148", "–", "1.4 (Cpu)", "–", "1.55 (Ppu)", "0", "3"]);
  assert.deepEqual(rows[2].cells.slice(6, 10), ["–", "–", "–", "–"]);
  const text = await tab.page.$eval("body", (b) => b.innerText);
  assert.match(text, /Rule set Nelson, run length 9 .*On by default: rules 1, 2, 3, 4, 5, 6, 7\./);
  assert.match(text, /tolerances changed at run 13; figures use the newest limits/);
  await tab.page.close();
});

test("a page whose marker was not replaced says it holds no data", async () => {
  const tab = await open("empty", null);
  assert.deepEqual(tab.errors, []);
  assert.match(await tab.page.$eval("#charts", (c) => c.textContent), /holds no data/);
  await tab.page.close();
});

test("features without values, with one value, and tables without runs draw without an error", async () => {
  const f = basic.features[1];
  const none = { ...f, id: "none", n: 0, last: null, mean: null, sigmaWithin: null, sigmaOverall: null, cpu: null,
    centre: null, ucl: null, lcl: null, mrBar: null, mrUcl: null, points: [], mr: [], marks: [] };
  const one = { ...none, id: "one", n: 1, last: 80.02, mean: 80.02, points: [[3, 80.02]] };
  for (const doc of [{ ...basic, features: [none, one] }, { ...basic, runCount: 0, runs: {}, features: [] }]) {
    const tab = await open("sparse", doc);
    await drawAll(tab.page);
    assert.equal(await tab.page.$$eval(".uplot", (c) => c.length), 2 * doc.features.length);
    assert.deepEqual(tab.errors, []);
    await tab.page.close();
  }
});

test("the marks drawn and counted are the out-of-tolerance runs and the breaks of the switched-on rules", async () => {
  const tab = await open("switches", basic);
  await drawAll(tab.page);
  const cases = [  // switches, then the rule-break counts of f0, f1, f2
    [[1, 2, 3, 4, 5, 6, 7], [9, 3, 1]],
    [[1, 2, 3, 4, 6, 7, 8], [9, 1, 1]],
    [[5, 6], [3, 2, 0]],
    [[], [0, 0, 0]],
  ];
  for (const [enabled, ruleCounts] of cases) {
    await setSwitches(tab.page, enabled);
    assert.deepEqual(await drawnMarks(tab.page), basic.features.map((f) => expectedMarks(f, enabled)), `rules ${enabled}`);
    const rows = await summaryRows(tab.page);
    assert.deepEqual(rows.map((r) => [r.cells[10], r.cells[11]]), ruleCounts.map((n, i) => [["7", "0", "0"][i], String(n)]));
  }
  await tab.page.click("#rule-reset");
  assert.deepEqual(await drawnMarks(tab.page), basic.features.map((f) => expectedMarks(f, basic.rules.enabled)));
  assert.deepEqual(tab.errors, []);
  await tab.page.close();
});

// The stretches of pixels near a colour down the canvas column of a run: [top, length] each.
function stretchesOfColour(page, id, run, colour) {
  return page.$eval(`#${id} .individuals .uplot`, (root, run, runs, colour) => {
    const canvas = root.querySelector("canvas"), over = root.querySelector(".u-over").getBoundingClientRect();
    const box = canvas.getBoundingClientRect(), ratio = canvas.width / box.width;
    const x = Math.round((over.left - box.left + (run / runs) * over.width) * ratio);
    const column = canvas.getContext("2d").getImageData(x, 0, 1, canvas.height).data;
    const stretches = [];
    for (let y = 0; y < canvas.height; y++) {
      const i = 4 * y;
      if (Math.abs(column[i] - colour[0]) + Math.abs(column[i + 1] - colour[1]) + Math.abs(column[i + 2] - colour[2]) >= 60) continue;
      const last = stretches.at(-1);
      if (last && last[0] + last[1] === y) last[1]++;
      else stretches.push([y, 1]);
    }
    return stretches;
  }, run, basic.runCount - 1, colour);
}

test("drawn: a red diamond out of tolerance, a purple ring for a rule break, a gap where a run has no value, limits as steps", async () => {
  const tab = await open("colours", basic);
  const red = [0xc6, 0x28, 0x28], purple = [0x6a, 0x1b, 0x9a], blue = [0x1f, 0x4e, 0x79];
  const longest = async (run, colour) => Math.max(0, ...(await stretchesOfColour(tab.page, "f0", run, colour)).map((s) => s[1]));
  // a diamond spans 10 px up and down, a tolerance line 2.5 px: 7 px of red is a diamond
  const cases = [  // run, colour, the longest stretch at least, below
    [19, red, 7, Infinity], [14, red, 0, 7], [4, red, 0, 7],
    [14, purple, 1, Infinity], [19, purple, 0, 1], [4, purple, 0, 1],
    [5, blue, 0, 1], [2.5, blue, 1, Infinity],
  ];
  for (const [run, colour, least, below] of cases) {
    const length = await longest(run, colour);
    assert.ok(length >= least && length < below, `run ${run}, colour ${colour}: ${length} px`);
  }
  // the tolerance narrows at run 12: the upper line lower down, the lower one higher up
  const [before, after] = [await stretchesOfColour(tab.page, "f0", 8, red), await stretchesOfColour(tab.page, "f0", 15, red)];
  assert.equal(before.length, 2);
  assert.equal(after.length, 2);
  assert.ok(after[0][0] > before[0][0] && after[1][0] < before[1][0], JSON.stringify({ before, after }));
  assert.deepEqual(await stretchesOfColour(tab.page, "f0", 11.5, red), before, "a step, not a slope");
  await tab.page.close();
});

test("hover shows the run's date, time, value and the rules it breaks", async () => {
  const tab = await open("hover", basic);
  await tab.page.$eval("#f0", (s) => s.scrollIntoView());
  const hoverAt = async (run) => {
    const p = await runPosition(tab.page, "f0", run);
    await tab.page.mouse.move(p.x, p.y);
    return tab.page.$eval("#f0 .hover", (h) => h.textContent);
  };
  assert.equal(await hoverAt(20), "2024.03.06 18:00:00 · run 21 · value 12.048 mm · out of tolerance · " +
    "rule 1: 1 point beyond the control limits · rule 2: 9 points in a row on one side of the centre line · " +
    "rule 5: 2 out of 3 points beyond 2 sigma, same side");
  assert.equal(await hoverAt(4), "2024.03.06 10:00:00 · run 5 · value 12.002 mm");
  const mr = await (await tab.page.$("#f0 .mr .u-over")).boundingBox();  // its runs: 1 to 23
  await tab.page.mouse.move(mr.x + ((20 - 1) / 22) * mr.width, mr.y + mr.height / 2);
  assert.equal(await tab.page.$eval("#f0 .hover", (h) => h.textContent), "2024.03.06 18:00:00 · run 21 · moving range 0.006 mm");
  await setSwitches(tab.page, [1]);
  assert.equal(await hoverAt(20), "2024.03.06 18:00:00 · run 21 · value 12.048 mm · out of tolerance · " +
    "rule 1: 1 point beyond the control limits");
  await tab.page.close();
});

test("dragging zooms, a double click resets, and watch mode reloads keeping zoom, scroll and switches", async () => {
  const file = join(outDir, "watch.html");
  const tab = await open("watch", basic);
  const { page } = tab;
  await page.$eval("#f0", (s) => s.scrollIntoView());
  const from = await runPosition(page, "f0", 9.5), to = await runPosition(page, "f0", 14.5);
  await page.mouse.move(from.x, from.y);
  await page.mouse.down();
  await page.mouse.move(to.x, to.y, { steps: 5 });
  await page.mouse.up();
  const zoomed = ["10:rule", "11:rule", "14:rule"];
  assert.deepEqual((await drawnMarks(page))[0], zoomed);
  await setSwitches(page, [1, 2, 4, 5, 6, 7]);
  await page.evaluate(() => window.scrollTo(0, 700));
  // The program rewrites the page with one more run; the open page picks it up by itself.
  const next = watching(structuredClone(basic));
  next.runs[next.runCount++] = ["2024.03.07", "08:00:00"];
  writePage(file, template, next);
  await page.reload({ waitUntil: "load" });
  await page.waitForNavigation({ waitUntil: "load", timeout: 5000 });
  await drawn(page);
  assert.match(await page.$eval("#source", (s) => s.textContent), /25 runs .*reloads every second/);
  assert.deepEqual((await drawnMarks(page))[0], ["14:rule"]);
  assert.equal(await page.evaluate(() => window.scrollY), 700);
  assert.equal(await page.$eval("#rule-3", (b) => b.checked), false);
  await page.mouse.click(from.x, from.y, { clickCount: 2 });
  assert.deepEqual((await drawnMarks(page))[0], expectedMarks(basic.features[0], [1, 2, 4, 5, 6, 7]));
  // a drag in progress holds the reload back until the button is let go
  await page.evaluate(() => { window.sameLoad = true; });
  await page.mouse.down();
  await new Promise((done) => setTimeout(done, 1500));
  assert.equal(await page.evaluate(() => window.sameLoad), true);
  await Promise.all([page.waitForNavigation({ timeout: 3000 }), page.mouse.up()]);
  assert.deepEqual(tab.errors, []);
  await page.close();
});

// Charts are made as they come near the screen: the page opens at the first
// charts (a link from the summary), and each further pair is drawn on the way.
test("bench (printed, not timed): drawing a page of 40 features x 100,000 runs, target under 1 s", async () => {
  writePage(join(outDir, "large.html"), template, syntheticTrend());
  const size = statSync(join(outDir, "large.html")).size;
  const tab = await openTab(browser, pathToFileURL(join(outDir, "large.html")).href + "#f0");
  const [parsed, opened] = await tab.page.evaluate(() =>
    ["ryn-trend-script", "ryn-trend-drawn"].map((m) => performance.getEntriesByName(m)[0].startTime));
  const charts = await tab.page.$$eval(".uplot", (c) => c.length);
  const [further, pairs] = await tab.page.evaluate(async (before) => {
    const start = performance.now();
    document.getElementById("f39").scrollIntoView();
    // made in the observer's task and drawn in its microtasks: done by the next frame after
    while (!document.querySelector("#f39 .mr .uplot")) await new Promise((done) => requestAnimationFrame(done));
    return [performance.now() - start, (document.querySelectorAll(".uplot").length - before) / 2];
  }, charts);
  console.log(`trend page draw: 40 features x 100000 runs: ${opened.toFixed(0)} ms from opening to its first ` +
    `${charts} charts drawn (target < 1000 ms), of which ${parsed.toFixed(0)} ms reading and parsing the page ` +
    `(${(size / 1e6).toFixed(1)} MB); scrolled to the last feature, ${pairs} more pairs in ${further.toFixed(0)} ms`);
  assert.deepEqual(tab.errors, []);
  await tab.page.close();
});

// The README's shot comes from the demo's page; this one, of a page like it, shows the look of the branch.
test("screenshot of a 200-run history: summary and the drifting feature, a rule break hovered", async () => {
  const doc = syntheticTrend({ features: 6, runs: 200 });
  const tab = await open("screenshot", doc);
  const { page } = tab;
  await page.setViewport({ width: 1280, height: 1500 });  // the shot within the screen: the hover stays
  await page.waitForSelector("#f0 .mr .uplot");
  const box = await (await page.$("#f0 .individuals .u-over")).boundingBox();
  const run = doc.features[0].marks.at(-3).run;
  await page.mouse.move(box.x + (run / 199) * box.width, box.y + box.height / 2);
  const top = await page.$eval("#summary", (s) => s.getBoundingClientRect().top + window.scrollY);
  const bottom = await page.$eval("#f0", (s) => s.getBoundingClientRect().bottom + window.scrollY);
  const file = process.env.RYN_TREND_SCREENSHOT || join(outDir, "trend.png");
  await page.screenshot({ path: file, clip: { x: 0, y: top, width: 1280, height: bottom - top } });
  console.log("trend page screenshot: " + file);
  assert.deepEqual(tab.errors, []);
  await page.close();
});
