// Part of the game's module: when the game starts, where its files are, how
// it waits, and how it ends. The game starts when the page's
// Module.playerClicked promise resolves and the page's Module.gameFiles (the
// pictures, music and font as [path, bytes]) are in place. Its working
// directory is a folder of the browser's persistent storage (IndexedDB): read
// in before the game starts, written back after every change the game makes;
// without usable storage the game still runs and nothing is kept.
Module.preRun = Module.preRun || [];
Module.preRun.push(function () {
  // Keys go to the canvas, which has the focus, not to the whole page.
  ENV.SDL_EMSCRIPTEN_KEYBOARD_ELEMENT = '#canvas';

  var folder = '/home/web_user/ortelanka';
  var warned = false;
  function warn(error) {
    if (!warned)
      console.warn('Ortelanka: the browser keeps no files (' + error + '); nothing will be saved.');
    warned = true;
  }

  var saving = false;
  var saveAgain = false;
  function save() {
    if (saving) {
      saveAgain = true;
      return;
    }
    saving = true;
    FS.syncfs(false, function (error) {
      saving = false;
      if (error)
        warn(error);
      if (saveAgain) {
        saveAgain = false;
        save();
      }
    });
  }
  // Every way the game changes a file ends in one of these.
  function saveAfter(name, changes) {
    var original = FS[name];
    FS[name] = function () {
      var result = original.apply(this, arguments);
      if (changes(arguments)) {
        save();
        if (Module.filesChanged)
          Module.filesChanged();
      }
      return result;
    };
  }

  function ready(persistent) {
    if (persistent) {
      saveAfter('close', function (args) { return (args[0].flags & 3) !== 0; });  // opened for writing
      saveAfter('rename', function () { return true; });
      saveAfter('unlink', function () { return true; });
    }
    if (!FS.analyzePath(folder + '/data').exists)
      FS.mkdir(folder + '/data');
    FS.chdir(folder);
    removeRunDependency('ortelanka-files');
  }
  FS.mkdirTree(folder);
  addRunDependency('ortelanka-files');
  // Without IndexedDB at all, Emscripten's IDBFS would stop the program.
  if (typeof indexedDB === 'undefined' || !indexedDB) {
    warn('no IndexedDB');
    ready(false);
  } else {
    FS.mount(IDBFS, {}, folder);
    FS.syncfs(true, function (error) {
      if (error)
        warn(error);
      ready(!error);
    });
  }

  addRunDependency('ortelanka-data');
  Module.gameFiles.then(function (files) {
    // The file system takes the page's bytes as they are, without a copy.
    files.forEach(function (file) {
      var slash = file[0].lastIndexOf('/');
      FS.mkdirTree(file[0].slice(0, slash));
      FS.createDataFile(file[0].slice(0, slash), file[0].slice(slash + 1), file[1], true, false, true);
    });
    Module.gameFiles = null;
    removeRunDependency('ortelanka-data');
  });

  addRunDependency('ortelanka-player');
  Module.awaitingPlayer = true;  // from now on one dependency left is the player
  Module.playerClicked.then(function () {
    removeRunDependency('ortelanka-player');
  });
});

// The game's main sleeps (ASYNCIFY), so the runtime does not see it return:
// when it does, the program ends as a native one does, static destructors
// (the board's data/hra.dat) included, and the page hears of it (onExit).
Module.postRun = Module.postRun || [];
Module.postRun.push(function () {
  if (!Asyncify.currData)
    return;
  Asyncify.whenDone().then(function (code) {
    try {
      exit(code);
    } catch (e) {
      if (!(e instanceof ExitStatus))
        throw e;
    }
  });
});

// The game's waits (platform/browser/Waiting.cpp): a time, cut short by the
// player's input when the game waits for it. A hidden page holds every wait
// until it is shown again, and its music with it. The listeners stay: adding
// and removing them for every wait would cost more than the wait itself.
var endWait = null;
var endWaitOnInput = false;
function endWaitNow() {
  var end = endWait;
  endWait = null;
  if (end)
    end();
}
['keydown', 'keyup', 'mousedown', 'mouseup', 'mousemove', 'wheel', 'touchstart', 'touchmove', 'touchend',
 'touchcancel', 'resize', 'focus', 'blur'].forEach(function (type) {
  addEventListener(type, function () {
    // After every handler of the event, SDL's among them, has queued it.
    if (endWait && endWaitOnInput)
      setTimeout(endWaitNow, 0);
  }, { capture: true, passive: true });
});
document.addEventListener('visibilitychange', function () {
  var audio = Module.SDL2 && Module.SDL2.audioContext;
  if (audio)
    (document.hidden ? audio.suspend() : audio.resume()).catch(function () {});
  if (!document.hidden)
    endWaitNow();
});

Module.waitForPage = function (milliseconds, forInput) {
  return new Promise(function (resolve) {
    var timer = setTimeout(function () {
      if (!document.hidden)
        endWaitNow();
    }, milliseconds);
    endWaitOnInput = forInput;
    endWait = function () {
      clearTimeout(timer);
      resolve();
    };
  });
};
