// The page's side of the browser edition: the canvas, the start on the first key or
// click (browsers start sound only then), saves kept in the browser's storage, the
// screenshot offered as a download, the music fetched once play has started, and the
// frame statistics the tests and the benchmark read.
var Module = typeof Module !== 'undefined' ? Module : {};
(function () {
  const saveFolder = '/home/web_user/.local/share/hazardcab';
  const dataFolder = '/data';
  const tracks = [1, 2, 3, 4];
  const status = document.getElementById('status');
  const notice = document.getElementById('notice');
  const canvas = document.getElementById('canvas');
  let context2d = null;
  let started = false;
  let storageFailed = false;
  const pending = new Set();
  const startPrompt = 'click or press a key to start';

  function say(text) { if (status) status.textContent = text; }
  function warnOnce(text) {
    if (storageFailed) return;
    storageFailed = true;
    if (notice) { notice.textContent = text; notice.hidden = false; }
    console.warn(text);
  }

  // The audio contexts the game's sound opens (emscripten's OpenAL makes one), for the
  // page's tests to see the sound running.
  Module.hcAudio = [];
  const NativeAudioContext = window.AudioContext || window.webkitAudioContext;
  if (NativeAudioContext) {
    window.AudioContext = class extends NativeAudioContext {
      constructor(...options) {
        super(...options);
        Module.hcAudio.push(this);
      }
    };
  }

  Module.canvas = canvas;
  Module.arguments = ['--data', dataFolder];
  Module.print = function (text) { console.log(text); };
  Module.printErr = function (text) { console.warn(text); };
  // The download's progress until it is complete, then the prompt.
  Module.setStatus = function (text) {
    if (started) return;
    const progress = /\((\d+)\/(\d+)\)/.exec(text || '');
    say(progress && progress[1] !== progress[2] ? text : startPrompt);
  };

  // The frames the page has drawn: their count, the time between each and the last, and
  // the time the game worked on each (in milliseconds, the last 600 kept).
  const stats = { frames: 0, last: 0, intervals: [], work: [], started: 0, firstFrame: 0 };
  Module.hcStats = stats;
  Module.hcPresent = function (pointer, width, height, work) {
    if (!context2d) context2d = canvas.getContext('2d', { alpha: false });
    const pixels = new Uint8ClampedArray(HEAPU8.buffer, pointer, width * height * 4);
    context2d.putImageData(new ImageData(pixels, width, height), 0, 0);
    const now = performance.now();
    if (stats.frames === 0) stats.firstFrame = now;
    else stats.intervals.push(now - stats.last);
    stats.work.push(work);
    if (stats.intervals.length > 600) stats.intervals.shift();
    if (stats.work.length > 600) stats.work.shift();
    stats.last = now;
    stats.frames++;
  };

  // Saves: the save folder lives in the browser's storage. Each file written or renamed
  // there is written through at once; one failure is said once and the game goes on.
  // A save renamed while a copy was on its way fails that pass only: a failure is said
  // when the pass after it fails too.
  let syncing = false, again = false, retried = false;
  function writeThrough() {
    if (syncing) { again = true; return; }
    syncing = true;
    FS.syncfs(false, function (error) {
      syncing = false;
      if (error && retried) warnOnce('Saves cannot be kept in this browser (' + error + '): the game goes on without them.');
      retried = Boolean(error) && !retried;
      if (again || retried) { again = false; writeThrough(); }
    });
  }
  Module.hcSavesIdle = function () { return !syncing && !again; };

  // The program's end (the player chose "exit", or it stopped): the saves are written
  // through first, then the page says that the game has ended and a key or a click
  // loads it afresh for another game.
  function ended(text) {
    writeThrough();
    (function whenWritten() {
      if (!Module.hcSavesIdle()) { setTimeout(whenWritten, 20); return; }
      canvas.style.opacity = '0.3';
      say(text + ' Click or press a key to play again.');
      function playAgain(event) { if (!event.repeat) location.reload(); }
      window.addEventListener('keydown', playAgain, true);
      window.addEventListener('mousedown', playAgain, true);
    })();
  }
  Module.hcEnded = function () { ended('The game has ended.'); };
  Module.onAbort = function (what) { ended('The game stopped (' + what + ').'); };
  function inSaves(path) { return typeof path === 'string' && path.indexOf(saveFolder + '/') === 0; }

  function download(path) {
    const bytes = FS.readFile(path);
    const link = document.createElement('a');
    link.href = URL.createObjectURL(new Blob([bytes], { type: 'image/bmp' }));
    link.download = path.substring(path.lastIndexOf('/') + 1).replace(/:/g, '-');
    document.body.appendChild(link);
    link.click();
    link.remove();
    setTimeout(function () { URL.revokeObjectURL(link.href); }, 10000);
    FS.unlink(path);
  }

  function watchFiles() {
    const close = FS.close, rename = FS.rename;
    FS.close = function (stream) {
      const path = stream && stream.path, written = stream && (stream.flags & 3) !== 0;
      const result = close.apply(this, arguments);
      if (written && inSaves(path)) writeThrough();
      if (written && /\/grab[^/]*\.bmp$/.test(path)) download(path);
      return result;
    };
    FS.rename = function (from, to) {
      const result = rename.apply(this, arguments);
      if (inSaves(to)) writeThrough();
      return result;
    };
  }

  // Music: fetched after play starts, the menu's track first, so that the first
  // download holds only what the first picture needs. A track still on its way plays
  // silence until it arrives.
  // The game names a track by the data folder it found ("../data", that is /data).
  Module.hcTrackPending = function (path) {
    return pending.has(path.substring(path.lastIndexOf('/') + 1)) ? 1 : 0;
  };
  async function fetchMusic() {
    for (const n of tracks) pending.add('track' + n + '.ogg');
    for (const n of tracks) {
      const path = dataFolder + '/audio/track' + n + '.ogg';
      try {
        const answer = await fetch('audio/track' + n + '.ogg');
        if (!answer.ok) throw new Error(answer.status);
        const bytes = new Uint8Array(await answer.arrayBuffer());
        FS.writeFile(path + '.part', bytes);
        FS.rename(path + '.part', path);
      } catch (error) {
        console.warn('Music track ' + n + ' could not be fetched: ' + error);
      }
      pending.delete('track' + n + '.ogg');
    }
  }

  Module.preRun = Module.preRun || [];
  Module.preRun.push(function () {
    FS.mkdirTree(dataFolder + '/audio');
    FS.mkdirTree(saveFolder);
    watchFiles();
    try {
      FS.mount(IDBFS, {}, saveFolder);
    } catch (error) {
      warnOnce('Saves cannot be kept in this browser (' + error + '): the game goes on without them.');
      return;
    }
    addRunDependency('saves');
    FS.syncfs(true, function (error) {
      if (error) warnOnce('Saves cannot be kept in this browser (' + error + '): the game goes on without them.');
      removeRunDependency('saves');
    });
  });
  // The game starts on the first key or click, when the browser lets sound start. The
  // listeners are there from the first moment the prompt can show, so that a click while
  // the program is still being compiled is not lost: the start then waits only for the
  // rest of the loading.
  let waitingForStart = false, prepared = false;
  function start(event) {
    if (started) return;
    started = true;
    if (event) event.preventDefault();
    window.removeEventListener('keydown', start, true);
    window.removeEventListener('mousedown', start, true);
    canvas.focus();
    say('');
    stats.started = performance.now();
    if (waitingForStart) removeRunDependency('start');
    // The music goes into the game's files, which exist once the program is prepared.
    if (prepared) fetchMusic();
  }
  window.addEventListener('keydown', start, true);
  window.addEventListener('mousedown', start, true);
  Module.preRun.push(function () {
    prepared = true;
    if (started) {
      fetchMusic();
      return;
    }
    waitingForStart = true;
    addRunDependency('start');
    say(startPrompt);
  });
})();
