// Opens a report page tesk.html from disk in headless Chromium and checks
// what a person would see: the viewer drew one frame per input atom, the
// console stayed free of errors, nothing was fetched from a network, and
// the 3-D view is not blank; without WebGL the page says so and the table
// still works. Usage:
//   node page_check.mjs PAGE.html SCREENSHOT.png
// Exits 0 when every check holds; prints one line per check.
import { createRequire } from "node:module";
import path from "node:path";
import { fileURLToPath, pathToFileURL } from "node:url";

const here = path.dirname(fileURLToPath(import.meta.url));
const require = createRequire(path.join(here, "..", "..", "third_party", "package.json"));
const { chromium } = require("playwright-core");

const [pagePath, shotPath] = process.argv.slice(2);
if (!pagePath || !shotPath) {
  console.error("usage: node page_check.mjs PAGE.html SCREENSHOT.png");
  process.exit(2);
}

const browser = await chromium.launch({
  executablePath: process.env.CHROMIUM || "/usr/bin/chromium",
  // Software WebGL: the test machines have no GPU.
  args: ["--no-sandbox", "--use-angle=swiftshader", "--enable-unsafe-swiftshader", "--ignore-gpu-blocklist"],
});
const failures = [];
const check = (ok, what) => {
  console.log(`${ok ? "ok  " : "FAIL"} ${what}`);
  if (!ok) failures.push(what);
};
try {
  const page = await browser.newPage({ viewport: { width: 1280, height: 720 } });
  const consoleErrors = [];
  const fetched = [];
  page.on("console", (m) => { if (m.type() === "error") consoleErrors.push(m.text()); });
  page.on("pageerror", (e) => consoleErrors.push(String(e)));
  await page.route("**/*", (route) => {
    const url = route.request().url();
    if (url.startsWith("file:") || url.startsWith("data:") || url.startsWith("blob:")) return route.continue();
    fetched.push(url);
    return route.abort();
  });
  await page.goto(pathToFileURL(path.resolve(pagePath)).href);
  await page.waitForFunction(() => window.teskReport && window.teskReport.ready, null, { timeout: 60000 });
  // Two frames for WebGL to put its picture on screen.
  await page.evaluate(() => new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(r))));
  const report = await page.evaluate(() => window.teskReport);
  check(report.viewer === true, "the 3-D viewer was built");
  check(report.inputAtoms > 0 && report.framesDrawn === report.inputAtoms,
        `one frame per input atom: ${report.framesDrawn} frames for ${report.inputAtoms} input atoms`);

  // A click on a row selects it and centres its atom.
  await page.locator("#rows tr").first().click();
  const selected = await page.evaluate(() => window.teskReport.selected);
  check(selected === 0, "a row click selects its atom");
  await page.waitForTimeout(800);  // the view moves to the atom in 400 ms

  const view = await page.locator("#view").boundingBox();
  const shot = await page.screenshot({ path: shotPath });
  // Count the colours of the 3-D view in the screenshot: a blank view has one.
  const colours = await page.evaluate(async ({ data, box }) => {
    const img = new Image();
    img.src = "data:image/png;base64," + data;
    await img.decode();
    const c = document.createElement("canvas");
    c.width = img.width;
    c.height = img.height;
    const g = c.getContext("2d");
    g.drawImage(img, 0, 0);
    const px = g.getImageData(box.x, box.y, box.width, box.height).data;
    const seen = new Set();
    for (let i = 0; i < px.length; i += 4) seen.add((px[i] << 16) | (px[i + 1] << 8) | px[i + 2]);
    return seen.size;
  }, { data: shot.toString("base64"), box: view });
  check(colours > 20, `the 3-D view is not blank: ${colours} colours`);


  // A browser without WebGL: the page says so, and the table still selects.
  const plain = await browser.newPage();
  await plain.addInitScript(() => {
    const get = HTMLCanvasElement.prototype.getContext;
    HTMLCanvasElement.prototype.getContext = function (t, ...r) { return /webgl/i.test(t) ? null : get.call(this, t, ...r); };
  });
  plain.on("pageerror", (e) => consoleErrors.push(String(e)));
  await plain.goto(pathToFileURL(path.resolve(pagePath)).href);
  await plain.waitForFunction(() => window.teskReport && window.teskReport.ready, null, { timeout: 60000 });
  const message = await plain.locator("#viewmsg").textContent();
  await plain.locator("#rows tr").nth(1).click();
  const detail = await plain.locator("#detail").textContent();
  check(message.includes("offers no WebGL") && detail.length > 0, `without WebGL: "${message}", and a row click shows its details`);

  check(consoleErrors.length === 0, `no console errors${consoleErrors.length ? ": " + consoleErrors.join(" | ") : ""}`);
  check(fetched.length === 0, `nothing fetched from a network${fetched.length ? ": " + fetched.join(" ") : ""}`);
} catch (e) {
  check(false, `the page opened and got ready: ${e.message}`);
} finally {
  await browser.close();
}
console.log(failures.length === 0 ? "page check passed" : `page check failed: ${failures.length} check(s)`);
process.exit(failures.length === 0 ? 0 : 1);
