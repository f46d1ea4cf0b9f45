// Draws the trend page from the figures ryn-trend computed: it computes no
// statistics, it only filters the marks and their counts by the rule switches.
(function () {
  "use strict";

  // The program's data stands in a JSON block: Chromium parses 30 MB of it in half
  // the time it takes to compile the same as a script. Unfilled, it holds the marker.
  const dataText = document.getElementById("ryn-trend-data").textContent;
  const trend = dataText.startsWith("/*") ? null : JSON.parse(dataText);
  performance.mark("ryn-trend-script");  // the page and its data are parsed

  // Colours and dashes, one place for charts, markers and legend.
  const LOOK = {
    value: { stroke: "#1f4e79", width: 1.5 },
    centre: { stroke: "#2e7d32", width: 1.5, dash: [] },
    control: { stroke: "#e07b00", width: 1.5, dash: [8, 4] },
    nominal: { stroke: "#555555", width: 1, dash: [2, 4] },
    tolerance: { stroke: "#c62828", width: 2.5, dash: [] },
    out: "#c62828",
    rule: "#6a1b9a",
  };
  const RULES = [1, 2, 3, 4, 5, 6, 7, 8];
  const SET_NAMES = { nelson: "Nelson", we: "Western Electric" };
  const MARK_CELL = 3;  // device pixels
  const LABEL_MARGIN = 120;  // right of the plot, for the names of the limit lines
  const SIZES = { individuals: 260, movingRange: 140 };
  // Run axis steps: whole runs only.
  const RUN_INCRS = [1, 2, 5, 10, 20, 50, 100, 200, 500, 1000, 2000, 5000, 10000, 20000, 50000, 100000, 200000, 500000, 1e6];

  const stateKey = "ryn-trend:" + (trend ? trend.path : "");
  const state = loadState();
  const charts = [];  // {feature, kind, plot}, as they are made
  const features = trend ? trend.features : [];

  // ---- state kept across the reloads of watch mode -------------------------

  function loadState() {
    const fallback = { enabled: trend ? trend.rules.enabled.slice() : RULES.slice(), zoom: {}, scrollY: 0 };
    try {
      const saved = JSON.parse(sessionStorage.getItem(stateKey) || "null");
      return saved && Array.isArray(saved.enabled) ? Object.assign(fallback, saved) : fallback;
    } catch (e) {
      return fallback;  // storage refused (private mode): start from the defaults
    }
  }

  function saveState() {
    state.scrollY = window.scrollY;
    try {
      sessionStorage.setItem(stateKey, JSON.stringify(state));
    } catch (e) {
      // storage refused: the page still works, it only forgets zoom and scroll
    }
  }

  // ---- texts ---------------------------------------------------------------

  function fmt(x, digits) {
    if (x === null || x === undefined) return "–";
    if (Number.isInteger(x)) return String(x);
    return String(Number(x.toPrecision(digits || 6)));
  }

  function runText(run) {
    const r = trend.runs[run];
    return r ? r[0] + " " + r[1] : "";
  }

  function el(tag, attrs, text) {
    const node = document.createElement(tag);
    for (const k in attrs || {}) node.setAttribute(k, attrs[k]);
    if (text !== undefined) node.textContent = text;
    return node;
  }

  function enabledRules(mark) {
    return mark.rules.filter((r) => state.enabled.includes(r));
  }

  // The marks shown and those a followed page left out, counted by their
  // rules (bit r-1 for rule r) and tolerance.
  function counts(f) {
    let out = 0, rules = 0;
    for (const m of f.marks) {
      if (m.out) out++;
      if (enabledRules(m).length) rules++;
    }
    for (const [mask, isOut, n] of f.omitted || []) {
      if (isOut) out += n;
      if (state.enabled.some((r) => mask & (1 << (r - 1)))) rules += n;
    }
    return { out, rules };
  }

  // With one tolerance limit Cpk and Ppk are the one-sided figures: say which.
  function capabilityText(value, f, letter) {
    if (value === null || value === undefined) return "–";
    const side = f.cp !== null ? "" : f.cpu !== null ? "u" : f.cpl !== null ? "l" : "";
    return fmt(value, 3) + (side ? " (" + letter + "p" + side + ")" : "");
  }

  function cpkText(f) {
    return capabilityText(f.cpk !== null ? f.cpk : f.cpu !== null ? f.cpu : f.cpl, f, "C");
  }

  // ---- header, rules, summary, legend --------------------------------------

  function showHeader() {
    document.title = "Trend: " + trend.title;
    document.getElementById("title").textContent = "Trend: " + trend.title;
    const watching = trend.watch ? " · following the file, the page reloads every second" : "";
    document.getElementById("source").textContent =
      trend.path + " · " + trend.runCount + " runs · written " + trend.generated + watching;
  }

  function showRuleSwitches() {
    const setName = SET_NAMES[trend.rules.set] || trend.rules.set;
    const defaults = trend.rules.enabled.length ? trend.rules.enabled.join(", ") : "none";
    document.getElementById("rule-defaults").textContent =
      "Rule set " + setName + ", run length " + trend.rules.runLength +
      " points on one side of the centre line. On by default: rules " + defaults +
      ". The switches only filter the marks and the counts; out-of-tolerance runs are always marked.";
    const box = document.getElementById("rule-switches");
    for (const r of RULES) {
      const input = el("input", { type: "checkbox", id: "rule-" + r, "data-rule": String(r) });
      input.checked = state.enabled.includes(r);
      input.addEventListener("change", onRuleSwitch);
      const label = el("label", { for: "rule-" + r }, r + ": " + (trend.rules.names[String(r)] || "rule " + r));
      const item = el("span", { class: "switch" });
      item.append(input, label);
      box.append(item);
    }
    document.getElementById("rule-reset").addEventListener("click", () => {
      state.enabled = trend.rules.enabled.slice();
      for (const r of RULES) document.getElementById("rule-" + r).checked = state.enabled.includes(r);
      rulesChanged();
    });
  }

  function onRuleSwitch() {
    state.enabled = RULES.filter((r) => document.getElementById("rule-" + r).checked);
    rulesChanged();
  }

  function rulesChanged() {
    saveState();
    updateCounts();
    for (const c of charts) c.plot.redraw(false, false);
  }

  function showSummary() {
    const body = document.querySelector("#summary-table tbody");
    for (const f of features) {
      const row = el("tr", { "data-feature": f.id });
      const name = el("td", { class: "name" });
      name.append(el("a", { href: "#" + f.id }, f.name));
      if (f.unit) name.append(el("span", { class: "unit" }, " " + f.unit));
      row.append(name);
      const cells = [f.n, fmt(f.last), fmt(f.mean), fmt(f.sigmaWithin, 4), fmt(f.sigmaOverall, 4),
        fmt(f.cp, 3), cpkText(f), fmt(f.pp, 3), capabilityText(f.ppk, f, "P")];
      for (const c of cells) row.append(el("td", { class: "num" }, String(c)));
      row.append(el("td", { class: "num out-count" }), el("td", { class: "num rule-count" }));
      body.append(row);
    }
  }

  function updateCounts() {
    for (const f of features) {
      const c = counts(f);
      const row = document.querySelector('#summary-table tr[data-feature="' + f.id + '"]');
      row.querySelector(".out-count").textContent = c.out;
      row.querySelector(".rule-count").textContent = c.rules;
      row.classList.toggle("has-out", c.out > 0);
      row.classList.toggle("has-rules", c.rules > 0);
      document.querySelector("#" + CSS.escape(f.id) + " .counts").textContent =
        c.out + " out of tolerance · " + c.rules + " breaking an enabled rule";
    }
  }

  function swatch(look) {
    const s = el("span", { class: "swatch" });
    s.style.borderTop = look.width + "px " + (look.dash && look.dash.length ? "dashed" : "solid") + " " + look.stroke;
    return s;
  }

  function showLegend() {
    const box = document.getElementById("legend");
    const items = [
      [swatch(LOOK.value), "value of a run"],
      [swatch(LOOK.centre), "centre line (mean)"],
      [swatch(LOOK.control), "control limits UCL, LCL: mean ± 2.66·MR̄; moving range: 3.267·MR̄"],
      [swatch(LOOK.nominal), "nominal"],
      [swatch(LOOK.tolerance), "tolerance limits USL, LSL (steps where they change)"],
      [el("span", { class: "marker out" }), "out of tolerance"],
      [el("span", { class: "marker rule" }), "breaks an enabled rule"],
    ];
    for (const [mark, text] of items) {
      const item = el("span", { class: "item" });
      item.append(mark, el("span", {}, text));
      box.append(item);
    }
  }

  // ---- chart data ----------------------------------------------------------

  // The runs drawn: the points, the steps of the limits and the last run, so
  // that constant lines and steps reach the end of the table.
  function runsOf(pairs, extra) {
    const set = new Set(extra);
    for (const p of pairs) set.add(p[0]);
    return Array.from(set).sort((a, b) => a - b);
  }

  function indexOf(xs) {
    const map = new Map();
    xs.forEach((x, i) => map.set(x, i));
    return map;
  }

  // Undefined is spanned by the lines, null breaks them (a run without a value).
  function column(len) {
    return new Array(len).fill(undefined);
  }

  function constant(len, value) {
    const ys = column(len);
    if (value !== null && len) ys[0] = ys[len - 1] = value;
    return ys;
  }

  function individualsData(f) {
    const lastRun = trend.runCount - 1;
    const xs = runsOf(f.points, f.limits.map((l) => l[0]).concat(lastRun >= 0 ? [lastRun] : []));
    f.runRange = xs.length ? [xs[0], xs[xs.length - 1]] : null;
    const at = indexOf(xs);
    const values = column(xs.length);
    for (const [run, v] of f.points) values[at.get(run)] = v;
    const steps = [column(xs.length), column(xs.length), column(xs.length)];
    for (const l of f.limits) for (let k = 0; k < 3; k++) steps[k][at.get(l[0])] = l[k + 1];
    if (f.limits.length) {
      const newest = f.limits[f.limits.length - 1];
      for (let k = 0; k < 3; k++) if (newest[k + 1] !== null) steps[k][xs.length - 1] = newest[k + 1];
    }
    return [xs, values, constant(xs.length, f.centre), constant(xs.length, f.ucl), constant(xs.length, f.lcl)]
      .concat(steps);
  }

  function movingRangeData(f) {
    const lastRun = trend.runCount - 1;
    const xs = runsOf(f.mr, f.mr.length && lastRun >= 0 ? [lastRun] : []);
    const at = indexOf(xs);
    const values = column(xs.length);
    for (const [run, v] of f.mr) values[at.get(run)] = v;
    return [xs, values, constant(xs.length, f.mrBar), constant(xs.length, f.mrUcl)];
  }

  // The limit in force at a run: the newest step at or before it.
  function limitAt(f, run, k) {
    let value = null;
    for (const l of f.limits) {
      if (l[0] > run) break;
      value = l[k + 1];
    }
    return value;
  }

  // ---- drawing -------------------------------------------------------------

  function line(look, label, stepped) {
    const s = { label, stroke: look.stroke, width: look.width, dash: look.dash, points: { show: false } };
    if (stepped) s.paths = uPlot.paths.stepped({ align: 1 });
    else s.spanGaps = true;
    return s;
  }

  function valueSeries(label) {
    return { label, stroke: LOOK.value.stroke, width: LOOK.value.width,
      points: { size: 4, fill: LOOK.value.stroke, stroke: LOOK.value.stroke } };
  }

  function runAxis() {
    return {
      space: 120,
      incrs: RUN_INCRS,
      size: 48,
      values: (u, splits) => splits.map((r) => {
        // A followed page names the runs of a grid and the marks: others go by number.
        const t = trend.runs[r];
        return !Number.isInteger(r) ? "" : t ? t[0] + "\n" + t[1] : "run " + (r + 1);
      }),
    };
  }

  // Names the limit lines in the right margin, pushed apart where lines lie close.
  function drawLabels(u, labels) {
    const ctx = u.ctx, ratio = devicePixelRatio || 1;
    const { left, top, width, height } = u.bbox;
    const placed = labels.filter((l) => l.value !== null && l.value !== undefined)
      .map((l) => Object.assign({ y: u.valToPos(l.value, "y", true) }, l))
      .filter((l) => l.y >= top && l.y <= top + height)
      .sort((a, b) => a.y - b.y);
    for (let i = 1; i < placed.length; i++) placed[i].y = Math.max(placed[i].y, placed[i - 1].y + 12 * ratio);
    ctx.save();
    ctx.font = (11 * ratio) + "px sans-serif";
    ctx.textAlign = "left";
    ctx.textBaseline = "middle";
    for (const l of placed) {
      ctx.fillStyle = l.look.stroke;
      ctx.fillText(l.text + " " + fmt(l.value), left + width + 6 * ratio, l.y);
    }
    ctx.restore();
  }

  function limitLabels(u, f) {
    const run = Math.floor(u.scales.x.max);
    return [
      { text: "USL", value: limitAt(f, run, 2), look: LOOK.tolerance },
      { text: "UCL", value: f.ucl, look: LOOK.control },
      { text: "x̄", value: f.centre, look: LOOK.centre },
      { text: "nominal", value: limitAt(f, run, 0), look: LOOK.nominal },
      { text: "LCL", value: f.lcl, look: LOOK.control },
      { text: "LSL", value: limitAt(f, run, 1), look: LOOK.tolerance },
    ];
  }

  function movingRangeLabels(f) {
    return [{ text: "UCL", value: f.mrUcl, look: LOOK.control }, { text: "MR̄", value: f.mrBar, look: LOOK.centre }];
  }

  function diamond(path, x, y, r) {
    path.moveTo(x, y - r);
    path.lineTo(x + r, y);
    path.lineTo(x, y + r);
    path.lineTo(x - r, y);
    path.closePath();
  }

  function ring(path, x, y, r) {
    path.moveTo(x + r, y);
    path.arc(x, y, r, 0, 2 * Math.PI);
  }

  // Draws the marks the switches let through and records them on the chart,
  // so that what is drawn can be checked against what was computed. Marks that
  // would cover each other (same 3 px cell) are drawn once: a long drift marks
  // tens of thousands of runs, and one marker hides the next anyway.
  function drawMarks(u, f) {
    const ctx = u.ctx, ratio = devicePixelRatio || 1;
    const { left, top, width, height } = u.bbox;
    const drawn = [], rings = new Path2D(), diamonds = new Path2D(), seen = new Set();
    for (const m of f.marks) {
      if (m.run < u.scales.x.min || m.run > u.scales.x.max || m.value === null) continue;
      const x = Math.round(u.valToPos(m.run, "x", true)), y = Math.round(u.valToPos(m.value, "y", true));
      const rule = enabledRules(m).length > 0;
      if (rule) drawn.push(m.run + ":rule");
      if (m.out) drawn.push(m.run + ":out");
      const cell = (Math.floor(x / MARK_CELL) * 65536 + Math.floor(y / MARK_CELL)) * 4 + (rule ? 2 : 0) + (m.out ? 1 : 0);
      if (seen.has(cell)) continue;
      seen.add(cell);
      if (rule) ring(rings, x, y, 7 * ratio);
      if (m.out) diamond(diamonds, x, y, 5 * ratio);
    }
    ctx.save();
    ctx.beginPath();
    ctx.rect(left, top, width, height);
    ctx.clip();
    ctx.strokeStyle = LOOK.rule;
    ctx.lineWidth = 2 * ratio;
    ctx.stroke(rings);
    ctx.fillStyle = LOOK.out;
    ctx.fill(diamonds);
    ctx.restore();
    u.root.drawnMarks = drawn;
  }

  // Marks the moment the charts made at load have drawn: what the drawing benchmark times.
  const drawnOnce = new WeakSet();
  let awaitingDraw = 0;
  function countFirstDraw(u) {
    if (drawnOnce.has(u)) return;
    drawnOnce.add(u);
    if (--awaitingDraw === 0) markDrawn();
  }

  function markDrawn() {
    if (!performance.getEntriesByName("ryn-trend-drawn").length) performance.mark("ryn-trend-drawn");
  }

  // ---- hover ---------------------------------------------------------------

  // The nearest index that holds a value: the cursor may stand on a step of the limits.
  function nearestValue(ys, idx) {
    for (let d = 0; d < ys.length; d++) {
      if (idx - d >= 0 && ys[idx - d] != null) return idx - d;
      if (idx + d < ys.length && ys[idx + d] != null) return idx + d;
    }
    return null;
  }

  function hoverText(f, kind, run, value) {
    const unit = f.unit ? " " + f.unit : "";
    const parts = [runText(run), "run " + (run + 1), (kind === "mr" ? "moving range " : "value ") + fmt(value) + unit];
    if (kind === "individuals") {
      const mark = f.marksByRun.get(run);
      if (mark && mark.out) parts.push("out of tolerance");
      const rules = mark ? enabledRules(mark) : [];
      for (const r of rules) parts.push("rule " + r + ": " + (trend.rules.names[String(r)] || ""));
    }
    return parts.filter((p) => p).join(" · ");  // a range's run may come without its date
  }

  function onCursor(u, f, kind, hover) {
    const idx = u.cursor.idx;
    if (idx !== null && idx !== undefined && !u.over.matches(":hover")) return;  // the partner's cursor
    const ys = u.data[1];
    const at = idx === null || idx === undefined ? null : nearestValue(ys, idx);
    hover.textContent = at === null ? "Point at a run to see its date, time, value and rules." :
      hoverText(f, kind, u.data[0][at], ys[at]);
  }

  // ---- zoom ----------------------------------------------------------------

  function zoomChanged(u, f, partner) {
    const { min, max } = u.scales.x;
    if (!f.runRange || min === null) return;
    if (min <= f.runRange[0] && max >= f.runRange[1]) delete state.zoom[f.id];
    else state.zoom[f.id] = [min, max];
    saveState();
    const p = partner();
    if (p && (p.scales.x.min !== min || p.scales.x.max !== max)) p.setScale("x", { min, max });
  }

  function makeChart(f, kind, box, hover, partner) {
    const individuals = kind === "individuals";
    const data = individuals ? individualsData(f) : movingRangeData(f);
    const series = individuals ?
      [{}, valueSeries("value"), line(LOOK.centre, "centre"), line(LOOK.control, "UCL"), line(LOOK.control, "LCL"),
        line(LOOK.nominal, "nominal", true), line(LOOK.tolerance, "LSL", true), line(LOOK.tolerance, "USL", true)] :
      [{}, valueSeries("moving range"), line(LOOK.centre, "MR̄"), line(LOOK.control, "UCL")];
    const opts = {
      width: box.clientWidth || 800,
      height: individuals ? SIZES.individuals : SIZES.movingRange,
      legend: { show: false },
      padding: [null, LABEL_MARGIN, null, null],
      scales: { x: { time: false } },
      // the pair of a feature shares its cursor: the run's moving range under its value
      cursor: { drag: { x: true, y: false }, points: { show: false }, sync: { key: f.id } },
      axes: [runAxis(), { size: 70 }],
      series,
      hooks: {
        draw: [(u) => {
          countFirstDraw(u);
          if (individuals) drawMarks(u, f);
          drawLabels(u, individuals ? limitLabels(u, f) : movingRangeLabels(f));
        }],
        // after the first commit: a scale set within it would wait for the next one
        ready: [(u) => queueMicrotask(() => {
          const zoom = state.zoom[f.id];
          if (zoom) u.setScale("x", { min: zoom[0], max: zoom[1] });
        })],
        setCursor: [(u) => onCursor(u, f, kind, hover)],
        setScale: [(u, key) => { if (key === "x" && u.status === 1) zoomChanged(u, f, partner); }],
      },
    };
    const plot = new uPlot(opts, data, box);
    charts.push({ feature: f, kind, plot });
    return plot;
  }

  function showFeature(f, observer) {
    const section = el("section", { class: "feature", id: f.id });
    const title = el("h2", {}, f.name);
    if (f.unit) title.append(el("span", { class: "unit" }, " " + f.unit));
    const figures = "n " + f.n + " · invalid " + f.invalid + " · mean " + fmt(f.mean) + " · σ within " +
      fmt(f.sigmaWithin, 4) + " · σ overall " + fmt(f.sigmaOverall, 4) + " · UCL " + fmt(f.ucl) +
      " · LCL " + fmt(f.lcl) + " · Cp " + fmt(f.cp, 3) + " · Cpk " + cpkText(f) +
      " · Pp " + fmt(f.pp, 3) + " · Ppk " + capabilityText(f.ppk, f, "P");
    section.append(title, el("p", { class: "figures" }, figures));
    if (f.limitsNote) section.append(el("p", { class: "note" }, f.limitsNote));
    const hover = el("p", { class: "hover" }, "Point at a run to see its date, time, value and rules.");
    const ind = el("div", { class: "chart individuals" });
    const mr = el("div", { class: "chart mr" });
    // The boxes keep their height before the charts are made, so scroll positions hold.
    ind.style.height = SIZES.individuals + "px";
    mr.style.height = SIZES.movingRange + "px";
    section.append(el("p", { class: "counts" }), hover, el("h3", {}, "Individuals"), ind,
      el("h3", {}, "Moving range"), mr);
    document.getElementById("charts").append(section);
    f.drawCharts = () => drawFeature(f, ind, mr, hover);
    observer.observe(section);
  }

  function drawFeature(f, ind, mr, hover) {
    awaitingDraw += 2;
    f.marksByRun = new Map(f.marks.map((m) => [m.run, m]));
    let indPlot = null, mrPlot = null;
    indPlot = makeChart(f, "individuals", ind, hover, () => mrPlot);
    mrPlot = makeChart(f, "mr", mr, hover, () => indPlot);
  }

  // Charts are made when they come near the screen: a page of forty features
  // opens as fast as one of two.
  function chartMaker() {
    const byId = new Map(features.map((f) => [f.id, f]));
    const observer = new IntersectionObserver((entries) => {
      for (const e of entries) {
        if (!e.isIntersecting) continue;
        observer.unobserve(e.target);
        byId.get(e.target.id).drawCharts();
      }
      if (!awaitingDraw) markDrawn();
    }, { rootMargin: "50% 0px" });
    return observer;
  }

  // ---- page ----------------------------------------------------------------

  function resizeCharts() {
    for (const c of charts) {
      const width = c.plot.root.parentNode.clientWidth;
      if (width && width !== c.plot.width) c.plot.setSize({ width, height: c.plot.height });
    }
  }

  // Reloads every second, but not under a drag that is choosing a zoom.
  function followFile() {
    let pressed = false;
    window.addEventListener("pointerdown", () => { pressed = true; });
    window.addEventListener("pointerup", () => { pressed = false; });
    const reload = () => {
      if (pressed) return void window.setTimeout(reload, 200);
      saveState();
      location.reload();
    };
    window.setTimeout(reload, 1000);
  }

  function showPage() {
    if (!trend) {
      document.getElementById("charts").textContent = "This page holds no data: ryn-trend writes it from a table.";
      document.body.classList.add("empty");
      return;
    }
    history.scrollRestoration = "manual";
    showHeader();
    showRuleSwitches();
    showSummary();
    showLegend();
    const observer = chartMaker();
    for (const f of features) showFeature(f, observer);
    updateCounts();
    // A link to a feature (#f3) scrolls there; a reload in watch mode goes back where it was.
    // (the browser scrolls to the link's target after loading, so once more then).
    if (state.scrollY) {
      const scrollY = state.scrollY;
      window.scrollTo(0, scrollY);
      window.addEventListener("load", () => window.scrollTo(0, scrollY));
    }
    if (!features.length) markDrawn();
    let resizeTimer = 0;
    window.addEventListener("resize", () => { clearTimeout(resizeTimer); resizeTimer = setTimeout(resizeCharts, 100); });
    window.addEventListener("pagehide", saveState);
    let scrollTimer = 0;
    window.addEventListener("scroll", () => { clearTimeout(scrollTimer); scrollTimer = setTimeout(saveState, 200); });
    if (trend.watch) followFile();
  }

  showPage();
})();
