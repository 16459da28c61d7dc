// The browser edition in the system's headless Chromium, driven with real key events:
// the page, a click, the menu, an arcade shift (drive, the map view, Esc to "time's
// up!"), a setting changed in the options, a reload, and the setting found kept.
//   node game_test.js WWW_FOLDER [SCREENSHOT_FOLDER]
// Prints the figures it measured as one "figures" JSON line.
'use strict';
const { spawn } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const puppeteer = require('puppeteer-core');

const www = path.resolve(process.argv[2] || '');
const shots = process.argv[3] ? path.resolve(process.argv[3]) : null;
const settingsFile = '/home/web_user/.local/share/hazardcab/settings.txt';
const figures = {};
let failed = false;

function fail(message) {
  console.error('FAILED: ' + message);
  failed = true;
  throw new Error(message);
}

// Serves the folder on a free port; resolves with the address.
function serve() {
  const server = spawn(process.execPath, [path.join(__dirname, '../../tools/web/serve.js'), www, '0']);
  return new Promise((resolve, reject) => {
    server.stdout.on('data', data => {
      const match = /at (http:\S+)/.exec(String(data));
      if (match) resolve({ server, address: match[1] });
    });
    server.on('exit', code => reject(new Error('the server ended with ' + code)));
  });
}

// Waits on a state of the page, at most the given seconds.
async function until(page, what, test, seconds, ...args) {
  try {
    await page.waitForFunction(test, { timeout: seconds * 1000, polling: 50 }, ...args);
  } catch (error) {
    const status = await page.evaluate(() => document.getElementById('status').textContent).catch(() => '?');
    fail(what + ' (not within ' + seconds + ' s; the page says "' + status + '")');
  }
}

// Keys are held long enough for the game's once-a-frame poll to see them.
async function press(page, ...keys) {
  for (const key of keys) {
    await page.keyboard.down(key);
    await new Promise(resolve => setTimeout(resolve, 160));
    await page.keyboard.up(key);
    await new Promise(resolve => setTimeout(resolve, 100));
  }
}

// The canvas's picture, summed up in the page: a digest of its pixels, how many
// differ from a former picture's, and how grey and still it is.
const canvasState = () => {
  const canvas = document.getElementById('canvas');
  const pixels = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
  let hash = 2166136261, saturation = 0, light = 0;
  for (let i = 0; i < pixels.length; i += 4) {
    const r = pixels[i], g = pixels[i + 1], b = pixels[i + 2];
    hash = Math.imul(hash ^ (r | g << 8 | b << 16), 16777619) >>> 0;
    saturation += Math.max(r, g, b) - Math.min(r, g, b);
    light += (r + g + b) / 3;
  }
  const count = pixels.length / 4;
  return { hash, saturation: saturation / count / 255, light: light / count / 255, frames: Module.hcStats.frames };
};

// Over the last n frames the page drew: frames per second, the median and slowest time
// between frames, and the median time the game worked on a frame (milliseconds).
const recentRate = n => {
  const intervals = Module.hcStats.intervals.slice(-n).sort((a, b) => a - b);
  const work = Module.hcStats.work.slice(-n).sort((a, b) => a - b);
  const total = intervals.reduce((sum, v) => sum + v, 0);
  const round = v => Math.round(v * 100) / 100;
  return { fps: round(1000 * intervals.length / total), median: round(intervals[intervals.length >> 1]),
           slowest: round(intervals[intervals.length - 1]), work: round(work[work.length >> 1]) };
};

// A screen that has finished fading in: bright enough, and its brightness steady over
// a quarter of a second.
// Colourful screens (the menu, the driver's view) ask for some colour too, so that the
// grey "time's up!" picture does not pass for them.
async function settled(page, what, colour = 0.05) {
  await page.evaluate(() => { window.hcSeen = []; });
  await until(page, what, colour => {
    const seen = window.hcSeen, canvas = window.hcCanvas(), now = canvas.light;
    seen.push([performance.now(), now]);
    while (seen.length > 1 && seen[0][0] < performance.now() - 250) seen.shift();
    return now > 0.05 && canvas.saturation > colour && seen.length > 3 &&
        seen.every(([, light]) => Math.abs(light - now) < 0.002);
  }, 15, colour);
}

// A change of screen: the old one dissolves to black, then the new one settles.
async function nextScreen(page, what, colour) {
  await until(page, 'black before ' + what, () => window.hcCanvas().light < 0.03, 15);
  await settled(page, what, colour);
}

async function startPage(page, address, first) {
  const started = Date.now();
  await page.goto(address, { waitUntil: 'load' });
  await page.evaluate(source => { window.hcCanvas = eval(source); window.hcHash = () => window.hcCanvas().hash; },
                      '(' + canvasState.toString() + ')');
  await until(page, 'the page asks for a click', () =>
      document.getElementById('status').textContent === 'click or press a key to start', 20);
  if (first) {
    // The first download: everything fetched before the click.
    figures.firstDownloadBytes = await page.evaluate(() =>
        performance.getEntriesByType('resource').concat(performance.getEntriesByType('navigation'))
            .reduce((sum, e) => sum + (e.encodedBodySize || 0), 0));
  }
  const clickAt = Date.now();
  await page.mouse.click(320, 240);
  await until(page, 'the first frames', () => Module.hcStats.frames > 0, 20);
  await settled(page, 'the menu');
  if (first) {
    figures.pageToClickMs = clickAt - started;
    figures.clickToMenuMs = await page.evaluate(() => Math.round(Module.hcStats.firstFrame - Module.hcStats.started));
  }
}

async function run() {
  if (!fs.existsSync(path.join(www, 'hazardcab.wasm'))) fail('no browser edition in ' + www);
  const { server, address } = await serve();
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'hc-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium', headless: true, userDataDir: profile,
    args: ['--no-sandbox', '--mute-audio'],
  });
  try {
    const page = await browser.newPage();
    await page.setViewport({ width: 800, height: 600 });
    const log = [];
    page.on('console', message => log.push(message.text()));
    page.on('pageerror', error => fail('page error: ' + error.message));

    await startPage(page, address, true);
    if (shots) await page.screenshot({ path: path.join(shots, 'web-menu.png') });
    const menu = await page.evaluate(() => window.hcCanvas());
    if (menu.light < 0.05) fail('the menu is dark');

    // F2: the screenshot offered as a download, an 8-bit 640 x 480 picture.
    const downloads = fs.mkdtempSync(path.join(os.tmpdir(), 'hc-downloads-'));
    const session = await page.target().createCDPSession();
    await session.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
    await press(page, 'F2');
    const shotSize = 14 + 40 + 1024 + 640 * 480;
    for (let end = Date.now() + 10000; ; await new Promise(resolve => setTimeout(resolve, 100))) {
      const done = fs.readdirSync(downloads).filter(name => /^grab.*\.bmp$/.test(name));
      if (done.length === 1 && fs.statSync(path.join(downloads, done[0])).size === shotSize) break;
      if (Date.now() > end) fail('no 640 x 480 screenshot downloaded after F2: ' + fs.readdirSync(downloads).join(', '));
    }
    fs.rmSync(downloads, { recursive: true, force: true });
    // The sound runs (browsers start it only after the click), and the music arrives
    // after play starts and plays through OpenAL.
    await until(page, 'the sound running', () => Module.hcAudio.length === 1 &&
        Module.hcAudio[0].state === 'running' && Module.hcAudio[0].currentTime > 0.5, 10);
    await until(page, 'the music fetched', () => !Module.hcTrackPending('track4.ogg'), 60);
    if (log.some(line => /Could not open stream|stream error|no sound device/.test(line)))
      fail('sound: ' + log.filter(line => /stream|sound/.test(line)).join(' / '));

    // Arcade: the driver's view, the engine started, the throttle held.
    await press(page, 'Enter');
    await nextScreen(page, 'the driver\'s view');
    if ((await page.evaluate(() => window.hcCanvas())).hash === menu.hash) fail('the arcade shift looks like the menu');
    await press(page, 'KeyS');
    await page.keyboard.down('ArrowUp');
    const driveFrom = await page.evaluate(() => Module.hcStats.frames);
    await until(page, '150 frames of driving', n => Module.hcStats.frames > n + 150, 20, driveFrom);
    figures.drive = await page.evaluate(recentRate, 120);
    await page.keyboard.up('ArrowUp');
    if (shots) await page.screenshot({ path: path.join(shots, 'web-drive.png') });
    const world = await page.evaluate(() => window.hcCanvas());

    // Tab: the map view in place of the cockpit.
    await press(page, 'Tab');
    const mapFrom = await page.evaluate(() => Module.hcStats.frames);
    await until(page, '120 frames of the map view', n => Module.hcStats.frames > n + 120, 20, mapFrom);
    figures.map = await page.evaluate(recentRate, 100);
    const map = await page.evaluate(() => window.hcCanvas());
    if (map.hash === world.hash) fail('the map view looks like the driver\'s view');
    if (shots) await page.screenshot({ path: path.join(shots, 'web-map.png') });
    await press(page, 'Tab');

    // Esc: "time's up!", a still grey picture.
    await press(page, 'Escape');
    await page.evaluate(() => { window.hcWas = -1; });
    await until(page, 'a still grey picture at the end of the shift', () => {
      const now = window.hcCanvas();
      const still = now.hash === window.hcWas;
      window.hcWas = now.hash;
      return still && now.saturation < 0.01 && now.light > 0.02;
    }, 15);
    await press(page, 'Enter');
    await nextScreen(page, 'back at the menu');

    // Options: gamma down one step, kept when the options are left.
    // The options are third from the bottom whatever rows the assists add: up wraps round.
    await press(page, 'ArrowUp', 'ArrowUp', 'ArrowUp', 'Enter');
    await nextScreen(page, 'the options');
    await press(page, 'Enter', 'Escape');
    await until(page, 'the gamma written to the settings', file => {
      try { return /^gamma 0\.8$/m.test(Module.FS.readFile(file, { encoding: 'utf8' })); } catch { return false; }
    }, 10, settingsFile);

    // A reload: the settings come back from the browser's storage.
    await until(page, 'the saves written through', () => Module.hcSavesIdle(), 10);
    await startPage(page, address, false);
    const settings = await page.evaluate(file => {
      try { return Module.FS.readFile(file, { encoding: 'utf8' }); } catch { return '(no settings file)'; }
    }, settingsFile);
    if (!/^gamma 0\.8$/m.test(settings)) fail('the gamma was not kept across the reload:\n' + settings);
    const again = await page.evaluate(() => window.hcCanvas());
    if (again.light <= menu.light) fail('the menu after the reload is not brighter (gamma 0.8)');
    if (shots) await page.screenshot({ path: path.join(shots, 'web-menu-gamma.png') });
  } catch (error) {
    if (shots) await browser.pages().then(pages => pages[pages.length - 1].screenshot({ path: path.join(shots, 'web-failure.png') })).catch(() => {});
    throw error;
  } finally {
    await browser.close();
    server.kill();
    fs.rmSync(profile, { recursive: true, force: true });
  }
  console.log('figures ' + JSON.stringify(figures));
}

run().then(() => {
  console.log(failed ? '0 passed, 1 failed' : '1 passed, 0 failed');
  process.exit(failed ? 1 : 0);
}, error => {
  if (!failed) console.error('FAILED: ' + (error.stack || error));
  console.log('0 passed, 1 failed');
  process.exit(1);
});
