// The browser edition in headless Chromium with real keys: a click (no sound before), the menu, F2, F11, an arcade shift,
// a setting, a career shift, "exit", another game with the saves kept; a page whose storage fails, played with a faked
// controller.  node game_test.js WWW_FOLDER [SCREENSHOT_FOLDER]  (prints a "figures" line)
'use strict';
const [fs, os, path, puppeteer] = ['fs', 'os', 'path', 'puppeteer-core'].map(require);
const { serveFolder } = require('../../tools/web/serve.js');

const www = path.resolve(process.argv[2] || '');
const shots = process.argv[3] ? path.resolve(process.argv[3]) : null;
const saves = '/home/web_user/.local/share/hazardcab';
const figures = {};
let failed = false;

function fail(message) { console.error('FAILED: ' + message); failed = true; throw new Error(message); }

// Waits on a state of the page, at most the given seconds.
async function until(page, what, test, seconds, ...args) {
  await page.waitForFunction(test, { timeout: seconds * 1000, polling: 50 }, ...args).catch(async () =>
    fail(what + ' (not within ' + seconds + ' s; the page says "' + await page.evaluate(() => hcStatus()).catch(() => '?') + '")'));
}

const sleep = ms => new Promise(resolve => setTimeout(resolve, ms)), PadBack = 8, PadStart = 9, PadDown = 13;
// Keys, and the faked controller's buttons (numbers), held long enough for the game's poll.
async function press(page, ...keys) {
  for (const key of keys) for (const down of [true, false]) {
    if (typeof key !== 'number') await (down ? page.keyboard.down(key) : page.keyboard.up(key));
    else await page.evaluate((b, on) => { window.hcPad.buttons[b] = { pressed: on, value: +on }; }, key, down);
    await sleep(down ? 160 : 100);
  }
}
const readSave = (page, name) => page.evaluate(file => { try { return Module.FS.readFile(file, { encoding: 'utf8' }); }
                                                         catch { return ''; } }, saves + '/' + name);
const shot = (page, name) => shots && page.screenshot({ path: path.join(shots, name + '.png') });

// The canvas's picture, summed up in the page: a digest of its pixels, how grey and how light.
const canvasState = () => {
  const canvas = document.getElementById('canvas'), pixels = canvas.getContext('2d').getImageData(0, 0, 640, 480).data;
  let hash = 2166136261, saturation = 0, light = 0;
  for (let i = 0; i < pixels.length; i += 4) {
    const r = pixels[i], g = pixels[i + 1], b = pixels[i + 2];
    hash = Math.imul(hash ^ (r | g << 8 | b << 16), 16777619) >>> 0;
    saturation += Math.max(r, g, b) - Math.min(r, g, b);
    light += (r + g + b) / 3;
  }
  return { hash, saturation: saturation / pixels.length * 4 / 255, light: light / pixels.length * 4 / 255 };
};

// Over the last n frames: frames per second, the median and slowest time between frames, the median work (ms).
const recentRate = n => {
  const [times, work] = [Module.hcStats.intervals, Module.hcStats.work].map(v => v.slice(-n).sort((a, b) => a - b));
  const round = v => Math.round(v * 100) / 100, total = times.reduce((sum, v) => sum + v, 0);
  return { fps: round(1000 * times.length / total), median: round(times[times.length >> 1]),
           slowest: round(times[times.length - 1]), work: round(work[work.length >> 1]) };
};
const rateOver = async (page, count, n, what) => {  // after count more frames, over the last n
  await until(page, count + ' frames of ' + what, more => Module.hcStats.frames > more, 20, await page.evaluate(() => Module.hcStats.frames) + count);
  return page.evaluate(recentRate, n);
};

// A new screen: the old one dissolves to black (unless first), then the new one is bright, steady over a quarter of a
// second and coloured, so that the grey "time's up!" picture does not pass for the menu or the driver's view.
async function screen(page, what, first) {
  if (!first) await until(page, 'black before ' + what, () => window.hcCanvas().light < 0.03, 15);
  await page.evaluate(() => { window.hcSeen = []; });
  await until(page, what, () => {
    const seen = window.hcSeen, canvas = window.hcCanvas(), now = canvas.light;
    seen.push([performance.now(), now]);
    while (seen.length > 1 && seen[0][0] < performance.now() - 250) seen.shift();
    return now > 0.05 && canvas.saturation > 0.05 && seen.length > 3 && seen.every(([, light]) => Math.abs(light - now) < 0.002);
  }, 15);
}
const go = async (page, keys, what) => { await press(page, ...keys); await screen(page, what); };

// A shift ended by a key ("time's up!", a still grey picture), then left for the screen before.
async function endShift(page, end, leave, back) {
  await press(page, end);
  await until(page, 'a still grey picture at the end of the shift', () => (now => [now.hash === window.hcWas,
      window.hcWas = now.hash][0] && now.saturation < 0.01 && now.light > 0.02)(window.hcCanvas()), 15);
  await go(page, [leave], back);
}

// Loads the page (by the given step), clicks and waits for the menu.
async function startPage(page, load, first) {
  const started = Date.now();
  await load();
  // The prompt, the loading settled for half a second (a game not waiting would have started); what was fetched.
  await until(page, 'the page asks for a click', () => hcStatus() === 'click or press a key to start' &&
      window.hcPending <= 1 && performance.now() - window.hcLoaded > 500, 20);
  if (first) figures.firstDownloadBytes = await page.evaluate(() => performance.getEntriesByType('resource')
      .concat(performance.getEntriesByType('navigation')).reduce((sum, e) => sum + (e.encodedBodySize || 0), 0));
  const clickAt = Date.now();
  await page.mouse.click(320, 240);
  await screen(page, 'the menu', true);
  if (first) Object.assign(figures, { pageToClickMs: clickAt - started, clickToMenuMs:
      await page.evaluate(() => Math.round(Module.hcStats.firstFrame - Module.hcStats.started)) });
}

async function run() {
  if (!fs.existsSync(path.join(www, 'hazardcab.wasm'))) fail('no browser edition in ' + www);
  const server = serveFolder(www, 0);
  const address = await new Promise(resolve => server.on('listening', () => resolve('http://127.0.0.1:' + server.address().port + '/')));
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'hc-chromium-')), log = [];
  const browser = await puppeteer.launch({ executablePath: process.env.CHROMIUM || '/usr/bin/chromium', headless: true,
                                           userDataDir: profile, args: ['--no-sandbox', '--mute-audio'] });
  // Watched from before the page's own scripts: the canvas, the loading, and in order the clicks, keys and sound.
  const newPage = async extra => {
    const page = await browser.newPage();
    await page.setViewport({ width: 1000, height: 600 });
    page.on('console', message => log.push(message.text()));
    page.on('pageerror', error => fail('page error: ' + error.message));
    await page.evaluateOnNewDocument(canvas => {
      [window.hcCanvas, window.hcWas, window.hcStatus] = [eval(canvas), -1, () => document.getElementById('status').textContent];
      window.Module = { monitorRunDependencies: left => { [window.hcPending, window.hcLoaded] = [left, performance.now()]; } };
      const events = window.hcEvents = [];
      for (const type of ['mousedown', 'keydown']) window.addEventListener(type, () => events.push('input'), true);
      window.AudioContext = class extends window.AudioContext {
        constructor(...options) { super(...options); events.push('audio made'); }
        resume() { events.push('audio resumed'); return super.resume(); }
      };
    }, '(' + canvasState + ')');
    if (extra) await page.evaluateOnNewDocument(extra);
    return page;
  };
  try {
    const page = await newPage();
    await startPage(page, () => page.goto(address, { waitUntil: 'load' }), true);
    const menu = await page.evaluate(() => window.hcCanvas());
    await shot(page, 'web-menu');

    // No sound before the click; then the context runs, the game's sources play, and the music plays through OpenAL.
    const events = await page.evaluate(() => window.hcEvents);
    if (events[0] !== 'input') fail('sound before the first click: ' + events.join(', '));
    await until(page, 'the sound running and the game\'s sources playing', () => Module.hcAudio.length === 1 &&
        Module.hcAudio[0].state === 'running' && Module.hcAudio[0].currentTime > 0.5 &&
        Object.values(AL.currentCtx.sources).some(source => source.state === 0x1012 /* AL_PLAYING */), 10);
    await until(page, 'the music fetched', () => !Module.hcTrackPending('track4.ogg'), 60);
    if (log.some(line => /Could not open stream|stream error|no sound device/.test(line)))
      fail('sound: ' + log.filter(line => /stream|sound/.test(line)).join(' / '));

    // F2: the screenshot offered as a download, an 8-bit 640 x 480 picture.
    const downloads = fs.mkdtempSync(path.join(os.tmpdir(), 'hc-downloads-'));
    await (await page.target().createCDPSession()).send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
    await press(page, 'F2');
    const grabbed = () => fs.readdirSync(downloads).filter(name => /^grab.*\.bmp$/.test(name)), size = 14 + 40 + 1024 + 640 * 480;
    for (let end = Date.now() + 10000; grabbed().length !== 1 || fs.statSync(path.join(downloads, grabbed()[0])).size !== size; await sleep(100))
      if (Date.now() > end) fail('no 640 x 480 screenshot downloaded after F2: ' + fs.readdirSync(downloads).join(', '));
    fs.rmSync(downloads, { recursive: true, force: true });

    // F11: full screen, the picture (its box within the padding, or fitted by the browser) 4:3, sharp; F11 again leaves.
    await press(page, 'F11');
    await until(page, 'full screen after F11', () => document.fullscreenElement !== null, 5);
    const shape = await page.evaluate(() => {
      const c = Module.canvas, s = getComputedStyle(c), pad = (a, b) => parseFloat(s['padding' + a]) + parseFloat(s['padding' + b]);
      return [/contain|down/.test(s.objectFit) ? 4 / 3 : (c.clientWidth - pad('Left', 'Right')) / (c.clientHeight - pad('Top', 'Bottom')),
              c.clientHeight, s.imageRendering];
    });
    if (Math.abs(shape[0] - 4 / 3) > 0.01 || shape[1] < 600 || shape[2] !== 'pixelated') fail('full screen not 4:3, sharp: ' + shape);
    await press(page, 'F11');
    await until(page, 'the page again after F11', () => document.fullscreenElement === null, 5);

    // Arcade: the driver's view, the engine started, the throttle held; Tab: the map view.
    await go(page, ['Enter'], 'the driver\'s view');
    await press(page, 'KeyS');
    await page.keyboard.down('ArrowUp');
    figures.drive = await rateOver(page, 150, 120, 'driving');
    await page.keyboard.up('ArrowUp');
    const world = (await page.evaluate(() => window.hcCanvas())).hash;
    await press(page, 'Tab');
    figures.map = await rateOver(page, 120, 100, 'the map view');
    if ((await page.evaluate(() => window.hcCanvas())).hash === world) fail('the map view looks like the driver\'s view');
    await press(page, 'Tab');
    await endShift(page, 'Escape', 'Enter', 'back at the menu');

    // Options (third from the bottom whatever the assists add: up wraps round): gamma down one step, kept on leaving.
    await go(page, ['ArrowUp', 'ArrowUp', 'ArrowUp', 'Enter'], 'the options');
    await go(page, ['Enter', 'Escape'], 'back at the menu');

    // A career shift (fourth from the top), driven and saved; the garage's Esc leaves.
    await go(page, ['ArrowDown', 'ArrowDown', 'ArrowDown', 'Enter'], 'the garage');
    await go(page, ['Enter'], 'the career shift');
    await endShift(page, 'Escape', 'Enter', 'back in the garage');
    await go(page, ['Escape'], 'back at the menu');
    const career = await readSave(page, 'career.txt');
    if (!/^shifts 1$/m.test(career)) fail('the career shift was not saved:\n' + career);

    // Esc at the menu: "exit"; the page says the game has ended once the saves are stored, and a key starts another.
    await press(page, 'Escape');
    await until(page, 'the page saying the game has ended', () =>
        hcStatus() === 'The game has ended. Click or press a key to play again.', 15);
    await shot(page, 'web-ended');
    await startPage(page, () => Promise.all([page.waitForNavigation({ waitUntil: 'load' }), press(page, 'Space')]));

    // Played again: the setting and the career came back from the browser's storage.
    if (!/^gamma 0\.8$/m.test(await readSave(page, 'settings.txt'))) fail('the gamma was not kept across the reload');
    if ((await page.evaluate(() => window.hcCanvas())).light <= menu.light) fail('the menu after the reload is not brighter (gamma 0.8)');
    if (await readSave(page, 'career.txt') !== career) fail('the career was not kept across the reload');
    await shot(page, 'web-menu-gamma');
    await page.close();

    // Storage that fails: said once, and the game goes on with a standard-layout controller (d-pad up five times: career).
    const failing = await newPage(() => {
      indexedDB.open = () => { throw new Error('storage refused by the test'); };
      const buttons = Array.from({ length: 17 }, () => ({ pressed: false, value: 0 }));
      window.hcPad = { id: 'test pad', index: 0, connected: true, mapping: 'standard', axes: [0, 0, 0, 0], buttons };
      navigator.getGamepads = () => [window.hcPad];
    });
    await startPage(failing, () => failing.goto(address, { waitUntil: 'load' }));
    await go(failing, [PadDown, PadDown, PadDown, PadStart], 'the garage, chosen with the controller');
    await go(failing, [PadStart], 'the career shift, started with the controller');
    await endShift(failing, PadBack, PadStart, 'back in the garage');
    await shot(failing, 'web-no-storage');
    const notice = await failing.evaluate(() => (n => n.hidden ? '' : n.textContent)(document.getElementById('notice')));
    const told = log.filter(line => /^Saves cannot be kept/.test(line)).length;
    if (!/^Saves cannot be kept in this browser .*storage refused by the test/.test(notice) || told !== 1)
      fail('the storage failure was not said once: "' + notice + '", ' + told + ' times');
  } catch (error) {
    await browser.pages().then(pages => shot(pages[pages.length - 1], 'web-failure')).catch(() => {});
    throw error;
  } finally {
    await browser.close();
    server.close();
    fs.rmSync(profile, { recursive: true, force: true });
  }
  console.log('figures ' + JSON.stringify(figures));
}

run().catch(error => { if (!failed) console.error('FAILED: ' + (error.stack || error)); failed = true; }).then(() => {
  console.log(failed ? '0 passed, 1 failed' : '1 passed, 0 failed');
  process.exit(failed ? 1 : 0);
});
