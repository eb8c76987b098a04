// node tools/bench/web.js SITE: what the game's page costs, as table rows:
// the gzipped weight of everything the page loads, the time from the
// start of loading to the first frame on the canvas in headless Chromium
// (median and slowest of several fresh loads), the interval between shown
// frames over ten seconds (median and p99, and frames a second), and the
// sound device's samples a second.
// playwright-core comes from tests/web/node_modules (scripts/test-web, or
// scripts/bench --web, installs it).
'use strict';
const fs = require('fs');
const path = require('path');
const zlib = require('zlib');
const {chromium} = require('playwright-core');
const {serve} = require('../../web/serve.js');

const site = path.resolve(process.argv[2] || 'build/web/site');
const seconds = Number(process.env.ZM_BENCH_WEB_SECONDS || 10);
const loads = Number(process.env.ZM_BENCH_WEB_LOADS || 7);

function quantile(sorted, q) {
  return sorted[Math.min(sorted.length - 1, Math.floor(q * sorted.length))];
}

(async () => {
  // All the page and its service worker load: every file of the site but
  // the program as a script, which only a page opened from disk loads.
  const loaded = fs.readdirSync(site).filter((f) => f != 'zultmirax-wasm.js');
  let raw = 0, gz = 0;
  for (const f of loaded) {
    const data = fs.readFileSync(path.join(site, f));
    raw += data.length;
    gz += zlib.gzipSync(data, {level: 9}).length;
  }
  console.log('| page weight (what it loads) | ' + (gz / 1024).toFixed(1) + ' KB gzipped (' + (raw / 1024).toFixed(1) +
              ' KB) |');

  const server = await serve(site, 0, '127.0.0.1');
  const browser = await chromium.launch({executablePath: process.env.ZM_CHROMIUM || '/usr/bin/chromium'});
  // A fresh context each time: nothing cached, no service worker yet.
  const load = async () => {
    const context = await browser.newContext({viewport: {width: 1024, height: 800}});
    await context.addInitScript(() => {
      window.zmShownTimes = [];
      window.zmSession = {};
      // Every frame put on the canvas, by the page's clock.
      const put = CanvasRenderingContext2D.prototype.putImageData;
      CanvasRenderingContext2D.prototype.putImageData = function(...args) {
        window.zmShownTimes.push(performance.now());
        return put.apply(this, args);
      };
    });
    const page = await context.newPage();
    await page.goto('http://127.0.0.1:' + server.address().port + '/');
    await page.waitForFunction(() => window.zmShownTimes.length > 0, null, {timeout: 30000});
    return {context, page, first: await page.evaluate(() => window.zmShownTimes[0])};
  };
  const firsts = [];
  for (let i = 0; i < loads - 1; i++) {
    const l = await load();
    firsts.push(l.first);
    await l.context.close();
  }
  const {page, first} = await load();
  firsts.push(first);
  firsts.sort((a, b) => a - b);
  console.log('| first frame after the page starts loading, ' + loads + ' loads | median ' +
              (quantile(firsts, 0.5) / 1000).toFixed(3) + ' s, slowest ' + (firsts[firsts.length - 1] / 1000).toFixed(3) +
              ' s (goal: median at most 0.5 s) |');

  // A game in play: fire and move while the frames are timed.
  await page.keyboard.down('z');
  await page.waitForTimeout(3500);
  await page.keyboard.up('z');
  await page.waitForTimeout(200);
  await page.keyboard.down('z');
  await page.waitForTimeout(200);
  await page.keyboard.up('z');
  await page.waitForTimeout(2000);
  const from = await page.evaluate(() => window.zmShownTimes.length);
  const audio0 = await page.evaluate(() => {
    const a = window.zmAudioOfRun();
    return {consumed: a.consumed, time: a.ctx.currentTime, state: a.ctx.state};
  });
  for (let i = 0; i < seconds * 2; i++) {
    await page.keyboard.down(i % 4 < 2 ? 'ArrowLeft' : 'ArrowRight');
    await page.keyboard.down('z');
    await page.waitForTimeout(250);
    await page.keyboard.up('z');
    await page.keyboard.up(i % 4 < 2 ? 'ArrowLeft' : 'ArrowRight');
    await page.waitForTimeout(250);
  }
  const times = await page.evaluate((from) => window.zmShownTimes.slice(from), from);
  const audio1 = await page.evaluate(() => {
    const a = window.zmAudioOfRun();
    return {consumed: a.consumed, time: a.ctx.currentTime};
  });
  const gaps = [];
  for (let i = 1; i < times.length; i++) gaps.push(times[i] - times[i - 1]);
  gaps.sort((a, b) => a - b);
  const span = (times[times.length - 1] - times[0]) / 1000;
  console.log('| frame interval in play, ' + seconds + ' s | median ' + quantile(gaps, 0.5).toFixed(1) + ' ms, p99 ' +
              quantile(gaps, 0.99).toFixed(1) + ' ms, ' + ((times.length - 1) / span).toFixed(1) + ' frames/s |');
  if (audio0.state == 'running') {
    const rate = (audio1.consumed - audio0.consumed) / (audio1.time - audio0.time);
    console.log('| sound: samples consumed a second | ' + rate.toFixed(1) + ' |');
  }
  await browser.close();
  server.close();
})().catch((e) => {
  console.error(e);
  process.exit(1);
});
