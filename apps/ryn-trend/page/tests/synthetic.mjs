// Trend data shaped as ryn-trend writes it (marked runs kept in both series), for the
// drawing benchmark and the branch's screenshot: the first feature drifts out of
// tolerance, the second shifts, the rest is noise. Figures are rough (the program's
// statistics are tested in C++); only the shape counts.
import { readFixture } from "./browser.mjs";

function random(seed) {  // mulberry32: the same page on every run
  return () => {
    seed = (seed + 0x6d2b79f5) | 0;
    let t = Math.imul(seed ^ (seed >>> 15), 1 | seed);
    t = (t + Math.imul(t ^ (t >>> 7), 61 | t)) ^ t;
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
  };
}

const round = (x) => Math.round(x * 1e4) / 1e4;
const pad = (n) => String(n).padStart(2, "0");

function runDates(count) {
  const start = Date.UTC(2026, 10, 2, 6, 0, 0);
  return Array.from({ length: count }, (_, i) => {
    const d = new Date(start + i * 7 * 60000);
    return [`${d.getUTCFullYear()}.${pad(d.getUTCMonth() + 1)}.${pad(d.getUTCDate())}`,
      `${pad(d.getUTCHours())}:${pad(d.getUTCMinutes())}:${pad(d.getUTCSeconds())}`];
  });
}

// Min and max of each bucket, plus the runs that must be drawn.
function decimate(values, buckets, keep) {
  const n = values.length;
  if (n <= 2 * buckets) return values.map((v, i) => [i, v]);
  const runs = new Set(keep);
  const size = n / buckets;
  for (let b = 0; b < buckets; b++) {
    let lo = Math.floor(b * size), hi = lo;
    for (let i = lo; i < Math.min(n, Math.floor((b + 1) * size)); i++) {
      if (values[i] < values[lo]) lo = i;
      if (values[i] > values[hi]) hi = i;
    }
    runs.add(lo).add(hi);
  }
  return Array.from(runs).sort((a, b) => a - b).map((i) => [i, values[i]]);
}

function stats(values) {
  const n = values.length;
  const mean = values.reduce((a, b) => a + b, 0) / n;
  const mr = values.slice(1).map((v, i) => round(Math.abs(v - values[i])));
  const mrBar = mr.reduce((a, b) => a + b, 0) / mr.length;
  const sigmaOverall = Math.sqrt(values.reduce((a, v) => a + (v - mean) ** 2, 0) / (n - 1));
  return { mean, mr, mrBar, sigmaWithin: mrBar / 1.128, sigmaOverall };
}

function feature(k, runCount, buckets, rnd) {
  const nominal = 10 + k, tol = 0.05, names = ["depth_pocket", "bore_dia", "flatness", "position"];
  // values as a table holds them: to the tenth of a micrometre
  const values = Array.from({ length: runCount }, (_, i) => round(nominal + (rnd() + rnd() + rnd() - 1.5) * 0.012 +
    (k === 0 ? 0.075 * i / runCount : 0) + (k === 1 && i > 0.6 * runCount ? 0.02 : 0)));
  const s = stats(values);
  const ucl = s.mean + 2.66 * s.mrBar, lcl = s.mean - 2.66 * s.mrBar;
  const marks = [];
  values.forEach((v, run) => {
    // beyond the control limits, else a run rule now and then: the eight Nelson rules flag
    // about one run in fifty of a process in control
    const out = v > nominal + tol || v < nominal - tol, beyond = v > ucl || v < lcl;
    const rules = beyond ? [1] : rnd() < 0.02 ? [2 + Math.floor(rnd() * 7)] : [];
    if (out || rules.length) marks.push({ run, value: v, out, rules });
  });
  const cap = (limit, sigma) => Math.abs(limit - s.mean) / (3 * sigma);
  return {
    name: `housing_${Math.floor(k / 4) + 1}/${names[k % 4]}`, unit: "mm", id: "f" + k,
    n: runCount, invalid: 0, last: values[runCount - 1], mean: s.mean,
    sigmaWithin: s.sigmaWithin, sigmaOverall: s.sigmaOverall,
    cp: 2 * tol / (6 * s.sigmaWithin), cpk: Math.min(cap(nominal + tol, s.sigmaWithin), cap(nominal - tol, s.sigmaWithin)),
    pp: 2 * tol / (6 * s.sigmaOverall), ppk: Math.min(cap(nominal + tol, s.sigmaOverall), cap(nominal - tol, s.sigmaOverall)),
    cpu: null, cpl: null, outOfTolerance: marks.filter((m) => m.out).length,
    ruleBreaks: marks.filter((m) => m.rules.length).length, limitsNote: "",
    centre: s.mean, ucl, lcl, mrBar: s.mrBar, mrUcl: 3.267 * s.mrBar,
    points: decimate(values, buckets, marks.map((m) => m.run)),
    mr: decimate(s.mr, buckets, marks.map((m) => m.run - 1).filter((i) => i >= 0)).map(([i, v]) => [i + 1, v]),
    limits: [[0, nominal, nominal - tol, nominal + tol]],
    marks,
  };
}

export function syntheticTrend({ features = 40, runs = 100000, buckets = 2000, seed = 28 } = {}) {
  const rnd = random(seed);
  const list = Array.from({ length: features }, (_, k) => feature(k, runs, buckets, rnd));
  list.sort((a, b) => b.outOfTolerance - a.outOfTolerance || b.ruleBreaks - a.ruleBreaks);
  return {
    title: "HSG-300-A_history.csv", path: "examples/env/export/HSG-300-A_history.csv",
    generated: "2026-12-06 10:00:00", watch: false,
    rules: { set: "nelson", runLength: 9, enabled: [1, 2, 3, 4, 5, 6, 7, 8],
      names: readFixture("basic.json").rules.names },
    runCount: runs, runs: Object.fromEntries(runDates(runs).entries()), features: list,
  };
}
