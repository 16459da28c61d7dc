// The browser edition in the system's headless Chromium, driven with real key events:
// the page, a click (no sound before it), the menu, F2 and F11, an arcade shift (drive,
// the map view, Esc to "time's up!"), a setting and a career shift kept, "exit" and the
// page's offer of another game, the saves found again; then a page whose storage fails,
// played with a faked controller.
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
const saves = '/home/web_user/.local/share/hazardcab';
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

const sleep = ms => new Promise(resolve => setTimeout(resolve, ms));
// Keys, and the faked controller's buttons, are held long enough for the game's
// once-a-frame poll to see them.
async function press(page, ...keys) {
  for (const key of keys) {
    await page.keyboard.down(key);
    await sleep(160);
    await page.keyboard.up(key);
    await sleep(100);
  }
}
async function padPress(page, ...buttons) {
  for (const button of buttons) {
    await page.evaluate(b => { window.hcPad.buttons[b] = { pressed: true, value: 1 }; }, button);
    await sleep(160);
    await page.evaluate(b => { window.hcPad.buttons[b] = { pressed: false, value: 0 }; }, button);
    await sleep(100);
  }
}
const PadStart = 9, PadBack = 8, PadUp = 12;
const readSave = (page, name) => page.evaluate(file => {
  try { return Module.FS.readFile(file, { encoding: 'utf8' }); } catch { return ''; }
}, saves + '/' + name);

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

// Set up before any of the page's own scripts: the canvas's summary, and a record of
// the audio contexts made or resumed and of the first click or key.
function watch(page) {
  page.evaluateOnNewDocument('window.hcCanvas = ' + canvasState.toString());
  return page.evaluateOnNewDocument(() => {
    const events = window.hcEvents = [];
    for (const type of ['mousedown', 'keydown']) window.addEventListener(type, () => events.push('input'), true);
    window.AudioContext = class extends window.AudioContext {
      constructor(...options) { super(...options); events.push('audio made'); }
      resume() { events.push('audio resumed'); return super.resume(); }
    };
  });
}

// Loads the page (by the given step), clicks and waits for the menu.
async function startPage(page, load, first) {
  const started = Date.now();
  await load();
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

// The end of a shift ("time's up!", a still grey picture), then back to the screen before.
async function endShift(page, endIt, leave, back) {
  await endIt();
  await page.evaluate(() => { window.hcWas = -1; });
  await until(page, 'a still grey picture at the end of the shift', () => {
    const now = window.hcCanvas();
    const still = now.hash === window.hcWas;
    window.hcWas = now.hash;
    return still && now.saturation < 0.01 && now.light > 0.02;
  }, 15);
  await leave();
  await nextScreen(page, back);
}

const shot = (page, name) => shots ? page.screenshot({ path: path.join(shots, name + '.png') }) : null;

async function run() {
  if (!fs.existsSync(path.join(www, 'hazardcab.wasm'))) fail('no browser edition in ' + www);
  const { server, address } = await serve();
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'hc-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium', headless: true, userDataDir: profile,
    args: ['--no-sandbox', '--mute-audio'],
  });
  const log = [];
  const newPage = async () => {
    const page = await browser.newPage();
    await page.setViewport({ width: 800, height: 600 });
    page.on('console', message => log.push(message.text()));
    page.on('pageerror', error => fail('page error: ' + error.message));
    await watch(page);
    return page;
  };
  try {
    const page = await newPage();
    await startPage(page, () => page.goto(address, { waitUntil: 'load' }), true);
    await shot(page, 'web-menu');
    const menu = await page.evaluate(() => window.hcCanvas());
    if (menu.light < 0.05) fail('the menu is dark');

    // No sound before the click: then the context runs and the game's sources play,
    // and the music arrives after play starts and plays through OpenAL.
    const events = await page.evaluate(() => window.hcEvents);
    if (events.indexOf('input') < 0 || events.slice(0, events.indexOf('input')).length > 0)
      fail('sound before the first click: ' + events.join(', '));
    await until(page, 'the sound running and the game\'s sources playing', () => Module.hcAudio.length === 1 &&
        Module.hcAudio[0].state === 'running' && Module.hcAudio[0].currentTime > 0.5 &&
        Object.values(AL.currentCtx.sources).some(source => source.state === 0x1012 /* AL_PLAYING */), 10);
    await until(page, 'the music fetched', () => !Module.hcTrackPending('track4.ogg'), 60);
    if (log.some(line => /Could not open stream|stream error|no sound device/.test(line)))
      fail('sound: ' + log.filter(line => /stream|sound/.test(line)).join(' / '));

    // F2: the screenshot offered as a download, an 8-bit 640 x 480 picture.
    const downloads = fs.mkdtempSync(path.join(os.tmpdir(), 'hc-downloads-'));
    const session = await page.target().createCDPSession();
    await session.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
    await press(page, 'F2');
    const shotSize = 14 + 40 + 1024 + 640 * 480;
    for (let end = Date.now() + 10000; ; await sleep(100)) {
      const done = fs.readdirSync(downloads).filter(name => /^grab.*\.bmp$/.test(name));
      if (done.length === 1 && fs.statSync(path.join(downloads, done[0])).size === shotSize) break;
      if (Date.now() > end) fail('no 640 x 480 screenshot downloaded after F2: ' + fs.readdirSync(downloads).join(', '));
    }
    fs.rmSync(downloads, { recursive: true, force: true });

    // F11: the browser's full screen, the picture still 4:3 with sharp pixels; F11 again leaves it.
    await press(page, 'F11');
    await until(page, 'full screen after F11', () => document.fullscreenElement !== null, 5);
    const shape = await page.evaluate(() => {
      const box = Module.canvas.getBoundingClientRect();
      return { ratio: box.width / box.height, width: box.width, sharp: getComputedStyle(Module.canvas).imageRendering };
    });
    if (Math.abs(shape.ratio - 4 / 3) > 0.01 || shape.width < 640 || shape.sharp !== 'pixelated')
      fail('the full screen picture is not 4:3 with sharp pixels: ' + JSON.stringify(shape));
    await shot(page, 'web-fullscreen');
    await press(page, 'F11');
    await until(page, 'the page again after F11', () => document.fullscreenElement === null, 5);

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
    await shot(page, 'web-drive');
    const world = await page.evaluate(() => window.hcCanvas());

    // Tab: the map view in place of the cockpit.
    await press(page, 'Tab');
    const mapFrom = await page.evaluate(() => Module.hcStats.frames);
    await until(page, '120 frames of the map view', n => Module.hcStats.frames > n + 120, 20, mapFrom);
    figures.map = await page.evaluate(recentRate, 100);
    const map = await page.evaluate(() => window.hcCanvas());
    if (map.hash === world.hash) fail('the map view looks like the driver\'s view');
    await shot(page, 'web-map');
    await press(page, 'Tab');
    await endShift(page, () => press(page, 'Escape'), () => press(page, 'Enter'), 'back at the menu');

    // Options: gamma down one step, kept when the options are left.
    // The options are third from the bottom whatever rows the assists add: up wraps round.
    await press(page, 'ArrowUp', 'ArrowUp', 'ArrowUp', 'Enter');
    await nextScreen(page, 'the options');
    await press(page, 'Enter', 'Escape');
    await until(page, 'the gamma written to the settings', file => {
      try { return /^gamma 0\.8$/m.test(Module.FS.readFile(file, { encoding: 'utf8' })); } catch { return false; }
    }, 10, saves + '/settings.txt');
    await nextScreen(page, 'back at the menu');

    // A career shift (fourth from the bottom), driven and saved; the garage's Esc leaves.
    await press(page, 'ArrowUp', 'ArrowUp', 'ArrowUp', 'ArrowUp', 'Enter');
    await nextScreen(page, 'the garage');
    await shot(page, 'web-garage');
    await press(page, 'Enter');
    await nextScreen(page, 'the career shift');
    await endShift(page, () => press(page, 'Escape'), () => press(page, 'Enter'), 'back in the garage');
    await press(page, 'Escape');
    await nextScreen(page, 'back at the menu');
    const career = await readSave(page, 'career.txt');
    if (!/^shifts 1$/m.test(career)) fail('the career shift was not saved:\n' + career);

    // Esc at the menu: "exit". The saves are in the browser's storage before the page
    // says that the game has ended; a key then starts another.
    await press(page, 'Escape');
    await until(page, 'the page saying the game has ended', () =>
        /^The game has ended\. Click or press a key to play again\.$/.test(document.getElementById('status').textContent), 15);
    const stored = await page.evaluate(files => new Promise(resolve => {
      const open = indexedDB.open('/home/web_user/.local/share/hazardcab');
      open.onerror = () => resolve(['(the storage cannot be opened)']);
      open.onsuccess = () => Promise.all(files.map(file => new Promise(done => {
        const read = open.result.transaction('FILE_DATA').objectStore('FILE_DATA').get(file);
        read.onsuccess = () => done(read.result ? new TextDecoder().decode(read.result.contents) : '(not stored)');
        read.onerror = () => done('(unreadable)');
      }))).then(resolve);
    }), ['settings.txt', 'career.txt'].map(name => saves + '/' + name));
    if (stored[1] !== career || !/^gamma 0\.8$/m.test(stored[0])) fail('the saves were not in storage at the end:\n' + stored.join('\n'));
    await shot(page, 'web-ended');
    await startPage(page, () => Promise.all([page.waitForNavigation({ waitUntil: 'load' }), press(page, 'Space')]), false);

    // Played again: the setting and the career came back from the browser's storage.
    const settings = await readSave(page, 'settings.txt');
    if (!/^gamma 0\.8$/m.test(settings)) fail('the gamma was not kept across the reload:\n' + settings);
    const again = await page.evaluate(() => window.hcCanvas());
    if (again.light <= menu.light) fail('the menu after the reload is not brighter (gamma 0.8)');
    if (await readSave(page, 'career.txt') !== career) fail('the career was not kept across the reload');
    await shot(page, 'web-menu-gamma');
    await page.close();

    // Storage that fails: the page says so once and the game goes on, here with a
    // controller in the browser's standard layout (d-pad up four times: the career).
    const failing = await newPage();
    await failing.evaluateOnNewDocument(() => {
      indexedDB.open = () => { throw new Error('storage refused by the test'); };
      const buttons = Array.from({ length: 17 }, () => ({ pressed: false, value: 0 }));
      window.hcPad = { id: 'test pad', index: 0, connected: true, mapping: 'standard', axes: [0, 0, 0, 0], buttons };
      navigator.getGamepads = () => [window.hcPad];
    });
    await startPage(failing, () => failing.goto(address, { waitUntil: 'load' }), false);
    await padPress(failing, PadUp, PadUp, PadUp, PadUp, PadStart);
    await nextScreen(failing, 'the garage, chosen with the controller');
    await padPress(failing, PadStart);
    await nextScreen(failing, 'the career shift, started with the controller');
    await endShift(failing, () => padPress(failing, PadBack), () => padPress(failing, PadStart), 'back in the garage');
    await shot(failing, 'web-no-storage');
    const notice = await failing.evaluate(() => { const n = document.getElementById('notice'); return n.hidden ? '' : n.textContent; });
    const told = log.filter(line => /^Saves cannot be kept/.test(line));
    if (!/^Saves cannot be kept in this browser .*storage refused by the test/.test(notice) || told.length !== 1)
      fail('the storage failure was not said once: "' + notice + '", ' + told.length + ' times');
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
