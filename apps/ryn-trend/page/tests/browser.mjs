// Opens trend pages in headless Chromium from disk, filled with data the way
// ryn-trend fills the template, and records console errors and requests.
import { existsSync, mkdirSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from "node:fs";
import { join } from "node:path";
import { pathToFileURL } from "node:url";
import puppeteer from "puppeteer-core";

export const CHROMIUM = process.env.RYN_CHROMIUM || "/usr/bin/chromium";
const MARKER = "/*RYN_TREND_DATA*/null";

// As the program does: the marker gives way to one JSON object that cannot end the script.
export function fillTemplate(template, doc) {
  const parts = template.split(MARKER);
  if (parts.length !== 2) throw new Error("the template must hold the data marker exactly once");
  return parts[0] + JSON.stringify(doc).replace(/</g, "\\u003c") + parts[1];
}

export function readFixture(name) {
  return JSON.parse(readFileSync(new URL("data/" + name, import.meta.url), "utf8"));
}

// A browser with a fresh profile, removed when it closes.
export async function launch(outDir) {
  mkdirSync(outDir, { recursive: true });
  const profile = mkdtempSync(join(outDir, "profile-"));
  const browser = await puppeteer.launch({
    executablePath: CHROMIUM,
    headless: true,
    defaultViewport: { width: 1280, height: 900 },
    args: ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
      "--disable-background-networking", "--disable-component-update", "--disable-sync",
      "--user-data-dir=" + profile],
  });
  const close = browser.close.bind(browser);
  browser.close = async () => {
    await close();
    rmSync(profile, { recursive: true, force: true });
  };
  return browser;
}

// Writes the page as a file; doc null leaves the template as it is.
export function writePage(file, template, doc) {
  writeFileSync(file, doc === null ? template : fillTemplate(template, doc));
  return pathToFileURL(file).href;
}

// A tab that keeps what went wrong: console errors, page errors and every request.
export async function openTab(browser, url) {
  const page = await browser.newPage();
  const tab = { page, errors: [], requests: [] };
  page.on("console", (m) => { if (m.type() === "error") tab.errors.push(m.text()); });
  page.on("pageerror", (e) => tab.errors.push(String(e)));
  page.on("request", (r) => tab.requests.push(r.url()));
  await page.goto(url, { waitUntil: "load" });
  await drawn(page);
  return tab;
}

// Waits until every chart has drawn once.
export async function drawn(page) {
  await page.waitForFunction(() => performance.getEntriesByName("ryn-trend-drawn").length > 0 ||
    document.body.classList.contains("empty"), { timeout: 60000 });
}

export function chromiumMissing() {
  return existsSync(CHROMIUM) ? null : CHROMIUM + " is missing (Debian package chromium)";
}
